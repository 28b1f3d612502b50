#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace zizara::core::live {

inline constexpr int kPadWidth = 640;
inline constexpr int kPadHeight = 480;
inline constexpr int kDefaultMouseIntervalMs = 150;
inline constexpr int kMinMouseIntervalMs = 1;
inline constexpr int kMaxMouseIntervalMs = 5000;
inline constexpr char kInvalidEntryText[] = "Invalid Entry.";
inline constexpr char kMousePadInfoText[] =
    "Mouse move (No buttons): .SmXXX,YYY\r\rLeft button Down/Click: .SaXXX,YYY\rLeft button UP: "
    ".SbXXX,YYY\r\rMiddle button Down/Click : .ScXXX,YYY\rMiddle button Up: .SdXXX,YYY\r\rRight "
    "button Down/Click : .SeXXX,YYY\rRight button Up: .SfXXX,YYY\r\rScroll wheel (Scroll) Up : "
    ".SgXXX,YYY\rScroll wheel (Scroll) Down : .ShXXX,YYY";

enum class PadButton { kLeft, kMiddle, kRight };
enum class ClickMode { kClick, kUpDown };
enum class WheelState { kNone, kUp, kDown };

// The mouse pad's rules without the window: which command each event sends, and when.
class MousePad {
 public:
  // Gets each command as text with CR LF; the caller clears the port's buffers and writes it.
  using Sink = std::function<void(const QByteArray&)>;
  explicit MousePad(Sink sink) : sink_(std::move(sink)) {}

  void SetClickMode(ClickMode mode) { mode_ = mode; }
  ClickMode click_mode() const { return mode_; }

  // The throttle timer's tick: the next move may be sent.
  void Tick() { send_move_ = true; }
  void Move(int x, int y);
  void Press(PadButton button);
  void Release(PadButton button);
  void Wheel(bool up);

  int x() const { return x_; }
  int y() const { return y_; }
  bool Down(PadButton button) const { return down_[static_cast<int>(button)]; }
  WheelState wheel() const { return wheel_; }

  // The status labels.
  QString ButtonText(PadButton button) const;
  QString PositionXText() const;
  QString PositionYText() const;
  QString WheelText() const;

 private:
  void Send(char letter);

  Sink sink_;
  ClickMode mode_ = ClickMode::kClick;
  bool send_move_ = false;
  int x_ = 0;
  int y_ = 0;
  bool down_[3] = {false, false, false};
  WheelState wheel_ = WheelState::kNone;
};

// ".Sm" ... ".Sh" + X + "," + Y + CR LF.
QByteArray MouseCommand(char letter, int x, int y);
// The throttle interval from the field; nullopt (and the old interval stays) when it is not an
// integer. Values are kept within the up-down's range.
std::optional<int> ParseMouseInterval(const QString& text);

}  // namespace zizara::core::live

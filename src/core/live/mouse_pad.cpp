#include "core/live/mouse_pad.h"

#include <algorithm>

#include "core/i18n/tr.h"

namespace zizara::core::live {

using i18n::Tr;

namespace {

// Pressed and released command letters per button.
constexpr char kPressed[] = {'a', 'c', 'e'};
constexpr char kReleased[] = {'b', 'd', 'f'};

}  // namespace

QByteArray MouseCommand(char letter, int x, int y) {
  return ".S" + QByteArray(1, letter) + QByteArray::number(x) + "," + QByteArray::number(y) +
         "\r\n";
}

std::optional<int> ParseMouseInterval(const QString& text) {
  bool ok = false;
  const int v = text.trimmed().toInt(&ok);
  if (!ok) {
    return std::nullopt;
  }
  // A zero interval would make the timer spin; the up-down never offers it either.
  return std::clamp(v, kMinMouseIntervalMs, kMaxMouseIntervalMs);
}

void MousePad::Send(char letter) {
  if (sink_) {
    sink_(MouseCommand(letter, x_, y_));
  }
}

void MousePad::Move(int x, int y) {
  x_ = std::clamp(x, 0, kPadWidth - 1);
  y_ = std::clamp(y, 0, kPadHeight - 1);
  if (send_move_) {
    send_move_ = false;
    Send('m');
  }
}

void MousePad::Press(PadButton button) {
  down_[static_cast<int>(button)] = true;
  Send(kPressed[static_cast<int>(button)]);
}

void MousePad::Release(PadButton button) {
  down_[static_cast<int>(button)] = false;
  send_move_ = false;
  if (mode_ == ClickMode::kUpDown) {
    Send(kReleased[static_cast<int>(button)]);
  }
}

void MousePad::Wheel(bool up) {
  wheel_ = up ? WheelState::kUp : WheelState::kDown;
  Send(up ? 'g' : 'h');
}

QString MousePad::ButtonText(PadButton button) const {
  static const char* const kTexts[3][2] = {
      {TrNoop("Left Mouse Button: UP"), TrNoop("Left Mouse Button: DOWN")},
      {TrNoop("Middle Mouse Button: UP"), TrNoop("Middle Mouse Button: DOWN")},
      {TrNoop("Right Mouse Button: UP"), TrNoop("Right Mouse Button: DOWN")}};
  return Tr(kTexts[static_cast<int>(button)][Down(button) ? 1 : 0]);
}

QString MousePad::PositionXText() const { return Tr("Position X: ") + QString::number(x_); }

QString MousePad::PositionYText() const { return Tr("Y: ") + QString::number(y_); }

QString MousePad::WheelText() const {
  switch (wheel_) {
    case WheelState::kUp:
      return Tr("Scroll Wheel: UP");
    case WheelState::kDown:
      return Tr("Scroll Wheel: DOWN");
    case WheelState::kNone:
      break;
  }
  return Tr("Scroll Wheel: None");
}

}  // namespace zizara::core::live

#pragma once

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace zizara::gui::remote {

// Keycodes of F1..F12 in order; 0 where the keyboard has no such key.
using FunctionKeys = std::array<xcb_keycode_t, 12>;

// Which hotkey (1..12 for Ctrl+F1..Ctrl+F12) a key press is, or 0 when it is none of ours.
// NumLock (Mod2) and CapsLock (Lock) are ignored; any other modifier besides Ctrl rejects it.
int HotkeyNumber(const FunctionKeys& f_keys, xcb_keycode_t code, uint16_t state);

// Finds F1..F12 in a keyboard mapping as xcb_get_keyboard_mapping returns it: `per_code` keysyms
// for each keycode from `first_code` on, `count` keycodes. The first keycode wins on duplicates.
FunctionKeys FindFunctionKeys(const xcb_keysym_t* syms, int per_code, xcb_keycode_t first_code,
                              int count);

// Shown once when the user asks for global shortcuts and they cannot be had.
QString GlobalHotkeysUnavailableText();

// One passive grab: a keycode with one combination of modifiers.
using KeyGrab = std::pair<xcb_keycode_t, uint16_t>;

// The display server's side of the hotkeys; the X11 one is used unless a test brings its own.
class KeyGrabber {
 public:
  virtual ~KeyGrabber() = default;
  // False where there is nothing to grab from (Wayland, offscreen).
  virtual bool Connect() = 0;
  virtual FunctionKeys Keys() = 0;
  // Asks for all grabs at once; one answer per grab, true where it was granted.
  virtual std::vector<bool> Grab(const std::vector<KeyGrab>& grabs) = 0;
  virtual void Ungrab(const std::vector<KeyGrab>& grabs) = 0;
};

// System-wide Ctrl+F1..Ctrl+F12 on X11, for the macro menu. Elsewhere (Wayland, offscreen)
// Register() fails and the object stays inert.
class GlobalHotkeys : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT

 public:
  explicit GlobalHotkeys(QObject* parent = nullptr);
  GlobalHotkeys(std::unique_ptr<KeyGrabber> grabber, QObject* parent = nullptr);
  ~GlobalHotkeys() override;

  GlobalHotkeys(const GlobalHotkeys&) = delete;
  GlobalHotkeys& operator=(const GlobalHotkeys&) = delete;

  // Grabs the twelve keys, with every NumLock/CapsLock combination. A key another program holds
  // is left to it and the others are kept; false only when nothing at all could be grabbed.
  bool Register();
  // Releases exactly what Register() grabbed; safe to call any number of times.
  void Unregister();
  bool Available() const { return !grabs_.empty(); }
  const std::vector<KeyGrab>& Grabs() const { return grabs_; }

  bool nativeEventFilter(const QByteArray& event_type, void* message, qintptr* result) override;

 signals:
  void HotkeyPressed(int n);

 private:
  std::unique_ptr<KeyGrabber> grabber_;
  FunctionKeys f_keys_{};
  std::vector<KeyGrab> grabs_;  // the granted ones
};

}  // namespace zizara::gui::remote

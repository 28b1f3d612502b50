#pragma once

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
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

// System-wide Ctrl+F1..Ctrl+F12 on X11, for the macro menu. Elsewhere (Wayland, offscreen)
// Register() fails and the object stays inert.
class GlobalHotkeys : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT

 public:
  explicit GlobalHotkeys(QObject* parent = nullptr);
  ~GlobalHotkeys() override;

  GlobalHotkeys(const GlobalHotkeys&) = delete;
  GlobalHotkeys& operator=(const GlobalHotkeys&) = delete;

  // Grabs all twelve keys, with every NumLock/CapsLock combination. All or nothing: when any
  // grab is refused (e.g. another program holds the key) nothing stays grabbed.
  bool Register();
  // Releases exactly what Register() grabbed; safe to call any number of times.
  void Unregister();
  bool Available() const { return !grabs_.empty(); }

  bool nativeEventFilter(const QByteArray& event_type, void* message, qintptr* result) override;

 signals:
  void HotkeyPressed(int n);

 private:
  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = 0;
  FunctionKeys f_keys_{};
  std::vector<std::pair<xcb_keycode_t, uint16_t>> grabs_;  // (keycode, modifiers)
};

}  // namespace zizara::gui::remote

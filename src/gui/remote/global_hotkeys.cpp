#include "gui/remote/global_hotkeys.h"

#include <X11/keysym.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>

#include "core/i18n/tr.h"

namespace zizara::gui::remote {
namespace {

// Modifiers whose state must not matter: the user should not have to mind the lock keys.
constexpr uint16_t kIgnoredMods = XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2;
// Only the eight modifier bits count; the rest of `state` is pointer buttons.
constexpr uint16_t kModifierBits = 0xff;
constexpr std::array<uint16_t, 4> kGrabVariants = {
    XCB_MOD_MASK_CONTROL,
    XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_LOCK,
    XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_2,
    XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2,
};

xcb_connection_t* X11Connection() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (app == nullptr) return nullptr;
  auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
  return x11 == nullptr ? nullptr : x11->connection();
}

// The root of the screen DISPLAY names, which is the one Qt connected to.
xcb_window_t DefaultRoot(xcb_connection_t* connection) {
  int screen_number = 0;
  char* host = nullptr;
  int display = 0;
  if (xcb_parse_display(nullptr, &host, &display, &screen_number) != 0) std::free(host);
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; it.rem > 0; ++i, xcb_screen_next(&it)) {
    if (i == screen_number) return it.data->root;
  }
  it = xcb_setup_roots_iterator(xcb_get_setup(connection));
  return it.rem > 0 ? it.data->root : 0;
}

FunctionKeys LookUpFunctionKeys(xcb_connection_t* connection) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
      connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr);
  if (reply == nullptr) return {};
  const FunctionKeys keys =
      FindFunctionKeys(xcb_get_keyboard_mapping_keysyms(reply), reply->keysyms_per_keycode,
                       setup->min_keycode, count);
  std::free(reply);
  return keys;
}

}  // namespace

int HotkeyNumber(const FunctionKeys& f_keys, xcb_keycode_t code, uint16_t state) {
  if (code == 0 || (state & kModifierBits & ~kIgnoredMods) != XCB_MOD_MASK_CONTROL) return 0;
  for (size_t i = 0; i < f_keys.size(); ++i) {
    if (f_keys[i] == code) return static_cast<int>(i) + 1;
  }
  return 0;
}

FunctionKeys FindFunctionKeys(const xcb_keysym_t* syms, int per_code, xcb_keycode_t first_code,
                              int count) {
  FunctionKeys keys{};
  if (syms == nullptr || per_code <= 0) return keys;
  for (int c = 0; c < count; ++c) {
    // Column 0 is the unshifted symbol, the one Ctrl+Fn produces.
    const xcb_keysym_t sym = syms[c * per_code];
    if (sym < XK_F1 || sym > XK_F12) continue;
    xcb_keycode_t& slot = keys[sym - XK_F1];
    if (slot == 0) slot = static_cast<xcb_keycode_t>(first_code + c);
  }
  return keys;
}

QString GlobalHotkeysUnavailableText() {
  return core::i18n::Tr("Global shortcuts are not available on this desktop.");
}

namespace {

class X11KeyGrabber : public KeyGrabber {
 public:
  bool Connect() override {
    connection_ = X11Connection();
    if (connection_ == nullptr || xcb_connection_has_error(connection_) != 0) {
      connection_ = nullptr;
      return false;
    }
    root_ = DefaultRoot(connection_);
    return root_ != 0;
  }
  FunctionKeys Keys() override {
    return connection_ == nullptr ? FunctionKeys{} : LookUpFunctionKeys(connection_);
  }
  std::vector<bool> Grab(const std::vector<KeyGrab>& grabs) override {
    std::vector<bool> granted(grabs.size(), false);
    if (connection_ == nullptr) return granted;
    std::vector<xcb_void_cookie_t> cookies;
    for (const auto& [key, mods] : grabs) {
      cookies.push_back(xcb_grab_key_checked(connection_, 1, root_, mods, key,
                                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    // Every request is sent before waiting, so the round trips overlap.
    for (size_t i = 0; i < cookies.size(); ++i) {
      xcb_generic_error_t* error = xcb_request_check(connection_, cookies[i]);
      granted[i] = error == nullptr;
      std::free(error);
    }
    return granted;
  }
  void Ungrab(const std::vector<KeyGrab>& grabs) override {
    if (connection_ == nullptr || grabs.empty()) return;
    for (const auto& [key, mods] : grabs) xcb_ungrab_key(connection_, key, root_, mods);
    xcb_flush(connection_);
  }

 private:
  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = 0;
};

}  // namespace

GlobalHotkeys::GlobalHotkeys(QObject* parent)
    : GlobalHotkeys(std::make_unique<X11KeyGrabber>(), parent) {}

GlobalHotkeys::GlobalHotkeys(std::unique_ptr<KeyGrabber> grabber, QObject* parent)
    : QObject(parent), grabber_(std::move(grabber)) {}

GlobalHotkeys::~GlobalHotkeys() { Unregister(); }

bool GlobalHotkeys::Register() {
  Unregister();
  if (!grabber_->Connect()) return false;
  f_keys_ = grabber_->Keys();
  std::vector<KeyGrab> asked;
  for (xcb_keycode_t key : f_keys_) {
    if (key == 0) continue;
    for (uint16_t mods : kGrabVariants) asked.emplace_back(key, mods);
  }
  // A refusal means another program holds that combination: it keeps it, we keep the rest.
  const std::vector<bool> granted = grabber_->Grab(asked);
  for (size_t i = 0; i < asked.size() && i < granted.size(); ++i) {
    if (granted[i]) grabs_.push_back(asked[i]);
  }
  if (grabs_.empty()) return false;
  QCoreApplication::instance()->installNativeEventFilter(this);
  return true;
}

void GlobalHotkeys::Unregister() {
  grabber_->Ungrab(grabs_);
  grabs_.clear();
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeNativeEventFilter(this);
  }
}

bool GlobalHotkeys::nativeEventFilter(const QByteArray& event_type, void* message,
                                      qintptr* /*result*/) {
  if (grabs_.empty() || event_type != "xcb_generic_event_t" || message == nullptr) return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) != XCB_KEY_PRESS) return false;
  const auto* press = static_cast<const xcb_key_press_event_t*>(message);
  const int n = HotkeyNumber(f_keys_, press->detail, press->state);
  // A key whose grab was refused reaches us only with our own window focused: its shortcut
  // handles it there.
  const bool grabbed = std::any_of(grabs_.begin(), grabs_.end(), [&](const KeyGrab& g) {
    return g.first == press->detail && g.second == (press->state & kModifierBits);
  });
  if (n == 0 || !grabbed) return false;
  emit HotkeyPressed(n);
  return true;
}

}  // namespace zizara::gui::remote

#include "gui/remote/global_hotkeys.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <algorithm>
#include <memory>
#include <vector>

namespace zizara::gui::remote {
namespace {

// F1..F12 on the usual PC layout.
constexpr FunctionKeys kPcKeys = {67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 95, 96};
constexpr xcb_keycode_t kF13 = 191;

TEST(HotkeyNumberTest, CtrlWithAnyLockStateIsAccepted) {
  EXPECT_EQ(HotkeyNumber(kPcKeys, 67, XCB_MOD_MASK_CONTROL), 1);
  EXPECT_EQ(HotkeyNumber(kPcKeys, 69, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_2), 3);
  EXPECT_EQ(HotkeyNumber(kPcKeys, 76, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_LOCK), 10);
  EXPECT_EQ(HotkeyNumber(kPcKeys, 96,
                         XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2), 12);
  // A held mouse button is not a modifier.
  constexpr uint16_t kButton1 = XCB_KEY_BUT_MASK_BUTTON_1;
  EXPECT_EQ(HotkeyNumber(kPcKeys, 95, XCB_MOD_MASK_CONTROL | kButton1), 11);
}

TEST(HotkeyNumberTest, OtherModifiersAndKeysAreRejected) {
  EXPECT_EQ(HotkeyNumber(kPcKeys, 67, 0), 0);
  EXPECT_EQ(HotkeyNumber(kPcKeys, 67, XCB_MOD_MASK_2), 0);
  EXPECT_EQ(HotkeyNumber(kPcKeys, 67, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT), 0);
  EXPECT_EQ(HotkeyNumber(kPcKeys, 67, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1), 0);  // Alt
  EXPECT_EQ(HotkeyNumber(kPcKeys, 67, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_4), 0);  // Super
  EXPECT_EQ(HotkeyNumber(kPcKeys, kF13, XCB_MOD_MASK_CONTROL), 0);
  // A keyboard without some F keys leaves 0 there; keycode 0 must not match it.
  FunctionKeys partial{};
  partial[0] = 67;
  EXPECT_EQ(HotkeyNumber(partial, 0, XCB_MOD_MASK_CONTROL), 0);
  EXPECT_EQ(HotkeyNumber(partial, 67, XCB_MOD_MASK_CONTROL), 1);
}

TEST(FindFunctionKeysTest, ReadsTheUnshiftedColumnFromTheFirstKeycode) {
  constexpr int kPerCode = 3;
  constexpr xcb_keycode_t kFirst = 8;
  std::vector<xcb_keysym_t> syms(200 * kPerCode, XK_VoidSymbol);
  for (int i = 0; i < 12; ++i) syms[(kPcKeys[i] - kFirst) * kPerCode] = XK_F1 + i;
  syms[(kF13 - kFirst) * kPerCode] = XK_F13;
  // Shifted F1 on keycode 30 and a duplicate F2 later on: neither may displace the real keys.
  syms[(30 - kFirst) * kPerCode + 1] = XK_F1;
  syms[(150 - kFirst) * kPerCode] = XK_F2;
  EXPECT_EQ(FindFunctionKeys(syms.data(), kPerCode, kFirst, 200), kPcKeys);

  syms[(kPcKeys[4] - kFirst) * kPerCode] = XK_VoidSymbol;  // no F5
  EXPECT_EQ(FindFunctionKeys(syms.data(), kPerCode, kFirst, 200)[4], 0);
  EXPECT_EQ(FindFunctionKeys(nullptr, kPerCode, kFirst, 0), FunctionKeys{});
}

TEST(GlobalHotkeysTest, WithoutX11NothingIsGrabbedAndNothingBreaks) {
  GlobalHotkeys hotkeys;
  QSignalSpy spy(&hotkeys, &GlobalHotkeys::HotkeyPressed);
  EXPECT_FALSE(hotkeys.Register());
  EXPECT_FALSE(hotkeys.Available());
  hotkeys.Unregister();
  hotkeys.Unregister();
  EXPECT_FALSE(hotkeys.Available());

  // A key press that would match is not claimed while nothing is grabbed.
  xcb_key_press_event_t press{};
  press.response_type = XCB_KEY_PRESS;
  press.detail = 67;
  press.state = XCB_MOD_MASK_CONTROL;
  EXPECT_FALSE(hotkeys.nativeEventFilter("xcb_generic_event_t", &press, nullptr));
  EXPECT_EQ(spy.count(), 0);
}

// A display server where some combinations belong to another program.
class FakeGrabber : public KeyGrabber {
 public:
  explicit FakeGrabber(std::vector<xcb_keycode_t> taken) : taken_(std::move(taken)) {}
  bool Connect() override { return true; }
  FunctionKeys Keys() override { return kPcKeys; }
  std::vector<bool> Grab(const std::vector<KeyGrab>& grabs) override {
    std::vector<bool> granted;
    for (const KeyGrab& g : grabs) {
      const bool taken = std::find(taken_.begin(), taken_.end(), g.first) != taken_.end();
      granted.push_back(!taken);
      if (!taken) held->push_back(g);
    }
    return granted;
  }
  void Ungrab(const std::vector<KeyGrab>& grabs) override {
    for (const KeyGrab& g : grabs) held->erase(std::find(held->begin(), held->end(), g));
  }
  std::shared_ptr<std::vector<KeyGrab>> held = std::make_shared<std::vector<KeyGrab>>();

 private:
  std::vector<xcb_keycode_t> taken_;
};

bool Press(GlobalHotkeys& hotkeys, xcb_keycode_t code, uint16_t state) {
  xcb_key_press_event_t press{};
  press.response_type = XCB_KEY_PRESS;
  press.detail = code;
  press.state = state;
  return hotkeys.nativeEventFilter("xcb_generic_event_t", &press, nullptr);
}

TEST(GlobalHotkeysTest, AKeyAnotherProgramHoldsIsLeftAndTheRestKept) {
  auto grabber = std::make_unique<FakeGrabber>(std::vector<xcb_keycode_t>{71});  // F5
  const auto held = grabber->held;
  GlobalHotkeys hotkeys(std::move(grabber));
  QSignalSpy spy(&hotkeys, &GlobalHotkeys::HotkeyPressed);
  EXPECT_TRUE(hotkeys.Register());
  EXPECT_TRUE(hotkeys.Available());
  EXPECT_EQ(held->size(), 44u);  // 11 keys, 4 lock variants each
  EXPECT_TRUE(Press(hotkeys, 67, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_2));
  EXPECT_FALSE(Press(hotkeys, 71, XCB_MOD_MASK_CONTROL));  // F5 is not ours
  EXPECT_TRUE(Press(hotkeys, 96, XCB_MOD_MASK_CONTROL));
  ASSERT_EQ(spy.count(), 2);
  EXPECT_EQ(spy.at(1).at(0).toInt(), 12);

  hotkeys.Unregister();
  EXPECT_TRUE(held->empty());  // exactly what was granted is given back
  EXPECT_FALSE(Press(hotkeys, 67, XCB_MOD_MASK_CONTROL));
}

TEST(GlobalHotkeysTest, NothingGrantedMeansUnavailable) {
  std::vector<xcb_keycode_t> all(kPcKeys.begin(), kPcKeys.end());
  auto grabber = std::make_unique<FakeGrabber>(all);
  const auto held = grabber->held;
  GlobalHotkeys hotkeys(std::move(grabber));
  EXPECT_FALSE(hotkeys.Register());
  EXPECT_FALSE(hotkeys.Available());
  EXPECT_TRUE(held->empty());
}

}  // namespace
}  // namespace zizara::gui::remote

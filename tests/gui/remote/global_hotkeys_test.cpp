#include "gui/remote/global_hotkeys.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <QSignalSpy>
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

}  // namespace
}  // namespace zizara::gui::remote

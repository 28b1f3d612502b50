#include "gui/app/menu_state.h"

#include <gtest/gtest.h>

namespace zizara::gui::app {
namespace {

CommandStates AllOn() {
  CommandStates c;
  c.open = c.save = c.save_as = c.file_info = c.upload = c.download = c.restart = true;
  c.remote_menu = c.remote_button = c.preset_dropdown = c.preset_options = true;
  c.lcd_options = c.leqm_options = c.scale_options = c.lock_code = true;
  c.copy_labels = c.paste_labels = c.copy_xpoints = c.paste_xpoints = true;
  c.backlight = c.backlight_ticks = c.qlx_software = c.keyboard = true;
  return c;
}

TEST(MenuStateTest, InitializeDisablesAllButOpen) {
  CommandStates c = AllOn();
  const MenuEffects e = ApplyMenuState(MenuState::kInitialize, {}, c);
  EXPECT_TRUE(c.open);
  EXPECT_FALSE(c.save || c.save_as || c.upload || c.download || c.restart || c.remote_menu ||
               c.remote_button || c.preset_dropdown || c.preset_options || c.leqm_options ||
               c.lcd_options || c.copy_labels || c.paste_labels || c.copy_xpoints ||
               c.paste_xpoints || c.lock_code || c.backlight || c.backlight_ticks);
  EXPECT_TRUE(e.clear_modified);
  EXPECT_TRUE(e.reset_backlight);
  EXPECT_TRUE(c.keyboard);  // not named: keeps its state
}

TEST(MenuStateTest, OpenFollowsVersionAndModel) {
  struct Case {
    int version;
    bool supported;
    bool leqm;
    bool lock;
  };
  for (const Case& k : {Case{0x4FF, true, false, false}, Case{0x500, true, true, false},
                        Case{0x510, true, true, true}, Case{0x510, false, false, false}}) {
    CommandStates c;
    MenuFlags f;
    f.version_number = k.version;
    f.model_supported = k.supported;
    ApplyMenuState(MenuState::kOpen, f, c);
    EXPECT_EQ(c.leqm_options, k.leqm) << std::hex << k.version;
    EXPECT_EQ(c.lock_code, k.lock) << std::hex << k.version;
    EXPECT_TRUE(c.save_as && c.preset_dropdown && c.preset_options && c.lcd_options);
    EXPECT_TRUE(c.backlight_ticks);
  }
}

TEST(MenuStateTest, OpenEnablesDownloadOnlyForADetectedSupportedInstrument) {
  CommandStates c;
  MenuFlags f;
  ApplyMenuState(MenuState::kOpen, f, c);
  EXPECT_FALSE(c.download);
  f.instrument_detected = true;
  ApplyMenuState(MenuState::kOpen, f, c);
  EXPECT_TRUE(c.download);
  f.model_supported = false;
  ApplyMenuState(MenuState::kOpen, f, c);
  EXPECT_FALSE(c.download);
}

TEST(MenuStateTest, SaveNeedsANameAndChanges) {
  CommandStates c;
  MenuFlags f;
  f.modified = true;
  ApplyMenuState(MenuState::kSave, f, c);
  EXPECT_FALSE(c.save);
  f.has_file_name = true;
  ApplyMenuState(MenuState::kSave, f, c);
  EXPECT_TRUE(c.save);
  f.modified = false;
  ApplyMenuState(MenuState::kSave, f, c);
  EXPECT_FALSE(c.save);
}

TEST(MenuStateTest, UploadAndUploaded) {
  CommandStates c = AllOn();
  const MenuEffects up = ApplyMenuState(MenuState::kUpLoad, {}, c);
  EXPECT_TRUE(up.hide_matrix && up.empty_preset_list && up.reset_backlight);
  EXPECT_FALSE(c.download || c.save || c.save_as || c.preset_options || c.preset_dropdown ||
               c.backlight);
  MenuFlags f;
  f.version_number = 0x0510;
  const MenuEffects done = ApplyMenuState(MenuState::kUpLoaded, f, c);
  EXPECT_TRUE(done.show_matrix);
  EXPECT_TRUE(c.save_as && c.download && c.preset_dropdown && c.lcd_options && c.backlight);
  EXPECT_FALSE(c.save);
  EXPECT_TRUE(c.leqm_options && c.lock_code);
}

TEST(MenuStateTest, RemoteConnectAndBiosDownload) {
  CommandStates c = AllOn();
  ApplyMenuState(MenuState::kRemoteConnect, {}, c);
  EXPECT_TRUE(c.remote_button_down && c.preset_dropdown && c.matrix_visible);
  EXPECT_FALSE(c.save || c.save_as || c.upload || c.download || c.lcd_options || c.lock_code ||
               c.copy_labels || c.copy_xpoints || c.preset_options || c.backlight);
  EXPECT_TRUE(c.paste_labels);  // not named

  CommandStates b;
  MenuFlags f;
  f.bios_mode = true;
  ApplyMenuState(MenuState::kBIOSDownload, f, b);
  EXPECT_FALSE(b.download);  // only with the Remote Control menu enabled
  b.remote_menu = true;
  ApplyMenuState(MenuState::kBIOSDownload, f, b);
  EXPECT_TRUE(b.download);
}

TEST(MenuStateTest, NamesAndNoOpStates) {
  EXPECT_EQ(MenuStateFromName("UpLoaded"), MenuState::kUpLoaded);
  EXPECT_FALSE(MenuStateFromName("uploaded").has_value());
  CommandStates c = AllOn();
  const CommandStates before = c;
  for (MenuState s : {MenuState::kShowCom, MenuState::kHideCom, MenuState::kDisableCom}) {
    ApplyMenuState(s, {}, c);
  }
  EXPECT_EQ(c, before);
}

TEST(MenuStateTest, UpdateMenuItemsRules) {
  CommandStates c;
  MenuFlags f;
  f.matrix_visible = true;
  f.version_number = 0x0409;
  c.lcd_options = true;
  UpdateMenuItems(f, c);
  EXPECT_FALSE(c.lcd_options);
  EXPECT_TRUE(c.scale_options);
  EXPECT_TRUE(c.file_info);
  f.version_number = 0;
  UpdateMenuItems(f, c);
  EXPECT_FALSE(c.scale_options);
  f.connected = true;
  f.instrument_detected = true;
  UpdateMenuItems(f, c);
  EXPECT_FALSE(c.file_info);
  EXPECT_TRUE(c.qlx_software && c.keyboard);
}

TEST(MenuStateTest, ShownMatrixOffersCopyOnlyOffline) {
  MenuFlags f;
  f.clipboard_has_labels = f.clipboard_has_xpoints = true;
  CommandStates c;
  ApplyMatrixVisibility(true, f, c);
  EXPECT_TRUE(c.copy_labels && c.copy_xpoints && c.paste_labels && c.paste_xpoints);

  // Connecting shows the matrix after "RemoteConnect" turned copying off; it must stay off.
  f.connected = true;
  ApplyMenuState(MenuState::kRemoteConnect, f, c);
  ApplyMatrixVisibility(true, f, c);
  EXPECT_FALSE(c.copy_labels || c.copy_xpoints || c.paste_labels || c.paste_xpoints);
}

}  // namespace
}  // namespace zizara::gui::app

#include "gui/app/menu_state.h"

#include <QHash>

#include "core/config/version.h"

namespace zizara::gui::app {

namespace {
bool LeqmAllowed(const MenuFlags& f) {
  return f.version_number >= core::config::kVersion5 && f.model_supported;
}
bool LockAllowed(const MenuFlags& f) {
  return f.version_number >= core::config::kVersionLockCode && f.model_supported;
}
}  // namespace

std::optional<MenuState> MenuStateFromName(const QString& name) {
  static const QHash<QString, MenuState> kNames = {
      {QStringLiteral("Initialize"), MenuState::kInitialize},
      {QStringLiteral("Open"), MenuState::kOpen},
      {QStringLiteral("Save"), MenuState::kSave},
      {QStringLiteral("UpLoad"), MenuState::kUpLoad},
      {QStringLiteral("UpLoaded"), MenuState::kUpLoaded},
      {QStringLiteral("RemoteConnect"), MenuState::kRemoteConnect},
      {QStringLiteral("BIOSDownload"), MenuState::kBIOSDownload},
      {QStringLiteral("ShowCom"), MenuState::kShowCom},
      {QStringLiteral("HideCom"), MenuState::kHideCom},
      {QStringLiteral("DisableCom"), MenuState::kDisableCom},
  };
  const auto it = kNames.find(name);
  if (it == kNames.end()) {
    return std::nullopt;
  }
  return it.value();
}

MenuEffects ApplyMenuState(MenuState state, const MenuFlags& f, CommandStates& c) {
  MenuEffects e;
  switch (state) {
    case MenuState::kInitialize:
      c.open = true;
      c.save = c.save_as = c.upload = c.download = c.restart = false;
      c.remote_menu = c.remote_button = false;
      c.preset_dropdown = c.preset_options = false;
      c.leqm_options = c.lcd_options = c.lock_code = false;
      c.copy_labels = c.paste_labels = c.copy_xpoints = c.paste_xpoints = false;
      c.backlight = c.backlight_ticks = false;
      e.reset_backlight = true;
      e.clear_modified = true;
      break;
    case MenuState::kOpen:
      c.open = c.save_as = c.preset_dropdown = c.preset_options = true;
      c.backlight = c.backlight_ticks = true;
      c.lcd_options = true;
      c.download = f.instrument_detected && f.model_supported;
      c.leqm_options = LeqmAllowed(f);
      c.lock_code = LockAllowed(f);
      break;
    case MenuState::kSave:
      c.save = f.has_file_name && f.modified;
      break;
    case MenuState::kUpLoad:
      e.hide_matrix = true;
      c.matrix_visible = false;
      c.download = c.save = c.save_as = c.preset_options = c.preset_dropdown = false;
      c.backlight = c.backlight_ticks = false;
      e.reset_backlight = true;
      e.empty_preset_list = true;
      break;
    case MenuState::kUpLoaded:
      e.show_matrix = true;
      c.matrix_visible = true;
      c.save_as = c.download = c.preset_dropdown = c.lcd_options = c.preset_options = true;
      c.backlight = c.backlight_ticks = true;
      c.save = false;
      c.leqm_options = LeqmAllowed(f);
      c.lock_code = LockAllowed(f);
      break;
    case MenuState::kRemoteConnect:
      e.show_matrix = true;
      c.matrix_visible = true;
      c.remote_button_down = true;
      c.preset_dropdown = true;
      c.save = c.save_as = c.upload = c.download = false;
      c.lcd_options = c.lock_code = c.copy_labels = c.copy_xpoints = false;
      c.preset_options = false;
      c.backlight = c.backlight_ticks = false;
      break;
    case MenuState::kBIOSDownload:
      if (c.remote_menu) {
        c.download = f.bios_mode;
      }
      break;
    case MenuState::kShowCom:
    case MenuState::kHideCom:
    case MenuState::kDisableCom:
      break;
  }
  return e;
}

void UpdateMenuItems(const MenuFlags& f, CommandStates& c) {
  if (f.matrix_visible && !f.connected) {
    c.lcd_options = f.version_number >= core::config::kVersionLcdOptions;
  }
  c.scale_options = !f.connected && f.version_number != 0 && f.matrix_visible;
  c.file_info = !f.connected && f.matrix_visible;
  c.qlx_software = f.instrument_detected;
  c.keyboard = f.instrument_detected;
}

void ApplyMatrixVisibility(bool visible, const MenuFlags& f, CommandStates& c) {
  c.matrix_visible = visible;
  if (visible) {
    // While connected the matrix shows the instrument, not the image the copies come from.
    c.copy_labels = c.copy_xpoints = !f.connected;
    c.paste_labels = !f.connected && f.clipboard_has_labels;
    c.paste_xpoints = !f.connected && f.clipboard_has_xpoints;
  }
}

}  // namespace zizara::gui::app

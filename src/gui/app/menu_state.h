#pragma once

#include <QString>
#include <optional>

namespace zizara::gui::app {

// Named states other parts switch the commands into.
enum class MenuState {
  kInitialize,
  kOpen,
  kSave,
  kUpLoad,
  kUpLoaded,
  kRemoteConnect,
  kBIOSDownload,
  kShowCom,  // accepted, change nothing
  kHideCom,
  kDisableCom,
};

std::optional<MenuState> MenuStateFromName(const QString& name);

// What the enable rules read.
struct MenuFlags {
  bool connected = false;
  bool instrument_detected = false;
  bool model_supported = true;
  bool bios_mode = false;
  bool modified = false;
  bool has_file_name = false;      // the save dialog holds a name
  int version_number = 0;          // the configuration's software version code
  bool matrix_visible = false;
  bool clipboard_has_labels = false;
  bool clipboard_has_xpoints = false;
};

// Enabled state of every switchable command (menu item and its toolbar twin together).
struct CommandStates {
  bool open = true;
  bool save = false;
  bool save_as = false;
  bool file_info = false;
  bool upload = false;
  bool download = false;
  bool restart = false;
  bool remote_menu = false;
  bool remote_button = false;
  bool remote_button_down = false;
  bool preset_dropdown = false;
  bool preset_options = false;
  bool lcd_options = false;
  bool leqm_options = false;
  bool scale_options = false;
  bool lock_code = false;
  bool copy_labels = false;
  bool paste_labels = false;
  bool copy_xpoints = false;
  bool paste_xpoints = false;
  bool backlight = false;
  bool backlight_ticks = false;
  bool qlx_software = false;
  bool keyboard = false;
  bool matrix_visible = false;

  bool operator==(const CommandStates&) const = default;
};

// Side effects a state asks of the window besides enabling commands.
struct MenuEffects {
  bool clear_modified = false;
  bool reset_backlight = false;   // track bar to 0
  bool empty_preset_list = false;
  bool show_matrix = false;
  bool hide_matrix = false;
};

// Applies one named state; commands a state does not name keep their state.
MenuEffects ApplyMenuState(MenuState state, const MenuFlags& flags, CommandStates& commands);
// The refresh run when the File, Edit or Tools menu opens.
void UpdateMenuItems(const MenuFlags& flags, CommandStates& commands);
// Copy and paste follow the matrix, the connection and the clipboard.
void ApplyMatrixVisibility(bool visible, const MenuFlags& flags, CommandStates& commands);

}  // namespace zizara::gui::app

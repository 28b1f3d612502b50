#pragma once

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <array>
#include <functional>

#include "core/config/configuration.h"
#include "core/link/port_names.h"
#include "core/ui_port/file_chooser.h"
#include "core/ui_port/prompts.h"
#include "gui/app/app_context.h"
#include "gui/app/menu_state.h"
#include "gui/link/link_controller.h"
#include "gui/link/log_forms.h"
#include "gui/remote/drop_list_form.h"
#include "gui/remote/global_hotkeys.h"

namespace zizara::gui::matrix {
class TMatrixView;
}
namespace zizara::gui::install {
class InstallCommands;
}

namespace zizara::gui::app {

// The main window: menus, toolbar, status panels, file commands and the matrix area.
class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  TMainForm(AppContext& ctx, core::ui_port::Prompts& prompts, core::ui_port::FileChooser& files,
            QString settings_path, QWidget* parent = nullptr);
  ~TMainForm() override;

  // File commands.
  bool LoadPresetFile(const QString& name);
  // Open with a given name (command line, drops) or through the dialog when empty.
  bool OpenPreset(const QString& name = QString());
  void OpenRecentFile(int n);
  void Save();
  core::config::SaveAsOutcome SaveAs();
  bool CheckSaveChanges();
  // Before leaving remote control: asks to disconnect; true when the caller may go on.
  bool ConfirmLeaveRemote();
  // The check marks of Remote Control's "Connect" and "Disconnect".
  void SetRemoteMenuChecks(bool connected);

  // Macro menu.
  void MacroItemClick(int item);
  void SetGlobalHotkeys(bool on);
  // Ctrl+F1..Ctrl+F12 pressed while another program has the focus.
  void GlobalHotkeyPressed(int n);
  void SetMacroItemCaption(int item, const QString& caption);
  QString MacroItemCaption(int item) const;
  // Whether the macro ran or will run once connected.
  bool RunMacroFile(const QString& path);
  const QString& SettingsPath() const { return settings_path_; }
  core::ui_port::FileChooser& Files() { return files_; }

  // States and views.
  void SetMenuState(MenuState state);
  void SetMenuState(const QString& name);
  void ShowMatrix(bool visible);
  void UpdateMenuItems();
  void SelectPreset(int p);
  void RefreshPresetList();
  // The 11 presets from the image, the first selected, and the offset standard.
  void FillPresetListFromImage();

  // Settings, start-up and hand-over.
  void LoadSettings();
  void SaveSettings();
  void BuildInterfaceMenu(const QStringList& ports);
  // Kernel ports and stable names; the remembered network ports and "Network Port..." follow.
  void BuildInterfaceMenuWith(const QList<core::link::PortEntry>& ports);
  void InterfaceItemClick(QAction* item);
  // Interface -> "Network Port...": asks for tcp:HOST:PORT and chooses it.
  void NetworkPortClick();
  // Asks for a network port, offering the remembered ones; empty when cancelled. Tests replace it.
  std::function<QString(const QStringList& recent)> ask_network_port;
  void HandleCommandLineFile(const QString& path);
  void HandleForwardedPath(const QString& path);
  void SetSplashActive(bool active);

  // The instrument commands run through this controller (owned by the caller).
  void SetLinkController(link::LinkController* controller);
  void ConnectAtStartUp();
  // What the instrument commands change in the window.
  CommandStates& MutableCommands() { return commands_; }
  void RefreshCommands() { ApplyCommandStates(); }
  void SetFilePanelText(const QString& text) { SetFilePanel(text); }
  void AfterUpload();
  void RestoreAfterFailedUpload();

  // For the splash and the debug buttons.
  link::TDebugForm* DebugForm() { return debug_form_; }
  link::TDotLogForm* DotLogForm() { return dot_log_form_; }
  remote::TDropListForm* DropListForm() { return drop_form_; }
  class RemoteCommands* Remote() { return remote_commands_; }
  class ProgramOptionsCommands* ProgramOptions() { return program_options_; }
  class OptionCommands* Options() { return option_commands_; }
  class ScaleCommands* Scales() { return scale_commands_; }
  class UndoCommands* Undo() { return undo_commands_; }
  link::LinkController* Controller() { return link_controller_; }
  class LinkCommands* Links() { return link_commands_; }
  class LiveCommands* Live() { return live_commands_; }
  install::InstallCommands* Install() { return install_commands_; }

  // What tests and later windows look at.
  AppContext& context() { return ctx_; }
  const CommandStates& commands() const { return commands_; }
  MenuFlags Flags() const;
  QLabel* FilePanel() { return file_panel_; }
  QLabel* OffsetPanel() { return offset_panel_; }
  QLabel* ConnectedPanel() { return connected_panel_; }
  QLabel* SerialPanel() { return serial_panel_; }
  QLabel* PortPanel() { return port_panel_; }
  QComboBox* PresetDropDown() { return preset_drop_down_; }
  QSlider* BacklightTrackBar() { return backlight_; }
  QMenu* InterfaceMenu() { return interface_menu_; }
  class ReconnectCommands* Reconnector() {
    return reconnect_commands_;
  }
  QMenu* RecentMenu() { return recent_menu_; }
  QAction* RecentItem(int n) { return recent_items_[n - 1]; }
  QWidget* MatrixArea() { return matrix_area_; }
  matrix::TMatrixView* Matrix() { return matrix_; }
  QAction* FindAction(const QString& object_name) const;
  QToolButton* FindToolButton(const QString& object_name) const;
  QRect NormalBounds() const { return normal_bounds_; }
  // The settings asked for a maximized window; the caller shows it that way.
  bool StartMaximized() const { return start_maximized_; }

 signals:
  // After every menu state change; the undo history follows opens, uploads and saves.
  void MenuStateSet(MenuState state);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static constexpr int kBacklightMax = 7;  // the LCD backlight's steps above off

  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void CreateCentralArea();
  void ApplyCommandStates();
  void UpdateMacroMenu();
  void NotAvailableYet();
  void EditMenuClick(const QString& item);
  void AddRecentFile(const QString& path);
  void RefreshRecentMenu();
  void SetBacklightFromImage();
  void BacklightChanged(int value);
  void PresetDropDownChange(int index);
  void OpenHelp();
  void OpenWebAddress();
  QAction* AddAction(QMenu* menu, const char* object_name, const QString& caption,
                     const QKeySequence& shortcut = {});
  QToolButton* AddToolButton(const char* object_name, const QString& icon, const QString& hint,
                             QAction* twin);
  void RememberNormalBounds();
  void SetPortPanel(const QString& port);
  void SetFilePanel(const QString& text);
  void LayoutWebPanel();
  void HandleOneForwardedPath(const QString& path);
  void UpdateSizeSteps();
  void PlaceOnScreen();

  AppContext& ctx_;
  core::ui_port::Prompts& prompts_;
  core::ui_port::FileChooser& files_;
  QString settings_path_;
  CommandStates commands_;
  bool splash_active_ = false;
  bool start_maximized_ = false;
  QRect normal_bounds_{10, 10, 656, 487};
  QString save_dialog_name_;  // what the save dialog holds

  QMenu* remote_menu_ = nullptr;
  QMenu* interface_menu_ = nullptr;
  QMenu* recent_menu_ = nullptr;
  QMenu* qlx_software_menu_ = nullptr;
  std::array<QAction*, 4> recent_items_{};
  QAction* global_hotkeys_ = nullptr;
  QComboBox* preset_drop_down_ = nullptr;
  QSlider* backlight_ = nullptr;
  QLabel* web_label_ = nullptr;
  QLabel* file_panel_ = nullptr;
  QLabel* offset_panel_ = nullptr;
  QLabel* connected_panel_ = nullptr;
  QLabel* serial_panel_ = nullptr;
  QLabel* port_panel_ = nullptr;
  QPushButton* dot_log_button_ = nullptr;
  QPushButton* debug_button_ = nullptr;
  QWidget* matrix_area_ = nullptr;
  QLabel* empty_hint_ = nullptr;
  class QToolBar* tool_bar_ = nullptr;
  QAction* web_panel_ = nullptr;
  QString stored_port_;
  QList<core::link::PortEntry> port_entries_;
  QStringList network_ports_;
  matrix::TMatrixView* matrix_ = nullptr;
  QPointer<link::TDebugForm> debug_form_;
  link::LinkController* link_controller_ = nullptr;
  class LinkCommands* link_commands_ = nullptr;
  class RemoteCommands* remote_commands_ = nullptr;
  class ReconnectCommands* reconnect_commands_ = nullptr;
  class ProgramOptionsCommands* program_options_ = nullptr;
  class OptionCommands* option_commands_ = nullptr;
  class ScaleCommands* scale_commands_ = nullptr;
  class LiveCommands* live_commands_ = nullptr;
  class UndoCommands* undo_commands_ = nullptr;
  install::InstallCommands* install_commands_ = nullptr;
  bool delete_held_ = false;
  bool remote_checks_connected_ = false;
  bool clipboard_has_labels_ = false;
  bool clipboard_has_xpoints_ = false;
  remote::GlobalHotkeys* hotkeys_ = nullptr;
  bool hotkeys_unavailable_said_ = false;
  QPointer<link::TDotLogForm> dot_log_form_;
  remote::TDropListForm* drop_form_ = nullptr;
  QStringList forwarded_paths_;  // handed over by later starts, waiting their turn
  bool handling_forwarded_ = false;
};

}  // namespace zizara::gui::app

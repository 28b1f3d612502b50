// The main window's file commands: open, save, save as, and the recent files menu.
#include "gui/app/main_form.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "core/config/preset_file.h"
#include "core/config/preset_options.h"
#include "core/i18n/tr.h"
#include "core/remote/dot_messages.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_settings.h"
#include "gui/app/command_line.h"
#include "gui/app/link_commands.h"
#include "gui/app/live_commands.h"
#include "gui/app/option_commands.h"
#include "gui/app/program_options_commands.h"
#include "gui/app/reconnect_commands.h"
#include "gui/app/remote_commands.h"
#include "gui/app/scale_commands.h"
#include "gui/app/undo_commands.h"
#include "gui/app/web_address.h"
#include "gui/common/icons.h"
#include "gui/common/placement.h"
#include "gui/common/plain_text.h"
#include "gui/help/help.h"
#include "gui/install/install_commands.h"
#include "gui/link/log_forms.h"
#include "gui/matrix/matrix_view.h"
#include "gui/remote/global_hotkeys.h"

namespace zizara::gui::app {

using core::i18n::Tr;
namespace cfg = core::config;

namespace {
constexpr char kPresetFilter[] = TrNoop("QLX Configuration-Files (*.PRE *.pre);;All Files (*)");
}  // namespace

bool TMainForm::LoadPresetFile(const QString& name) {
  if (!cfg::LoadPresetFile(name, prompts_, ctx_.config.image, ctx_.config.trailer)) {
    return false;
  }
  FillPresetListFromImage();
  SetMenuState(MenuState::kSave);
  return true;
}

bool TMainForm::CheckSaveChanges() {
  return cfg::CheckSaveChanges(ctx_.config, prompts_, [this] { return SaveAs(); });
}

bool TMainForm::ConfirmLeaveRemote() {
  return remote_commands_ == nullptr || remote_commands_->ConfirmLeaveRemote();
}

bool TMainForm::OpenPreset(const QString& given) {
  if (!ConfirmLeaveRemote() || !CheckSaveChanges()) {
    return false;
  }
  QString name = given;
  if (name.isEmpty()) {
    name = files_.OpenFileName(Tr("Open"), Tr(kPresetFilter));
    if (name.isEmpty()) {
      return false;
    }
  }
  if (!LoadPresetFile(name)) {
    prompts_.Error(Tr("This is not a valid configuration-file!"));
    return false;
  }
  SetMenuState(MenuState::kOpen);
  ctx_.config.file_name.clear();
  save_dialog_name_.clear();
  SetFilePanel(name);
  AddRecentFile(name);
  SelectPreset(preset_drop_down_->currentIndex());
  SetBacklightFromImage();
  ShowMatrix(true);
  ctx_.config.modified = false;
  SetMenuState(MenuState::kSave);
  return true;
}

void TMainForm::OpenRecentFile(int n) {
  if (n < 1 || n > 4 || !recent_items_[n - 1]->isVisible()) {
    return;
  }
  if (!ConfirmLeaveRemote() || !CheckSaveChanges()) {
    return;
  }
  core::settings::IniFile ini(settings_path_);
  ini.Load();
  const QString path = core::settings::ReadRecentFiles(ini).files[n - 1];
  if (!LoadPresetFile(path)) {
    return;
  }
  SetMenuState(MenuState::kOpen);
  SetFilePanel(path);
  SelectPreset(preset_drop_down_->currentIndex());
  ctx_.config.modified = false;
  ctx_.config.file_name.clear();
  save_dialog_name_.clear();
  SetMenuState(MenuState::kOpen);
  SetBacklightFromImage();
  ctx_.config.modified = false;
  ShowMatrix(true);
  SetMenuState(MenuState::kSave);
}

void TMainForm::Save() {
  if (ctx_.config.file_name.isEmpty()) {
    SaveAs();
    return;
  }
  QString error;
  if (!cfg::SavePresetFile(ctx_.config.file_name, ctx_.config.image, ctx_.config.trailer, &error)) {
    prompts_.Error(Tr("The file ") + QLatin1Char('"') + ctx_.config.file_name + QLatin1Char('"') +
                   Tr(" could not be saved: ") + error);
    return;
  }
  ctx_.config.modified = false;
  SetMenuState(MenuState::kSave);
}

cfg::SaveAsOutcome TMainForm::SaveAs() {
  const QString chosen = files_.SaveFileName(Tr("Save As"), Tr(kPresetFilter),
                                             save_dialog_name_);
  if (chosen.isEmpty()) {
    return cfg::SaveAsOutcome::kCancelled;
  }
  const QString name = cfg::PresetFileNameForSave(chosen);
  if (QFileInfo::exists(name) &&
      !prompts_.Confirm(Tr("The file ") + name + Tr(" allready exists.") + QStringLiteral("\r\r") +
                        Tr("Do you wish to overwrite it?"))) {
    save_dialog_name_.clear();
    return cfg::SaveAsOutcome::kCancelled;
  }
  QString error;
  if (!cfg::SavePresetFile(name, ctx_.config.image, ctx_.config.trailer, &error)) {
    // Nothing was replaced; the changes stay unsaved and the user is told why.
    prompts_.Error(Tr("The file ") + QLatin1Char('"') + name + QLatin1Char('"') +
                   Tr(" could not be saved: ") + error);
    return cfg::SaveAsOutcome::kCancelled;
  }
  ctx_.config.file_name = name;
  save_dialog_name_ = name;
  SetFilePanel(name);
  ctx_.config.modified = false;
  SetMenuState(MenuState::kSave);
  AddRecentFile(name);
  return cfg::SaveAsOutcome::kSaved;
}

void TMainForm::AddRecentFile(const QString& path) {
  QString error;
  core::settings::AddRecentFile(settings_path_, path, nullptr, &error);  // a failure is harmless
  RefreshRecentMenu();
}

void TMainForm::RefreshRecentMenu() {
  core::settings::IniFile ini(settings_path_);
  ini.Load();
  const core::settings::RecentFilesMenu menu =
      core::settings::BuildRecentFilesMenu(core::settings::ReadRecentFiles(ini));
  for (int i = 0; i < 4; ++i) {
    recent_items_[i]->setText(menu.items[i].caption);
    recent_items_[i]->setVisible(menu.items[i].visible);
  }
  recent_menu_->setEnabled(menu.submenu_enabled);
}

}  // namespace zizara::gui::app

#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <functional>

#include "core/install/installation.h"
#include "core/ui_port/file_chooser.h"
#include "core/ui_port/prompts.h"
#include "gui/app/app_context.h"
#include "gui/link/link_controller.h"

namespace zizara::gui::install {

// Installs a software package into the connected instrument, after an optional backup of the
// software it runs now. The procedure itself is the core's; this window gathers the names and
// shows the two bars.
class TInstallForm : public QDialog, public core::install::InstallView {
  Q_OBJECT

 public:
  TInstallForm(app::AppContext& ctx, link::LinkController& controller,
               core::ui_port::Prompts& prompts, core::ui_port::FileChooser& files,
               QWidget* parent = nullptr);
  ~TInstallForm() override;

  // Every identification the window makes or the run makes, for the main window's panels.
  std::function<void(const core::link::ConnectOutcome&)> on_connect;
  // The BIOS-mode type dialog; replaceable so that tests need not click a modal dialog.
  std::function<void()> show_type_dialog;
  // The input box of items that ask for a word; false when cancelled.
  std::function<bool(const QString& caption, const QString& prompt, const QString& proposal,
                     QString* text)>
      input_box;

  // Opened for a package named on the command line: no reconnection at the end. Stays set.
  void SetStartedFromCommandLine() { from_command_line_ = true; }
  bool StartedFromCommandLine() const { return from_command_line_; }

  void FormShow();
  void SourceButtonClick();
  void BackupButtonClick();
  void BackupCheckClick();
  void ExecuteClick();
  void CancelClick();
  bool Running() const { return installation_ != nullptr; }

  // InstallView.
  void ShowBars(const core::install::InstallBars& bars) override;
  void SetRunCaption(const QString& caption) override;
  void ShowBackupName(const QString& name) override { backup_name_->setText(name); }
  bool InputValue(const QString& caption, const QString& prompt, const QString& proposal,
                  QString* text) override;

  QLineEdit* SourceFileName() { return source_; }
  QPushButton* SourceButton() { return source_button_; }
  QPushButton* Execute() { return execute_; }
  QCheckBox* BackupCheck() { return backup_check_; }
  QLineEdit* BackupFileName() { return backup_name_; }
  QPushButton* BackupButton() { return backup_button_; }
  QLabel* ItemDescription() { return item_description_; }
  QProgressBar* ItemProgress() { return item_progress_; }
  QLabel* ItemPercent() { return item_percent_; }
  QProgressBar* OverallProgress() { return overall_progress_; }
  QLabel* OverallPercent() { return overall_percent_; }
  QPushButton* Cancel() { return cancel_; }
  const core::install::InstallResult& LastResult() const { return last_result_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void FormClose();
  // Idle: the controls enabled, the backup as the instrument allows, both bars at 0.
  void ResetControls();
  void SetRunningControls();
  void ZeroBars();

  app::AppContext& ctx_;
  link::LinkController& controller_;
  core::ui_port::Prompts& prompts_;
  core::ui_port::FileChooser& files_;
  bool from_command_line_ = false;
  QString dialog_name_;  // last name chosen in the save dialog, replacement confirmed
  core::install::Installation* installation_ = nullptr;
  core::install::InstallResult last_result_;

  QLineEdit* source_;
  QPushButton* source_button_;
  QPushButton* execute_;
  QCheckBox* backup_check_;
  QLineEdit* backup_name_;
  QPushButton* backup_button_;
  QLabel* item_description_;
  QProgressBar* item_progress_;
  QLabel* item_percent_;
  QProgressBar* overall_progress_;
  QLabel* overall_percent_;
  QPushButton* cancel_;
};

}  // namespace zizara::gui::install

#include "gui/install/install_commands.h"

#include "core/config/model_table.h"
#include "core/i18n/tr.h"
#include "gui/app/link_commands.h"
#include "gui/app/main_form.h"

namespace zizara::gui::install {

using core::i18n::Tr;

InstallCommands::InstallCommands(app::TMainForm& form, link::LinkController& controller,
                                 core::ui_port::Prompts& prompts, core::ui_port::FileChooser& files)
    : QObject(&form),
      form_(form),
      controller_(controller),
      prompts_(prompts),
      install_form_(new TInstallForm(form.context(), controller, prompts, files, &form)) {
  install_form_->on_connect = [this](const core::link::ConnectOutcome& outcome) {
    if (form_.Links() != nullptr) {
      form_.Links()->ApplyConnectOutcome(outcome);
    }
  };
  show_modal = [](TInstallForm& window) { window.exec(); };
}

// The window holds the controller; it goes with these commands.
InstallCommands::~InstallCommands() { delete install_form_; }

QString InstallCommands::InstallQuestion() const {
  const app::AppContext& ctx = form_.context();
  if (ctx.bios_mode) {
    return Tr("Do you wish to install new software on the QLX connected on ") + ctx.current_port +
           QStringLiteral("?");
  }
  return Tr("Do you wish to install new software on the ") +
         core::config::ModelName(ctx.instrument.model_index) + Tr(" with the serial number ") +
         ctx.instrument.serial_text + Tr(" connected on ") + ctx.current_port + QStringLiteral("?");
}

void InstallCommands::InstallSoftwareClick() {
  // Never while remote control holds the line.
  if (!form_.ConfirmLeaveRemote()) {
    return;
  }
  show_modal(*install_form_);
}

bool InstallCommands::PackageFromCommandLine(const QString& path) {
  app::AppContext& ctx = form_.context();
  if (!ctx.instrument_detected) {
    prompts_.Warning(Tr("No QLX is detected on ") + ctx.current_port +
                     Tr("\r\rVT-Zizara will be started normally."));
    form_.SetFilePanelText(QString());
    return false;
  }
  form_.hide();
  const bool yes = prompts_.Confirm(InstallQuestion());
  install_form_->SourceFileName()->setText(path);
  install_form_->SetStartedFromCommandLine();
  if (yes) {
    show_modal(*install_form_);
  }
  return true;
}

bool InstallCommands::OfferInstallation(const QString& path) {
  if (!form_.context().instrument_detected) {
    prompts_.Error(Tr("No QLX connected."));
    return true;
  }
  const bool yes = prompts_.Confirm(InstallQuestion());
  install_form_->SourceFileName()->setText(path);
  if (!yes) {
    return true;
  }
  if (!form_.ConfirmLeaveRemote() || !form_.CheckSaveChanges()) {
    return false;
  }
  show_modal(*install_form_);
  return true;
}

bool InstallCommands::PackageForwarded(const QString& path) { return OfferInstallation(path); }

bool InstallCommands::PackageDropped(const QString& path) { return OfferInstallation(path); }

}  // namespace zizara::gui::install

#include "gui/link/link_controller.h"

#include <QCoreApplication>
#include <QDir>

#include "core/i18n/tr.h"
#include "gui/link/dialog_form.h"

namespace zizara::gui::link {

using core::i18n::Tr;
namespace lk = core::link;

struct LinkController::Session {
  Session(std::unique_ptr<lk::Transport> t, app::AppContext& ctx,
          core::ui_port::Prompts& prompts, QWidget* main_window)
      : transport(std::move(t)),
        driver(ctx.engine, prompts, main_window),
        link(*transport, ctx.link_state, prompts),
        engine(link, ctx.engine, ctx.instrument, driver),
        identification(engine, ctx.connect_flags),
        transfers(engine, identification, ctx.config) {}

  std::unique_ptr<lk::Transport> transport;
  TRS232Driver driver;
  lk::InstrumentLink link;
  lk::DriverEngine engine;
  lk::Identification identification;
  lk::ConfigurationTransfers transfers;
};

LinkController::LinkController(app::AppContext& ctx, core::ui_port::Prompts& prompts,
                               TransportFactory factory, QWidget* main_window)
    : ctx_(ctx),
      prompts_(prompts),
      factory_(std::move(factory)),
      main_window_(main_window),
      wait_form_(std::make_unique<TWaitForm>(main_window)),
      program_dir_(QCoreApplication::applicationDirPath()),
      temp_dir_(QDir::tempPath()) {}

LinkController::~LinkController() { DestroyDriver(); }

void LinkController::SetExternalCommandDirs(QString program_dir, QString temp_dir) {
  program_dir_ = std::move(program_dir);
  temp_dir_ = std::move(temp_dir);
}

void LinkController::DestroyDriver() {
  if (session_ != nullptr) {
    session_->driver.hide();
    session_->link.CloseLink();
    session_.reset();
  }
  ctx_.link_state = lk::LinkState{};
}

LinkController::Session* LinkController::EnsureSession() {
  if (session_ == nullptr) {
    session_ = std::make_unique<Session>(factory_(ctx_.current_port), ctx_, prompts_, main_window_);
    session_->engine.SetWaitIndicator(wait_form_.get());
    connect(&session_->link, &lk::InstrumentLink::LineReceived, this,
            &LinkController::LineReceived);
    connect(&session_->link, &lk::InstrumentLink::InvalidCharacters, this,
            &LinkController::InvalidCharacters);
    connect(&session_->driver, &TRS232Driver::Aborted, this, &LinkController::TransferAborted);
    // Opening may fail here; Connect reports it when it tries again.
    session_->link.OpenLink(nullptr);
  }
  return session_.get();
}

TRS232Driver* LinkController::Driver() { return session_ ? &session_->driver : nullptr; }

lk::InstrumentLink* LinkController::Link() { return session_ ? &session_->link : nullptr; }

lk::InstrumentLink& LinkController::EnsureLink() { return EnsureSession()->link; }

lk::Identification& LinkController::IdentificationLayer() {
  return EnsureSession()->identification;
}

lk::ConfigurationTransfers& LinkController::TransfersLayer() { return EnsureSession()->transfers; }
lk::DriverEngine& LinkController::EngineLayer() { return EnsureSession()->engine; }

void LinkController::Record(const lk::ConnectOutcome& outcome) {
  last_outcome_ = outcome;
  ctx_.instrument_detected = outcome.result != lk::ConnectResult::kNotConnected &&
                             outcome.result != lk::ConnectResult::kPortUnavailable;
  ctx_.bios_mode = outcome.result == lk::ConnectResult::kBiosMode;
  ctx_.model_supported = outcome.model_supported;
}

void LinkController::SetMainWindowEnabled(bool enabled) {
  if (main_window_ != nullptr) {
    main_window_->setEnabled(enabled);
  }
}

lk::ConnectOutcome LinkController::Connect() {
  Session* s = EnsureSession();
  const lk::ConnectOutcome outcome = s->identification.Connect(false, false);
  Record(outcome);
  return outcome;
}

void LinkController::ReportNoInstrument() {
  // Connect looks quietly; a transfer the user asked for must say why it did not start.
  if (ctx_.instrument.no_reliable_answer && session_ != nullptr) {
    prompts_.Error(lk::NoReliableAnswerText(session_->transport->Name()));
  } else {
    prompts_.Error(Tr("No instrument found."));
  }
}

lk::TransferOutcome LinkController::RunExternal(
    const QString& caption, const QString& text,
    const std::function<bool(const lk::ExternalCommand&)>& transfer) {
  const lk::ExternalCommand ext(program_dir_, ctx_.ext_cmd, temp_dir_);
  SetMainWindowEnabled(false);
  TDialogForm waiting(main_window_);
  waiting.ShowWaiting(caption, text);
  const bool ok = transfer(ext);
  waiting.hide();
  SetMainWindowEnabled(true);
  if (ok) {
    return lk::TransferOutcome::kDone;
  }
  return ext.configured() ? lk::TransferOutcome::kFailed : lk::TransferOutcome::kNotConfigured;
}

lk::TransferOutcome LinkController::Upload() {
  if (ctx_.link_mode == lk::LinkMode::kExt) {
    const lk::TransferOutcome result =
        RunExternal(Tr("Upload."), Tr("Please wait while uploading..."),
                    [this](const lk::ExternalCommand& ext) {
                      return ext.Upload(ctx_.config, prompts_);
                    });
    if (result == lk::TransferOutcome::kDone) {
      prompts_.Information(Tr("Configuration is uploaded correctly..."));
    }
    return result;
  }
  const lk::ConnectOutcome outcome = Connect();
  if (outcome.result == lk::ConnectResult::kNotConnected) {
    ReportNoInstrument();
  }
  if (!outcome.upload_enabled) {
    return lk::TransferOutcome::kNoInstrument;
  }
  SetMainWindowEnabled(false);
  const lk::TransferOutcome result = session_->transfers.UploadSerial();
  SetMainWindowEnabled(true);
  return result;
}

lk::TransferOutcome LinkController::Download(bool force_v5) {
  if (ctx_.link_mode == lk::LinkMode::kExt) {
    // The configuration must suit the instrument whichever way it travels.
    lk::OfferUpgrade(ctx_.instrument, ctx_.config, prompts_, force_v5);
    const lk::TransferOutcome result =
        RunExternal(Tr("Download."), Tr("Please wait while downloading..."),
                    [this](const lk::ExternalCommand& ext) {
                      return ext.Download(ctx_.config, prompts_);
                    });
    if (result == lk::TransferOutcome::kDone &&
        prompts_.Confirm(Tr("Download complete.\r\rDo you wish to reset the QLX?"))) {
      lk::ExternalCommand(program_dir_, ctx_.ext_cmd, temp_dir_).Restart();
    }
    return result;
  }
  const lk::ConnectOutcome outcome = Connect();
  if (outcome.result == lk::ConnectResult::kNotConnected) {
    ReportNoInstrument();
    return lk::TransferOutcome::kNoInstrument;
  }
  if (outcome.result == lk::ConnectResult::kPortUnavailable) {
    return lk::TransferOutcome::kNoInstrument;  // Connect said why
  }
  session_->transfers.OfferUpgrade(force_v5);
  SetMainWindowEnabled(false);
  const lk::TransferOutcome result = session_->transfers.DownloadSerial();
  if (result == lk::TransferOutcome::kAborted) {
    const core::ui_port::Answer a = prompts_.AskWithLook(
        core::ui_port::PromptKind::kWarning, lk::DownloadAbortedText(),
        core::ui_port::PromptButtons::kYesNo,
        core::ui_port::PromptLook{true, Tr("Help!"), true});
    if (a == core::ui_port::Answer::kNo) {
      emit HelpRequested(1);
    }
  }
  // Restarts after success and after an abort; says "Download complete." only for success.
  session_->transfers.FinishDownload(result);
  SetMainWindowEnabled(true);
  return result;
}

lk::ConnectOutcome LinkController::Restart() {
  lk::ConnectOutcome outcome;
  SetMainWindowEnabled(false);
  wait_form_->ShowWait();
  wait_form_->SetBusyCursor(true);
  switch (ctx_.link_mode) {
    case lk::LinkMode::kCom:
      EnsureSession();
      outcome = session_->identification.RestartInstrument();
      Record(outcome);
      break;
    case lk::LinkMode::kNone:
      prompts_.Information(Tr("The previously used comport (") + ctx_.current_port +
                           Tr(") is no longer available.\rPlease select a different port from "
                              "the Interface menu."));
      break;
    case lk::LinkMode::kExt:
      lk::ExternalCommand(program_dir_, ctx_.ext_cmd, temp_dir_).Restart();
      break;
  }
  wait_form_->HideWait();
  SetMainWindowEnabled(true);
  if (main_window_ != nullptr) {
    main_window_->activateWindow();
  }
  wait_form_->SetBusyCursor(false);
  return outcome;
}

bool LinkController::DownloadModeFromCommandLine() {
  ctx_.engine.quiet = true;
  const lk::ConnectOutcome outcome = Connect();
  if (outcome.result != lk::ConnectResult::kConnected) {
    return false;
  }
  ctx_.link_state.command_line = true;
  session_->link.EnterDownloadMode(ctx_.instrument.remote_capable);
  return true;
}

bool LinkController::RestartFromCommandLine() {
  ctx_.engine.quiet = true;
  const lk::ConnectOutcome outcome = Connect();
  if (outcome.result != lk::ConnectResult::kConnected &&
      outcome.result != lk::ConnectResult::kBiosMode) {
    return false;
  }
  return session_->link.RestartQLX();
}

}  // namespace zizara::gui::link

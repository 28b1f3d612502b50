#include "gui/app/reconnect_commands.h"

#include "core/config/model_table.h"
#include "core/i18n/tr.h"
#include "gui/app/link_commands.h"
#include "gui/app/main_form.h"
#include "gui/app/remote_commands.h"

namespace zizara::gui::app {

using core::i18n::Tr;
namespace lk = core::link;

ReconnectCommands::ReconnectCommands(TMainForm& form, link::LinkController& controller,
                                     LinkCommands& link, RemoteCommands& remote,
                                     core::ui_port::Prompts& prompts, std::function<bool()> enabled)
    : QObject(&form),
      form_(form),
      controller_(controller),
      link_(link),
      remote_(remote),
      prompts_(prompts),
      enabled_(std::move(enabled)) {
  timer_.setInterval(kRetryMs);
  connect(&timer_, &QTimer::timeout, this, &ReconnectCommands::TryAgain);
  connect(&controller_, &link::LinkController::LinkLost, this, &ReconnectCommands::OnLinkLost);
}

void ReconnectCommands::OnLinkLost(const QString& /*reason*/) {
  AppContext& ctx = form_.context();
  // A transfer that loses its line fails as it always did; nothing resumes it. Transfers keep
  // the main window disabled while they run.
  if ((enabled_ && !enabled_()) || !form_.isEnabled() || ctx.link_mode != lk::LinkMode::kCom ||
      timer_.isActive()) {
    return;
  }
  if (!ctx.connected && !ctx.instrument_detected) {
    return;  // nothing was there to come back
  }
  port_ = ctx.current_port;
  serial_ = ctx.instrument.serial_number;
  serial_text_ = ctx.instrument.serial_text;
  was_remote_ = ctx.connected;
  if (was_remote_) {
    remote_.EndRemoteControl();  // nothing to send to: the state only
  }
  controller_.DestroyDriver();
  ctx.instrument_detected = false;
  form_.ConnectedPanel()->setText(Tr("Instrument lost; waiting for it to return"));
  form_.ConnectedPanel()->setToolTip(form_.ConnectedPanel()->text());
  CommandStates& c = form_.MutableCommands();
  c.upload = c.download = c.remote_menu = c.remote_button = false;
  form_.RefreshCommands();
  timer_.start();
}

void ReconnectCommands::Stop() { timer_.stop(); }

void ReconnectCommands::TryAgain() {
  AppContext& ctx = form_.context();
  // The user took over: another port, or a connection of their own.
  if (ctx.current_port != port_ || ctx.link_mode != lk::LinkMode::kCom || ctx.connected ||
      (enabled_ && !enabled_())) {
    Stop();
    return;
  }
  if (!form_.isEnabled() || !controller_.PortAnswers()) {
    return;  // not back yet; quietly again in two seconds
  }
  controller_.DestroyDriver();
  const lk::ConnectOutcome outcome = controller_.Connect();
  if (outcome.result == lk::ConnectResult::kPortUnavailable ||
      outcome.result == lk::ConnectResult::kNotConnected) {
    controller_.DestroyDriver();
    return;  // the port is there, the instrument not yet
  }
  Stop();
  form_.ConnectedPanel()->setToolTip(QString());
  if (outcome.result == lk::ConnectResult::kConnected && ctx.instrument.serial_number != serial_) {
    const QString question =
        Tr("A different instrument now answers on %1: %2 (serial number %3) instead of serial "
           "number %4.\rDo you wish to use it?")
            .arg(port_, core::config::ModelName(ctx.instrument.model_index),
                 ctx.instrument.serial_text, serial_text_);
    if (!prompts_.Confirm(question)) {
      // Nothing is sent to an instrument nobody agreed to.
      controller_.DestroyDriver();
      ctx.instrument_detected = false;
      form_.ConnectedPanel()->setText(Tr("Not Connected"));
      form_.SerialPanel()->setText(Tr("Serial No.: Unknown"));
      CommandStates& c = form_.MutableCommands();
      c.upload = c.download = c.remote_menu = c.remote_button = false;
      form_.RefreshCommands();
      return;
    }
  }
  link_.ApplyConnectOutcome(outcome);
  if (was_remote_ && outcome.result == lk::ConnectResult::kConnected && outcome.remote_enabled) {
    remote_.StartRemoteControl(true);
  }
}

}  // namespace zizara::gui::app

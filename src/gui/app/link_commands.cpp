#include "gui/app/link_commands.h"

#include "core/config/preset_options.h"
#include "core/i18n/tr.h"
#include "gui/app/main_form.h"
#include "gui/app/undo_commands.h"

namespace zizara::gui::app {

using core::i18n::Tr;
namespace lk = core::link;

LinkCommands::LinkCommands(TMainForm& form, link::LinkController& controller)
    : QObject(&form), form_(form), controller_(controller) {
  // The status says so at once, not only after the message about it has been answered.
  connect(&controller_, &link::LinkController::TransferAborted, this, [this] {
    if (form_.context().engine.kind == lk::TransferKind::kUpload) {
      ShowUploadTerminated();
    }
  });
}

void LinkCommands::ShowUploadTerminated() {
  form_.SetFilePanelText(Tr("Upload terminated by the user..."));
  form_.OffsetPanel()->clear();
}

void LinkCommands::ApplyConnectOutcome(const lk::ConnectOutcome& outcome) {
  AppContext& ctx = form_.context();
  CommandStates& c = form_.MutableCommands();
  form_.ConnectedPanel()->setText(outcome.connected_panel);
  form_.SerialPanel()->setText(outcome.serial_panel);
  switch (outcome.result) {
    case lk::ConnectResult::kPortUnavailable:
      form_.SetMenuState(MenuState::kDisableCom);
      c.upload = c.download = c.remote_menu = c.remote_button = false;
      break;
    case lk::ConnectResult::kNotConnected:
      c.restart = true;
      c.upload = c.download = c.remote_menu = c.remote_button = false;
      break;
    case lk::ConnectResult::kBiosMode:
      c.restart = true;
      c.upload = false;
      break;
    case lk::ConnectResult::kConnected:
    case lk::ConnectResult::kUnsupported:
      c.restart = true;
      c.upload = outcome.upload_enabled;
      c.remote_menu = c.remote_button = outcome.remote_enabled;
      if (form_.commands().matrix_visible) {
        c.download = outcome.download_enabled;
      }
      if (outcome.result == lk::ConnectResult::kUnsupported) {
        c.download = false;
      }
      break;
  }
  ctx.model_supported = outcome.model_supported;
  form_.RefreshCommands();
}

void LinkCommands::ConnectAtStartUp() {
  AppContext& ctx = form_.context();
  if (ctx.port_unavailable || ctx.link_mode != lk::LinkMode::kCom) {
    return;
  }
  ApplyConnectOutcome(controller_.Connect());
}

void LinkCommands::PortChosen() {
  controller_.DestroyDriver();
  AppContext& ctx = form_.context();
  if (ctx.link_mode == lk::LinkMode::kCom) {
    ApplyConnectOutcome(controller_.Connect());
  }
}

void LinkCommands::Upload() {
  if (!form_.CheckSaveChanges()) {
    return;
  }
  AppContext& ctx = form_.context();
  const bool had_configuration = form_.commands().matrix_visible;
  form_.SetMenuState(MenuState::kUpLoad);
  form_.SetFilePanelText(Tr("Uploading..."));
  ctx.engine.abort = false;
  const lk::TransferOutcome result = controller_.Upload();
  if (ctx.link_mode == lk::LinkMode::kCom) {
    ApplyConnectOutcome(controller_.last_outcome());
  }
  if (result == lk::TransferOutcome::kDone) {
    form_.AfterUpload();
    return;
  }
  if (result == lk::TransferOutcome::kAborted) {
    ShowUploadTerminated();
  } else {
    form_.SetFilePanelText(QString());
  }
  // The configuration in memory is unchanged: show it again rather than an empty window.
  if (had_configuration) {
    form_.RestoreAfterFailedUpload();
  }
}

void LinkCommands::Download() {
  AppContext& ctx = form_.context();
  ctx.engine.abort = false;
  controller_.Download(force_v5_);
  // The download may have upgraded the configuration in memory first.
  if (form_.Undo() != nullptr) form_.Undo()->Record(Tr("Upgrade to Version 5"));
  form_.RefreshCommands();
}

void LinkCommands::Restart() {
  AppContext& ctx = form_.context();
  const lk::ConnectOutcome outcome = controller_.Restart();
  if (ctx.link_mode == lk::LinkMode::kCom) {
    ApplyConnectOutcome(outcome);
  }
}

}  // namespace zizara::gui::app

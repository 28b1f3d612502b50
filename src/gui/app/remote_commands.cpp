#include "gui/app/remote_commands.h"

#include "core/config/preset_options.h"
#include "core/i18n/tr.h"
#include "core/link/wait.h"
#include "core/remote/remote_session.h"
#include "gui/app/main_form.h"
#include "gui/matrix/matrix_view.h"

namespace zizara::gui::app {

using core::i18n::Tr;
namespace lk = core::link;

namespace {
constexpr int kReadXPointsDelayMs = 100;
constexpr int kPresetKeyPauseMs = 250;
}  // namespace

RemoteCommands::RemoteCommands(TMainForm& form, link::LinkController& controller,
                               core::ui_port::Prompts& prompts)
    : QObject(&form), form_(form), controller_(controller), prompts_(prompts) {
  parser_ = std::make_unique<core::remote::DotMessageParser>(
      remote_, macro_, form_.context().instrument, prompts_, *this);
  work_around_rx_flag_timer_.setSingleShot(true);
  work_around_rx_flag_timer_.setInterval(kReadXPointsDelayMs);
  connect(&work_around_rx_flag_timer_, &QTimer::timeout, this,
          &RemoteCommands::ReadRemoteXPoints);
  connect(&controller_, &link::LinkController::LineReceived, this,
          &RemoteCommands::OnLineReceived);
}

RemoteCommands::~RemoteCommands() = default;

void RemoteCommands::SyncConnected() { form_.context().connected = remote_.connected; }

void RemoteCommands::OnLineReceived(const QByteArray& text) { parser_->Parse(text); }

bool RemoteCommands::StartRemoteControl(bool quiet) {
  AppContext& ctx = form_.context();
  ctx.engine.abort = false;
  remote_.connected = false;
  SyncConnected();
  if (!quiet && !form_.CheckSaveChanges()) {
    return false;
  }
  form_.setEnabled(false);
  core::remote::RemoteSession session(controller_.IdentificationLayer(),
                                      controller_.TransfersLayer(), controller_.EnsureLink(),
                                      ctx.engine, remote_);
  const core::remote::StartResult result =
      session.Start(quiet, form_.ConnectedPanel()->text(), [this] { form_.ShowMatrix(false); });
  switch (result) {
    case core::remote::StartResult::kProbeFailed:
      break;
    case core::remote::StartResult::kAborted:
      form_.MutableCommands().remote_menu = form_.MutableCommands().remote_button = true;
      break;
    case core::remote::StartResult::kStarted:
      if (!quiet) {
        form_.RefreshPresetList();
        form_.PresetDropDown()->setCurrentIndex(0);
      }
      break;
  }
  SyncConnected();
  form_.setEnabled(true);
  form_.RefreshCommands();
  return true;
}

void RemoteCommands::ReadRemoteXPoints() {
  if (!remote_.connected || controller_.Link() == nullptr) {
    return;
  }
  AppContext& ctx = form_.context();
  core::remote::RemoteSession session(controller_.IdentificationLayer(),
                                      controller_.TransfersLayer(), controller_.EnsureLink(),
                                      ctx.engine, remote_);
  session.ReadRemoteXPoints();
  remote_.reload_pending = false;
  form_.SetMenuState(MenuState::kRemoteConnect);
  form_.Matrix()->DrawAllXPoints();
  form_.setEnabled(true);
}

bool RemoteCommands::ConfirmLeaveRemote() {
  if (!remote_.connected) {
    return true;
  }
  if (!prompts_.Confirm(Tr("The remote connection to the ") + form_.ConnectedPanel()->text() +
                        Tr(" will be disconnected.") + QStringLiteral("\r") +
                        Tr("Do you wish to proceed?"))) {
    form_.MutableCommands().remote_button_down = true;
    form_.RefreshCommands();
    return false;
  }
  EndRemoteControl();
  return true;
}

void RemoteCommands::EndRemoteControl() {
  remote_.connected = false;
  SyncConnected();
  form_.SetMenuState(MenuState::kInitialize);
  form_.PresetDropDown()->clear();
  form_.ShowMatrix(false);
  CommandStates& c = form_.MutableCommands();
  c.restart = true;
  c.remote_button_down = false;
  c.upload = true;
  c.remote_menu = c.remote_button = true;
  c.save = false;
  form_.RefreshCommands();
}

void RemoteCommands::SelectPresetOnInstrument(int index) {
  form_.PresetDropDown()->setEnabled(false);
  SendDotCommand(".SP9," + QByteArray::number(index + 1) + "\r");
  form_.PresetDropDown()->setEnabled(true);
}

void RemoteCommands::PressPresetKey(int number) {
  if (!remote_.connected) {
    return;
  }
  SendDotCommand(".SP1," + QByteArray::number(number) + "\r");
  lk::Pause(kPresetKeyPauseMs);
}

void RemoteCommands::ReportedXPoint(int output, int input, bool remote) {
  form_.Matrix()->SetReportedXPoint(output - 1, input - 1, remote);
}

void RemoteCommands::FlashXPoint(int output, int input) {
  form_.Matrix()->FlashXPoint(input - 1, output - 1);
}

void RemoteCommands::PresetReported(int preset) {
  AppContext& ctx = form_.context();
  {
    const QSignalBlocker block(form_.PresetDropDown());
    form_.PresetDropDown()->setCurrentIndex(preset - 1);
  }
  ctx.config.map = core::remote::MapAfterPresetReport(ctx.config.map, preset);
  form_.Matrix()->ChannelNamesFromImage();
  form_.Matrix()->UpdateChannelLabels(matrix::TMatrixView::Axis::kInputs);
  work_around_rx_flag_timer_.start();
}

void RemoteCommands::ReloadRequested() { work_around_rx_flag_timer_.start(); }

void RemoteCommands::ClearPortBuffers() {
  if (lk::InstrumentLink* link = controller_.Link()) {
    link->transport().Clear(true, true);
  }
}

void RemoteCommands::LogLine(const QString& line) { form_.DotLogForm()->AppendLine(line); }

void RemoteCommands::FilePanel(const QString& text) { form_.SetFilePanelText(text); }

void RemoteCommands::SendDotCommand(const QByteArray& command) {
  lk::InstrumentLink& link = controller_.EnsureLink();
  link.transport().Clear(true, true);
  link.SendText(command);
}

std::optional<QByteArray> RemoteCommands::QueryDotCommand(const QByteArray& command,
                                                          int timeout_ms) {
  lk::InstrumentLink& link = controller_.EnsureLink();
  lk::LinkState& state = link.state();
  link.transport().Clear(true, true);
  // Keep the reply for us instead of handing it to the interpreter.
  state.handshake_active = true;
  state.line_buffer.clear();
  state.line_received = false;
  link.SendText(command);
  link.WaitForLine(std::max(1, timeout_ms / 10));
  const QByteArray reply = state.line_buffer;
  state.line_buffer.clear();
  state.handshake_active = false;
  if (reply.isEmpty()) {
    return std::nullopt;
  }
  LogLine(QString::fromLatin1(reply));
  return reply;
}

}  // namespace zizara::gui::app

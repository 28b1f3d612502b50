#include "gui/app/remote_commands.h"

#include <QFileInfo>

#include "core/config/preset_options.h"
#include "core/i18n/tr.h"
#include "core/link/wait.h"
#include "core/matrix/xpoint_cells.h"
#include "core/remote/macro_file.h"
#include "core/remote/macro_runner.h"
#include "core/remote/remote_session.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_settings.h"
#include "gui/app/main_form.h"
#include "gui/matrix/matrix_view.h"

namespace zizara::gui::app {

using core::i18n::Tr;
namespace lk = core::link;

namespace {
constexpr int kReadXPointsDelayMs = 100;
constexpr int kPresetKeyPauseMs = 250;
constexpr char kMacroFilter[] = TrNoop("QLX Configuration-Files (*.MCR *.mcr);;All Files (*)");

QString MacroNotRunText() { return Tr("Macro not run: the QLX did not connect."); }
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
  macro_window_ = new remote::TRunMacrosForm(
      [this](const QString& text) { form_.SetFilePanelText(text); }, &form_);
}

RemoteCommands::~RemoteCommands() = default;

void RemoteCommands::SyncConnected() { form_.context().connected = remote_.connected; }

void RemoteCommands::SyncMacroRunning() {
  form_.context().macro_running = macro_.running;
  form_.RefreshCommands();  // the Macro menu's items and their shortcuts follow at once
}

void RemoteCommands::DropPendingMacro(const QString& why) {
  if (!macro_.pending) {
    return;
  }
  macro_.pending = false;
  macro_.pending_file.clear();
  macro_.running = false;
  SyncMacroRunning();
  form_.SetFilePanelText(why);
}

void RemoteCommands::OnLineReceived(const QByteArray& text) { parser_->Parse(text); }

bool RemoteCommands::StartRemoteControl(bool quiet) {
  AppContext& ctx = form_.context();
  DropPendingMacro(MacroNotRunText());
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
      session.Start(quiet, form_.ConnectedPanel()->text(), [this] {
        form_.ShowMatrix(false);
        form_.SetRemoteMenuChecks(true);
      });
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
  if (macro_in_run_) {
    // Reading now would take the line from under the macro's wait.
    xpoints_read_deferred_ = true;
    return;
  }
  ReadXPointsNow();
  if (macro_.pending) {
    macro_.pending = false;
    const QString file = macro_.pending_file;
    macro_.pending_file.clear();
    RunMacro(pending_item_, file);
  }
}

void RemoteCommands::ReadXPointsBetweenMacroLines() {
  if (!work_around_rx_flag_timer_.isActive() && !xpoints_read_deferred_) {
    return;
  }
  work_around_rx_flag_timer_.stop();
  xpoints_read_deferred_ = false;
  ReadXPointsNow();
}

void RemoteCommands::ReadXPointsNow() {
  if (!remote_.connected || controller_.Link() == nullptr) {
    return;
  }
  AppContext& ctx = form_.context();
  core::remote::RemoteSession session(controller_.IdentificationLayer(),
                                      controller_.TransfersLayer(), controller_.EnsureLink(),
                                      ctx.engine, remote_);
  // The matrix shows what the instrument reports, nothing of the image's routing table.
  core::matrix::XPointCells& cells = form_.Matrix()->model().cells;
  cells.Clear();
  core::matrix::MarkIllegalXPoints(cells, form_.Matrix()->CellImages());
  session.ReadRemoteXPoints();
  remote_.reload_pending = false;
  form_.SetMenuState(MenuState::kRemoteConnect);
  form_.Matrix()->DrawAllXPoints();
  form_.setEnabled(true);
}

QString RemoteCommands::AssignedMacroFile(int item) const {
  if (item < 1 || item > 10) {
    return {};
  }
  core::settings::IniFile ini(form_.SettingsPath());
  ini.Load();
  return core::settings::ReadMacroAssignments(ini).files[static_cast<std::size_t>(item - 1)];
}

QString RemoteCommands::MacroCaption(int item) const {
  const QString file = AssignedMacroFile(item);
  QString name;
  QString error;
  if (file.isEmpty() || !core::remote::ReadMacroName(file, &name, &error)) {
    return {};
  }
  // An empty name would leave the item looking unassigned; the file's name stands in.
  if (name.trimmed().isEmpty()) {
    name = QFileInfo(file).fileName();
  }
  return name;
}

void RemoteCommands::LoadMacroCaption(int item) {
  const QString caption = MacroCaption(item);
  if (!caption.isEmpty()) {
    // A name is text, not a menu accelerator.
    form_.SetMacroItemCaption(item,
                              QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
  }
}

void RemoteCommands::RefreshMacroCaptions() {
  for (int item = 1; item <= 10; ++item) {
    LoadMacroCaption(item);
  }
}

void RemoteCommands::AssignMacro(int item) {
  if (!prompts_.Confirm(Tr("Do you wish to assign a new macro to this item?"))) {
    return;
  }
  const QString file = form_.Files().OpenFileName(
      Tr("Assign Macro"), Tr(kMacroFilter));
  if (file.isEmpty()) {
    return;
  }
  QString error;
  core::settings::AssignMacroFile(form_.SettingsPath(), item - 1, file, &error);
  LoadMacroCaption(item);
}

void RemoteCommands::UnassignMacro(int item) {
  if (!prompts_.Confirm(Tr("Do you wish to unassign the macro from this item?"))) {
    return;
  }
  QString error;
  core::settings::AssignMacroFile(form_.SettingsPath(), item - 1, QString(), &error);
  form_.SetMacroItemCaption(item, Tr("<Unassigned>"));
}

void RemoteCommands::MacroItemClick(int item, bool shift_held, bool delete_held) {
  if (macro_.running) {
    return;  // a hotkey or a shortcut during a run; one macro at a time
  }
  if (item >= 1 && item <= 10) {
    if (shift_held) {
      AssignMacro(item);
      return;
    }
    QString plain;
    for (const QChar c : form_.MacroItemCaption(item)) {
      if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
          (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || c == QLatin1Char('<') ||
          c == QLatin1Char('>')) {
        plain += c;
      }
    }
    const bool unassigned = plain == QStringLiteral("<Unassigned>") || plain == Tr("<Unassigned>");
    if (delete_held && !unassigned) {
      UnassignMacro(item);
      return;
    }
    if (unassigned) {
      AssignMacro(item);
      return;
    }
  }
  RunNowOrAfterConnecting(item, QString());
}

bool RemoteCommands::RunNowOrAfterConnecting(int item, const QString& file_name) {
  if (remote_.connected) {
    RunMacro(item, file_name);
    return true;
  }
  // The macro runs once the instrument's X-Points have been read.
  if (!prompts_.Confirm(Tr(core::remote::kConnectQuestion)) || !StartRemoteControl(false)) {
    return false;
  }
  if (!remote_.connected) {
    form_.SetFilePanelText(MacroNotRunText());
    return false;
  }
  macro_.running = true;
  macro_.pending = true;
  macro_.pending_file = file_name;
  pending_item_ = item;
  SyncMacroRunning();
  return true;
}

bool RemoteCommands::RunMacroFile(const QString& file_name) {
  if (!file_name.right(4).toUpper().endsWith(QStringLiteral(".MCR")) ||
      !form_.commands().remote_menu || macro_.running) {
    return false;
  }
  return RunNowOrAfterConnecting(kRunMacroItem, file_name);
}

void RemoteCommands::RunMacro(int item, const QString& file_name) {
  if (macro_in_run_) {
    return;  // one inside another would end the outer one's run and handshake
  }
  macro_.running = true;
  macro_.stop_requested = false;
  SyncMacroRunning();
  QString file = file_name;
  if (file.isEmpty() && item >= 1 && item <= 10) {
    file = AssignedMacroFile(item);
  } else if (file.isEmpty()) {
    file = form_.Files().OpenFileName(
        Tr("Run Macro"), Tr(kMacroFilter));
  }
  if (!file.isEmpty()) {
    core::remote::MacroRunner runner(
        controller_.EnsureLink(), remote_, macro_, *parser_, *macro_window_,
        [this](const QByteArray& line) { return form_.Matrix()->IsRoutingLineAllowed(line); });
    runner.set_timing(macro_timing_);
    runner.set_between_lines([this] { ReadXPointsBetweenMacroLines(); });
    macro_in_run_ = true;
    runner.RunFile(file);
    macro_in_run_ = false;
  }
  macro_.running = false;
  SyncMacroRunning();
  macro_window_->HideWindow();
  if (xpoints_read_deferred_) {
    // Fell due during the last line's wait: read once the line is free.
    xpoints_read_deferred_ = false;
    work_around_rx_flag_timer_.start();
  }
}

void RemoteCommands::StopMacro() {
  macro_.stop_requested = true;
  DropPendingMacro(Tr("Macro stopped by user..."));
}

void RemoteCommands::BringMacroWindowToFront() {
  if (macro_window_->isVisible()) {
    macro_window_->raise();
    macro_window_->activateWindow();
  }
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
  DropPendingMacro(MacroNotRunText());
  form_.SetRemoteMenuChecks(false);
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

void RemoteCommands::MacroThirdLine(const QString& text) { macro_window_->SetThirdLine(text); }

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

#include "cli/cli_macro.h"

#include "cli/console_prompts.h"
#include "cli/terminal_progress.h"
#include "core/config/model_table.h"
#include "core/config/version.h"
#include "core/i18n/tr.h"
#include "core/link/identification.h"
#include "core/link/transfers.h"
#include "core/link/wait.h"
#include "core/remote/dot_messages.h"
#include "core/remote/macro_runner.h"
#include "core/remote/remote_session.h"

namespace zizara::cli {

using core::i18n::Tr;
namespace link = core::link;
namespace remote = core::remote;

namespace {

constexpr int kPresetReplyMs = 1000;

// Prints what the instrument reports and what each macro line came to.
class ConsoleMacroOutput : public remote::DotListener, public remote::MacroView {
 public:
  ConsoleMacroOutput(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}

  // The interpreter's side.
  void FlashXPoint(int output, int input) override {
    refused_ = Tr(" (output %1, input %2)").arg(output).arg(input);
  }
  void PresetReported(int preset) override { preset_ = preset; }
  void LogLine(const QString& line) override { err_ << ForTerminal(line) << Qt::endl; }

  // The runner's side: the start and end texts, then one outcome per command line.
  void ShowWindow(const QString& line1, const QString& /*line2*/,
                  const QString& /*line3*/) override {
    err_ << ForTerminal(line1) << Qt::endl;
  }
  void LineDone(const remote::MacroLineOutcome& o) override {
    const QString line = ForTerminal(QString::fromLatin1(o.line));
    ++lines_;
    if (o.sends == 0) {
      ++skipped_;
      out_ << line << Tr(": skipped") << Qt::endl;
      return;
    }
    if (!o.confirmed) {
      ++unanswered_;
      out_ << line << Tr(": no reply after %1 sends").arg(o.sends) << Qt::endl;
      refused_.clear();
      return;
    }
    QString what;
    switch (o.reply) {
      case 'A':
        ++done_;
        what = Tr(": done");
        break;
      case 'F':
        ++refused_count_;
        what = Tr(": refused") + refused_;
        break;
      default:
        ++not_done_;
        what = Tr(": not done");
        break;
    }
    out_ << line << what;
    if (o.sends > 1) {
      out_ << Tr(" after %1 sends").arg(o.sends);
    }
    out_ << Qt::endl;
    refused_.clear();
  }

  // Every line answered ".A".
  bool AllDone() const { return done_ == lines_; }
  // "12 lines: 9 done, 1 refused (.F), 1 not done (.N), 1 no reply"
  QString Summary() const {
    QString text = Tr("%1 lines: %2 done").arg(lines_).arg(done_);
    if (refused_count_ > 0) text += Tr(", %1 refused (.F)").arg(refused_count_);
    if (not_done_ > 0) text += Tr(", %1 not done (.N)").arg(not_done_);
    if (unanswered_ > 0) text += Tr(", %1 no reply").arg(unanswered_);
    if (skipped_ > 0) text += Tr(", %1 skipped").arg(skipped_);
    return text;
  }

  int preset() const { return preset_; }

 private:
  QTextStream& out_;
  QTextStream& err_;
  QString refused_;
  int preset_ = 0;
  int lines_ = 0;
  int done_ = 0;
  int refused_count_ = 0;
  int not_done_ = 0;
  int unanswered_ = 0;
  int skipped_ = 0;
};

}  // namespace

int RunMacroVerb(const GlobalOptions& options, const QStringList& args, QTextStream& out,
                 QTextStream& err, const CliEnvironment& env) {
  if (args.size() != 1) {
    return UsageError(err, Tr("macro takes one macro file"));
  }
  remote::MacroFile macro;
  QString error;
  if (!remote::ReadMacroFile(args.first(), &macro, &error)) {
    err << ForTerminal(error) << Qt::endl;
    return kExitFailed;
  }
  QString why_not;
  const QString port = ResolvePort(options.port, &why_not);
  if (port.isEmpty()) {
    err << why_not << Qt::endl;
    return kExitFailed;
  }

  ConsolePrompts prompts(err, env.interactive && !options.yes,
                         options.yes ? core::ui_port::Answer::kYes : core::ui_port::Answer::kNo);
  TerminalProgress progress(err, false);
  std::unique_ptr<link::Transport> transport = env.make_transport(port);
  link::LinkState link_state;
  link::InstrumentRecord record;
  link::EngineState engine;
  link::ConnectFlags flags;
  core::config::Configuration config;
  link::InstrumentLink instrument(*transport, link_state, prompts);
  link::DriverEngine driver(instrument, engine, record, progress);
  link::Identification identification(driver, flags);
  link::ConfigurationTransfers transfers(driver, identification, config);

  if (!instrument.OpenLink(&error)) {
    err << link::PortUnavailableText(transport->Name(), error) << Qt::endl;
    return kExitFailed;
  }
  remote::RemoteState remote_state;
  remote::MacroState macro_state;
  ConsoleMacroOutput output(out, err);
  remote::DotMessageParser parser(remote_state, macro_state, record, prompts, output);
  QObject::connect(&instrument, &link::InstrumentLink::LineReceived,
                   [&parser](const QByteArray& text) { parser.Parse(text); });

  remote::RemoteSession session(identification, transfers, instrument, engine, remote_state);
  const remote::StartResult started = session.Start(true, transport->Name());
  if (env.report != nullptr && !record.serial_text.isEmpty()) {
    env.report->identified = true;
    env.report->serial = record.serial_number;
    env.report->model = core::config::ModelName(record.model_index);
    if (record.software_version_code > 0) {
      env.report->version = core::config::FormatVersionCode(record.software_version_code);
    }
  }
  if (started != remote::StartResult::kStarted) {
    err << Tr("No instrument answered for remote control on %1.").arg(transport->Name())
        << Qt::endl;
    return kExitFailed;
  }
  link::WaitUntil([&output] { return output.preset() != 0; }, kPresetReplyMs, transport.get());

  remote::MacroRunner runner(instrument, remote_state, macro_state, parser, output);
  const remote::MacroEnd end = runner.Run(macro);
  err << (end == remote::MacroEnd::kFinished ? Tr("Macro finished...")
                                             : Tr("Macro stopped by user..."))
      << Qt::endl;
  out.flush();
  const bool all_done = end == remote::MacroEnd::kFinished && output.AllDone();
  if (!all_done) {
    err << output.Summary() << Qt::endl;
  }
  instrument.CloseLink();
  return all_done ? kExitOk : kExitFailed;
}

}  // namespace zizara::cli

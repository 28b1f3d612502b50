#include "cli/cli_link.h"

#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <vector>

#include "cli/cli_install.h"
#include "cli/cli_macro.h"
#include "cli/console_prompts.h"
#include "cli/fleet.h"
#include "cli/terminal_progress.h"
#include "core/config/model_table.h"
#include "core/config/preset_file.h"
#include "core/config/version.h"
#include "core/i18n/tr.h"
#include "core/io/file_access.h"
#include "core/link/external_command.h"
#include "core/link/identification.h"
#include "core/link/port_names.h"
#include "core/link/serial_transport.h"
#include "core/link/transfers.h"
#include "core/live/about_texts.h"
#include "core/link/transport_factory.h"
#include "core/settings/ini_file.h"

namespace zizara::cli {

using core::i18n::Tr;
namespace cfg = core::config;
namespace link = core::link;
using core::ui_port::Answer;

CliEnvironment DefaultEnvironment() {
  CliEnvironment env;
  env.make_transport = [](const QString& port) { return link::MakeTransport(port); };
  env.interactive = ::isatty(STDIN_FILENO) != 0 && ::isatty(STDERR_FILENO) != 0;
  env.progress_bar = ::isatty(STDERR_FILENO) != 0;
  return env;
}

QString ResolvePort(const QString& option, QString* why_not) {
  if (!option.isEmpty()) {
    return option;
  }
  const QString env = qEnvironmentVariable("VTZIZARA_PORT");
  if (!env.isEmpty()) {
    return env;
  }
  core::settings::IniFile ini(core::settings::SettingsFilePath());
  if (ini.Load()) {
    const QString stored = ini.GetString("Settings", "ComInterface").trimmed();
    if (stored.compare(QStringLiteral("EXT"), Qt::CaseInsensitive) == 0) {
      *why_not = Tr("The settings choose the external command, not a serial port; name the "
                    "port with --port or VTZIZARA_PORT.");
      return {};
    }
    if (!stored.isEmpty()) {
      return stored;
    }
  }
  const QStringList ports = link::AvailablePorts();
  return ports.isEmpty() ? QStringLiteral("ttyS0") : ports.first();
}

namespace {

// Everything one conversation with the instrument needs, owned in one place.
struct Session {
  Session(std::unique_ptr<link::Transport> t, ConsolePrompts& prompts, TerminalProgress& progress)
      : transport(std::move(t)),
        link(*transport, link_state, prompts),
        driver(link, engine, record, progress),
        identification(driver, flags),
        transfers(driver, identification, config) {}

  std::unique_ptr<link::Transport> transport;
  QString port;  // as the user named it
  PortReport* report = nullptr;  // the many-ports runner's, when it runs this port
  link::LinkState link_state;
  link::InstrumentRecord record;
  link::EngineState engine;
  link::ConnectFlags flags;
  cfg::Configuration config;
  link::InstrumentLink link;
  link::DriverEngine driver;
  link::Identification identification;
  link::ConfigurationTransfers transfers;
};

// The identity the run found first: a download rewrites the memory identification reads, so
// a later identification may see the sent file's serial word instead of the instrument's.
void TakeReport(const Session& s) {
  if (s.report == nullptr || s.report->identified || s.record.serial_text.isEmpty()) {
    return;
  }
  s.report->identified = true;
  s.report->serial = s.record.serial_number;
  s.report->model = cfg::ModelName(s.record.model_index);
  if (s.record.software_version_code > 0) {
    s.report->version = cfg::FormatVersionCode(s.record.software_version_code);
  }
}

bool IsExtVerb(const QString& verb) {
  return verb.compare(QStringLiteral("/r"), Qt::CaseInsensitive) == 0 ||
         verb.compare(QStringLiteral("/d"), Qt::CaseInsensitive) == 0 ||
         verb.compare(QStringLiteral("/i"), Qt::CaseInsensitive) == 0;
}

// The text protocol reports the version; without it, the version text in memory does, as for
// an upload's trailer.
int EffectiveVersionCode(const Session& s, const link::ConnectOutcome& outcome) {
  if (s.record.remote_capable || s.record.bios_mode) {
    return s.record.software_version_code;
  }
  return cfg::VersionCodeFromNumber(outcome.software_version);
}

QJsonObject IdentityJson(const Session& s, const link::ConnectOutcome& outcome) {
  const link::InstrumentRecord& r = s.record;
  QJsonObject o;
  o[QStringLiteral("port")] = s.port;
  o[QStringLiteral("found")] = r.instrument_found;
  o[QStringLiteral("bios_mode")] = r.bios_mode;
  o[QStringLiteral("serial")] = r.serial_number;
  o[QStringLiteral("serial_text")] = r.serial_text;
  o[QStringLiteral("model_index")] = r.model_index;
  o[QStringLiteral("model")] = cfg::ModelName(r.model_index);
  o[QStringLiteral("supported")] = cfg::ModelSupported(r.model_index);
  o[QStringLiteral("remote_capable")] = r.remote_capable;
  o[QStringLiteral("software_version")] = outcome.software_version;
  o[QStringLiteral("software_version_code")] = EffectiveVersionCode(s, outcome);
  o[QStringLiteral("backup_blocks")] = r.backup_block_count.toInt();
  o[QStringLiteral("layout_marker")] = r.layout_marker;
  o[QStringLiteral("connected_panel")] = outcome.connected_panel;
  o[QStringLiteral("serial_panel")] = outcome.serial_panel;
  static const char* const kNames[18] = {
      nullptr,          "serial_number",  nullptr,          "firmware_version", "hardware_id",
      "bios_version",   "extended_bios_id", "software_version_code", "input_channels",
      "output_channels",
      "input_module_1", "input_module_2", "input_module_3", "input_module_4",   "output_module_1",
      "output_module_2", "output_module_3", "output_module_4"};
  QJsonObject reported;
  for (int k = 1; k < 18; ++k) {
    if (r.identity_known[k]) {
      reported[QString::fromLatin1(kNames[k])] = r.identity[k];
    }
  }
  o[QStringLiteral("reported")] = reported;
  if (r.remote_capable) {
    // What the about and module windows show of a dot-capable instrument.
    namespace live = core::live;
    o[QStringLiteral("inputs")] = r.identity[8];
    o[QStringLiteral("outputs")] = r.identity[9];
    o[QStringLiteral("modules")] =
        QJsonObject{{QStringLiteral("inputs"), QJsonArray::fromStringList(live::InputModuleTexts(r))},
                    {QStringLiteral("outputs"),
                     QJsonArray::fromStringList(live::OutputModuleTexts(r))}};
    o[QStringLiteral("firmware_version")] = r.firmware_version();
    o[QStringLiteral("hardware_version")] = live::VersionNumberText(r.hardware_id());
    o[QStringLiteral("bios_version")] = live::VersionNumberText(r.bios_version());
  }
  return o;
}

// Connect and say why the instrument cannot be used for `purpose`; empty means go ahead.
enum class Need { kAnything, kUpload, kDownload };

bool ConnectFor(Session& s, Need need, QTextStream& err, link::ConnectOutcome* outcome) {
  *outcome = s.identification.Connect(false, false);
  TakeReport(s);
  switch (outcome->result) {
    case link::ConnectResult::kPortUnavailable:
      return false;
    case link::ConnectResult::kNotConnected:
      err << (s.record.no_reliable_answer ? link::NoReliableAnswerText(s.port)
                                          : Tr("No instrument found."))
          << Qt::endl;
      return false;
    case link::ConnectResult::kUnsupported:
      return need == Need::kAnything;
    case link::ConnectResult::kBiosMode:
      return need != Need::kUpload;
    case link::ConnectResult::kConnected:
      return true;
  }
  return false;
}

void PrintTransferJson(QTextStream& out, const Session& s, const QElapsedTimer& timer,
                       const QString& result, const QString& file) {
  QJsonObject o;
  o[QStringLiteral("result")] = result;
  o[QStringLiteral("file")] = file;
  o[QStringLiteral("elapsed_s")] = static_cast<double>(timer.nsecsElapsed()) / 1e9;
  o[QStringLiteral("bytes_sent")] = s.link.bytes_sent();
  o[QStringLiteral("bytes_received")] = s.link.bytes_received();
  out << QJsonDocument(o).toJson(QJsonDocument::Compact) << Qt::endl;
}

int Identify(Session& s, const GlobalOptions& options, QTextStream& out, QTextStream& err) {
  link::ConnectOutcome outcome;
  bool usable = ConnectFor(s, Need::kAnything, err, &outcome);
  if (s.link.LineFailed()) {
    // A line that broke mid-way proves nothing about the instrument.
    err << Tr("The line to the QLX on %1 broke: %2")
               .arg(s.port, s.link.LineFailureReason())
        << Qt::endl;
    usable = false;
  }
  if (options.json) {
    out << QJsonDocument(IdentityJson(s, outcome)).toJson(QJsonDocument::Compact) << Qt::endl;
  } else if (usable) {
    out << Tr("Port: ") << ForTerminal(s.port) << '\n'
        << ForTerminal(outcome.connected_panel) << '\n'
        << ForTerminal(outcome.serial_panel) << '\n';
    if (s.record.remote_capable) {
      out << Tr("Remote control: yes") << '\n';
    }
    const int code = EffectiveVersionCode(s, outcome);
    if (code != 0) {
      out << Tr("Software version code: ") << cfg::FormatVersionCode(code) << '\n';
    }
    out.flush();
  }
  return usable ? kExitOk : kExitFailed;
}

// Reads the whole configuration; on success `s.config` holds it with the instrument's trailer.
bool UploadInto(Session& s, QTextStream& err) {
  link::ConnectOutcome outcome;
  if (!ConnectFor(s, Need::kUpload, err, &outcome)) {
    return false;
  }
  return s.transfers.UploadSerial() == link::TransferOutcome::kDone;
}

int Upload(Session& s, const GlobalOptions& options, const QStringList& args, QTextStream& out,
           QTextStream& err) {
  if (args.size() != 1) {
    return UsageError(err, Tr("upload needs one output file"));
  }
  if (args[0].startsWith(QStringLiteral("--"))) {
    return UsageError(err, Tr("unknown option for upload: ") + args[0]);
  }
  // A destination that cannot take the file is found out before a 20-second transfer.
  // "{serial}" is known only once the instrument has answered; the folder is checked now.
  const QString pattern = args[0];
  QString target_error;
  if (!core::io::CheckSaveTarget(ExpandFileName(pattern, {}, QStringLiteral("0")), &target_error)) {
    err << Tr("Error: ") << ForTerminal(target_error) << Qt::endl;
    return kExitFailed;
  }
  QElapsedTimer timer;
  timer.start();
  if (!UploadInto(s, err)) {
    return kExitFailed;
  }
  const QString file = ExpandFileName(pattern, {}, s.record.serial_text);
  QString error;
  if (!cfg::SavePresetFile(file, s.config.image, s.config.trailer, &error)) {
    err << Tr("Error: ") << Tr("could not write ") << file << ": " << error << Qt::endl;
    return kExitFailed;
  }
  if (options.json) {
    PrintTransferJson(out, s, timer, QStringLiteral("done"), file);
  }
  return kExitOk;
}

// Compares what the instrument now holds with what was sent; loud on any difference.
bool Verify(Session& s, QTextStream& err) {
  std::vector<std::uint8_t> back(cfg::kImageSize);
  s.driver.SetCaption(Tr("Verifying Configuration."));
  s.driver.progress().SetMaximum(static_cast<int>(cfg::kImageSize));
  s.driver.progress().ShowProgress();
  const bool read = s.driver.ReadBlocks(link::Command::kReadBlock, link::kConfigurationAddress,
                                        cfg::kImageSize / link::kBlockSize, back.data());
  s.driver.progress().HideProgress();
  if (!read) {
    err << Tr("Verification failed: the configuration could not be read back.") << Qt::endl;
    return false;
  }
  int differing = 0;
  int first = -1;
  for (std::size_t i = 0; i < back.size(); ++i) {
    if (back[i] != s.config.image.bytes()[i]) {
      ++differing;
      if (first < 0) {
        first = static_cast<int>(i);
      }
    }
  }
  if (differing > 0) {
    err << Tr("Verification FAILED: ") << differing << Tr(" bytes differ, the first at image offset 0x")
        << QString::number(first, 16).toUpper() << '.' << Qt::endl;
    return false;
  }
  err << Tr("Verified: the QLX holds the configuration byte for byte.") << Qt::endl;
  return true;
}

int Download(Session& s, const GlobalOptions& options, const QStringList& args, bool restart,
             QTextStream& out, QTextStream& err) {
  QString file;
  bool verify = false;
  for (const QString& a : args) {
    if (a == QStringLiteral("--verify")) {
      verify = true;
    } else if (a == QStringLiteral("--upgrade") || a == QStringLiteral("--no-upgrade")) {
      // read by the caller when it set up the prompts
    } else if (a.startsWith(QStringLiteral("--")) || !file.isEmpty()) {
      return UsageError(err, Tr("download takes one preset file and --upgrade, --no-upgrade, "
                                "--verify"));
    } else {
      file = a;
    }
  }
  if (file.isEmpty()) {
    return UsageError(err, Tr("download needs a preset file"));
  }
  if (!LoadForCli(file, s.config, err)) {
    return kExitFailed;
  }
  QElapsedTimer timer;
  timer.start();
  link::ConnectOutcome outcome;
  if (!ConnectFor(s, Need::kDownload, err, &outcome)) {
    return kExitFailed;
  }
  s.transfers.OfferUpgrade(false);
  const link::TransferOutcome result = s.transfers.DownloadSerial();
  if (result == link::TransferOutcome::kAborted) {
    err << core::ui_port::PromptTextForConsole(link::DownloadAbortedText()) << Qt::endl;
  }
  if (result != link::TransferOutcome::kDone) {
    return kExitFailed;
  }
  if (verify && !Verify(s, err)) {
    return kExitFailed;
  }
  if (restart) {
    s.transfers.FinishDownload(result);
  }
  if (options.json) {
    PrintTransferJson(out, s, timer, QStringLiteral("done"), file);
  }
  return kExitOk;
}

int Restart(Session& s, QTextStream& err) {
  link::ConnectOutcome outcome;
  if (!ConnectFor(s, Need::kAnything, err, &outcome)) {
    return kExitFailed;
  }
  outcome = s.identification.RestartInstrument();
  if (outcome.result == link::ConnectResult::kNotConnected) {
    err << Tr("No instrument found.") << Qt::endl;
    return kExitFailed;
  }
  return kExitOk;
}

int ExtUpload(Session& s, const QStringList& args, QTextStream& err, const CliEnvironment& env) {
  if (args.size() != 2 || args[0].compare(QStringLiteral("$1c000"), Qt::CaseInsensitive) != 0 ||
      args[1] != QStringLiteral("128")) {
    return UsageError(err, Tr("/r takes exactly \"$1c000 128\""));
  }
  const QString dir = env.working_dir.isEmpty() ? QDir::currentPath() : env.working_dir;
  const QString target = QDir(dir).filePath(QString::fromLatin1(link::kUploadExchangeFile));
  QString error;
  if (!core::io::CheckSaveTarget(target, &error) || !UploadInto(s, err)) {
    if (!error.isEmpty()) {
      err << Tr("Error: ") << ForTerminal(error) << Qt::endl;
    }
    return kExitFailed;
  }
  if (!core::io::SaveFileAtomically(target, s.config.image.ToByteArray(), &error)) {
    err << Tr("Error: ") << Tr("could not write ") << target << ": " << error << Qt::endl;
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

bool UploadForCli(const GlobalOptions& options, cfg::Configuration& config, QTextStream& err,
                  const CliEnvironment& env) {
  QString why_not;
  const QString port = ResolvePort(options.port, &why_not);
  if (port.isEmpty()) {
    err << why_not << Qt::endl;
    return false;
  }
  ConsolePrompts prompts(err, false, options.yes ? Answer::kYes : Answer::kNo);
  TerminalProgress progress(err, env.progress_bar && !options.json);
  Session session(env.make_transport(port), prompts, progress);
  session.port = port;
  err << Tr("Port: ") << ForTerminal(port) << Qt::endl;
  if (!UploadInto(session, err)) {
    return false;
  }
  config.image = session.config.image;
  config.trailer = session.config.trailer;
  config.SelectPreset(0);
  return true;
}

QStringList WithoutJsonFlag(const QStringList& args, GlobalOptions& options) {
  QStringList kept;
  for (const QString& a : args) {
    if (a == QStringLiteral("--json")) {
      options.json = true;
    } else {
      kept << a;
    }
  }
  return kept;
}

bool TakePresetArgument(const QStringList& args, int& i, int& preset, QTextStream& err,
                        int* code) {
  bool ok = false;
  const int n = i + 1 < args.size() ? args[i + 1].toInt(&ok) : 0;
  if (!ok || n < 1 || n > core::config::kPresetCount) {
    *code = UsageError(err, Tr("--preset needs a preset number from 1 to 11"));
    return false;
  }
  preset = n - 1;
  ++i;
  return true;
}

bool IsLinkVerb(const QString& verb) {
  static const QStringList kVerbs = {QStringLiteral("ports"), QStringLiteral("identify"),
                                     QStringLiteral("upload"), QStringLiteral("download"),
                                     QStringLiteral("restart")};
  return kVerbs.contains(verb) || IsExtVerb(verb);
}

int RunLinkVerb(const GlobalOptions& global, const QString& verb, const QStringList& raw_args,
                QTextStream& out, QTextStream& err, const CliEnvironment& env) {
  GlobalOptions options = global;
  const QStringList args = WithoutJsonFlag(raw_args, options);
  if (verb == QStringLiteral("ports")) {
    if (!args.isEmpty()) {
      return UsageError(err, Tr("ports takes no arguments"));
    }
    const QList<link::PortEntry> ports = link::ListPorts(QString(), env.serial_dir);
    if (options.json) {
      QJsonArray list;
      for (const link::PortEntry& p : ports) {
        QJsonObject o;
        o[QStringLiteral("name")] = p.name;
        o[QStringLiteral("device")] = p.device;
        o[QStringLiteral("description")] = p.description;
        list.append(o);
      }
      out << QJsonDocument(list).toJson(QJsonDocument::Compact) << Qt::endl;
      return kExitOk;
    }
    // The name to pass to --port, then which device it is when the name does not say.
    for (const link::PortEntry& p : ports) {
      out << ForTerminal(p.name);
      if (p.name != p.device) {
        out << "  " << ForTerminal(p.description);
      }
      out << '\n';
    }
    out.flush();
    return kExitOk;
  }
  if (verb == QStringLiteral("identify") && !args.isEmpty()) {
    return UsageError(err, Tr("identify takes no arguments"));
  }
  if (verb == QStringLiteral("restart") && !args.isEmpty()) {
    return UsageError(err, Tr("restart takes no arguments"));
  }
  if (verb.compare(QStringLiteral("/i"), Qt::CaseInsensitive) == 0 && !args.isEmpty()) {
    return UsageError(err, Tr("/i takes no arguments"));
  }
  QString why_not;
  const QString port = ResolvePort(options.port, &why_not);
  if (port.isEmpty()) {
    err << why_not << Qt::endl;
    return kExitFailed;
  }

  // Questions: the download's upgrade question follows its flags, then --yes, then the user.
  Answer fixed = options.yes ? Answer::kYes : Answer::kNo;
  bool interactive = env.interactive && !options.yes;
  if (args.contains(QStringLiteral("--upgrade")) || args.contains(QStringLiteral("--no-upgrade"))) {
    if (args.contains(QStringLiteral("--upgrade")) && args.contains(QStringLiteral("--no-upgrade"))) {
      return UsageError(err, Tr("--upgrade and --no-upgrade exclude each other"));
    }
    fixed = args.contains(QStringLiteral("--upgrade")) ? Answer::kYes : Answer::kNo;
    interactive = false;
  }
  ConsolePrompts prompts(err, interactive, fixed);
  TerminalProgress progress(err, env.progress_bar && !options.json);
  if (env.progress_sink) {
    progress.SetSink(env.progress_sink);
  }
  Session session(env.make_transport(port), prompts, progress);
  session.port = port;
  session.report = env.report;
  if (verb == QStringLiteral("upload") || verb == QStringLiteral("download") ||
      verb == QStringLiteral("restart")) {
    err << Tr("Port: ") << ForTerminal(port) << Qt::endl;  // identify prints it with the rest
  }

  if (verb == QStringLiteral("identify")) {
    return Identify(session, options, out, err);
  }
  if (verb == QStringLiteral("upload")) {
    return Upload(session, options, args, out, err);
  }
  if (verb == QStringLiteral("download")) {
    return Download(session, options, args, true, out, err);
  }
  if (verb == QStringLiteral("restart")) {
    return Restart(session, err);
  }
  if (verb.compare(QStringLiteral("/r"), Qt::CaseInsensitive) == 0) {
    return ExtUpload(session, args, err, env);
  }
  if (verb.compare(QStringLiteral("/d"), Qt::CaseInsensitive) == 0) {
    if (args.size() != 1) {
      return UsageError(err, Tr("/d takes one preset file"));
    }
    return Download(session, options, args, false, out, err);
  }
  return Restart(session, err);  // "/i"
}

QMap<QString, FleetVerb> FleetVerbs() {
  const auto link_verb = [](const QString& verb) -> PortVerb {
    return [verb](const GlobalOptions& o, const QStringList& a, QTextStream& out, QTextStream& err,
                  const CliEnvironment& env) { return RunLinkVerb(o, verb, a, out, err, env); };
  };
  QMap<QString, FleetVerb> verbs;
  verbs[QStringLiteral("identify")] = {link_verb(QStringLiteral("identify")), -1};
  verbs[QStringLiteral("upload")] = {link_verb(QStringLiteral("upload")), 0};
  verbs[QStringLiteral("download")] = {link_verb(QStringLiteral("download")), -1};
  verbs[QStringLiteral("restart")] = {link_verb(QStringLiteral("restart")), -1};
  verbs[QStringLiteral("macro")] = {RunMacroVerb, -1};
  const auto install_verb = [](const QString& verb) -> PortVerb {
    return [verb](const GlobalOptions& o, const QStringList& a, QTextStream& out, QTextStream& err,
                  const CliEnvironment& env) { return RunInstallVerb(o, verb, a, out, err, env); };
  };
  verbs[QStringLiteral("backup")] = {install_verb(QStringLiteral("backup")), 0};
  verbs[QStringLiteral("install")] = {install_verb(QStringLiteral("install")), -1};
  return verbs;
}

int RunFleetVerb(const GlobalOptions& global, const QStringList& ports, const QString& verb,
                 const QStringList& raw_args, QTextStream& out, QTextStream& err,
                 const CliEnvironment& env) {
  const QMap<QString, FleetVerb> verbs = FleetVerbs();
  if (!verbs.contains(verb)) {
    return UsageError(err, Tr("%1 runs on one port at a time").arg(verb));
  }
  const FleetVerb& fleet_verb = verbs[verb];
  GlobalOptions options = global;
  const QStringList args = WithoutJsonFlag(raw_args, options);
  // The file each instrument gets; two ports writing one file are refused before any starts.
  QString output_pattern;
  int output_index = -1;
  if (fleet_verb.output_arg >= 0) {
    int plain = 0;
    for (int i = 0; i < args.size(); ++i) {
      if (!args[i].startsWith(QStringLiteral("--")) && plain++ == fleet_verb.output_arg) {
        output_index = i;
      }
    }
    if (output_index < 0) {
      return UsageError(err, Tr("%1 needs an output file").arg(verb));
    }
    output_pattern = args[output_index];
    if (!output_pattern.contains(QStringLiteral("{serial}"))) {
      QMap<QString, QString> writer;
      for (const QString& port : ports) {
        const QString file = ExpandFileName(output_pattern, port, {});
        if (writer.contains(file)) {
          return UsageError(err, Tr("%1 and %2 would both write %3; put {serial} or {port} in "
                                    "the file name")
                                     .arg(writer[file], port, file));
        }
        writer[file] = port;
      }
    }
  }

  const FleetJob job = [&](const QString& port, PortReport& report, QTextStream& job_out,
                           QTextStream& job_err, const std::function<void(int)>& progress) {
    GlobalOptions o = options;
    o.port = port;
    o.ports.clear();
    o.ports_file.clear();
    o.json = false;
    QStringList a = args;
    if (output_index >= 0) {
      a[output_index] = ExpandFileName(output_pattern, port, {});
    }
    CliEnvironment e = env;
    e.interactive = false;  // many runs cannot share one terminal's questions
    e.progress_bar = false;
    e.report = &report;
    e.progress_sink = progress;
    return fleet_verb.run(o, a, job_out, job_err, e);
  };

  const bool live = env.progress_bar && !options.json;
  bool bar_shown = false;
  const auto clear_bar = [&] {
    if (bar_shown) {
      err << "\r\033[K" << Qt::flush;
      bar_shown = false;
    }
  };
  const auto on_done = [&](const FleetResult& r, const QString& /*job_out*/, const QString&) {
    clear_bar();
    if (options.json) {
      return;
    }
    QString line = ForTerminal(r.port) + QStringLiteral(": ");
    if (r.ok) {
      line += Tr("done");
    } else {
      line += Tr("failed: ") + ForTerminal(r.error);
    }
    QStringList facts;
    if (!r.model.isEmpty()) {
      facts << r.model;
    }
    if (r.serial >= 0) {
      facts << Tr("serial %1").arg(r.serial);
    }
    facts << QStringLiteral("%1 s").arg(r.seconds, 0, 'f', 1);
    out << line << " (" << facts.join(QStringLiteral(", ")) << ")" << Qt::endl;
  };
  std::function<void(const QList<int>&)> on_progress;
  if (live) {
    on_progress = [&](const QList<int>& percents) {
      QStringList parts;
      for (int i = 0; i < percents.size(); ++i) {
        if (percents[i] >= 0) {
          parts << QStringLiteral("%1 %2%")
                       .arg(ports[i].section(QLatin1Char('/'), -1))
                       .arg(percents[i]);
        }
      }
      if (!parts.isEmpty()) {
        err << "\r\033[K" << parts.join(QStringLiteral("  ")) << Qt::flush;
        bar_shown = true;
      }
    };
  }
  const QList<FleetResult> results = RunFleet(ports, job, on_done, on_progress);
  clear_bar();
  if (options.json) {
    out << FleetJson(results) << Qt::endl;
    err << FleetSummary(results) << Qt::endl;
  } else {
    out << FleetSummary(results) << Qt::endl;
  }
  for (const FleetResult& r : results) {
    if (!r.ok) {
      return kExitFailed;
    }
  }
  return kExitOk;
}

}  // namespace zizara::cli

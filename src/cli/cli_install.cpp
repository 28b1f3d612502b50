#include "cli/cli_install.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <csignal>
#include <cstdio>

#include "cli/console_prompts.h"
#include "cli/fleet.h"
#include "cli/terminal_progress.h"
#include "core/config/model_table.h"
#include "core/i18n/tr.h"
#include "core/install/installation.h"
#include "core/install/package.h"
#include "core/io/file_access.h"
#include "core/link/identification.h"

namespace zizara::cli {

using core::i18n::Tr;
namespace inst = core::install;
namespace link = core::link;
using core::ui_port::Answer;

namespace {

// A message with "\r" as line breaks, every line escaped for the terminal.
QString MessageForTerminal(const QString& text) {
  QStringList lines = text.split(QLatin1Char('\r'));
  for (QString& line : lines) {
    line = ForTerminal(line);
  }
  return lines.join(QLatin1Char('\n'));
}

QString Hex(std::uint32_t value, int digits) {
  return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

// One conversation with the instrument, as the other instrument verbs hold it.
struct InstallSession {
  InstallSession(std::unique_ptr<link::Transport> t, ConsolePrompts& prompts,
                 core::ui_port::Progress& progress)
      : transport(std::move(t)),
        link(*transport, link_state, prompts),
        driver(link, engine, record, progress),
        identification(driver, flags) {}

  std::unique_ptr<link::Transport> transport;
  link::LinkState link_state;
  link::InstrumentRecord record;
  link::EngineState engine;
  link::ConnectFlags flags;
  link::InstrumentLink link;
  link::DriverEngine driver;
  link::Identification identification;
};

// SIGINT cancels like the window's Cancel: the running transfer stops at its next test. A
// second SIGINT ends the program the ordinary way.
volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) {
  g_interrupted = 1;
  std::signal(SIGINT, SIG_DFL);
}

class InterruptWatch {
 public:
  explicit InterruptWatch(std::function<void()> on_interrupt)
      : on_interrupt_(std::move(on_interrupt)) {
    g_interrupted = 0;
    previous_ = std::signal(SIGINT, OnInterrupt);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(50);
  }
  // Also called on every block, so a fast line notices the interrupt at once.
  void Poll() {
    if (g_interrupted != 0 && !seen_) {
      seen_ = true;
      on_interrupt_();
    }
  }
  ~InterruptWatch() { std::signal(SIGINT, previous_ == SIG_ERR ? SIG_DFL : previous_); }
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

 private:
  std::function<void()> on_interrupt_;
  void (*previous_)(int) = SIG_DFL;
  QTimer timer_;
  bool seen_ = false;
};

// The overall bar on the terminal; set-word items that ask read the answer from stdin.
class TerminalInstallView : public inst::InstallView {
 public:
  TerminalInstallView(QTextStream& err, TerminalProgress& bar, bool ask)
      : err_(err), bar_(bar), ask_(ask) {}

  void ShowBars(const inst::InstallBars& bars) override {
    // The bar counts in whole blocks so that any package size fits.
    const qint64 unit = bars.overall_maximum > (1 << 30) ? 128 : 1;
    bar_.SetMaximum(static_cast<int>(bars.overall_maximum / unit));
    bar_.SetPosition(static_cast<int>(bars.overall_position / unit));
    if (bars.item_description != description_) {
      description_ = bars.item_description;
      bar_.SetCaption(ForTerminal(description_));
    }
  }
  void SetRunCaption(const QString& caption) override {
    err_ << ForTerminal(caption) << Qt::endl;
    bar_.ShowProgress();
  }
  bool InputValue(const QString& caption, const QString& prompt, const QString& proposal,
                  QString* text) override {
    if (!ask_) {
      err_ << ForTerminal(prompt) << ' ' << proposal << Qt::endl;
      return false;
    }
    err_ << ForTerminal(caption) << ' ' << MessageForTerminal(prompt) << " [" << proposal << "] "
         << Qt::flush;
    char line[256] = {};
    if (std::fgets(line, sizeof line, stdin) == nullptr) {
      return false;
    }
    *text = QString::fromLocal8Bit(line).trimmed();
    return !text->isEmpty();  // an empty answer takes the proposal
  }

 private:
  QTextStream& err_;
  TerminalProgress& bar_;
  bool ask_;
  QString description_;
};

bool ReadPackageFile(const QString& path, inst::PackageVerdict* verdict, QTextStream& err) {
  const core::io::ReadResult file = core::io::ReadRegularFile(path, inst::kMaxPackageSize);
  if (!file.ok()) {
    err << Tr("Error: ")
        << ForTerminal(file.failure == core::io::ReadFailure::kTooLarge ? inst::NotValidText()
                                                                        : file.error)
        << Qt::endl;
    return false;
  }
  *verdict = inst::ReadPackage(file.data);
  return true;
}

QJsonObject PackageJson(const inst::PackageVerdict& v) {
  QJsonObject o;
  o[QStringLiteral("valid")] = v.ok();
  o[QStringLiteral("description")] = v.description;
  o[QStringLiteral("crc")] = Hex(v.stored_crc, 8);
  o[QStringLiteral("item_count")] = static_cast<int>(v.items.size());
  QJsonArray items;
  for (qsizetype i = 0; i < v.items.size(); ++i) {
    const inst::PackageItem& item = v.items[i];
    QJsonObject j;
    j[QStringLiteral("index")] = static_cast<int>(i + 1);
    j[QStringLiteral("type")] = item.type;
    j[QStringLiteral("type_name")] = inst::ItemTypeName(item.type);
    j[QStringLiteral("model_mask")] = Hex(item.model_mask, 8);
    j[QStringLiteral("models")] =
        item.model_mask == 0
            ? QJsonValue(QStringLiteral("all"))
            : QJsonValue(QJsonArray::fromStringList(inst::ModelNamesOfMask(item.model_mask)));
    j[QStringLiteral("size")] = static_cast<qint64>(item.data_size);
    j[QStringLiteral("address")] = Hex(item.address, 6);
    j[QStringLiteral("description")] = item.description;
    items.append(j);
  }
  o[QStringLiteral("items")] = items;
  return o;
}

int PackageInfo(const GlobalOptions& options, const QStringList& args, QTextStream& out,
                QTextStream& err) {
  bool json = options.json;
  QString path;
  for (const QString& a : args) {
    if (a == QStringLiteral("--json")) {
      json = true;
    } else if (a.startsWith(QStringLiteral("--")) || !path.isEmpty()) {
      return UsageError(err, Tr("package info takes one package file and --json"));
    } else {
      path = a;
    }
  }
  if (path.isEmpty()) {
    return UsageError(err, Tr("package info needs a package file"));
  }
  inst::PackageVerdict v;
  if (!ReadPackageFile(path, &v, err)) {
    return kExitFailed;
  }
  if (!v.ok()) {
    err << Tr("Error: ") << MessageForTerminal(inst::RefusalText(v)) << Qt::endl;
    if (json) {
      out << QJsonDocument(PackageJson(v)).toJson(QJsonDocument::Compact) << Qt::endl;
    }
    return kExitFailed;
  }
  if (json) {
    out << QJsonDocument(PackageJson(v)).toJson(QJsonDocument::Compact) << Qt::endl;
    return kExitOk;
  }
  out << Tr("Description: ") << ForTerminal(v.description) << '\n'
      << Tr("CRC: ") << Hex(v.stored_crc, 8) << '\n'
      << Tr("Items: ") << v.items.size() << '\n';
  for (qsizetype i = 0; i < v.items.size(); ++i) {
    const inst::PackageItem& item = v.items[i];
    const QString models = item.model_mask == 0
                               ? QStringLiteral("all")
                               : inst::ModelNamesOfMask(item.model_mask).join(QStringLiteral(", "));
    out << QStringLiteral("  %1. ").arg(i + 1) << item.type << ' ' << inst::ItemTypeName(item.type)
        << Tr(", models ") << Hex(item.model_mask, 8) << " (" << models << ")" << Tr(", size ")
        << item.data_size << Tr(", address ") << Hex(item.address, 6) << ": "
        << ForTerminal(item.description) << '\n';
  }
  out.flush();
  return kExitOk;
}

// Identifies the instrument; false with a message when nothing usable answered.
bool ConnectForInstall(InstallSession& s, bool need_memory, QTextStream& err) {
  const link::ConnectOutcome outcome = s.identification.Connect(false, false);
  switch (outcome.result) {
    case link::ConnectResult::kPortUnavailable:
      return false;
    case link::ConnectResult::kNotConnected:
      err << (s.record.no_reliable_answer ? link::NoReliableAnswerText(s.transport->Name())
                                          : Tr("No instrument found."))
          << Qt::endl;
      return false;
    case link::ConnectResult::kBiosMode:
      if (need_memory) {
        err << Tr("The QLX is in BIOS mode: its software cannot be read.") << Qt::endl;
        return false;
      }
      return true;
    case link::ConnectResult::kConnected:
    case link::ConnectResult::kUnsupported:
      return true;
  }
  return false;
}

QString WithCdp(const QString& name) {
  return name.toUpper().endsWith(QStringLiteral(".CDP")) ? name : name + QStringLiteral(".CDP");
}

int Backup(InstallSession& s, const QStringList& args, QTextStream& out, QTextStream& err) {
  if (args.size() != 1 || args[0].startsWith(QStringLiteral("--"))) {
    return UsageError(err, Tr("backup needs one output file"));
  }
  const QString pattern = WithCdp(args[0]);
  QString error;
  // "{serial}" is known only once the instrument answers; the folder is checked before.
  if (!core::io::CheckSaveTarget(ExpandFileName(pattern, {}, QStringLiteral("0")), &error)) {
    err << Tr("Error: ") << ForTerminal(error) << Qt::endl;
    return kExitFailed;
  }
  if (!ConnectForInstall(s, true, err)) {
    return kExitFailed;
  }
  const QString target = ExpandFileName(pattern, {}, s.record.serial_text);
  if (target != pattern && !core::io::CheckSaveTarget(target, &error)) {
    err << Tr("Error: ") << ForTerminal(error) << Qt::endl;
    return kExitFailed;
  }
  s.engine.abort = false;
  InterruptWatch watch([&s] { s.engine.abort = true; });
  s.driver.AddStepListener([&watch](int) { watch.Poll(); });
  QByteArray package;
  const bool read = inst::ReadSoftwareBackup(s.driver, &package);
  s.engine.kind = link::TransferKind::kIdle;
  if (!read) {
    err << (s.engine.abort ? Tr("The backup was cancelled; no file was written.")
                           : Tr("The software could not be read; no file was written."))
        << Qt::endl;
    return kExitFailed;
  }
  if (!core::io::SaveFileAtomically(target, package, &error)) {
    err << Tr("Error: ") << ForTerminal(error) << Qt::endl;
    return kExitFailed;
  }
  out << Tr("Saved ")
      << ForTerminal(inst::BackupDescription(s.record.model_index, s.record.serial_text))
      << Tr(" to ") << ForTerminal(target) << Qt::endl;
  return kExitOk;
}

int Install(InstallSession& s, const GlobalOptions& options, const QStringList& args,
            TerminalProgress& bar, QTextStream& err, const CliEnvironment& env) {
  QString package;
  QString backup;
  for (int i = 0; i < args.size(); ++i) {
    if (args[i] == QStringLiteral("--backup")) {
      if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
        return UsageError(err, Tr("--backup needs a file"));
      }
      backup = args[++i];
    } else if (args[i].startsWith(QStringLiteral("--")) || !package.isEmpty()) {
      return UsageError(err, Tr("install takes one package file, --backup FILE and --yes"));
    } else {
      package = args[i];
    }
  }
  if (package.isEmpty()) {
    return UsageError(err, Tr("install needs a package file"));
  }
  // Nothing goes to the instrument for a package that would be refused.
  inst::PackageVerdict verdict;
  if (!ReadPackageFile(package, &verdict, err)) {
    return kExitFailed;
  }
  if (!verdict.ok()) {
    err << Tr("Error: ") << MessageForTerminal(inst::RefusalText(verdict)) << Qt::endl;
    return kExitFailed;
  }
  if (!ConnectForInstall(s, false, err)) {
    return kExitFailed;
  }
  TerminalInstallView view(err, bar, env.interactive && !options.yes);
  inst::Installation installation(s.driver, s.identification, view);
  InterruptWatch watch([&] {
    installation.Cancel();
    s.engine.abort = true;
  });
  s.driver.AddStepListener([&watch](int) { watch.Poll(); });
  inst::InstallRequest request;
  request.source = package;
  request.backup = !backup.isEmpty();
  // The window takes only absolute names; here a name is taken from the current folder.
  request.backup_name =
      backup.isEmpty()
          ? QString()
          : QFileInfo(ExpandFileName(backup, {}, s.record.serial_text)).absoluteFilePath();
  request.from_command_line = true;
  const inst::InstallResult result = installation.Execute(request);
  bar.HideProgress();
  return result.outcome == inst::InstallOutcome::kCompleted ? kExitOk : kExitFailed;
}

}  // namespace

bool IsInstallVerb(const QString& verb) {
  return verb == QStringLiteral("package") || verb == QStringLiteral("install") ||
         verb == QStringLiteral("backup");
}

int RunInstallVerb(const GlobalOptions& global, const QString& verb, const QStringList& raw_args,
                   QTextStream& out, QTextStream& err, const CliEnvironment& env) {
  GlobalOptions options = global;
  QStringList args;
  for (const QString& a : raw_args) {
    if (a == QStringLiteral("--yes") || a == QStringLiteral("-y")) {
      options.yes = true;
    } else {
      args << a;
    }
  }
  if (verb == QStringLiteral("package")) {
    if (args.isEmpty() || args[0] != QStringLiteral("info")) {
      return UsageError(err, Tr("package needs the subcommand info"));
    }
    return PackageInfo(options, args.mid(1), out, err);
  }
  if (args.contains(QStringLiteral("--json"))) {
    return UsageError(err, verb + Tr(" has no --json output"));
  }
  QString why_not;
  const QString port = ResolvePort(options.port, &why_not);
  if (port.isEmpty()) {
    err << why_not << Qt::endl;
    return kExitFailed;
  }
  ConsolePrompts prompts(err, env.interactive && !options.yes,
                         options.yes ? Answer::kYes : Answer::kNo);
  TerminalProgress bar(err, env.progress_bar);
  err << Tr("Port: ") << ForTerminal(port) << Qt::endl;
  if (verb == QStringLiteral("backup")) {
    InstallSession session(env.make_transport(port), prompts, bar);
    return Backup(session, args, out, err);
  }
  // The installation shows its own overall bar; the block bar of each transfer stays silent.
  core::ui_port::NullProgress silent;
  InstallSession session(env.make_transport(port), prompts, silent);
  return Install(session, options, args, bar, err, env);
}

}  // namespace zizara::cli

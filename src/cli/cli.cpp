#include "cli/cli.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/cli_assoc.h"
#include "cli/cli_install.h"
#include "cli/cli_link.h"
#include "cli/cli_live.h"
#include "cli/cli_macro.h"
#include "cli/cli_options.h"
#include "cli/cli_routes.h"
#include "cli/cli_scale.h"
#include "cli/console_prompts.h"
#include "cli/fleet.h"
#include "core/config/configuration.h"
#include "core/config/model_table.h"
#include "core/config/preset_file.h"
#include "core/config/preset_options.h"
#include "core/config/upgrade.h"
#include "core/config/version.h"
#include "core/i18n/tr.h"
#include "core/io/file_access.h"

namespace zizara::cli {

using core::i18n::Tr;
namespace cfg = core::config;

namespace {

constexpr const char* kVersionText = "vt-zizara-cli 1.2";

QString UsageText() {
  return Tr(
      "Usage: vt-zizara-cli [--port PORT]... [--ports FILE] [--yes] [--json] COMMAND [ARGUMENTS]\n"
      "\n"
      "Files:\n"
      "  info FILE [--json]      show what a preset file (.PRE) or bare image holds\n"
      "  upgrade IN OUT          write IN with the version-5 defaults applied to OUT\n"
      "  options FILE [--preset N] [--json]\n"
      "                          show the option settings of a preset and the configuration\n"
      "  set IN OUT [--preset N] KEY=VALUE...\n"
      "                          change settings as their windows would and save OUT\n"
      "  diff A B [--json]       compare two configurations by meaning; B may be\n"
      "                          --instrument (uploads first); exit 0 same, 1 different\n"
      "  routes FILE [--preset N | --all] [--csv | --json]\n"
      "                          print the routings, one row per output\n"
      "  routes IN OUT --import FILE.csv [--preset N]\n"
      "                          set the routings from a CSV and save OUT\n"
      "  render FILE --preset N --png OUT.png\n"
      "                          draw the matrix of a preset with its labels\n"
      "  package info PKG [--json]\n"
      "                          check a software package (.CDP) and list its items\n"
      "\n"
      "Desktop:\n"
      "  associations [--json]   whether .PRE, .MCR and .CDP files open with vt-zizara\n"
      "  associate TYPES [--remove]\n"
      "                          register (or remove) types, a list such as PRE,MCR,CDP\n"
      "\n"
      "Scale libraries:\n"
      "  scale info LIB.dat [--json]          show the 20 scales of a scale library\n"
      "  scale image LIB.dat N [--out FILE]   the 256-byte image of scale N\n"
      "  scale preview LIB.dat N --png OUT.png  draw the preview of scale N\n"
      "\n"
      "Instrument (PORT from --port, else $VTZIZARA_PORT, else the program's settings):\n"
      "  ports [--json]          list the serial ports with their stable names\n"
      "  identify [--json]       identify the instrument\n"
      "  upload OUT.PRE          read the configuration and save it as a preset file\n"
      "  download IN.PRE [--upgrade | --no-upgrade] [--verify]\n"
      "                          write a preset file's configuration, then restart\n"
      "  restart                 restart the instrument\n"
      "  macro FILE.MCR          connect for remote control and run a macro\n"
      "  scale download LIB.dat N  write scale N at its key's address\n"
      "  gain OUT[,OUT...] [VALUE]\n"
      "                          read the outputs' gains, or set them to VALUE dB\n"
      "  key K                   press front-panel key K (1-8)\n"
      "  install PKG.CDP [--backup FILE.CDP]\n"
      "                          install a software package, after a backup when asked\n"
      "  backup OUT.CDP          save the instrument's software as a package\n"
      "  /r $1c000 128           upload into memory.cod (external-command mode)\n"
      "  /d FILE                 download FILE without restarting (external-command mode)\n"
      "  /i                      restart (external-command mode)\n"
      "\n"
      "Ports: a device name (ttyUSB0), a stable name (/dev/serial/by-id/...) or tcp:HOST:PORT\n"
      "for a serial-to-network server. With several --port, a pattern such as\n"
      "'/dev/serial/by-id/*QLX*' or --ports FILE (one port a line, # comments), identify,\n"
      "upload, download, restart, macro, backup and install run on every port at once; an\n"
      "output file name may hold {serial}, {port} and {date}. Exit 1 when any port failed.\n"
      "\n"
      "  --yes                   answer questions with Yes\n"
      "  --version, --help\n"
      "\n"
      "Exit codes: 0 done, 1 the operation failed, 2 usage error.\n");
}

QString Hex(unsigned value, int digits) {
  return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

QString ShortString(const std::array<std::uint8_t, 5>& s) {
  return QString::fromLatin1(reinterpret_cast<const char*>(s.data() + 1), 4);
}

struct FileFacts {
  qint64 size = 0;
  bool bare = false;
};

FileFacts FactsOf(const QString& path) {
  const qint64 size = QFileInfo(path).size();
  return {size, size == static_cast<qint64>(cfg::kImageSize)};
}

std::array<int, cfg::kOutputCount> RoutingOf(const cfg::ConfigurationImage& image,
                                             const cfg::MemoryMap& map) {
  std::array<int, cfg::kOutputCount> routing{};
  for (int o = 0; o < cfg::kOutputCount; ++o) {
    routing[o] = (image.ArrayElement(map.RoutingTable, o) & 0x7F) + 1;
  }
  return routing;
}

QJsonObject InfoJson(const cfg::Configuration& config, const FileFacts& facts) {
  const cfg::PresetTrailer& t = config.trailer;
  QJsonObject o;
  o[QStringLiteral("size")] = facts.size;
  o[QStringLiteral("bare")] = facts.bare;
  o[QStringLiteral("magic")] = ShortString(t.magic);
  o[QStringLiteral("format")] = ShortString(t.format);
  o[QStringLiteral("spare")] = Hex(t.spare[0], 2) + Hex(t.spare[1], 2);
  o[QStringLiteral("serial")] = t.serial_number;
  o[QStringLiteral("model_index")] = t.model_index;
  o[QStringLiteral("model")] = cfg::ModelName(t.model_index);
  o[QStringLiteral("software_version")] = cfg::FormatVersionCode(t.software_version);
  o[QStringLiteral("software_version_code")] = t.software_version;
  o[QStringLiteral("extended_bios_id")] = Hex(t.extended_bios_id, 4);
  o[QStringLiteral("hardware_id")] = Hex(t.hardware_id, 4);
  o[QStringLiteral("checksum")] = Hex(t.checksum, 8);
  o[QStringLiteral("offset_standard")] = cfg::OffsetStandardText(config.image);
  o[QStringLiteral("lock_code")] = QString::fromLatin1(cfg::LockCode(config.image));
  o[QStringLiteral("startup_preset")] = cfg::StartupPreset(config.image);
  o[QStringLiteral("startup_application")] = cfg::StartupApplication(config.image);

  QJsonArray presets;
  for (int p = 0; p < cfg::kPresetCount; ++p) {
    const cfg::MemoryMap map = cfg::MemoryMap::ForPreset(p);
    const cfg::ChannelNames names = cfg::ChannelNamesFromImage(config.image, map);
    QJsonArray routing;
    for (int input : RoutingOf(config.image, map)) {
      routing.append(input);
    }
    QJsonArray inputs;
    for (const QByteArray& n : names.inputs) {
      inputs.append(cfg::ImageTextToString(n));
    }
    QJsonObject preset;
    preset[QStringLiteral("number")] = p + 1;
    preset[QStringLiteral("name")] = cfg::ImageTextToString(cfg::PresetName(config.image, p));
    preset[QStringLiteral("routing")] = routing;
    preset[QStringLiteral("input_names")] = inputs;
    presets.append(preset);
  }
  o[QStringLiteral("presets")] = presets;

  QJsonArray outputs;
  for (const QByteArray& n : cfg::ChannelNamesFromImage(config.image, config.map).outputs) {
    outputs.append(cfg::ImageTextToString(n));
  }
  o[QStringLiteral("output_names")] = outputs;
  return o;
}

void PrintInfoText(const QString& path, const cfg::Configuration& config, const FileFacts& facts,
                   QTextStream& out) {
  const cfg::PresetTrailer& t = config.trailer;
  const auto row = [&out](const QString& caption, const QString& value) {
    out << caption.leftJustified(24) << ForTerminal(value) << '\n';
  };
  row(Tr("File:"), path);
  row(Tr("Size:"), QString::number(facts.size) + QLatin1Char(' ') +
                       (facts.bare ? Tr("bytes (bare image, no trailer)") : Tr("bytes")));
  row(Tr("Serial:"), QString::number(t.serial_number));
  row(Tr("QLX Type:"), cfg::ModelName(t.model_index));
  row(Tr("Software Version:"), cfg::FormatVersionCode(t.software_version));
  row(Tr("Extended Bios Version:"), Hex(t.extended_bios_id, 4));
  row(Tr("Hardware ID:"), Hex(t.hardware_id, 4));
  row(Tr("Checksum:"), Hex(t.checksum, 8));
  row(Tr("Offset standard:"), cfg::OffsetStandardText(config.image));
  row(Tr("Lock code:"), QString::fromLatin1(cfg::LockCode(config.image)));
  const int sp = cfg::StartupPreset(config.image);
  const int sa = cfg::StartupApplication(config.image);
  // A byte outside the lists is shown as it is: naming the item it falls back to would hide it.
  const QString out_of_range = Tr(" (out of range)");
  row(Tr("Start-up preset:"),
      QString::number(sp) + (sp >= 0 && sp < cfg::kPresetCount
                                 ? Tr(" (Preset %1)").arg(sp + 1)
                                 : out_of_range));
  const bool app_known =
      sa >= 0 && sa < static_cast<int>(cfg::kStartupApplications.size());
  row(Tr("Start-up application:"),
      QString::number(sa) + (app_known ? QStringLiteral(" (") +
                                             Tr(cfg::kStartupApplications[sa]) + QLatin1Char(')')
                                       : out_of_range));
  out << '\n' << Tr("Presets:") << '\n';
  const QStringList items = cfg::PresetDropDownItems(config.image);
  for (int p = 0; p < cfg::kPresetCount; ++p) {
    const auto routing = RoutingOf(config.image, cfg::MemoryMap::ForPreset(p));
    int routed = 0;
    for (int input : routing) {
      routed += input <= cfg::kInputCount ? 1 : 0;
    }
    out << "  " << ForTerminal(items[p]) << Tr("  (%1 of 96 outputs routed)").arg(routed) << '\n';
  }
  out.flush();
}

int RunInfo(const QStringList& args, QTextStream& out, QTextStream& err) {
  QString path;
  bool json = false;
  for (const QString& a : args) {
    if (a == QStringLiteral("--json")) {
      json = true;
    } else if (a.startsWith(QStringLiteral("--"))) {
      return UsageError(err, Tr("unknown option for info: ") + a);
    } else if (path.isEmpty()) {
      path = a;
    } else {
      return UsageError(err, Tr("info takes one file"));
    }
  }
  if (path.isEmpty()) {
    return UsageError(err, Tr("info needs a file"));
  }
  cfg::Configuration config;
  if (!LoadForCli(path, config, err)) {
    return kExitFailed;
  }
  const FileFacts facts = FactsOf(path);
  if (json) {
    out << QJsonDocument(InfoJson(config, facts)).toJson(QJsonDocument::Compact) << Qt::endl;
  } else {
    PrintInfoText(path, config, facts, out);
  }
  return kExitOk;
}

int RunUpgrade(const QStringList& args, QTextStream& out, QTextStream& err) {
  if (args.size() != 2 || args[0].startsWith(QStringLiteral("--")) ||
      args[1].startsWith(QStringLiteral("--"))) {
    return UsageError(err, Tr("upgrade needs an input and an output file"));
  }
  QString target_error;
  if (!core::io::CheckSaveTarget(args[1], &target_error)) {
    err << Tr("Error: ") << target_error << Qt::endl;
    return kExitFailed;
  }
  cfg::Configuration config;
  if (!LoadForCli(args[0], config, err)) {
    return kExitFailed;
  }
  cfg::UpgradeToV5(config.image);
  QString error;
  if (!cfg::SavePresetFile(args[1], config.image, config.trailer, &error)) {
    err << Tr("Error: ") << Tr("could not write ") << args[1] << ": " << error << Qt::endl;
    return kExitFailed;
  }
  out << Tr("Upgraded ") << args[0] << Tr(" to ") << args[1] << Qt::endl;
  return kExitOk;
}

}  // namespace

int UsageError(QTextStream& err, const QString& message) {
  err << "vt-zizara-cli: " << message << '\n' << Tr("Try 'vt-zizara-cli --help'.") << Qt::endl;
  return kExitUsage;
}

QString ForTerminal(const QString& text) {
  QString shown;
  shown.reserve(text.size());
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0)) {
      shown += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    } else {
      shown += c;
    }
  }
  return shown;
}

bool LoadForCli(const QString& path, cfg::Configuration& config, QTextStream& err) {
  ConsolePrompts prompts(err, false, core::ui_port::Answer::kNo);
  QString refusal;
  if (!cfg::LoadPresetFile(path, prompts, config.image, config.trailer, &refusal)) {
    if (!refusal.isEmpty()) {
      err << ForTerminal(refusal) << Qt::endl;
    }
    prompts.Error(Tr("This is not a valid configuration-file!"));
    return false;
  }
  config.SelectPreset(0);
  return true;
}

int RunCli(const QStringList& all_args, QTextStream& out, QTextStream& err,
           const CliEnvironment& env) {
  GlobalOptions options;
  QStringList args;
  for (int i = 0; i < all_args.size(); ++i) {
    const QString& a = all_args[i];
    if (a == QStringLiteral("--port")) {
      if (i + 1 >= all_args.size() || all_args[i + 1].isEmpty()) {
        return UsageError(err, Tr("--port needs a port name"));
      }
      options.port = all_args[++i];
      options.ports << options.port;
    } else if (a == QStringLiteral("--ports")) {
      if (i + 1 >= all_args.size() || all_args[i + 1].isEmpty()) {
        return UsageError(err, Tr("--ports needs a file"));
      }
      options.ports_file = all_args[++i];
    } else if (a == QStringLiteral("--yes") || a == QStringLiteral("-y")) {
      options.yes = true;
    } else if (a == QStringLiteral("--json") && args.isEmpty()) {
      options.json = true;
    } else if (args.isEmpty() && a.startsWith(QLatin1Char('-')) && a != QStringLiteral("--help") &&
               a != QStringLiteral("-h") && a != QStringLiteral("--version")) {
      return UsageError(err, Tr("unknown option: ") + a);
    } else {
      args << a;
    }
  }
  if (args.isEmpty()) {
    err << UsageText();
    err.flush();
    return kExitUsage;
  }
  const QString verb = args.first();
  QStringList rest = args.mid(1);
  if (options.json && verb == QStringLiteral("info")) {
    rest << QStringLiteral("--json");
  }
  const bool help = verb == QStringLiteral("--help") || verb == QStringLiteral("-h") ||
                    verb == QStringLiteral("help");
  if ((help || verb == QStringLiteral("--version")) && !rest.isEmpty()) {
    return UsageError(err, verb + Tr(" takes no arguments"));
  }
  if (help) {
    out << UsageText();
    out.flush();
    return kExitOk;
  }
  if (verb == QStringLiteral("--version")) {
    out << kVersionText << Qt::endl;
    return kExitOk;
  }
  if (verb == QStringLiteral("info")) {
    return RunInfo(rest, out, err);
  }
  if (verb == QStringLiteral("upgrade")) {
    return RunUpgrade(rest, out, err);
  }
  if (verb == QStringLiteral("options")) {
    return RunOptionsVerb(options, rest, out, err);
  }
  if (verb == QStringLiteral("set")) {
    return RunSetVerb(rest, out, err);
  }
  if (verb == QStringLiteral("diff")) {
    return RunDiffVerb(options, rest, out, err, env);
  }
  if (verb == QStringLiteral("routes")) {
    return RunRoutesVerb(options, rest, out, err);
  }
  if (verb == QStringLiteral("render")) {
    return RunRenderVerb(rest, out, err);
  }
  if (verb == QStringLiteral("scale")) {
    return RunScaleVerb(options, rest, out, err, env);
  }
  // Several ports, a pattern or a list of them: the verb runs on each, all at once.
  if (options.ports.size() > 1 || !options.ports_file.isEmpty() ||
      (options.ports.size() == 1 && IsPortPattern(options.ports.first()))) {
    QString why;
    const QStringList ports = ExpandPortNames(options.ports, options.ports_file, &why);
    if (ports.isEmpty()) {
      return UsageError(err, why);
    }
    if (ports.size() > 1 || !options.ports_file.isEmpty() || IsPortPattern(options.port)) {
      return RunFleetVerb(options, ports, verb, rest, out, err, env);
    }
    options.port = ports.first();
  }
  if (verb == QStringLiteral("macro")) {
    return RunMacroVerb(options, rest, out, err, env);
  }
  if (verb == QStringLiteral("associations")) {
    return RunAssociationsVerb(options, rest, out, err, env);
  }
  if (verb == QStringLiteral("associate")) {
    return RunAssociateVerb(rest, out, err, env);
  }
  if (IsLiveVerb(verb)) {
    return RunLiveVerb(options, verb, rest, out, err, env);
  }
  if (IsInstallVerb(verb)) {
    return RunInstallVerb(options, verb, rest, out, err, env);
  }
  if (IsLinkVerb(verb)) {
    return RunLinkVerb(options, verb, rest, out, err, env);
  }
  return UsageError(err, Tr("unknown command: ") + verb);
}

}  // namespace zizara::cli

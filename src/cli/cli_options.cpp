#include "cli/cli_options.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/config/configuration.h"
#include "core/config/preset_file.h"
#include "core/config/preset_options.h"
#include "core/config/version.h"
#include "core/i18n/tr.h"
#include "core/io/file_access.h"
#include "core/options/assignment.h"
#include "core/options/config_diff.h"
#include "core/options/feature_versions.h"
#include "core/options/rgb_colours.h"
#include "core/options/settings_view.h"

namespace zizara::cli {

using core::i18n::Tr;
namespace cfg = core::config;
namespace opt = core::options;

namespace {

// Parses "--preset N"; returns false (after the usage message) on a bad number.
QJsonValue TextOrNull(const QString& text) {
  return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QJsonObject OptionsJson(const opt::OptionsView& v, const cfg::ConfigurationImage& image) {
  QJsonObject o;
  o[QStringLiteral("preset")] = v.preset + 1;
  o[QStringLiteral("preset_name")] = v.preset_name;
  o[QStringLiteral("startup_preset")] =
      v.startup ? QJsonValue(v.startup->preset_item + 1) : QJsonValue();
  o[QStringLiteral("startup_application")] =
      v.startup
          ? QJsonValue(QString::fromLatin1(cfg::kStartupApplications[v.startup->application_item]))
          : QJsonValue();
  o[QStringLiteral("lock_code")] = v.lock_code ? QJsonValue(*v.lock_code) : QJsonValue();
  o[QStringLiteral("write_protect")] =
      v.lock_code ? QJsonValue(!opt::IsWriteProtectOff(*v.lock_code)) : QJsonValue();

  QJsonArray theme;
  for (bool t : v.lcd.theme) {
    theme.append(t);
  }
  o[QStringLiteral("lcd")] =
      QJsonObject{{QStringLiteral("backlight"), v.lcd.backlight}, {QStringLiteral("theme"), theme}};

  QJsonArray ppm;
  for (int c = 0; c < opt::kPpmChannels; ++c) {
    const opt::PpmChannel& ch = v.ppm[c];
    ppm.append(QJsonObject{
        {QStringLiteral("channel"), c + 1},
        {QStringLiteral("colour"), TextOrNull(opt::PpmColourText(ch.colour))},
        {QStringLiteral("underload_colour"), TextOrNull(opt::PpmColourText(ch.underload_colour))},
        {QStringLiteral("trace_colour"), TextOrNull(opt::PpmColourText(ch.trace_colour))},
        {QStringLiteral("width"), QString::fromLatin1(opt::kPpmWidthNames[ch.width])},
        {QStringLiteral("space"), ch.space},
    });
  }
  o[QStringLiteral("ppm")] = ppm;
  o[QStringLiteral("leqm")] = QJsonObject{
      {QStringLiteral("graph_colour"), opt::RgbColourText(v.leqm.graph_colour)},
      {QStringLiteral("sum_colour"), opt::RgbColourText(v.leqm.sum_colour)},
      {QStringLiteral("trip_level"), v.leqm.trip_level},
  };
  const int number = opt::ShownScaleNumber(v.scale);
  o[QStringLiteral("scale")] = QJsonObject{
      {QStringLiteral("number"), number > 0 ? QJsonValue(number) : QJsonValue()},
      {QStringLiteral("name"),
       number > 0 ? QJsonValue(cfg::ImageTextToString(opt::ScaleName(image, number)))
                  : QJsonValue()},
      {QStringLiteral("peak_hold"), v.scale.peak_hold},
      {QStringLiteral("dual"), v.scale.dual},
  };
  o[QStringLiteral("phase")] = QJsonObject{
      {QStringLiteral("integration"),
       v.phase.slow ? QStringLiteral("Slow") : QStringLiteral("Fast")},
      {QStringLiteral("scope_colour"), opt::RgbColourText(v.phase.scope_colour)},
      {QStringLiteral("compressor_off"), v.phase.compressor_off},
  };
  return o;
}

QString OrNone(const QString& text) { return text.isEmpty() ? Tr("(none)") : text; }

void PrintOptionsText(const opt::OptionsView& v, const cfg::ConfigurationImage& image, int version,
                      QTextStream& out) {
  const auto row = [&out](const QString& caption, const QString& value) {
    out << caption.leftJustified(30) << ForTerminal(value) << '\n';
  };
  const QString needs = Tr("not in software version %1 (needs %2 or later)");
  row(Tr("Preset:"), QString::number(v.preset + 1));
  row(Tr("Preset name:"), QLatin1Char('"') + v.preset_name + QLatin1Char('"'));
  if (v.startup) {
    row(Tr("Default startup preset:"), cfg::PresetDropDownItems(image)[v.startup->preset_item]);
    row(Tr("Default startup application:"),
        Tr(cfg::kStartupApplications[v.startup->application_item]));
  } else {
    const QString why = needs.arg(cfg::FormatVersionCode(version), QStringLiteral("05.00"));
    row(Tr("Default startup preset:"), why);
    row(Tr("Default startup application:"), why);
  }
  if (v.lock_code) {
    row(Tr("Write protect lock code:"),
        *v.lock_code + (opt::IsWriteProtectOff(*v.lock_code) ? Tr(" (write protection off)")
                                                             : Tr(" (write protection on)")));
  } else {
    row(Tr("Write protect lock code:"),
        needs.arg(cfg::FormatVersionCode(version), QStringLiteral("05.10")));
  }
  row(Tr("LCD backlight:"), QString::number(v.lcd.backlight) + Tr(" (0 to 7)"));
  QStringList themed;
  for (int p = 0; p < cfg::kPresetCount; ++p) {
    if (v.lcd.theme[p]) {
      themed << QString::number(p + 1);
    }
  }
  row(Tr("LCD theme in presets:"),
      themed.isEmpty() ? Tr("none") : themed.join(QStringLiteral(", ")));
  out << Tr("PPM options:") << '\n'
      << QStringLiteral("  %1 %2 %3 %4 %5 %6\n")
             .arg(Tr("Ch."), -4)
             .arg(Tr("Colour"), -9)
             .arg(Tr("Underload"), -10)
             .arg(Tr("Trace"), -9)
             .arg(Tr("Width"), -7)
             .arg(Tr("Space"));
  for (int c = 0; c < opt::kPpmChannels; ++c) {
    const opt::PpmChannel& ch = v.ppm[c];
    out << QStringLiteral("  %1 %2 %3 %4 %5 %6\n")
               .arg(c + 1, -4)
               .arg(OrNone(opt::PpmColourText(ch.colour)), -9)
               .arg(OrNone(opt::PpmColourText(ch.underload_colour)), -10)
               .arg(OrNone(opt::PpmColourText(ch.trace_colour)), -9)
               .arg(QString::fromLatin1(opt::kPpmWidthNames[ch.width]), -7)
               .arg(ch.space ? Tr("yes") : Tr("no"));
  }
  row(Tr("Leq(m) graph colour:"), opt::RgbColourText(v.leqm.graph_colour));
  row(Tr("Leq(m) sum colour:"), opt::RgbColourText(v.leqm.sum_colour));
  row(Tr("Leq(m) trip level:"), QString::number(v.leqm.trip_level));
  const int number = opt::ShownScaleNumber(v.scale);
  row(Tr("PPM scale:"), number > 0 ? opt::ScaleListItems(image)[number - 1] : Tr("(none)"));
  row(Tr("Peak hold:"), v.scale.peak_hold ? Tr("yes") : Tr("no"));
  row(Tr("Dual:"), v.scale.dual ? Tr("yes") : Tr("no"));
  row(Tr("Phasemeter integration:"), v.phase.slow ? Tr("Slow") : Tr("Fast"));
  row(Tr("Oscilloscope colour:"), opt::RgbColourText(v.phase.scope_colour));
  row(Tr("Compressor off:"), v.phase.compressor_off ? Tr("yes") : Tr("no"));
  out.flush();
}

}  // namespace

int RunOptionsVerb(const GlobalOptions& options, const QStringList& args, QTextStream& out,
                   QTextStream& err) {
  QString path;
  bool json = options.json;
  int preset = 0;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    int code = 0;
    if (a == QStringLiteral("--json")) {
      json = true;
    } else if (a == QStringLiteral("--preset")) {
      if (!TakePresetArgument(args, i, preset, err, &code)) return code;
    } else if (a.startsWith(QStringLiteral("--"))) {
      return UsageError(err, Tr("unknown option for options: ") + a);
    } else if (path.isEmpty()) {
      path = a;
    } else {
      return UsageError(err, Tr("options takes one file"));
    }
  }
  if (path.isEmpty()) {
    return UsageError(err, Tr("options needs a file"));
  }
  cfg::Configuration config;
  if (!LoadForCli(path, config, err)) {
    return kExitFailed;
  }
  const int version = config.trailer.software_version;
  const opt::OptionsView view = opt::ReadOptionsView(config.image, version, preset);
  if (json) {
    out << QJsonDocument(OptionsJson(view, config.image)).toJson(QJsonDocument::Compact)
        << Qt::endl;
  } else {
    PrintOptionsText(view, config.image, version, out);
  }
  return kExitOk;
}

int RunSetVerb(const QStringList& args, QTextStream& out, QTextStream& err) {
  QStringList files;
  QStringList assignments;
  int preset = 0;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    int code = 0;
    if (a == QStringLiteral("--preset")) {
      if (!TakePresetArgument(args, i, preset, err, &code)) return code;
    } else if (a.startsWith(QStringLiteral("--"))) {
      return UsageError(err, Tr("unknown option for set: ") + a);
    } else if (files.size() < 2) {
      files << a;
    } else {
      assignments << a;
    }
  }
  if (files.size() < 2) {
    return UsageError(err, Tr("set needs an input and an output file"));
  }
  if (assignments.isEmpty()) {
    return UsageError(err, Tr("set needs at least one KEY=VALUE"));
  }
  QString target_error;
  if (!core::io::CheckSaveTarget(files[1], &target_error)) {
    err << Tr("Error: ") << ForTerminal(target_error) << Qt::endl;
    return kExitFailed;
  }
  cfg::Configuration config;
  if (!LoadForCli(files[0], config, err)) {
    return kExitFailed;
  }
  const int version = config.trailer.software_version;
  // Every assignment is checked so that one run names every problem; nothing is written then.
  bool refused = false;
  bool not_in_version = false;
  for (const QString& a : assignments) {
    const opt::AssignResult r = opt::ApplyAssignment(config.image, version, preset, a);
    if (r.outcome == opt::AssignOutcome::kRefused) {
      refused = true;
      err << "vt-zizara-cli: " << ForTerminal(r.message) << Qt::endl;
    } else if (r.outcome == opt::AssignOutcome::kNotInVersion) {
      not_in_version = true;
      err << Tr("Error: ") << ForTerminal(r.message) << Qt::endl;
    }
  }
  if (refused) {
    err << Tr("Nothing was written.") << Qt::endl;
    return kExitUsage;
  }
  if (not_in_version) {
    err << Tr("Nothing was written.") << Qt::endl;
    return kExitFailed;
  }
  QString error;
  if (!cfg::SavePresetFile(files[1], config.image, config.trailer, &error)) {
    err << Tr("Error: ") << Tr("could not write ") << ForTerminal(files[1]) << ": "
        << ForTerminal(error) << Qt::endl;
    return kExitFailed;
  }
  out << Tr("Wrote ") << ForTerminal(files[1]) << Qt::endl;
  return kExitOk;
}

int RunDiffVerb(const GlobalOptions& options, const QStringList& args, QTextStream& out,
                QTextStream& err, const CliEnvironment& env) {
  constexpr int kTrouble = 2;
  bool json = options.json;
  bool instrument = false;
  QStringList files;
  for (const QString& a : args) {
    if (a == QStringLiteral("--json")) {
      json = true;
    } else if (a == QStringLiteral("--instrument") && files.size() == 1) {
      instrument = true;
      files << QString();
    } else if (a.startsWith(QStringLiteral("--"))) {
      return UsageError(err, Tr("unknown option for diff: ") + a);
    } else {
      files << a;
    }
  }
  if (files.size() != 2) {
    return UsageError(err, Tr("diff needs two files, or a file and --instrument"));
  }
  cfg::Configuration a;
  cfg::Configuration b;
  if (!LoadForCli(files[0], a, err)) {
    return kTrouble;
  }
  if (instrument ? !UploadForCli(options, b, err, env) : !LoadForCli(files[1], b, err)) {
    return kTrouble;
  }
  const QList<opt::Difference> diffs =
      opt::DiffConfigurations({a.image, a.trailer}, {b.image, b.trailer});
  const auto value = [](const std::optional<QString>& v) {
    return v ? QJsonValue(*v) : QJsonValue();
  };
  if (json) {
    QJsonArray list;
    for (const opt::Difference& d : diffs) {
      list.append(
          QJsonObject{{QStringLiteral("preset"), d.preset ? QJsonValue(*d.preset) : QJsonValue()},
                      {QStringLiteral("setting"), d.setting},
                      {QStringLiteral("old"), value(d.old_value)},
                      {QStringLiteral("new"), value(d.new_value)}});
    }
    out << QJsonDocument(list).toJson(QJsonDocument::Compact) << Qt::endl;
  } else {
    for (const opt::Difference& d : diffs) {
      out << ForTerminal(d.text) << '\n';
    }
    out.flush();
  }
  return diffs.isEmpty() ? kExitOk : kExitFailed;
}

}  // namespace zizara::cli

#include "cli/cli_routes.h"

#include <QApplication>
#include <QBuffer>
#include <QJsonDocument>

#include "core/config/configuration.h"
#include "core/config/preset_file.h"
#include "core/i18n/tr.h"
#include "core/io/file_access.h"
#include "core/routes/routing_table_io.h"
#include "core/settings/program_settings.h"
#include "gui/matrix/matrix_picture.h"

namespace zizara::cli {

using core::i18n::Tr;
namespace cfg = core::config;
namespace rt = core::routes;

namespace {

// A routing CSV of every preset is under 50 KB; anything far larger is not one.
constexpr qint64 kMaxCsvBytes = 4 * 1024 * 1024;

int ImportRoutes(const QStringList& files, const QString& csv_path, std::optional<int> preset,
                 QTextStream& out, QTextStream& err) {
  QString error;
  if (!core::io::CheckSaveTarget(files[1], &error)) {
    err << Tr("Error: ") << ForTerminal(error) << Qt::endl;
    return kExitFailed;
  }
  const core::io::ReadResult csv = core::io::ReadRegularFile(csv_path, kMaxCsvBytes);
  if (!csv.ok()) {
    err << Tr("Error: ") << ForTerminal(csv.error) << Qt::endl;
    return kExitFailed;
  }
  cfg::Configuration config;
  if (!LoadForCli(files[0], config, err)) {
    return kExitFailed;
  }
  const rt::ImportResult result = rt::ImportRoutes(config.image, csv.data, preset);
  if (!result.ok()) {
    for (const rt::RefusedRow& r : result.refused) {
      err << ForTerminal(csv_path) << ':' << r.line << ": " << ForTerminal(r.reason) << '\n';
    }
    err << Tr("Nothing was written.") << Qt::endl;
    return kExitFailed;
  }
  if (!cfg::SavePresetFile(files[1], result.image, config.trailer, &error)) {
    err << Tr("Error: ") << Tr("could not write ") << ForTerminal(files[1]) << ": "
        << ForTerminal(error) << Qt::endl;
    return kExitFailed;
  }
  out << Tr("Read %1 rows, changed %2 routings; wrote ").arg(result.rows).arg(result.changed)
      << ForTerminal(files[1]) << Qt::endl;
  return kExitOk;
}

}  // namespace

int RunRoutesVerb(const GlobalOptions& options, const QStringList& args, QTextStream& out,
                  QTextStream& err) {
  QStringList files;
  QString import_path;
  std::optional<int> preset;
  bool all = false;
  bool csv = false;
  bool json = false;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    int code = 0;
    if (a == QStringLiteral("--preset")) {
      int p = 0;
      if (!TakePresetArgument(args, i, p, err, &code)) return code;
      preset = p;
    } else if (a == QStringLiteral("--all")) {
      all = true;
    } else if (a == QStringLiteral("--csv")) {
      csv = true;
    } else if (a == QStringLiteral("--json")) {
      json = true;
    } else if (a == QStringLiteral("--import")) {
      if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
        return UsageError(err, Tr("--import needs a CSV file"));
      }
      import_path = args[++i];
    } else if (a.startsWith(QStringLiteral("--"))) {
      return UsageError(err, Tr("unknown option for routes: ") + a);
    } else {
      files << a;
    }
  }
  if (preset && all) {
    return UsageError(err, Tr("routes takes --preset N or --all, not both"));
  }
  if (!import_path.isEmpty()) {
    if (files.size() != 2) {
      return UsageError(err, Tr("routes --import needs an input and an output file"));
    }
    if (all || csv || json || options.json) {
      return UsageError(err, Tr("routes --import takes only --preset N"));
    }
    return ImportRoutes(files, import_path, preset, out, err);
  }
  if (files.size() != 1) {
    return UsageError(err, Tr("routes needs one file (two with --import)"));
  }
  if (csv && json) {
    return UsageError(err, Tr("routes prints --csv or --json, not both"));
  }
  cfg::Configuration config;
  if (!LoadForCli(files[0], config, err)) {
    return kExitFailed;
  }
  const QList<rt::RouteRow> rows =
      all ? rt::AllRoutes(config.image) : rt::PresetRoutes(config.image, preset.value_or(0));
  if ((json || options.json) && !csv) {
    out << QJsonDocument(rt::RoutesToJson(rows)).toJson(QJsonDocument::Compact) << Qt::endl;
  } else {
    // The CSV's own CR LF line ends, as spreadsheets expect them.
    out << QString::fromUtf8(rt::RoutesToCsv(rows));
    out.flush();
  }
  return kExitOk;
}

int RunRenderVerb(const QStringList& args, QTextStream& out, QTextStream& err) {
  QString path;
  QString png;
  int preset = 0;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    int code = 0;
    if (a == QStringLiteral("--preset")) {
      if (!TakePresetArgument(args, i, preset, err, &code)) return code;
    } else if (a == QStringLiteral("--png")) {
      if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
        return UsageError(err, Tr("--png needs a file name"));
      }
      png = args[++i];
    } else if (a.startsWith(QStringLiteral("--"))) {
      return UsageError(err, Tr("unknown option for render: ") + a);
    } else if (path.isEmpty()) {
      path = a;
    } else {
      return UsageError(err, Tr("render takes one file"));
    }
  }
  if (path.isEmpty() || png.isEmpty()) {
    return UsageError(err, Tr("render needs a file and --png OUT.png"));
  }
  // The picture is drawn by the window's own widgets.
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    err << Tr("Error: drawing the matrix needs the graphical application.") << Qt::endl;
    return kExitFailed;
  }
  QString error;
  if (!core::io::CheckSaveTarget(png, &error)) {
    err << Tr("Error: ") << ForTerminal(error) << Qt::endl;
    return kExitFailed;
  }
  cfg::Configuration config;
  if (!LoadForCli(path, config, err)) {
    return kExitFailed;
  }
  const QImage picture =
      gui::matrix::RenderMatrixPicture(config, preset, core::settings::CellImageSettings{});
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
  }
  if (!core::io::SaveFileAtomically(png, bytes, &error)) {
    err << Tr("Error: ") << Tr("could not write ") << ForTerminal(png) << ": " << error << Qt::endl;
    return kExitFailed;
  }
  out << Tr("Drew preset %1 to ").arg(preset + 1) << ForTerminal(png) << Qt::endl;
  return kExitOk;
}

}  // namespace zizara::cli

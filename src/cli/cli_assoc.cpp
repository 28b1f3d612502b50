#include "cli/cli_assoc.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/assoc/file_associations.h"
#include "core/i18n/tr.h"

namespace zizara::cli {

using core::i18n::Tr;
namespace assoc = core::assoc;

namespace {

// The file types open with the window program, not with this tool.
QString GuiProgram(const CliEnvironment& env) {
  if (!env.gui_program.isEmpty()) {
    return QFileInfo(env.gui_program).absoluteFilePath();
  }
  return QCoreApplication::applicationDirPath() + QStringLiteral("/vt-zizara");
}

}  // namespace

int RunAssociationsVerb(const GlobalOptions& options, const QStringList& args, QTextStream& out,
                        QTextStream& err, const CliEnvironment& env) {
  bool json = options.json;
  for (const QString& a : args) {
    if (a != QStringLiteral("--json")) {
      return UsageError(err, Tr("associations takes only --json"));
    }
    json = true;
  }
  const assoc::Places places = assoc::DefaultPlaces(GuiProgram(env));
  QJsonObject result;
  for (const assoc::FileType& t : assoc::FileTypes()) {
    const bool on = assoc::IsFileTypeAssociated(t.ext, places);
    result.insert(t.ext, on);
    if (!json) {
      out << t.ext << ": " << (on ? "true" : "false") << '\n';
    }
  }
  if (json) {
    out << QJsonDocument(result).toJson(QJsonDocument::Compact) << '\n';
  }
  out.flush();
  return kExitOk;
}

int RunAssociateVerb(const QStringList& args, QTextStream& out, QTextStream& err,
                     const CliEnvironment& env) {
  bool remove = false;
  QStringList types;
  for (const QString& a : args) {
    if (a == QStringLiteral("--remove")) {
      remove = true;
    } else if (a.startsWith(QLatin1Char('-')) || !types.isEmpty()) {
      return UsageError(err, Tr("associate takes a list of types and --remove"));
    } else {
      types = a.split(QLatin1Char(','), Qt::SkipEmptyParts);
      if (types.isEmpty()) {
        return UsageError(err, Tr("associate needs types such as PRE,MCR,CDP"));
      }
    }
  }
  if (types.isEmpty()) {
    return UsageError(err, Tr("associate needs types such as PRE,MCR,CDP"));
  }
  for (const QString& t : types) {
    if (assoc::FindFileType(t.trimmed()) == nullptr) {
      return UsageError(err, Tr("unknown file type: ") + t + Tr(" (PRE, MCR or CDP)"));
    }
  }
  const QString program = GuiProgram(env);
  if (!remove && !QFileInfo(program).isExecutable()) {
    err << Tr("The program ") << program << Tr(" was not found; nothing was registered.")
        << Qt::endl;
    return kExitFailed;
  }
  const assoc::Places places = assoc::DefaultPlaces(program);
  int code = kExitOk;
  for (const QString& t : types) {
    const QString ext = assoc::FindFileType(t.trimmed())->ext;
    QString why;
    if (!assoc::SetFileTypeAssociation(ext, !remove, places, &why)) {
      err << ext << ": " << why << Qt::endl;
      code = kExitFailed;
      continue;
    }
    out << ext << (remove ? Tr(": removed") : Tr(": opens with ") + program) << '\n';
  }
  out.flush();
  return code;
}

}  // namespace zizara::cli

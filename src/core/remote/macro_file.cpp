#include "core/remote/macro_file.h"

#include <QFile>
#include <QFileInfo>

#include "core/i18n/tr.h"

namespace zizara::core::remote {

using i18n::Tr;

namespace {
// Far beyond any macro a person writes; keeps a wrongly chosen file from filling memory.
constexpr qint64 kMaxMacroBytes = 16 * 1024 * 1024;
}  // namespace

QList<QByteArray> SplitMacroLines(const QByteArray& data) {
  QList<QByteArray> lines;
  qsizetype start = 0;
  while (start < data.size()) {
    qsizetype end = data.indexOf('\n', start);
    const bool last = end < 0;
    if (last) {
      end = data.size();
    }
    QByteArray line = data.mid(start, end - start);
    if (!last && line.endsWith('\r')) {
      line.chop(1);
    }
    lines.append(line);
    start = end + 1;
  }
  return lines;
}

QString MacroName(const QList<QByteArray>& lines) {
  for (const QByteArray& line : lines) {
    if (line.left(10).toUpper() == "MACRONAME=") {
      return QString::fromLatin1(line.mid(10, kMacroNameLength));
    }
  }
  return QString::fromLatin1(kUnnamedMacro);
}

bool IsMacroCommand(const QByteArray& line) { return line.startsWith('.'); }

MacroFile ParseMacroText(const QByteArray& data) {
  MacroFile macro;
  macro.lines = SplitMacroLines(data);
  macro.name = MacroName(macro.lines);
  return macro;
}

bool ReadMacroFile(const QString& path, MacroFile* macro, QString* error) {
  QFile file(path);
  if (QFileInfo(path).isDir()) {
    *error = Tr("%1 is a folder, not a macro file.").arg(path);
    return false;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    *error = Tr("Cannot read the macro file %1: %2").arg(path, file.errorString());
    return false;
  }
  if (file.size() > kMaxMacroBytes) {
    *error = Tr("%1 is too large to be a macro file.").arg(path);
    return false;
  }
  const QByteArray data = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    *error = Tr("Cannot read the macro file %1: %2").arg(path, file.errorString());
    return false;
  }
  *macro = ParseMacroText(data);
  return true;
}

QByteArray MacroText(const QString& name, const QList<QByteArray>& commands) {
  QByteArray text;
  if (!name.isEmpty()) {
    text += "MacroName=" + name.toLatin1() + "\r\n";
  }
  for (const QByteArray& command : commands) {
    text += command + "\r\n";
  }
  return text;
}

}  // namespace zizara::core::remote

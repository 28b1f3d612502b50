#include "core/remote/macro_file.h"

#include "core/io/file_access.h"

namespace zizara::core::remote {

namespace {
// Far beyond any macro a person writes; keeps a wrongly chosen file from filling memory.
constexpr qint64 kMaxMacroBytes = 16 * 1024 * 1024;
}  // namespace

QList<QByteArray> SplitMacroLines(const QByteArray& data) {
  // CR, LF and CR LF all end a line: a CR inside a command could never be confirmed anyway.
  QList<QByteArray> lines;
  qsizetype start = 0;
  const qsizetype size = data.size();
  while (start < size) {
    qsizetype end = start;
    while (end < size && data[end] != '\r' && data[end] != '\n') {
      ++end;
    }
    lines.append(data.mid(start, end - start));
    if (end < size && data[end] == '\r' && end + 1 < size && data[end + 1] == '\n') {
      ++end;
    }
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
  return i18n::Tr(kUnnamedMacro);
}

bool IsMacroCommand(const QByteArray& line) { return line.startsWith('.'); }

MacroFile ParseMacroText(const QByteArray& data) {
  MacroFile macro;
  macro.lines = SplitMacroLines(data);
  macro.name = MacroName(macro.lines);
  return macro;
}

bool ReadMacroFile(const QString& path, MacroFile* macro, QString* error) {
  const io::ReadResult read = io::ReadRegularFile(path, kMaxMacroBytes);
  if (!read.ok()) {
    *error = read.error;
    return false;
  }
  *macro = ParseMacroText(read.data);
  return true;
}

namespace {

// Finds the first name line in text that arrives in pieces, keeping only the head of the
// current line. CR and LF both end a line; the empty lines this may see never name a macro.
class NameLineScanner {
 public:
  // False once the name line has been found.
  bool Feed(QByteArrayView piece) {
    for (const char c : piece) {
      if (c == '\r' || c == '\n') {
        if (EndLine()) return false;
        continue;
      }
      if (head_.size() < kHeadLength) {
        head_.append(c);
      }
    }
    return true;
  }
  // The name, once the whole text has been fed.
  QString Name() {
    if (!found_) EndLine();
    return found_ ? QString::fromLatin1(head_.mid(10, kMacroNameLength))
                  : i18n::Tr(kUnnamedMacro);
  }

 private:
  static constexpr qsizetype kHeadLength = 10 + kMacroNameLength;
  bool EndLine() {
    found_ = head_.left(10).toUpper() == "MACRONAME=";
    if (!found_) head_.clear();
    return found_;
  }
  QByteArray head_;
  bool found_ = false;
};

}  // namespace

bool ReadMacroName(const QString& path, QString* name, QString* error) {
  NameLineScanner scanner;
  const io::ReadResult read = io::ScanRegularFile(
      path, kMaxMacroBytes, [&scanner](QByteArrayView piece) { return scanner.Feed(piece); });
  if (!read.ok()) {
    *error = read.error;
    return false;
  }
  *name = scanner.Name();
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

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "core/i18n/tr.h"

namespace zizara::core::remote {

inline constexpr char kUnnamedMacro[] = TrNoop("Unnamed Macro");
inline constexpr int kMacroNameLength = 25;

// A macro file as read: every line (without its line end) and the name it gives.
struct MacroFile {
  QString name = i18n::Tr(kUnnamedMacro);
  QList<QByteArray> lines;
};

// Lines of a text that ends its lines in CR, LF or CR LF; a last line without an end counts.
QList<QByteArray> SplitMacroLines(const QByteArray& data);
// Characters 11..35 of the first line starting "MACRONAME=" in any case; "Unnamed Macro"
// without one.
QString MacroName(const QList<QByteArray>& lines);
// Only lines starting with a full stop are sent; the rest is commentary.
bool IsMacroCommand(const QByteArray& line);

MacroFile ParseMacroText(const QByteArray& data);
// False with a readable reason when the file is not a regular file of at most 16 MiB or
// cannot be read.
bool ReadMacroFile(const QString& path, MacroFile* macro, QString* error);

// Only the macro's name, for menu captions: the file is scanned in small pieces up to its name
// line, so a large file costs no more memory than a small one. Same rules and refusals as
// `ReadMacroFile`.
bool ReadMacroName(const QString& path, QString* name, QString* error);

// The text written for a macro: "MacroName=" + name when there is one, then the commands,
// every line ending in CR LF.
QByteArray MacroText(const QString& name, const QList<QByteArray>& commands);

}  // namespace zizara::core::remote

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "core/scale/scale_library.h"

namespace zizara::core::scale {

// The note as the memo shows it: pieces of at most 128 bytes, each a line of its own, a piece
// ending in a line feed without its last two bytes. Lines are separated by "\n".
QString NoteToMemoText(const QByteArray& note);
// The memo's lines joined with CR LF, a CR LF after the last one too, at most 2048 bytes.
QByteArray MemoTextToNote(const QString& memo);

// The rows (0-based) whose "Overload" or "UnderLoad" is a second one, scanning from row 1;
// each is set back to "None" in `styles`.
std::vector<int> ResetSecondMarkers(std::array<int, kLineCount>& styles);

// "There can only be one Overload Marker and one Underload Marker"
QString OneMarkerText();
// "Scale #" + n + " - " + short name
QString ScaleEntryText(int number, const QString& short_name);

}  // namespace zizara::core::scale

#pragma once

#include <QByteArray>
#include <QString>

#include "core/i18n/tr.h"
#include "core/matrix/channel_selection.h"
#include "core/matrix/xpoint_cells.h"

namespace zizara::core::matrix {

// Qt's form of "QLX Macro-Files (*.MCR)|*.MCR|All Files (*.*)|*.*".
inline constexpr char kMacroFileFilter[] = TrNoop("QLX Macro-Files (*.MCR *.mcr);;All Files (*)");

// The macro text: an optional "MacroName=" line, then one ".SA<output>,<input>" line per
// selected output whose row holds a local, else remote, else configuration routing (locked
// cells are not looked for). Lines end in CR LF.
QByteArray XPointMacroText(const XPointCells& cells, const CellImages& images,
                           const ChannelSelection& selection, const QString& macro_name);

// `SaveXPointMacro`: writes the text above to `path`; false with `error` set on failure.
bool SaveXPointMacro(const QString& path, const XPointCells& cells, const CellImages& images,
                     const ChannelSelection& selection, const QString& macro_name,
                     QString* error = nullptr);

// Appends ".MCR" unless the name already ends in it (any case).
QString MacroFileNameForSave(const QString& chosen);

}  // namespace zizara::core::matrix

#include "core/matrix/xpoint_macro.h"

#include "core/io/file_access.h"

namespace zizara::core::matrix {

QByteArray XPointMacroText(const XPointCells& cells, const CellImages& images,
                           const ChannelSelection& selection, const QString& macro_name) {
  QByteArray text;
  if (!macro_name.isEmpty()) {
    text += "MacroName=" + macro_name.toLatin1() + "\r\n";
  }
  for (int o = 0; o < kOutputs; ++o) {
    if (!selection.Selected(Axis::kOutputs, o)) continue;
    std::optional<int> input = cells.FindInRow(o, CellKind::kLocal, images);
    if (!input) input = cells.FindInRow(o, CellKind::kRemote, images);
    if (!input) input = cells.FindInRow(o, CellKind::kFromFile, images);
    if (!input) continue;
    text += ".SA" + QByteArray::number(o + 1) + ',' + QByteArray::number(*input + 1) + "\r\n";
  }
  return text;
}

bool SaveXPointMacro(const QString& path, const XPointCells& cells, const CellImages& images,
                     const ChannelSelection& selection, const QString& macro_name, QString* error) {
  return io::SaveFileAtomically(path, XPointMacroText(cells, images, selection, macro_name),
                                error);
}

QString MacroFileNameForSave(const QString& chosen) {
  return chosen.toUpper().endsWith(QStringLiteral(".MCR")) ? chosen
                                                           : chosen + QStringLiteral(".MCR");
}

}  // namespace zizara::core::matrix

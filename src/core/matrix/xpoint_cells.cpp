#include "core/matrix/xpoint_cells.h"

#include "core/i18n/tr.h"

namespace zizara::core::matrix {

using i18n::Tr;

CellKind KindOf(std::uint8_t cell, const CellImages& images) {
  if (cell == kEmptyCell) return CellKind::kEmpty;
  if (cell == images.illegal_xpoint_greyed) return CellKind::kIllegal;
  if (cell == images.illegal_xpoint_highlight) return CellKind::kIllegalHighlight;
  if (cell == images.xpoint_from_file) return CellKind::kFromFile;
  if (cell == images.local_xpoint) return CellKind::kLocal;
  if (cell == images.remote_xpoint) return CellKind::kRemote;
  if (cell == images.locked_xpoint) return CellKind::kLocked;
  return CellKind::kOther;
}

std::uint8_t ImageOf(CellKind kind, const CellImages& images) {
  int index = kEmptyCell;
  switch (kind) {
    case CellKind::kEmpty:
    case CellKind::kOther:
      index = kEmptyCell;
      break;
    case CellKind::kIllegal:
      index = images.illegal_xpoint_greyed;
      break;
    case CellKind::kIllegalHighlight:
      index = images.illegal_xpoint_highlight;
      break;
    case CellKind::kFromFile:
      index = images.xpoint_from_file;
      break;
    case CellKind::kLocal:
      index = images.local_xpoint;
      break;
    case CellKind::kRemote:
      index = images.remote_xpoint;
      break;
    case CellKind::kLocked:
      index = images.locked_xpoint;
      break;
  }
  return static_cast<std::uint8_t>(index);
}

bool IsRoutedCell(std::uint8_t cell, const CellImages& images) {
  switch (KindOf(cell, images)) {
    case CellKind::kFromFile:
    case CellKind::kLocal:
    case CellKind::kRemote:
    case CellKind::kLocked:
      return true;
    default:
      return false;
  }
}

std::uint8_t XPointCells::At(int input, int output) const {
  return InRange(input, output) ? cells_[input * kStoreOutputs + output] : kEmptyCell;
}

void XPointCells::Set(int input, int output, std::uint8_t image) {
  if (InRange(input, output)) {
    cells_[input * kStoreOutputs + output] = image;
  }
}

void XPointCells::EraseRow(int output, const CellImages& images) {
  for (int i = 0; i < kStoreInputs; ++i) {
    const CellKind kind = KindOf(At(i, output), images);
    if (kind != CellKind::kEmpty && kind != CellKind::kIllegal) {
      Set(i, output, kEmptyCell);
    }
  }
}

std::optional<int> XPointCells::FindInRow(int output, CellKind kind,
                                          const CellImages& images) const {
  for (int i = 0; i < kInputs; ++i) {
    if (KindOf(At(i, output), images) == kind) return i;
  }
  return std::nullopt;
}

std::optional<int> XPointCells::RoutedInput(int output, const CellImages& images) const {
  for (int i = 0; i < kInputs; ++i) {
    if (IsRoutedCell(At(i, output), images)) return i;
  }
  return std::nullopt;
}

bool XPointCells::RowLocked(int output, const CellImages& images) const {
  return FindInRow(output, CellKind::kLocked, images).has_value();
}

bool IsIllegalXPoint(int input, int output) {
  const int in = input + 1;  // the table reads in the numbers the user sees
  const int out = output + 1;
  if (in < 1 || in > kInputs || out < 1 || out > kOutputs) return false;
  // A PPM channel cannot feed its own meter output.
  if (in >= 57 && out == in + 8) return true;
  if (in == 49 || in == 50) return true;
  if (out == 63 || out == 64) return true;
  if ((in == 55 || in == 56) && (out == 49 || out == 50)) return true;
  if (out >= 55 && out <= 62) {
    return in <= 48 || (in >= 52 && in <= 54) || in == 56;
  }
  return false;
}

void MarkIllegalXPoints(XPointCells& cells, const CellImages& images) {
  const auto greyed = static_cast<std::uint8_t>(images.illegal_xpoint_greyed);
  for (int i = 0; i < kInputs; ++i) {
    for (int o = 0; o < kOutputs; ++o) {
      if (IsIllegalXPoint(i, o)) cells.Set(i, o, greyed);
    }
  }
}

int RoutingTableInput(const config::ConfigurationImage& image, const config::MemoryMap& map,
                      int output) {
  return image.ArrayElement(map.RoutingTable, output) & kRoutingInputMask;
}

void BuildMatrixFromImage(XPointCells& cells, const config::ConfigurationImage& image,
                          const config::MemoryMap& map, const CellImages& images) {
  const auto from_file = static_cast<std::uint8_t>(images.xpoint_from_file);
  for (int o = 0; o < kOutputs; ++o) {
    for (int i = 0; i < kInputs; ++i) {
      cells.Set(i, o, kEmptyCell);
    }
    const int input = RoutingTableInput(image, map, o);
    if (input < kInputs) {
      cells.Set(input, o, from_file);
    }
  }
  MarkIllegalXPoints(cells, images);
}

QString RoutingText(int input_number, const QString& input_name) {
  return Tr("Input #") + QString::number(input_number) + QStringLiteral(" (") + input_name +
         Tr(") is routed to this output.");
}

void SetReportedXPoint(XPointCells& cells, const CellImages& images, int output, int input,
                       bool set_by_remote) {
  cells.EraseRow(output, images);
  if (KindOf(cells.At(input, output), images) == CellKind::kIllegal) return;
  cells.Set(input, output, ImageOf(set_by_remote ? CellKind::kRemote : CellKind::kLocal, images));
}

bool ToggleLock(XPointCells& cells, const CellImages& images, int output) {
  for (int i = 0; i < kInputs; ++i) {
    switch (KindOf(cells.At(i, output), images)) {
      case CellKind::kLocal:
      case CellKind::kRemote:
        cells.Set(i, output, ImageOf(CellKind::kLocked, images));
        return true;
      case CellKind::kLocked:
        cells.Set(i, output, ImageOf(CellKind::kRemote, images));
        return true;
      default:
        break;
    }
  }
  return false;
}

bool IsRoutingLineAllowed(const QByteArray& line, const XPointCells& cells,
                          const CellImages& images) {
  if (!line.startsWith(".SA") && !line.startsWith(".sa")) return true;
  int pos = 3;
  int output = 0;
  int digits = 0;
  while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9' && digits < 6) {
    output = output * 10 + (line[pos] - '0');
    ++pos;
    ++digits;
  }
  if (digits == 0 || pos >= line.size() || line[pos] != ',') return true;
  if (output < 1 || output > kOutputs) return true;
  return !cells.RowLocked(output - 1, images);
}

QByteArray RouteCommand(int output, int input) {
  return ".SA" + QByteArray::number(output + 1) + ',' + QByteArray::number(input + 1) + "*\r";
}

}  // namespace zizara::core::matrix

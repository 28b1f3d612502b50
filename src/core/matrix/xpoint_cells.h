#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "core/config/configuration_image.h"
#include "core/config/memory_map.h"
#include "core/settings/program_settings.h"

namespace zizara::core::matrix {

// The usable matrix; the store keeps one spare input and output that never show.
inline constexpr int kInputs = 88;
inline constexpr int kOutputs = 96;
inline constexpr int kStoreInputs = kInputs + 1;
inline constexpr int kStoreOutputs = kOutputs + 1;
// The routing table element value bit that the program ignores on reading.
inline constexpr std::uint8_t kRoutingInputMask = 0x7F;
// A cell byte of this value is Empty and never drawn.
inline constexpr std::uint8_t kEmptyCell = 0;

using CellImages = settings::CellImageSettings;

// What a cell byte means, found by comparing it with the configured image of each kind in
// this order (two kinds sharing an image read as the first one).
enum class CellKind {
  kEmpty,
  kIllegal,
  kIllegalHighlight,
  kFromFile,
  kLocal,
  kRemote,
  kLocked,
  kOther,
};
CellKind KindOf(std::uint8_t cell, const CellImages& images);
std::uint8_t ImageOf(CellKind kind, const CellImages& images);
// Holds a routing: from file, local, remote or locked.
bool IsRoutedCell(std::uint8_t cell, const CellImages& images);

// `XPointCells`: one image index per crosspoint, indexed [input][output], both 0-based.
class XPointCells {
 public:
  XPointCells() { cells_.fill(kEmptyCell); }

  // Outside the store reads Empty and writes nothing.
  std::uint8_t At(int input, int output) const;
  void Set(int input, int output, std::uint8_t image);
  void Clear() { cells_.fill(kEmptyCell); }

  // Sets every cell of the row that is neither Empty nor Illegal (greyed) to Empty.
  void EraseRow(int output, const CellImages& images);
  // The first input of the row holding a cell of `kind`, if any.
  std::optional<int> FindInRow(int output, CellKind kind, const CellImages& images) const;
  // The first input of the row holding any routed cell.
  std::optional<int> RoutedInput(int output, const CellImages& images) const;
  bool RowLocked(int output, const CellImages& images) const;

  bool operator==(const XPointCells&) const = default;

 private:
  static bool InRange(int input, int output) {
    return input >= 0 && input < kStoreInputs && output >= 0 && output < kStoreOutputs;
  }
  std::array<std::uint8_t, kStoreInputs * kStoreOutputs> cells_;
};

// Crosspoints the instrument can never route (0-based input and output).
bool IsIllegalXPoint(int input, int output);
// `MarkIllegalXPoints`: writes Illegal (greyed) into every such cell.
void MarkIllegalXPoints(XPointCells& cells, const CellImages& images);

// Input routed to output o (0-based) by the routing table, bit 7 dropped.
int RoutingTableInput(const config::ConfigurationImage& image, const config::MemoryMap& map,
                      int output);
// `BuildMatrixFromImage`: rows from the selected preset's routing table, then the illegal marks.
// Inputs beyond the last visible one route nothing that shows.
void BuildMatrixFromImage(XPointCells& cells, const config::ConfigurationImage& image,
                          const config::MemoryMap& map, const CellImages& images);

// The hint of an output: "Input #n (name) is routed to this output."
QString RoutingText(int input_number, const QString& input_name);

// `SetReportedXPoint` (0-based): the instrument reported a routing. Illegal cells stay as they
// are; the row loses its earlier routing either way.
void SetReportedXPoint(XPointCells& cells, const CellImages& images, int output, int input,
                       bool set_by_remote);

// Lock or unlock the routed cell of one row; false when the row has nothing to toggle (no
// routing, or one taken from the configuration). Unlocking always gives a remote cell.
bool ToggleLock(XPointCells& cells, const CellImages& images, int output);

// `IsRoutingLineAllowed`: a macro line ".SA<output>,..." aimed at a locked row is refused;
// every other line (including ones without a readable output number) is allowed.
bool IsRoutingLineAllowed(const QByteArray& line, const XPointCells& cells,
                          const CellImages& images);

// ".SA" + output + "," + input + "*" + CR, from 0-based numbers.
QByteArray RouteCommand(int output, int input);

}  // namespace zizara::core::matrix

#pragma once

#include <QString>
#include <vector>

#include "core/matrix/xpoint_cells.h"
#include "core/settings/program_settings.h"

// The program options' choice of grid images per cell kind, and what changing it does to the
// cells already drawn.
namespace zizara::core::matrix {

// The lowest image a kind may use: the illegal-greyed kind may also take image 1; 0 is blank.
int FirstSelectableImage(bool illegal_greyed);
inline constexpr int kLastSelectableImage = settings::kCellImageCount - 1;

// The message that refuses a choice, empty when it may be stored: no kind may share the
// illegal-greyed image, nor the locked image.
QString CellImageConflict(const CellImages& images);

// Rewrites the cells of each kind from its old image to its new one, pass by pass in this
// order: offline, illegal, illegal-greyed, local, remote, locked. Each pass sees the ones
// before it, so moving a kind onto another's old image merges them for good.
void RewriteCellImages(XPointCells& cells, const CellImages& old_images,
                       const CellImages& new_images);

// The trace colours offered by name: the standard, extended and system colours, as the
// settings store them (0x00BBGGRR, or a negative system colour number).
struct NamedTraceColour {
  const char* name;
  int value;
};
const std::vector<NamedTraceColour>& TraceColours();

}  // namespace zizara::core::matrix

#include "core/matrix/grid_geometry.h"

#include <algorithm>
#include <cstdlib>

#include "core/matrix/xpoint_cells.h"

namespace zizara::core::matrix {

GridGeometry FormCanResize(QSize window, QPoint grid_origin, int scroll_bar_extent) {
  const int columns = (window.width() - grid_origin.x() - kRightMargin) / kCellPitch;
  const int rows = (window.height() - grid_origin.y() - kBottomMargin) / kCellPitch;
  return LayoutGrid(columns, rows, grid_origin, scroll_bar_extent);
}

GridGeometry FitGrid(QSize area, int scroll_bar_extent) {
  const int columns = (area.width() - kPanelExtent - scroll_bar_extent) / kCellPitch;
  const int rows = (area.height() - kPanelExtent - 1 - scroll_bar_extent) / kCellPitch;
  const int fitted_rows = std::clamp(rows, 1, kOutputs);
  const int used = kPanelExtent + fitted_rows * kCellPitch + 1 + scroll_bar_extent;
  const int spare = rows >= kOutputs ? 0 : std::max(0, area.height() - used);
  return LayoutGrid(columns, rows, QPoint(kPanelExtent, kPanelExtent + spare), scroll_bar_extent);
}

GridGeometry LayoutGrid(int columns, int rows, QPoint grid_origin, int scroll_bar_extent) {
  GridGeometry g;
  g.columns = std::clamp(columns, 1, kInputs);
  g.rows = std::clamp(rows, 1, kOutputs);
  const int width = g.columns * kCellPitch;
  const int height = g.rows * kCellPitch + 1;
  const int left = grid_origin.x();
  const int top = grid_origin.y();
  g.grid = QRect(left, top, width, height);
  // The panels overlap the grid's edge by one pixel so their lines meet the grid's.
  g.input_panel = QRect(left - 1, top - kPanelExtent, width + 1, kPanelExtent);
  g.output_panel = QRect(left - kPanelExtent, top - 1, kPanelExtent, height);
  g.scroll_bar_x = QRect(left, top + height, width, scroll_bar_extent);
  g.scroll_bar_y = QRect(left + width, top, scroll_bar_extent, height - 1);
  g.scroll_x_max = kInputs - g.columns;
  g.scroll_y_max = kOutputs - g.rows;
  return g;
}

GridCell CellAt(QPoint pixel) {
  if (pixel.x() < 0 || pixel.y() < 0) return {};
  return GridCell{pixel.x() / kCellPitch, pixel.y() / kCellPitch};
}

QRect CellRect(GridCell cell) {
  return QRect(cell.column * kCellPitch, cell.row * kCellPitch, kCellSize, kCellSize);
}

bool OnTrace(GridCell trace, GridCell cell) {
  if (!trace.valid() || !cell.valid()) return false;
  return (cell.column == trace.column && cell.row <= trace.row) ||
         (cell.row == trace.row && cell.column <= trace.column);
}

std::vector<GridCell> TraceCells(GridCell trace) {
  std::vector<GridCell> cells;
  if (!trace.valid()) return cells;
  for (int r = 0; r <= trace.row; ++r) cells.push_back({trace.column, r});
  for (int c = 0; c < trace.column; ++c) cells.push_back({c, trace.row});
  return cells;
}

std::vector<GridCell> TraceRepaintCells(GridCell from, GridCell to) {
  std::vector<GridCell> cells;
  for (const GridCell& c : TraceCells(from)) {
    if (!OnTrace(to, c)) cells.push_back(c);
  }
  for (const GridCell& c : TraceCells(to)) {
    if (!OnTrace(from, c)) cells.push_back(c);
  }
  return cells;
}

PanMove PanTick(PanCursor cursor, QPoint start, QPoint current) {
  PanMove move;
  move.cursor = cursor;
  const int dx = current.x() - start.x();
  const int dy = current.y() - start.y();
  const bool vertical = cursor == PanCursor::kUp || cursor == PanCursor::kDown;
  const bool horizontal = cursor == PanCursor::kLeft || cursor == PanCursor::kRight;
  if ((vertical && std::abs(dy) < kPanCursorReset) ||
      (horizontal && std::abs(dx) < kPanCursorReset)) {
    move.cursor = PanCursor::kNone;
  }
  if (dx > kPanThreshold) {
    move.columns = kPanStep;
    move.cursor = PanCursor::kRight;
  } else if (dx < -kPanThreshold) {
    move.columns = -kPanStep;
    move.cursor = PanCursor::kLeft;
  }
  if (dy > kPanThreshold) {
    move.rows = kPanStep;
    move.cursor = PanCursor::kDown;
  } else if (dy < -kPanThreshold) {
    move.rows = -kPanStep;
    move.cursor = PanCursor::kUp;
  }
  return move;
}

}  // namespace zizara::core::matrix

#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace zizara::core::matrix {

inline constexpr int kCellSize = 16;
inline constexpr int kCellPitch = 17;    // a cell and its grid line
inline constexpr int kPanelExtent = 80;  // width of the output panel, height of the input panel
inline constexpr int kMinWindowWidth = 656;
inline constexpr int kMinWindowHeight = 487;
inline constexpr int kScrollBarExtent = 16;
// Room the window keeps right of and below the grid for borders, scroll bars and status bar.
inline constexpr int kRightMargin = 28;
inline constexpr int kBottomMargin = 92;

inline constexpr int kScrollXSingleStep = 1;
inline constexpr int kScrollXPageStep = 1;
inline constexpr int kScrollYSingleStep = 2;
inline constexpr int kScrollYPageStep = 8;
inline constexpr int kKeyScrollStep = 2;

inline constexpr int kPanTimerMs = 100;
inline constexpr int kPanStep = 2;
inline constexpr int kPanThreshold = 25;
inline constexpr int kPanCursorReset = 28;
inline constexpr int kPanMarkerSize = 46;
inline constexpr int kFlashMs = 260;

// Everything `FormCanResize` lays out, in the coordinates `grid_origin` was given in.
struct GridGeometry {
  int columns = 0;
  int rows = 0;
  QRect grid;
  QRect input_panel;
  QRect output_panel;
  QRect scroll_bar_x;
  QRect scroll_bar_y;
  int scroll_x_max = 0;
  int scroll_y_max = 0;
};

// Columns and rows from the proposed window size and where the grid starts in the window;
// never more than the matrix has, never fewer than one.
GridGeometry FormCanResize(QSize window, QPoint grid_origin,
                           int scroll_bar_extent = kScrollBarExtent);
// The layout inside an area of `area` (the matrix part of the window, origin at its top left):
// as many whole columns and rows as fit right of the output panel, below the input panel and
// above and left of the scroll bars. The rows left over (less than one cell) go above the
// panels, so that the horizontal scroll bar ends where the area ends; once every row fits,
// the block stays at the top.
GridGeometry FitGrid(QSize area, int scroll_bar_extent = kScrollBarExtent);
// The same layout for a given number of columns and rows.
GridGeometry LayoutGrid(int columns, int rows, QPoint grid_origin,
                        int scroll_bar_extent = kScrollBarExtent);

// A visible cell (column, row); -1, -1 is none.
struct GridCell {
  int column = -1;
  int row = -1;
  bool valid() const { return column >= 0 && row >= 0; }
  bool operator==(const GridCell&) const = default;
};

// The visible cell under a grid pixel (a grid line belongs to the cell before it).
GridCell CellAt(QPoint pixel);
QRect CellRect(GridCell cell);

// The trace: the hovered column from the top row down to the hovered cell, and the hovered
// row from the left column to it.
bool OnTrace(GridCell trace, GridCell cell);
std::vector<GridCell> TraceCells(GridCell trace);
// The cells whose trace background differs between two traces; only these are repainted.
std::vector<GridCell> TraceRepaintCells(GridCell from, GridCell to);

enum class PanCursor { kNone, kLeft, kUp, kRight, kDown };
struct PanMove {
  int columns = 0;
  int rows = 0;
  PanCursor cursor = PanCursor::kNone;
  bool operator==(const PanMove&) const = default;
};
// One tick of the pan timer: how far to scroll and which cursor to show.
PanMove PanTick(PanCursor cursor, QPoint start, QPoint current);

}  // namespace zizara::core::matrix

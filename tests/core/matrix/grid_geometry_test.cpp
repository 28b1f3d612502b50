#include "core/matrix/grid_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zizara::core::matrix {
namespace {

TEST(FormCanResizeTest, ColumnsAndRowsFromTheWindow) {
  struct Case {
    QSize window;
    QPoint grid;
    int columns;
    int rows;
  };
  const Case cases[] = {
      {{656, 487}, {85, 140}, 31, 15},   // the minimum window: 543/17 = 31.9, 255/17 = 15
      {{656, 487}, {80, 80}, 32, 18},    // 548/17 = 32.2, 315/17 = 18.5
      {{1000, 700}, {84, 137}, 52, 27},  // 888/17 = 52.2, 471/17 = 27.7
      {{1604, 1804}, {80, 80}, 88, 96},  // exactly the whole matrix
      {{1603, 1803}, {80, 80}, 87, 95},  // one pixel short on each axis
      {{4000, 3000}, {80, 80}, 88, 96},  // never more than the matrix has
      {{100, 100}, {80, 80}, 1, 1},      // never fewer than one
  };
  for (const Case& c : cases) {
    const GridGeometry g = FormCanResize(c.window, c.grid);
    EXPECT_EQ(g.columns, c.columns) << c.window.width() << "x" << c.window.height();
    EXPECT_EQ(g.rows, c.rows) << c.window.width() << "x" << c.window.height();
    EXPECT_EQ(g.scroll_x_max, 88 - c.columns);
    EXPECT_EQ(g.scroll_y_max, 96 - c.rows);
  }
}

TEST(FormCanResizeTest, LayoutAroundTheGrid) {
  const GridGeometry g = FormCanResize({656, 487}, {85, 140}, 16);
  EXPECT_EQ(g.columns, 31);
  EXPECT_EQ(g.rows, 15);
  EXPECT_EQ(g.grid, QRect(85, 140, 31 * 17, 15 * 17 + 1));
  // InputPanel: one pixel left of the grid, 80 high, one wider than the grid.
  EXPECT_EQ(g.input_panel, QRect(84, 60, 31 * 17 + 1, 80));
  // OutputPanel: 80 wide, one pixel above the grid (one above InputPanel's bottom).
  EXPECT_EQ(g.output_panel, QRect(5, 139, 80, 15 * 17 + 1));
  EXPECT_EQ(g.output_panel.top(), g.input_panel.bottom());
  EXPECT_EQ(g.output_panel.right() + 1, g.grid.left());
  EXPECT_EQ(g.scroll_bar_x, QRect(85, 140 + 256, 527, 16));
  EXPECT_EQ(g.scroll_bar_y, QRect(85 + 527, 140, 16, 255));
  EXPECT_EQ(g.scroll_x_max, 88 - 31);
  EXPECT_EQ(g.scroll_y_max, 96 - 15);
}

TEST(FitGridTest, TheScrollBarEndsWhereTheAreaEnds) {
  // Any height: whole rows, and what is left of a row lies above the panels, not below the
  // scroll bar.
  for (int height = 200; height <= 900; height += 7) {
    const GridGeometry g = FitGrid({700, height}, 16);
    SCOPED_TRACE(height);
    EXPECT_EQ(g.rows, (height - 80 - 1 - 16) / 17);
    EXPECT_EQ(g.grid.height(), g.rows * 17 + 1);
    EXPECT_EQ(g.scroll_bar_x.bottom(), height - 1);
    EXPECT_GE(g.input_panel.top(), 0);
    EXPECT_LT(g.input_panel.top(), 17);
    EXPECT_EQ(g.output_panel.right() + 1, g.grid.left());
  }
  const GridGeometry g = FitGrid({700, 500}, 16);
  EXPECT_EQ(g.columns, (700 - 80 - 16) / 17);
  EXPECT_EQ(g.scroll_bar_y.left(), g.grid.right() + 1);
  EXPECT_EQ(g.scroll_x_max, 88 - g.columns);
  EXPECT_EQ(g.scroll_y_max, 96 - g.rows);
}

TEST(FitGridTest, AWholeMatrixStaysAtTheTop) {
  const GridGeometry g = FitGrid({3000, 3000}, 16);
  EXPECT_EQ(g.columns, 88);
  EXPECT_EQ(g.rows, 96);
  EXPECT_EQ(g.grid.topLeft(), QPoint(80, 80));
  EXPECT_EQ(g.scroll_x_max, 0);
  EXPECT_EQ(g.scroll_y_max, 0);
}

TEST(GridCellTest, PixelsAndRects) {
  EXPECT_EQ(CellAt({0, 0}), (GridCell{0, 0}));
  EXPECT_EQ(CellAt({16, 16}), (GridCell{0, 0}));  // the grid line after the first cell
  EXPECT_EQ(CellAt({17, 34}), (GridCell{1, 2}));
  EXPECT_FALSE(CellAt({-1, 5}).valid());
  EXPECT_EQ(CellRect({2, 3}), QRect(34, 51, 16, 16));
}

TEST(TraceTest, CellsOnTheTrace) {
  const GridCell t{2, 3};
  EXPECT_TRUE(OnTrace(t, {2, 0}));
  EXPECT_TRUE(OnTrace(t, {2, 3}));
  EXPECT_FALSE(OnTrace(t, {2, 4}));  // below the hovered cell
  EXPECT_TRUE(OnTrace(t, {0, 3}));
  EXPECT_FALSE(OnTrace(t, {3, 3}));  // right of it
  EXPECT_FALSE(OnTrace({}, {0, 0}));
  EXPECT_EQ(TraceCells(t).size(), 4u + 2u);
}

TEST(TraceTest, RepaintsOnlyWhatChanges) {
  // Same column, one row further down: the old row goes, the new row and one cell come.
  auto cells = TraceRepaintCells({2, 3}, {2, 4});
  std::sort(cells.begin(), cells.end(), [](const GridCell& a, const GridCell& b) {
    return std::pair(a.column, a.row) < std::pair(b.column, b.row);
  });
  const std::vector<GridCell> expected = {{0, 3}, {0, 4}, {1, 3}, {1, 4}, {2, 4}};
  EXPECT_EQ(cells, expected);
  EXPECT_TRUE(TraceRepaintCells({5, 5}, {5, 5}).empty());
  EXPECT_EQ(TraceRepaintCells({}, {1, 1}).size(), 3u);
  EXPECT_EQ(TraceRepaintCells({1, 1}, {}).size(), 3u);
}

TEST(PanTickTest, ScrollsBeyondTheThresholdAndResetsTheCursor) {
  const QPoint start(100, 100);
  EXPECT_EQ(PanTick(PanCursor::kNone, start, {125, 75}), (PanMove{0, 0, PanCursor::kNone}));
  EXPECT_EQ(PanTick(PanCursor::kNone, start, {126, 100}), (PanMove{2, 0, PanCursor::kRight}));
  EXPECT_EQ(PanTick(PanCursor::kNone, start, {74, 100}), (PanMove{-2, 0, PanCursor::kLeft}));
  EXPECT_EQ(PanTick(PanCursor::kNone, start, {100, 126}), (PanMove{0, 2, PanCursor::kDown}));
  EXPECT_EQ(PanTick(PanCursor::kNone, start, {100, 74}), (PanMove{0, -2, PanCursor::kUp}));
  // Diagonal: both bars move, the vertical arrow shows.
  EXPECT_EQ(PanTick(PanCursor::kNone, start, {140, 60}), (PanMove{2, -2, PanCursor::kUp}));
  // Back near the start: an arrow for the axis that came back turns into the plain cursor.
  EXPECT_EQ(PanTick(PanCursor::kDown, start, {110, 120}), (PanMove{0, 0, PanCursor::kNone}));
  EXPECT_EQ(PanTick(PanCursor::kRight, start, {127, 100}), (PanMove{2, 0, PanCursor::kRight}));
  EXPECT_EQ(PanTick(PanCursor::kLeft, start, {100, 60}), (PanMove{0, -2, PanCursor::kUp}));
}

}  // namespace
}  // namespace zizara::core::matrix

#include "core/matrix/xpoint_cells.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace zizara::core::matrix {
namespace {

using config::ConfigurationImage;
using config::MemoryMap;

// The documented table, one entry per row, in the 1-based numbers the user sees.
struct IllegalRow {
  std::vector<int> inputs;
  std::vector<int> outputs;
};

std::vector<int> Range(int first, int last) {
  std::vector<int> v;
  for (int n = first; n <= last; ++n) v.push_back(n);
  return v;
}

std::set<std::pair<int, int>> IllegalSet() {
  std::set<std::pair<int, int>> cells;
  for (int k = 0; k <= 31; ++k) cells.insert({57 + k, 65 + k});
  std::vector<int> row5_inputs = Range(1, 48);
  for (int n : {52, 53, 54, 56}) row5_inputs.push_back(n);
  const IllegalRow rows[] = {
      {{49, 50}, Range(1, 96)},
      {Range(1, 88), {63, 64}},
      {{55, 56}, {49, 50}},
      {row5_inputs, Range(55, 62)},
  };
  for (const IllegalRow& row : rows) {
    for (int i : row.inputs) {
      for (int o : row.outputs) cells.insert({i, o});
    }
  }
  return cells;
}

TEST(IllegalXPointsTest, EveryCellFollowsTheTable) {
  const auto illegal = IllegalSet();
  XPointCells cells;
  const CellImages images;
  MarkIllegalXPoints(cells, images);
  for (int i = 1; i <= kInputs; ++i) {
    for (int o = 1; o <= kOutputs; ++o) {
      const bool expected = illegal.count({i, o}) > 0;
      ASSERT_EQ(IsIllegalXPoint(i - 1, o - 1), expected) << "input " << i << " output " << o;
      ASSERT_EQ(cells.At(i - 1, o - 1), expected ? images.illegal_xpoint_greyed : kEmptyCell)
          << "input " << i << " output " << o;
    }
  }
  EXPECT_EQ(cells.At(kInputs, kOutputs), kEmptyCell);  // the spare cells are never marked
}

TEST(IllegalXPointsTest, RowsByExample) {
  // One case on each side of every row's edges.
  EXPECT_TRUE(IsIllegalXPoint(56, 64));   // 57 -> 65
  EXPECT_TRUE(IsIllegalXPoint(87, 95));   // 88 -> 96
  EXPECT_FALSE(IsIllegalXPoint(56, 65));  // 57 -> 66
  EXPECT_TRUE(IsIllegalXPoint(48, 0));    // 49 -> 1
  EXPECT_TRUE(IsIllegalXPoint(49, 95));   // 50 -> 96
  EXPECT_TRUE(IsIllegalXPoint(0, 62));    // 1 -> 63
  EXPECT_TRUE(IsIllegalXPoint(87, 63));   // 88 -> 64
  EXPECT_TRUE(IsIllegalXPoint(54, 48));   // 55 -> 49
  EXPECT_FALSE(IsIllegalXPoint(53, 48));  // 54 -> 49
  EXPECT_FALSE(IsIllegalXPoint(50, 54));  // 51 -> 55 is allowed
  EXPECT_TRUE(IsIllegalXPoint(0, 54));    // 1 -> 55
  EXPECT_FALSE(IsIllegalXPoint(54, 61));  // 55 -> 62
  EXPECT_TRUE(IsIllegalXPoint(55, 61));   // 56 -> 62
  EXPECT_FALSE(IsIllegalXPoint(56, 54));  // 57 -> 55
  EXPECT_FALSE(IsIllegalXPoint(-1, 0));
  EXPECT_FALSE(IsIllegalXPoint(0, 96));
}

TEST(BuildMatrixTest, RoutingElementsLandInTheirRows) {
  ConfigurationImage image;
  const MemoryMap map = MemoryMap::ForPreset(0);
  image.SetByte(0x1101, 4);     // element 0: output 1 <- input 5
  image.SetByte(0x1100, 0x85);  // element 1: output 2 <- input 6, bit 7 ignored
  image.SetByte(0x115E, 87);    // element 95: output 96 <- input 88
  image.SetByte(0x1103, 88);    // output 3: beyond the inputs, nothing visible
  image.SetByte(0x1102, 0xFF);  // output 4: 127 after bit 7, nothing visible
  XPointCells cells;
  const CellImages images;
  cells.Set(10, 0, images.local_xpoint);  // stale cells are cleared
  BuildMatrixFromImage(cells, image, map, images);
  EXPECT_EQ(cells.At(4, 0), images.xpoint_from_file);
  EXPECT_EQ(cells.At(10, 0), kEmptyCell);
  EXPECT_EQ(cells.At(5, 1), images.xpoint_from_file);
  EXPECT_EQ(RoutingTableInput(image, map, 1), 5);
  EXPECT_EQ(cells.RoutedInput(2, images), std::nullopt);
  EXPECT_EQ(cells.RoutedInput(3, images), std::nullopt);
  // Output 96 <- input 88 is an illegal PPM self-routing: it shows greyed.
  EXPECT_EQ(cells.At(87, 95), images.illegal_xpoint_greyed);
  // Every other output holds input 0 (zero bytes) unless illegal.
  EXPECT_EQ(cells.At(0, 10), images.xpoint_from_file);
  EXPECT_EQ(cells.At(0, 62), images.illegal_xpoint_greyed);
}

TEST(ReportedXPointTest, ReplacesTheRowsRoutingAndKeepsIllegalCells) {
  const CellImages images;
  XPointCells cells;
  MarkIllegalXPoints(cells, images);
  cells.Set(3, 10, images.xpoint_from_file);
  SetReportedXPoint(cells, images, 10, 7, true);
  EXPECT_EQ(cells.At(3, 10), kEmptyCell);
  EXPECT_EQ(cells.At(7, 10), images.remote_xpoint);
  SetReportedXPoint(cells, images, 10, 8, false);
  EXPECT_EQ(cells.At(7, 10), kEmptyCell);
  EXPECT_EQ(cells.At(8, 10), images.local_xpoint);
  // A report naming an illegal cell clears the row but shows nothing new.
  SetReportedXPoint(cells, images, 10, 48, true);
  EXPECT_EQ(cells.At(8, 10), kEmptyCell);
  EXPECT_EQ(cells.At(48, 10), images.illegal_xpoint_greyed);
  EXPECT_EQ(cells.At(49, 10), images.illegal_xpoint_greyed);
}

TEST(ReportedXPointTest, InputZeroLeavesTheOutputUnrouted) {
  const CellImages images;
  XPointCells cells;
  MarkIllegalXPoints(cells, images);
  SetReportedXPoint(cells, images, 90, 4, true);
  const XPointCells illegal_only = [&] {
    XPointCells c;
    MarkIllegalXPoints(c, images);
    return c;
  }();
  // Input 0 is -1 counted from 0: the row is cleared and nothing else is touched.
  SetReportedXPoint(cells, images, 90, -1, false);
  for (int input = 0; input < kInputs; ++input) {
    EXPECT_EQ(cells.At(input, 90), illegal_only.At(input, 90)) << input;
  }
  EXPECT_EQ(cells.At(4, 89), illegal_only.At(4, 89));
}

TEST(LockTest, TogglesReportedCellsOnly) {
  const CellImages images;
  XPointCells cells;
  cells.Set(2, 0, images.local_xpoint);
  EXPECT_TRUE(ToggleLock(cells, images, 0));
  EXPECT_EQ(cells.At(2, 0), images.locked_xpoint);
  EXPECT_TRUE(cells.RowLocked(0, images));
  EXPECT_TRUE(ToggleLock(cells, images, 0));
  EXPECT_EQ(cells.At(2, 0), images.remote_xpoint);  // a local routing comes back remote
  cells.Set(5, 1, images.xpoint_from_file);
  EXPECT_FALSE(ToggleLock(cells, images, 1));
  EXPECT_EQ(cells.At(5, 1), images.xpoint_from_file);
  EXPECT_FALSE(ToggleLock(cells, images, 2));  // nothing routed
}

TEST(RoutingLineTest, LockedRowsRefuseRoutingLinesOnly) {
  const CellImages images;
  XPointCells cells;
  cells.Set(0, 4, images.locked_xpoint);  // output 5 locked
  EXPECT_FALSE(IsRoutingLineAllowed(".SA5,1*", cells, images));
  EXPECT_FALSE(IsRoutingLineAllowed(".SA5,17", cells, images));
  EXPECT_TRUE(IsRoutingLineAllowed(".SA6,1*", cells, images));
  EXPECT_TRUE(IsRoutingLineAllowed(".SA50,1", cells, images));
  EXPECT_TRUE(IsRoutingLineAllowed(".LA5,-", cells, images));
  EXPECT_TRUE(IsRoutingLineAllowed(".SP9,2", cells, images));
  EXPECT_TRUE(IsRoutingLineAllowed(".SA,5", cells, images));  // no output number
  EXPECT_TRUE(IsRoutingLineAllowed(".SA5", cells, images));
  EXPECT_TRUE(IsRoutingLineAllowed(".SA999,1", cells, images));
  EXPECT_TRUE(IsRoutingLineAllowed("", cells, images));
}

TEST(RouteCommandTest, OneBasedWithoutLeadingZeros) {
  EXPECT_EQ(RouteCommand(4, 2), QByteArray(".SA5,3*\r"));
  EXPECT_EQ(RouteCommand(95, 87), QByteArray(".SA96,88*\r"));
}

}  // namespace
}  // namespace zizara::core::matrix

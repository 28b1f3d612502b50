#include "core/matrix/matrix_model.h"

#include <gtest/gtest.h>

#include "core/config/preset_options.h"
#include "support/crafted_files.h"

namespace zizara::core::matrix {
namespace {

using config::Configuration;

class MatrixModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(config_.image.AssignFrom(testing::CraftImage()));
    config_.SelectPreset(0);
    RebuildMatrix(model_, config_, images_);
  }
  int Element(int output) const {
    return config_.image.ArrayElement(config_.map.RoutingTable, output);
  }

  Configuration config_;
  MatrixModel model_;
  CellImages images_;
};

TEST_F(MatrixModelTest, NamesAndHintsOfTheSelectedPreset) {
  EXPECT_EQ(model_.Name(Axis::kInputs, 0), "I001");
  EXPECT_EQ(model_.Name(Axis::kInputs, 32), "P1IN");
  EXPECT_EQ(model_.Name(Axis::kOutputs, 95), "O096");
  // Inputs 57..88 are the fields of outputs 65..96.
  EXPECT_EQ(model_.Name(Axis::kInputs, 56), "O065");
  EXPECT_EQ(model_.Hint(Axis::kInputs, 87), "Input #88");
  EXPECT_EQ(model_.Hint(Axis::kOutputs, 0), "Input #5 (I005) is routed to this output.");
  // Element 0x85 routes input 6 to output 2.
  EXPECT_EQ(model_.Hint(Axis::kOutputs, 1), "Input #6 (I006) is routed to this output.");
  EXPECT_EQ(model_.cells.RoutedInput(1, images_), 5);
  EXPECT_EQ(model_.Hint(Axis::kOutputs, 95), QString());  // 0x7F routes nothing visible

  config_.SelectPreset(1);
  RebuildMatrix(model_, config_, images_);
  EXPECT_EQ(model_.Name(Axis::kInputs, 32), "P2IN");
}

TEST_F(MatrixModelTest, OfflineRoutingWritesTheTable) {
  const RouteResult r = RouteXPoint(model_, config_, images_, 9, 3, false);
  EXPECT_EQ(r.outcome, RouteOutcome::kRouted);
  EXPECT_EQ(Element(3), 9);
  EXPECT_EQ(config_.image.Byte(0x1102), 9);  // element 3 sits at RoutingTable + 2
  EXPECT_EQ(model_.cells.At(9, 3), images_.xpoint_from_file);
  EXPECT_EQ(model_.cells.At(0, 3), kEmptyCell);  // the earlier routing went
  EXPECT_TRUE(config_.modified);
  EXPECT_EQ(model_.Hint(Axis::kOutputs, 3), "Input #10 (I010) is routed to this output.");
}

TEST_F(MatrixModelTest, RoutingTheRoutedCellAgainStillCountsAsAnEdit) {
  const XPointCells before = model_.cells;
  EXPECT_EQ(RouteXPoint(model_, config_, images_, 4, 0, false).outcome, RouteOutcome::kRouted);
  EXPECT_EQ(model_.cells, before);
  EXPECT_EQ(Element(0), 4);
  EXPECT_TRUE(config_.modified);
}

TEST_F(MatrixModelTest, OfflineRoutingClearsBit7AndKeepsIllegalCells) {
  EXPECT_EQ(RouteXPoint(model_, config_, images_, 50, 54, false).outcome,
            RouteOutcome::kRouted);  // input 51 -> output 55
  EXPECT_EQ(Element(54), 50);
  EXPECT_EQ(model_.cells.At(0, 54), images_.illegal_xpoint_greyed);
  RouteXPoint(model_, config_, images_, 7, 1, false);  // output 2 had 0x85
  EXPECT_EQ(Element(1), 7);
}

TEST_F(MatrixModelTest, IllegalCellsRefuseAndChangeNothing) {
  const Configuration before = config_;
  const XPointCells cells = model_.cells;
  const QString hint = model_.Hint(Axis::kOutputs, 54);
  for (const bool connected : {false, true}) {
    EXPECT_EQ(RouteXPoint(model_, config_, images_, 0, 54, connected).outcome,
              RouteOutcome::kRefused);  // input 1 -> output 55
  }
  EXPECT_EQ(config_.image, before.image);
  EXPECT_FALSE(config_.modified);
  EXPECT_EQ(model_.cells, cells);
  EXPECT_EQ(model_.Hint(Axis::kOutputs, 54), hint);
}

TEST_F(MatrixModelTest, ConnectedRoutingSendsAndWaitsForTheReport) {
  const auto snapshot = config_.image.bytes();
  const RouteResult r = RouteXPoint(model_, config_, images_, 2, 4, true);
  EXPECT_EQ(r.outcome, RouteOutcome::kSend);
  EXPECT_EQ(r.command, QByteArray(".SA5,3*\r"));
  EXPECT_EQ(config_.image.bytes(), snapshot);
  EXPECT_FALSE(config_.modified);
  EXPECT_EQ(model_.cells.At(2, 4), kEmptyCell);
  EXPECT_EQ(model_.Hint(Axis::kOutputs, 4), "Input #3 (I003) is routed to this output.");
}

TEST_F(MatrixModelTest, RenameWritesSharedFields) {
  ChannelSelection s;
  s.Set(Axis::kInputs, 59, true);  // input 60
  RenameSelectedChannels(config_, s, PadChannelName("AB"));
  ChannelNamesFromImage(model_, config_);
  EXPECT_EQ(model_.Name(Axis::kInputs, 59), "AB  ");
  EXPECT_EQ(model_.Name(Axis::kOutputs, 67), "AB  ");  // output 68 shares the field
  EXPECT_EQ(config_.image.Text(0x0E00 + 4 * 67, 2), QByteArray("AB  "));

  ChannelSelection both;
  both.Set(Axis::kInputs, 40, true);  // input 41 lives in the preset's name section
  both.Set(Axis::kOutputs, 2, true);
  RenameSelectedChannels(config_, both, PadChannelName("Toolong"));
  EXPECT_EQ(config_.image.Text(0x1080 + 4 * 8, 2), QByteArray("Tool"));
  EXPECT_EQ(config_.image.Text(0x0E00 + 4 * 2, 2), QByteArray("Tool"));
  EXPECT_EQ(config_.image.Text(0x0E00 + 4 * 3, 2), QByteArray("O004"));
}

}  // namespace
}  // namespace zizara::core::matrix

#include "core/matrix/popup_rules.h"

#include <gtest/gtest.h>

#include "core/config/preset_options.h"
#include "support/crafted_files.h"

namespace zizara::core::matrix {
namespace {

class PopupRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config_.image.AssignFrom(testing::CraftImage());
    config_.SelectPreset(0);
    config_.image.SetText(config::InputNameOffset(config_.map, 55), "SUM ");
    RebuildMatrix(model_, config_, CellImages{});
  }
  config::Configuration config_;
  MatrixModel model_;
  ChannelSelection sel_;
};

TEST_F(PopupRulesTest, InputPopupOffline) {
  InputPopupState s = InputPopupRules(model_, sel_, 0, 0x0500, false);
  EXPECT_EQ(s.headline, "#1 [ I001 ]");
  EXPECT_TRUE(s.rename);
  EXPECT_FALSE(s.ppm);
  EXPECT_FALSE(s.sum);
  EXPECT_TRUE(InputPopupRules(model_, sel_, 56, 0x0500, false).ppm);  // input 57
  EXPECT_TRUE(InputPopupRules(model_, sel_, 54, 0x0500, false).sum);  // input 55
  EXPECT_FALSE(InputPopupRules(model_, sel_, 54, 0, false).sum);      // no version known
  sel_.Set(Axis::kInputs, 87, true);
  sel_.Set(Axis::kInputs, 54, true);
  s = InputPopupRules(model_, sel_, 3, 0x0380, false);
  EXPECT_TRUE(s.ppm);
  EXPECT_TRUE(s.sum);
}

TEST_F(PopupRulesTest, InputPopupConnectedEditsNothing) {
  sel_.Set(Axis::kInputs, 54, true);
  const InputPopupState s = InputPopupRules(model_, sel_, 60, 0x0510, true);
  EXPECT_FALSE(s.rename);
  EXPECT_FALSE(s.ppm);
  EXPECT_FALSE(s.sum);
}

TEST_F(PopupRulesTest, OutputPopup) {
  OutputPopupState s = OutputPopupRules(model_, sel_, 51, false, QString());
  EXPECT_FALSE(s.phase);  // output 52
  EXPECT_FALSE(s.ppm);
  EXPECT_TRUE(s.rename);
  EXPECT_FALSE(s.gain);
  EXPECT_FALSE(s.lock);
  EXPECT_TRUE(OutputPopupRules(model_, sel_, 52, false, {}).phase);   // output 53
  EXPECT_TRUE(OutputPopupRules(model_, sel_, 61, false, {}).phase);   // output 62
  EXPECT_FALSE(OutputPopupRules(model_, sel_, 62, false, {}).phase);  // output 63
  EXPECT_TRUE(OutputPopupRules(model_, sel_, 64, false, {}).ppm);     // output 65

  s = OutputPopupRules(model_, sel_, 64, true, QStringLiteral("-1,5"));
  EXPECT_FALSE(s.rename);
  EXPECT_FALSE(s.phase);
  EXPECT_FALSE(s.ppm);
  EXPECT_TRUE(s.gain);
  EXPECT_TRUE(s.lock);
  EXPECT_EQ(s.gain_caption, "Set Gain... [-1,5 dB]");
}

TEST_F(PopupRulesTest, MatrixPopup) {
  MatrixPopupState s = MatrixPopupRules(model_, sel_, 54, 10, false, QString());
  EXPECT_EQ(s.input_headline, "#55 [ SUM  ]");
  EXPECT_EQ(s.output_headline, "#11 [ O011 ]");
  EXPECT_TRUE(s.sum);  // no version condition here
  EXPECT_TRUE(s.rename);
  EXPECT_FALSE(s.phase);
  EXPECT_FALSE(s.ppm);
  EXPECT_FALSE(s.gain);
  EXPECT_EQ(s.gain_caption, "Set Gain [Disconnected]");
  EXPECT_TRUE(MatrixPopupRules(model_, sel_, 0, 70, false, {}).ppm);  // output 71
  EXPECT_TRUE(MatrixPopupRules(model_, sel_, 60, 0, false, {}).ppm);  // input 61
  EXPECT_TRUE(MatrixPopupRules(model_, sel_, 0, 55, false, {}).phase);

  s = MatrixPopupRules(model_, sel_, 54, 55, true, QStringLiteral("3,0"));
  EXPECT_FALSE(s.sum);
  EXPECT_FALSE(s.rename);
  EXPECT_FALSE(s.phase);
  EXPECT_FALSE(s.ppm);
  EXPECT_TRUE(s.lock);
  EXPECT_EQ(s.gain_caption, "Set Gain [3,0 dB]");
}

TEST_F(PopupRulesTest, PpmChannelOfTheMatrixCell) {
  EXPECT_EQ(MatrixPopupPpmChannel(55, 70), 6);  // input 56: the output's channel
  EXPECT_EQ(MatrixPopupPpmChannel(56, 70), 0);  // input 57: the input's channel
  EXPECT_EQ(MatrixPopupPpmChannel(87, 0), 31);
  EXPECT_EQ(PpmChannelOfOutput(95), 31);
}

TEST(SumChecksTest, FollowTheStorageOfTheVersion) {
  config::Configuration c;
  c.SelectPreset(2);
  const SumChecks neither;
  c.trailer.software_version = 0x0410;
  c.image.SetByte(config::offsets::kSumGain, 0);
  EXPECT_EQ(SumGainChecks(c, neither), (SumChecks{true, false}));
  c.image.SetByte(config::offsets::kSumGain, 7);
  EXPECT_EQ(SumGainChecks(c, neither), (SumChecks{false, true}));

  c.trailer.software_version = 0x0500;
  config::WriteSumGain(c.image, 0x0500, c.map, config::SumGain::kMinus3dB);
  EXPECT_EQ(c.image.Word(0x147C + 2 * 0x80), 0xFFF1);
  EXPECT_EQ(SumGainChecks(c, neither), (SumChecks{true, false}));
  config::WriteSumGain(c.image, 0x0500, c.map, config::SumGain::kPlus0dB);
  EXPECT_EQ(SumGainChecks(c, neither), (SumChecks{false, true}));
  c.image.SetWord(c.map.SumGainExtBaseAdr, 0x1234);  // neither encoding: marks stay
  EXPECT_EQ(SumGainChecks(c, SumChecks{true, false}), (SumChecks{true, false}));
}

}  // namespace
}  // namespace zizara::core::matrix

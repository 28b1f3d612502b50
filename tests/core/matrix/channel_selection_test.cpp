#include "core/matrix/channel_selection.h"

#include <gtest/gtest.h>

#include <vector>

namespace zizara::core::matrix {
namespace {

LabelPress Press(Axis axis, int channel, MouseButton button = MouseButton::kLeft,
                 bool shift = false, bool ctrl = false) {
  LabelPress p;
  p.axis = axis;
  p.channel = channel;
  p.button = button;
  p.shift = shift;
  p.ctrl = ctrl;
  return p;
}

std::vector<int> SelectedOf(const ChannelSelection& s, Axis axis) {
  std::vector<int> v;
  for (int c = 0; c < ChannelCount(axis); ++c) {
    if (s.Selected(axis, c)) v.push_back(c + 1);  // as the user numbers them
  }
  return v;
}

TEST(ChannelSelectionTest, ShiftSelectsARangeFromTheAnchor) {
  ChannelSelection s;
  s.HandleLabelMouseDown(Press(Axis::kOutputs, 9, MouseButton::kLeft, true));
  EXPECT_EQ(SelectedOf(s, Axis::kOutputs), std::vector<int>({10}));
  EXPECT_EQ(s.anchor(), 9);
  s.HandleLabelMouseDown(Press(Axis::kOutputs, 4, MouseButton::kLeft, true));
  EXPECT_EQ(SelectedOf(s, Axis::kOutputs), std::vector<int>({5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(s.anchor(), std::nullopt);
}

TEST(ChannelSelectionTest, ShiftRangeTogglesWhatWasThere) {
  ChannelSelection s;
  s.Set(Axis::kOutputs, 6, true);  // output 7 already selected
  s.HandleLabelMouseDown(Press(Axis::kOutputs, 4, MouseButton::kLeft, true));
  s.HandleLabelMouseDown(Press(Axis::kOutputs, 8, MouseButton::kLeft, true));
  EXPECT_EQ(SelectedOf(s, Axis::kOutputs), std::vector<int>({5, 6, 8, 9}));
}

TEST(ChannelSelectionTest, CtrlTogglesAndMirrorsPpmChannels) {
  ChannelSelection s;
  s.HandleLabelMouseDown(Press(Axis::kInputs, 56, MouseButton::kLeft, false, true));
  EXPECT_EQ(SelectedOf(s, Axis::kInputs), std::vector<int>({57}));
  EXPECT_EQ(SelectedOf(s, Axis::kOutputs), std::vector<int>({65}));
  s.HandleLabelMouseDown(Press(Axis::kOutputs, 95, MouseButton::kLeft, false, true));
  EXPECT_TRUE(s.Selected(Axis::kInputs, 87));
  s.HandleLabelMouseDown(Press(Axis::kOutputs, 64, MouseButton::kLeft, false, true));
  EXPECT_FALSE(s.Selected(Axis::kInputs, 56));
  // Channels outside the PPM group have no twin.
  s.HandleLabelMouseDown(Press(Axis::kInputs, 55, MouseButton::kLeft, false, true));
  EXPECT_EQ(SelectedOf(s, Axis::kOutputs), std::vector<int>({96}));
  EXPECT_EQ(MirrorChannel(Axis::kOutputs, 63), std::nullopt);
  // Ctrl wins over Shift.
  s.HandleLabelMouseDown(Press(Axis::kInputs, 1, MouseButton::kLeft, true, true));
  EXPECT_TRUE(s.Selected(Axis::kInputs, 1));
  EXPECT_EQ(s.anchor(), std::nullopt);
}

TEST(ChannelSelectionTest, PlainPressClearsBothAxes) {
  ChannelSelection s;
  s.Set(Axis::kInputs, 3, true);
  s.Set(Axis::kOutputs, 3, true);
  s.HandleLabelMouseDown(Press(Axis::kOutputs, 9, MouseButton::kLeft, true));  // anchor
  s.HandleLabelMouseDown(Press(Axis::kInputs, 7));
  EXPECT_FALSE(s.Any(Axis::kInputs));
  EXPECT_FALSE(s.Any(Axis::kOutputs));
  EXPECT_EQ(s.anchor(), std::nullopt);
}

TEST(ChannelSelectionTest, RightPressSelectsUntilTheNextPress) {
  ChannelSelection s;
  s.Set(Axis::kOutputs, 2, true);
  s.Set(Axis::kOutputs, 3, true);
  s.HandleLabelMouseDown(Press(Axis::kOutputs, 8, MouseButton::kRight));
  EXPECT_EQ(SelectedOf(s, Axis::kOutputs), std::vector<int>({3, 4, 9}));
  EXPECT_FALSE(s.EarlierFlag(Axis::kOutputs, 8));
  // The next press gives output 9 its old flag back.
  s.HandleLabelMouseDown(Press(Axis::kOutputs, 2, MouseButton::kRight));
  EXPECT_EQ(SelectedOf(s, Axis::kOutputs), std::vector<int>({3, 4}));
}

TEST(ChannelSelectionTest, RightPressOnAnUnselectedLabelWithCtrlClearsAll) {
  ChannelSelection s;
  s.Set(Axis::kInputs, 3, true);
  s.HandleLabelMouseDown(Press(Axis::kOutputs, 8, MouseButton::kRight, false, true));
  EXPECT_FALSE(s.Any(Axis::kInputs));
  EXPECT_FALSE(s.Any(Axis::kOutputs));
}

TEST(ChannelSelectionTest, TemporarySelectionGivesTheFlagBack) {
  ChannelSelection s;
  s.Set(Axis::kOutputs, 2, true);
  s.Set(Axis::kOutputs, 3, true);
  s.HandleLabelMouseDown(Press(Axis::kOutputs, 8, MouseButton::kRight));
  std::vector<int> seen;
  WithTemporarySelection(s, Axis::kOutputs, 8, [&] { seen = SelectedOf(s, Axis::kOutputs); });
  EXPECT_EQ(seen, std::vector<int>({3, 4, 9}));
  EXPECT_EQ(SelectedOf(s, Axis::kOutputs), std::vector<int>({3, 4}));

  // Without a remembered press the channel keeps whatever it had.
  ChannelSelection t;
  t.Set(Axis::kInputs, 5, true);
  WithTemporarySelection(t, Axis::kInputs, 5, [] {});
  EXPECT_TRUE(t.Selected(Axis::kInputs, 5));
  WithTemporarySelection(t, Axis::kInputs, 6, [] {});
  EXPECT_FALSE(t.Selected(Axis::kInputs, 6));
}

}  // namespace
}  // namespace zizara::core::matrix

#include "core/history/edit_history.h"

#include <gtest/gtest.h>

namespace zizara::core::history {
namespace {

config::ConfigurationImage ImageWith(int offset, std::uint8_t value) {
  config::ConfigurationImage image;
  image.SetByte(offset, value);
  return image;
}

TEST(EditHistoryTest, UndoAndRedoWalkTheSnapshotsWithTheirLabelsAndPresets) {
  EditHistory h;
  h.Reset(ImageWith(0, 0), 0, true);
  EXPECT_FALSE(h.CanUndo());
  EXPECT_FALSE(h.CanRedo());
  EXPECT_TRUE(h.Record(ImageWith(0, 1), 2, QStringLiteral("Set X-Point 5/7")));
  EXPECT_TRUE(h.Record(ImageWith(0, 2), 4, QStringLiteral("PPM Options")));
  EXPECT_EQ(h.UndoLabel(), QStringLiteral("PPM Options"));

  auto back = h.Undo();
  ASSERT_TRUE(back);
  EXPECT_EQ(back->image->Byte(0), 1);
  EXPECT_EQ(back->preset, 4);  // the preset the undone step was made in
  EXPECT_EQ(h.UndoLabel(), QStringLiteral("Set X-Point 5/7"));
  EXPECT_EQ(h.RedoLabel(), QStringLiteral("PPM Options"));

  back = h.Undo();
  ASSERT_TRUE(back);
  EXPECT_EQ(back->image->Byte(0), 0);
  EXPECT_EQ(back->preset, 2);
  EXPECT_FALSE(h.Undo());

  auto again = h.Redo();
  ASSERT_TRUE(again);
  EXPECT_EQ(again->image->Byte(0), 1);
  EXPECT_EQ(again->preset, 2);
}

TEST(EditHistoryTest, AnUnchangedImageIsNoStepAndANewStepDropsTheRedoneOnes) {
  EditHistory h;
  h.Reset(ImageWith(0, 0), 0, true);
  EXPECT_FALSE(h.Record(ImageWith(0, 0), 0, QStringLiteral("Phase Options")));
  EXPECT_EQ(h.Steps(), 0);
  h.Record(ImageWith(0, 1), 0, QStringLiteral("a"));
  h.Record(ImageWith(0, 2), 0, QStringLiteral("b"));
  h.Undo();
  h.Record(ImageWith(0, 9), 0, QStringLiteral("c"));
  EXPECT_FALSE(h.CanRedo());
  EXPECT_EQ(h.Steps(), 2);
  EXPECT_EQ(h.UndoLabel(), QStringLiteral("c"));
}

TEST(EditHistoryTest, KeepsAtMostTwoHundredStepsDroppingTheOldest) {
  EditHistory h;
  h.Reset(ImageWith(0, 0), 0, true);
  for (int i = 1; i <= 250; ++i) {
    h.Record(ImageWith(0x100, static_cast<std::uint8_t>(i)), 0, QString::number(i));
  }
  EXPECT_EQ(h.Steps(), EditHistory::kMaxSteps);
  int undone = 0;
  while (h.Undo()) ++undone;
  EXPECT_EQ(undone, 200);
  EXPECT_EQ(h.Current().Byte(0x100), 50);  // steps 1 to 50 are gone
  EXPECT_EQ(h.RedoLabel(), QStringLiteral("51"));
  // The saved state fell off the start: no entry matches the file any more.
  EXPECT_FALSE(h.AtSaved());
}

TEST(EditHistoryTest, TracksWhichEntryIsTheSavedFile) {
  EditHistory h;
  h.Reset(ImageWith(0, 0), 0, true);
  EXPECT_TRUE(h.AtSaved());
  h.Record(ImageWith(0, 1), 0, QStringLiteral("a"));
  EXPECT_FALSE(h.AtSaved());
  h.Undo();
  EXPECT_TRUE(h.AtSaved());  // back at the opened file: unmodified again
  h.Redo();
  h.MarkSaved();
  EXPECT_TRUE(h.AtSaved());
  h.Undo();
  EXPECT_FALSE(h.AtSaved());
  // A new branch from here makes the saved state unreachable.
  h.Record(ImageWith(0, 7), 0, QStringLiteral("b"));
  h.Undo();
  EXPECT_FALSE(h.AtSaved());
  h.Redo();
  EXPECT_FALSE(h.AtSaved());

  // An upload starts a history that was never saved.
  h.Reset(ImageWith(0, 3), 0, false);
  EXPECT_FALSE(h.AtSaved());
  EXPECT_FALSE(h.CanUndo());
}

}  // namespace
}  // namespace zizara::core::history

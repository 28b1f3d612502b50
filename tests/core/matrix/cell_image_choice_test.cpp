#include "core/matrix/cell_image_choice.h"

#include <gtest/gtest.h>

namespace zizara::core::matrix {
namespace {

const QString kGreyedClash =
    "One or more icons are set to the same icon as the icon \"Illegal X-Point grayed\", this is "
    "not allowed.";
const QString kLockedClash =
    "One or more icons are set to the same icon as the icon \"Locked X-Point\", this is not "
    "allowed.";

TEST(CellImageChoiceTest, NoKindMayShareTheGreyedOrTheLockedImage) {
  CellImages images;  // 6, 2, 3, 13, 8, 4
  EXPECT_TRUE(CellImageConflict(images).isEmpty());
  images.xpoint_from_file = images.illegal_xpoint_greyed;
  EXPECT_EQ(CellImageConflict(images), kGreyedClash);
  images = {};
  images.local_xpoint = images.locked_xpoint;
  EXPECT_EQ(CellImageConflict(images), kLockedClash);
  images = {};
  images.locked_xpoint = images.illegal_xpoint_greyed;  // both rules hit: the first one speaks
  EXPECT_EQ(CellImageConflict(images), kGreyedClash);
  images = {};
  images.local_xpoint = images.remote_xpoint;  // other kinds may share
  EXPECT_TRUE(CellImageConflict(images).isEmpty());
}

TEST(CellImageChoiceTest, PassesRunInOrderOnOneStore) {
  XPointCells cells;
  const CellImages old_images;
  cells.Set(1, 1, static_cast<std::uint8_t>(old_images.xpoint_from_file));          // 6
  cells.Set(2, 2, static_cast<std::uint8_t>(old_images.illegal_xpoint_highlight));  // 3
  cells.Set(3, 3, static_cast<std::uint8_t>(old_images.locked_xpoint));             // 4
  cells.Set(4, 4, 9);  // an image no kind uses stays

  // The offline kind moves onto the illegal kind's image, which itself stays: the offline
  // cells can no longer be told from illegal ones.
  CellImages moved = old_images;
  moved.xpoint_from_file = old_images.illegal_xpoint_highlight;
  RewriteCellImages(cells, old_images, moved);
  EXPECT_EQ(cells.At(1, 1), 3);
  EXPECT_EQ(cells.At(2, 2), 3);
  EXPECT_EQ(KindOf(cells.At(1, 1), moved), KindOf(cells.At(2, 2), moved));

  // A swap of two kinds through the passes: offline 3 -> 10 first, then illegal 3 -> 6 finds
  // nothing left, since the offline pass has already taken every 3.
  CellImages swapped = moved;
  swapped.xpoint_from_file = 10;
  swapped.illegal_xpoint_highlight = 6;
  RewriteCellImages(cells, moved, swapped);
  EXPECT_EQ(cells.At(1, 1), 10);
  EXPECT_EQ(cells.At(2, 2), 10);
  EXPECT_EQ(cells.At(3, 3), 4);
  EXPECT_EQ(cells.At(4, 4), 9);
  EXPECT_EQ(cells.At(0, 0), kEmptyCell);
}

TEST(CellImageChoiceTest, SelectableRangesAndNamedColours) {
  EXPECT_EQ(FirstSelectableImage(true), 1);
  EXPECT_EQ(FirstSelectableImage(false), 2);
  EXPECT_EQ(kLastSelectableImage, 25);
  int button_face = 0;
  for (const NamedTraceColour& c : TraceColours()) {
    button_face += c.value == settings::kTraceColorButtonFace ? 1 : 0;
  }
  EXPECT_EQ(button_face, 1);  // the default is offered by name
  EXPECT_EQ(TraceColours().front().value, 0x000000);
}

}  // namespace
}  // namespace zizara::core::matrix

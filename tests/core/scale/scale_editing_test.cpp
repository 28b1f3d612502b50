#include "core/scale/scale_editing.h"

#include <gtest/gtest.h>

namespace zizara::core::scale {
namespace {

TEST(ScaleEditingTest, NotePiecesBecomeMemoLines) {
  EXPECT_EQ(NoteToMemoText("one\r\ntwo\r\n"), "one\ntwo");
  EXPECT_EQ(NoteToMemoText(""), "");
  // A piece of 128 bytes is a line of its own even when the text goes on.
  const QByteArray long_line = QByteArray(130, 'a') + "\r\n";
  EXPECT_EQ(NoteToMemoText(long_line), QString(128, 'a') + "\naa");
  // A piece that ends in a line feed loses two bytes; one that does not keeps all of them.
  EXPECT_EQ(NoteToMemoText(QByteArray(126, 'b') + "\r\n" + "c\r\n"), QString(126, 'b') + "\nc");
}

TEST(ScaleEditingTest, MemoTextToNoteEndsEveryLineWithCrLf) {
  EXPECT_EQ(MemoTextToNote("one\ntwo"), "one\r\ntwo\r\n");
  EXPECT_EQ(MemoTextToNote(""), "");
  EXPECT_EQ(MemoTextToNote(QString(3000, 'x')).size(), kNoteCapacity);
  EXPECT_EQ(MemoTextToNote(NoteToMemoText("one\r\ntwo\r\n")), "one\r\ntwo\r\n");
}

TEST(ScaleEditingTest, SecondMarkersAreSetBackToNone) {
  std::array<int, kLineCount> styles{};
  styles[2] = kStyleOverload;
  styles[4] = kStyleUnderLoad;  // one of each is fine
  EXPECT_TRUE(ResetSecondMarkers(styles).empty());
  styles[9] = kStyleOverload;
  styles[11] = kStyleUnderLoad;
  styles[20] = kStyleOverload;
  EXPECT_EQ(ResetSecondMarkers(styles), (std::vector<int>{9, 11, 20}));
  EXPECT_EQ(styles[9], 0);
  EXPECT_EQ(styles[20], 0);
  EXPECT_EQ(styles[2], kStyleOverload);
  EXPECT_EQ(ScaleEntryText(7, "VU"), "Scale #7 - VU");
}

}  // namespace
}  // namespace zizara::core::scale

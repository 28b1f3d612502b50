#include "core/matrix/clipboard_blocks.h"

#include <gtest/gtest.h>

#include "core/config/preset_options.h"
#include "support/crafted_files.h"

namespace zizara::core::matrix {
namespace {

using config::Configuration;

Configuration Crafted(int preset) {
  Configuration c;
  c.image.AssignFrom(testing::CraftImage());
  c.SelectPreset(preset);
  return c;
}

TEST(XPointBlockTest, OutputsTwoAndFiveCopyAndPasteAlone) {
  Configuration from = Crafted(0);
  from.image.SetArrayElement(from.map.RoutingTable, 4, 0x8B);  // output 5, bit 7 set
  ChannelSelection s;
  s.Set(Axis::kOutputs, 1, true);
  s.Set(Axis::kOutputs, 4, true);
  const QByteArray block = EncodeXPointBlock(from, s);
  QByteArray expected(97, static_cast<char>(0xFF));
  expected[1] = static_cast<char>(0x85);  // element 1 as it stands in the image
  expected[4] = static_cast<char>(0x8B);
  EXPECT_EQ(block, expected);

  Configuration to = Crafted(3);
  const auto before = to.image.bytes();
  EXPECT_EQ(ApplyXPointBlock(block, to), 2);
  const int table = to.map.RoutingTable;
  for (int offset = 0; offset < static_cast<int>(before.size()); ++offset) {
    if (offset == table + (1 ^ 1) || offset == table + (4 ^ 1)) continue;
    ASSERT_EQ(to.image.Byte(offset), before[offset]) << "offset " << offset;
  }
  EXPECT_EQ(to.image.ArrayElement(table, 1), 0x85);
  EXPECT_EQ(to.image.ArrayElement(table, 4), 0x8B);
}

TEST(XPointBlockTest, ShortAndOverlongBlocks) {
  Configuration c = Crafted(0);
  const auto before = c.image.bytes();
  EXPECT_EQ(ApplyXPointBlock(QByteArray(), c), 0);
  EXPECT_EQ(ApplyXPointBlock(QByteArray(1, '\x07'), c), 1);  // only output 1
  EXPECT_EQ(c.image.ArrayElement(c.map.RoutingTable, 0), 7);
  QByteArray full(97, static_cast<char>(0xFF));
  full[96] = 3;  // the 97th byte never lands anywhere
  EXPECT_EQ(ApplyXPointBlock(full + QByteArray(50, '\x01'), c), 0);
  c.image.SetArrayElement(c.map.RoutingTable, 0, before[0x1101]);
  EXPECT_EQ(c.image.bytes(), before);
}

TEST(LabelBlockTest, SelectedNamesInReadingOrder) {
  Configuration c = Crafted(0);
  ChannelSelection s;
  s.Set(Axis::kInputs, 0, true);    // I001
  s.Set(Axis::kInputs, 32, true);   // P1IN, preset 1's own name
  s.Set(Axis::kOutputs, 95, true);  // O096
  const QByteArray block = EncodeLabelBlock(c, s);
  ASSERT_EQ(block.size(), 740);
  QByteArray expected(740, '\0');
  expected.replace(0, 4, "I001");
  expected.replace(32 * 4, 4, "P1IN");
  expected.replace((88 + 95) * 4, 4, "O096");
  EXPECT_EQ(block, expected);
}

TEST(LabelBlockTest, PasteWritesNonZeroEntriesOutputsLast) {
  Configuration c = Crafted(1);
  QByteArray block(740, '\0');
  block.replace(0, 4, "AAAA");              // input 1
  block.replace(40 * 4, 4, "BBBB");         // input 41: preset 2's name section
  block.replace(59 * 4, 4, "CCCC");         // input 60 ...
  block.replace((88 + 67) * 4, 4, "DDDD");  // ... and output 68, the same field
  block.replace((88 + 96) * 4, 4, "EEEE");  // the spare 97th output
  EXPECT_EQ(ApplyLabelBlock(block, c), 4);
  const auto names = config::ChannelNamesFromImage(c.image, c.map);
  EXPECT_EQ(names.inputs[0], "AAAA");
  EXPECT_EQ(c.image.Text(0x2580 + 4 * 8, 2), QByteArray("BBBB"));
  EXPECT_EQ(names.inputs[59], "DDDD");  // the output entry was written last
  EXPECT_EQ(names.outputs[67], "DDDD");
  EXPECT_EQ(names.outputs[0], "O001");
}

TEST(LabelBlockTest, ShortBlocksStopAtTheirLastWholeEntry) {
  Configuration c = Crafted(0);
  QByteArray block("WXYZ12");  // one whole entry and half of the next
  EXPECT_EQ(ApplyLabelBlock(block, c), 1);
  const auto names = config::ChannelNamesFromImage(c.image, c.map);
  EXPECT_EQ(names.inputs[0], "WXYZ");
  EXPECT_EQ(names.inputs[1], "I002");
  EXPECT_EQ(ApplyLabelBlock(QByteArray(), c), 0);
}

}  // namespace
}  // namespace zizara::core::matrix

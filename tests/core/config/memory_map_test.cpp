#include "core/config/memory_map.h"

#include <gtest/gtest.h>

namespace zizara::core::config {
namespace {

TEST(MemoryMapTest, EveryPresetMatchesTheLayout) {
  for (int p = 0; p < kPresetCount; ++p) {
    SCOPED_TRACE(p);
    const MemoryMap m = MemoryMap::ForPreset(p);
    const int s = p == 0 ? 0x0100 : 0x2500 + (p - 1) * 0x180;
    EXPECT_EQ(m.PresetOffset, p == 0 ? 0x1080 : s + 0x80);
    EXPECT_EQ(m.RoutingTable, p == 0 ? 0x1100 : s + 0x100);
    EXPECT_EQ(m.MainOptionAdr, s);
    EXPECT_EQ(m.ScaleOptionAdr, s + 0x0E);
    EXPECT_EQ(m.ScaleNoAdr, s + 0x11);
    EXPECT_EQ(m.BurstOnAdr, s + 0x16);
    EXPECT_EQ(m.OutputSignalNo, s + 0x18);
    EXPECT_EQ(m.OscMode, s + 0x1E);
    EXPECT_EQ(m.ScopOptionBaseAdr, s + 0x20);
    EXPECT_EQ(m.BurstOffAdr, s + 0x22);
    EXPECT_EQ(m.PPMOptionBaseAdr, s + 0x2C);
    EXPECT_EQ(m.LeqGraphColor, 0x140E + p * 0x80);
    EXPECT_EQ(m.LeqTrip, 0x1410 + p * 0x80);
    EXPECT_EQ(m.SumGainExtBaseAdr, 0x147C + p * 0x80);
  }
}

TEST(MemoryMapTest, BoundaryPresets) {
  EXPECT_EQ(MemoryMap::ForPreset(1).PresetOffset, 0x2580);
  EXPECT_EQ(MemoryMap::ForPreset(1).RoutingTable, 0x2600);
  const MemoryMap last = MemoryMap::ForPreset(10);
  EXPECT_EQ(last.PresetOffset, 0x3300);
  EXPECT_EQ(last.RoutingTable, 0x3380);
  EXPECT_LT(last.RoutingTable + 0x7F, 0x3400);  // block ends below the character set
  EXPECT_EQ(last.LeqTrip, 0x1910);
  EXPECT_EQ(ExtensionBlockOffset(10) + 0x7F, 0x197F);
}

TEST(MemoryMapTest, OutOfRangePresetIsClamped) {
  EXPECT_EQ(MemoryMap::ForPreset(-3).preset, 0);
  EXPECT_EQ(MemoryMap::ForPreset(99).RoutingTable, 0x3380);
}

TEST(MemoryMapTest, DebugLinesHaveTheirLabelsAndOrder) {
  const QStringList lines = MemoryMap::ForPreset(0).DebugLines();
  const QStringList expected = {
      "     PresetOffset: $001080", "     RoutingTable: $001100", " PPMOptionBaseAdr: $00012C",
      "ScopOptionBaseAdr: $000120", "    MainOptionAdr: $000100", "       ScaleNoAdr: $000111",
      "          OscMode: $00011E", "   OutputSignalNo: $000118", "SumGainExtBaseAdr: $00147C",
      "    LeqGraphColor: $00140E", "          LeqTrip: $001410",
  };
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(MemoryMap::ForPreset(10).DebugLines()[1], QStringLiteral("     RoutingTable: $003380"));
  EXPECT_EQ(MemoryMap::ForPreset(5).DebugLines()[9], QStringLiteral("    LeqGraphColor: $00168E"));
}

}  // namespace
}  // namespace zizara::core::config

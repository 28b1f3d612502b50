#include "core/config/memory_map.h"

#include <algorithm>

namespace zizara::core::config {

int OptionSectionOffset(int p) {
  return p == 0 ? 0x0100 : offsets::kPresetBlocks + (p - 1) * 0x180;
}

int ExtensionBlockOffset(int p) { return offsets::kExtensionBlocks + p * 0x80; }

MemoryMap MemoryMap::ForPreset(int p) {
  p = std::clamp(p, 0, kPresetCount - 1);
  MemoryMap m;
  m.preset = p;
  const int s = OptionSectionOffset(p);
  m.PresetOffset = p == 0 ? 0x1080 : s + 0x080;
  m.RoutingTable = p == 0 ? 0x1100 : s + 0x100;
  m.MainOptionAdr = s;
  m.ScaleOptionAdr = s + 0x00E;
  m.ScaleNoAdr = s + 0x011;
  m.BurstOnAdr = s + 0x016;
  m.OutputSignalNo = s + 0x018;
  m.OscMode = s + 0x01E;
  m.ScopOptionBaseAdr = s + 0x020;
  m.BurstOffAdr = s + 0x022;
  m.PPMOptionBaseAdr = s + 0x02C;
  const int e = ExtensionBlockOffset(p);
  m.LeqGraphColor = e + 0x0E;
  m.LeqTrip = e + 0x10;
  m.SumGainExtBaseAdr = e + 0x7C;
  return m;
}

QStringList MemoryMap::DebugLines() const {
  const auto line = [](const char* label, int value) {
    return QString::fromLatin1(label) +
           QStringLiteral("%1").arg(value, 6, 16, QLatin1Char('0')).toUpper();
  };
  return {
      line("     PresetOffset: $", PresetOffset),
      line("     RoutingTable: $", RoutingTable),
      line(" PPMOptionBaseAdr: $", PPMOptionBaseAdr),
      line("ScopOptionBaseAdr: $", ScopOptionBaseAdr),
      line("    MainOptionAdr: $", MainOptionAdr),
      line("       ScaleNoAdr: $", ScaleNoAdr),
      line("          OscMode: $", OscMode),
      line("   OutputSignalNo: $", OutputSignalNo),
      line("SumGainExtBaseAdr: $", SumGainExtBaseAdr),
      line("    LeqGraphColor: $", LeqGraphColor),
      line("          LeqTrip: $", LeqTrip),
  };
}

}  // namespace zizara::core::config

#pragma once

#include <QStringList>

namespace zizara::core::config {

inline constexpr int kPresetCount = 11;

// Fixed image offsets shared by every preset.
namespace offsets {
inline constexpr int kSerialNumber = 0x0002;
inline constexpr int kOffsetType = 0x010A;
inline constexpr int kLcdOption = 0x010C;
inline constexpr int kBacklight = 0x010D;
inline constexpr int kLayoutMarker = 0x0113;
inline constexpr int kSumGain = 0x012B;
inline constexpr int kColourTable = 0x0400;
inline constexpr int kScaleTables = 0x0500;
inline constexpr int kLeqmScale = 0x0C00;
inline constexpr int kOutputNames = 0x0E00;
inline constexpr int kInputNames57 = 0x0F00;
inline constexpr int kInputNames1 = 0x1000;
inline constexpr int kExtensionBlocks = 0x1400;
inline constexpr int kAltScale1 = 0x1A00;
inline constexpr int kAltScale2 = 0x1B00;
inline constexpr int kPresetNames = 0x2480;
inline constexpr int kPresetBlocks = 0x2500;
inline constexpr int kLcdCharacterSet = 0x3400;
inline constexpr int kPresetOptions = 0x3F80;
inline constexpr int kStartupApplication = 0x3F81;
inline constexpr int kStartupPreset = 0x3F93;
inline constexpr int kLockCode = 0x3F9E;
}  // namespace offsets

// Offsets in use for one preset (index 0..10).
struct MemoryMap {
  int preset = 0;
  int PresetOffset = 0;
  int RoutingTable = 0;
  int MainOptionAdr = 0;
  int ScaleOptionAdr = 0;
  int ScaleNoAdr = 0;
  int BurstOnAdr = 0;
  int OutputSignalNo = 0;
  int OscMode = 0;
  int ScopOptionBaseAdr = 0;
  int BurstOffAdr = 0;
  int PPMOptionBaseAdr = 0;
  int LeqGraphColor = 0;
  int LeqTrip = 0;
  int SumGainExtBaseAdr = 0;

  // p outside 0..10 is clamped: the drop-down and the instrument only ever name those.
  static MemoryMap ForPreset(int p);
  // The address lines the debug window lists after a preset is selected.
  QStringList DebugLines() const;
};

// Start of the option section of preset p.
int OptionSectionOffset(int p);
// Start of preset p's 128-byte extension block.
int ExtensionBlockOffset(int p);

}  // namespace zizara::core::config

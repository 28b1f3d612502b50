#include "core/config/upgrade.h"

#include "core/config/lcd_character_set.h"
#include "core/config/memory_map.h"
#include "core/config/preset_options.h"
#include "core/config/resource_tables.h"

namespace zizara::core::config {

void UpgradeToV5(ConfigurationImage& image) {
  for (int p = 0; p < kPresetCount; ++p) {
    const int s = OptionSectionOffset(p);
    const int e = ExtensionBlockOffset(p);
    for (int i = 0; i < 0x80; ++i) {
      image.SetByte(e + i, 0);
    }
    image.SetWord(s + 0x08, 0x0000);
    image.SetWord(s + 0x24, 0x0000);
    image.SetWord(s + 0x28, 0x0000);
    image.SetWord(s + 0x12, 0x0050);
    image.SetWord(e + 0x7C, 0xFFF1);
    image.SetWord(e + 0x7E, 0xFFF1);
    image.SetWord(e + 0x0E, 0x0602);
    image.SetWord(e + 0x10, 0x0055);
    image.ClearBit(s, 6);
  }

  for (int o = offsets::kPresetOptions; o < offsets::kPresetOptions + 32; ++o) {
    image.SetByte(o, 0);
  }
  SetLockCode(image, QByteArray(kDisabledLockCode));
  image.SetByte(offsets::kStartupPreset, 0);
  image.SetByte(offsets::kStartupApplication, 1);

  image.CopyIn(offsets::kColourTable, ColourTable());
  image.CopyIn(offsets::kLcdCharacterSet, LcdCharacterSet());
  image.CopyIn(offsets::kLeqmScale, LeqmScaleTable());
  image.CopyIn(offsets::kAltScale1, Dmu1ScaleTable());
  image.CopyIn(offsets::kAltScale2, Dmu2ScaleTable());
}

}  // namespace zizara::core::config

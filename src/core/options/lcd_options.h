#pragma once

#include <array>

#include "core/config/configuration_image.h"
#include "core/config/memory_map.h"

namespace zizara::core::options {

inline constexpr int kBacklightMax = 7;

// The backlight is one value for the whole configuration; the theme flag is bit 6 of each
// preset's main option byte, so it is read and written for all 11 presets at once.
struct LcdSettings {
  int backlight = 0;
  std::array<bool, config::kPresetCount> theme{};
  bool operator==(const LcdSettings&) const = default;
};

// The stored byte as the 0..7 track bar shows it.
int BacklightPosition(const config::ConfigurationImage& image);
bool ThemeFlag(const config::ConfigurationImage& image, int p);
void SetThemeFlag(config::ConfigurationImage& image, int p, bool on);

LcdSettings ReadLcd(const config::ConfigurationImage& image);
// What OK writes: the backlight byte and the theme bit of every preset, nothing else.
void WriteLcd(config::ConfigurationImage& image, const LcdSettings& lcd);

}  // namespace zizara::core::options

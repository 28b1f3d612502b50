#include "core/options/lcd_options.h"

#include <algorithm>

namespace zizara::core::options {

namespace {
constexpr int kThemeBit = 6;
}

int BacklightPosition(const config::ConfigurationImage& image) {
  return std::min<int>(image.Byte(config::offsets::kBacklight), kBacklightMax);
}

bool ThemeFlag(const config::ConfigurationImage& image, int p) {
  return image.Bit(config::OptionSectionOffset(p), kThemeBit);
}

void SetThemeFlag(config::ConfigurationImage& image, int p, bool on) {
  if (on) {
    image.SetBit(config::OptionSectionOffset(p), kThemeBit);
  } else {
    image.ClearBit(config::OptionSectionOffset(p), kThemeBit);
  }
}

LcdSettings ReadLcd(const config::ConfigurationImage& image) {
  LcdSettings lcd;
  lcd.backlight = BacklightPosition(image);
  for (int p = 0; p < config::kPresetCount; ++p) {
    lcd.theme[p] = ThemeFlag(image, p);
  }
  return lcd;
}

void WriteLcd(config::ConfigurationImage& image, const LcdSettings& lcd) {
  image.SetByte(config::offsets::kBacklight,
                static_cast<std::uint8_t>(std::clamp(lcd.backlight, 0, kBacklightMax)));
  for (int p = 0; p < config::kPresetCount; ++p) {
    SetThemeFlag(image, p, lcd.theme[p]);
  }
}

}  // namespace zizara::core::options

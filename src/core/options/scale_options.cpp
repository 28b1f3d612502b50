#include "core/options/scale_options.h"

#include "core/config/preset_options.h"
#include "core/config/version.h"
#include "core/i18n/tr.h"

namespace zizara::core::options {

namespace {
constexpr int kPeakHoldBit = 3;
constexpr int kDualBit = 6;
}  // namespace

int ScalePosition(const config::ConfigurationImage& image, const config::MemoryMap& map,
                  int version) {
  const std::uint8_t b = image.Byte(map.ScaleNoAdr);
  return version < config::kVersion5 ? (b & 0x0F) : (b >> 4);
}

void SetScalePosition(config::ConfigurationImage& image, const config::MemoryMap& map, int version,
                      int position) {
  const std::uint8_t b = image.Byte(map.ScaleNoAdr);
  const auto n = static_cast<std::uint8_t>(position & 0x0F);
  image.SetByte(map.ScaleNoAdr, version < config::kVersion5
                                    ? static_cast<std::uint8_t>((b & 0xF0) | n)
                                    : static_cast<std::uint8_t>((b & 0x0F) | (n << 4)));
}

QByteArray ScaleName(const config::ConfigurationImage& image, int n) {
  return image.Text(config::offsets::kScaleTables + 0x100 * (n - 1), 2);
}

QStringList ScaleListItems(const config::ConfigurationImage& image) {
  QStringList items;
  for (int n = 1; n <= kScaleCount; ++n) {
    items << i18n::Tr("Scale #%1 - ").arg(n) + config::ImageTextToString(ScaleName(image, n));
  }
  return items;
}

ScaleSettings ReadScale(const config::ConfigurationImage& image, const config::MemoryMap& map,
                        int version) {
  ScaleSettings s;
  s.position = ScalePosition(image, map, version);
  s.peak_hold = image.Bit(map.ScaleOptionAdr + 1, kPeakHoldBit);
  s.dual = image.Bit(map.ScaleOptionAdr + 1, kDualBit);
  return s;
}

void WriteScale(config::ConfigurationImage& image, const config::MemoryMap& map, int version,
                const ScaleSettings& scale) {
  SetScalePosition(image, map, version, scale.position);
  const int at = map.ScaleOptionAdr + 1;
  scale.peak_hold ? image.SetBit(at, kPeakHoldBit) : image.ClearBit(at, kPeakHoldBit);
  scale.dual ? image.SetBit(at, kDualBit) : image.ClearBit(at, kDualBit);
}

}  // namespace zizara::core::options

#include "core/config/preset_trailer.h"

#include <QtEndian>
#include <cstring>

namespace zizara::core::config {

namespace {
constexpr std::array<std::uint8_t, 5> kMagic{4, 'V', 'T', 'T', '_'};
constexpr std::array<std::uint8_t, 5> kFormat{4, 'P', '0', '0', '1'};
}  // namespace

bool PresetTrailer::HasValidMagicAndFormat() const { return magic == kMagic && format == kFormat; }

void PresetTrailer::ClearIdentity() {
  serial_number = 0;
  model_index = 0;
  software_version = 0;
  extended_bios_id = 0;
  hardware_id = 0;
  checksum = 0;
}

QByteArray PresetTrailer::Serialize() const {
  QByteArray out(kTrailerSize, '\0');
  auto* p = reinterpret_cast<std::uint8_t*>(out.data());
  std::memcpy(p + 0x00, magic.data(), magic.size());
  std::memcpy(p + 0x05, format.data(), format.size());
  std::memcpy(p + 0x0A, spare.data(), spare.size());
  qToLittleEndian<std::int32_t>(serial_number, p + 0x0C);
  qToLittleEndian<std::int32_t>(model_index, p + 0x10);
  qToLittleEndian<std::int32_t>(software_version, p + 0x14);
  qToLittleEndian<std::uint16_t>(extended_bios_id, p + 0x18);
  qToLittleEndian<std::uint16_t>(hardware_id, p + 0x1A);
  qToLittleEndian<std::uint32_t>(checksum, p + 0x1C);
  return out;
}

PresetTrailer PresetTrailer::Parse(const QByteArray& bytes) {
  PresetTrailer t;
  if (static_cast<std::size_t>(bytes.size()) < kTrailerSize) {
    return t;
  }
  const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.constData());
  std::memcpy(t.magic.data(), p + 0x00, t.magic.size());
  std::memcpy(t.format.data(), p + 0x05, t.format.size());
  std::memcpy(t.spare.data(), p + 0x0A, t.spare.size());
  t.serial_number = qFromLittleEndian<std::int32_t>(p + 0x0C);
  t.model_index = qFromLittleEndian<std::int32_t>(p + 0x10);
  t.software_version = qFromLittleEndian<std::int32_t>(p + 0x14);
  t.extended_bios_id = qFromLittleEndian<std::uint16_t>(p + 0x18);
  t.hardware_id = qFromLittleEndian<std::uint16_t>(p + 0x1A);
  t.checksum = qFromLittleEndian<std::uint32_t>(p + 0x1C);
  return t;
}

}  // namespace zizara::core::config

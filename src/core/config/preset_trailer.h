#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

namespace zizara::core::config {

inline constexpr std::size_t kTrailerSize = 32;

// The identity record kept beside the image; in a preset file it follows the image,
// little-endian. Magic and format are short strings (a length byte and 4 characters) and are
// kept byte for byte as loaded, as are the two spare bytes.
struct PresetTrailer {
  std::array<std::uint8_t, 5> magic{4, 'V', 'T', 'T', '_'};
  std::array<std::uint8_t, 5> format{4, 'P', '0', '0', '1'};
  std::array<std::uint8_t, 2> spare{0, 0};
  std::int32_t serial_number = 0;
  std::int32_t model_index = 0;
  std::int32_t software_version = 0;
  std::uint16_t extended_bios_id = 0;
  std::uint16_t hardware_id = 0;
  std::uint32_t checksum = 0;

  bool HasValidMagicAndFormat() const;
  // The identity from the serial number on; what a bare image leaves zero.
  void ClearIdentity();

  QByteArray Serialize() const;
  // Exactly kTrailerSize bytes expected.
  static PresetTrailer Parse(const QByteArray& bytes);

  bool operator==(const PresetTrailer& other) const = default;
};

}  // namespace zizara::core::config

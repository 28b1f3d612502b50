#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

namespace zizara::core::link {

enum class Command : std::uint8_t {
  kSetAddress = 0x00,
  kWriteBlock = 0x01,
  kToggleWriteProtect = 0x0A,
  kRestart = 0x0E,
  kKeyPress = 0x0F,
  kReadBlock = 0x11,
  kReadWriteProtect = 0x1A,
};

inline constexpr std::uint8_t kBreak1 = 0xA6;
inline constexpr std::uint8_t kBreak2 = 0x6D;
inline constexpr std::uint8_t kAck = 0x05;
inline constexpr std::uint8_t kRefuse = 0x15;
inline constexpr std::uint8_t kTimeoutFiller = 0x20;
inline constexpr int kBlockSize = 128;

// Instrument addresses the program uses.
inline constexpr std::uint32_t kSoftwareAddress = 0x000000;
inline constexpr std::uint32_t kSerialNumberAddress = 0x001F80;
inline constexpr std::uint32_t kVersionTextAddress = 0x018000;
inline constexpr std::uint32_t kConfigurationAddress = 0x01C000;
inline constexpr std::uint32_t kLayoutMarkerAddress = 0x01C100;

// Ones' complement of the 8-bit sum, so data plus check byte sums to 0xFF.
inline std::uint8_t CheckByte(const std::uint8_t* data, int count) {
  std::uint8_t sum = 0;
  for (int i = 0; i < count; ++i) {
    sum = static_cast<std::uint8_t>(sum + data[i]);
  }
  return static_cast<std::uint8_t>(~sum);
}

// Bits 0-7, bits 8-13 (top two bits clear), bits 14-21.
inline std::array<std::uint8_t, 3> AddressBytes(std::uint32_t address) {
  return {static_cast<std::uint8_t>(address & 0xFF),
          static_cast<std::uint8_t>((address >> 8) & 0x3F),
          static_cast<std::uint8_t>((address >> 14) & 0xFF)};
}

}  // namespace zizara::core::link

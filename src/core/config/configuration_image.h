#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <span>

namespace zizara::core::config {

inline constexpr std::size_t kImageSize = 0x4000;
// Image offset o mirrors instrument address kImageBaseAddress + o.
inline constexpr std::uint32_t kImageBaseAddress = 0x1C000;

using ImageBytes = std::array<std::uint8_t, kImageSize>;

// The program's copy of the instrument's configuration memory. Words are stored high byte
// first, 8-bit settings live in the low byte of their word, byte arrays and text are packed
// two per word with the first element in the low byte. Offsets are masked into range so a
// stray offset can never reach outside the buffer.
class ConfigurationImage {
 public:
  ConfigurationImage() { bytes_.fill(0); }

  std::uint8_t Byte(int offset) const { return bytes_[Index(offset)]; }
  void SetByte(int offset, std::uint8_t value) { bytes_[Index(offset)] = value; }

  std::uint16_t Word(int offset) const;
  void SetWord(int offset, std::uint16_t value);

  bool Bit(int offset, int bit) const { return (Byte(offset) >> bit) & 1U; }
  void SetBit(int offset, int bit);
  void ClearBit(int offset, int bit);

  // Text of `words` words (2 * words characters) starting at even offset b.
  QByteArray Text(int offset, int words) const;
  // Writes length / 2 words; an odd last character is not written.
  void SetText(int offset, const QByteArray& text);

  // Element k of a byte array starting at even offset b lives at b + (k XOR 1).
  std::uint8_t ArrayElement(int base, int k) const { return Byte(base + (k ^ 1)); }
  void SetArrayElement(int base, int k, std::uint8_t value) { SetByte(base + (k ^ 1), value); }

  void Fill(std::uint8_t value) { bytes_.fill(value); }
  void CopyIn(int offset, std::span<const std::uint8_t> data);

  ImageBytes& bytes() { return bytes_; }
  const ImageBytes& bytes() const { return bytes_; }
  QByteArray ToByteArray() const;
  // Copies exactly kImageSize bytes; returns false (and changes nothing) on any other size.
  bool AssignFrom(const QByteArray& data);

  bool operator==(const ConfigurationImage& other) const = default;

 private:
  static std::size_t Index(int offset) {
    return static_cast<std::size_t>(offset) & (kImageSize - 1);
  }
  ImageBytes bytes_;
};

}  // namespace zizara::core::config

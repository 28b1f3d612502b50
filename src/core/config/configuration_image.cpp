#include "core/config/configuration_image.h"

#include <cstring>

namespace zizara::core::config {

std::uint16_t ConfigurationImage::Word(int offset) const {
  return static_cast<std::uint16_t>(Byte(offset) << 8 | Byte(offset + 1));
}

void ConfigurationImage::SetWord(int offset, std::uint16_t value) {
  SetByte(offset, static_cast<std::uint8_t>(value >> 8));
  SetByte(offset + 1, static_cast<std::uint8_t>(value & 0xFF));
}

void ConfigurationImage::SetBit(int offset, int bit) {
  SetByte(offset, static_cast<std::uint8_t>(Byte(offset) | (1U << bit)));
}

void ConfigurationImage::ClearBit(int offset, int bit) {
  SetByte(offset, static_cast<std::uint8_t>(Byte(offset) & ~(1U << bit)));
}

QByteArray ConfigurationImage::Text(int offset, int words) const {
  QByteArray text;
  text.reserve(words * 2);
  for (int w = 0; w < words; ++w) {
    const int o = offset + 2 * w;
    text.append(static_cast<char>(Byte(o + 1)));
    text.append(static_cast<char>(Byte(o)));
  }
  return text;
}

void ConfigurationImage::SetText(int offset, const QByteArray& text) {
  const int words = static_cast<int>(text.size() / 2);
  for (int w = 0; w < words; ++w) {
    const int o = offset + 2 * w;
    SetByte(o + 1, static_cast<std::uint8_t>(text[2 * w]));
    SetByte(o, static_cast<std::uint8_t>(text[2 * w + 1]));
  }
}

void ConfigurationImage::CopyIn(int offset, std::span<const std::uint8_t> data) {
  for (std::size_t i = 0; i < data.size(); ++i) {
    SetByte(offset + static_cast<int>(i), data[i]);
  }
}

QByteArray ConfigurationImage::ToByteArray() const {
  return QByteArray(reinterpret_cast<const char*>(bytes_.data()), kImageSize);
}

bool ConfigurationImage::AssignFrom(const QByteArray& data) {
  if (static_cast<std::size_t>(data.size()) != kImageSize) {
    return false;
  }
  std::memcpy(bytes_.data(), data.constData(), kImageSize);
  return true;
}

}  // namespace zizara::core::config

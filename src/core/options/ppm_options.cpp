#include "core/options/ppm_options.h"

namespace zizara::core::options {

int PpmRecordOffset(const config::MemoryMap& map, int c) { return map.PPMOptionBaseAdr + 2 * c; }

int PpmWidthPosition(std::uint8_t byte0) {
  switch (byte0 >> 5) {
    case 2:
      return kPpmWidthNormal;
    case 1:
      return kPpmWidthXWide;
    default:
      return kPpmWidthWide;
  }
}

std::uint8_t PpmWidthBits(int position) {
  switch (position) {
    case kPpmWidthNormal:
      return 0x40;
    case kPpmWidthXWide:
      return 0x20;
    default:
      return 0x80;
  }
}

int ReadPpmField(const config::ConfigurationImage& image, const config::MemoryMap& map, int c,
                 PpmField field) {
  const int at = PpmRecordOffset(map, c);
  const std::uint8_t b0 = image.Byte(at);
  const std::uint8_t b1 = image.Byte(at + 1);
  switch (field) {
    case PpmField::kColour:
      return b1 & 0x0F;
    case PpmField::kUnderloadColour:
      return b0 & 0x0F;
    case PpmField::kTraceColour:
      return (b1 >> 4) & 0x07;
    case PpmField::kWidth:
      return PpmWidthPosition(b0);
    case PpmField::kSpace:
      return (b0 >> 4) & 1;
  }
  return 0;
}

void WritePpmField(config::ConfigurationImage& image, const config::MemoryMap& map, int c,
                   PpmField field, int value) {
  const int at = PpmRecordOffset(map, c);
  const std::uint8_t b0 = image.Byte(at);
  const std::uint8_t b1 = image.Byte(at + 1);
  const auto v = static_cast<std::uint8_t>(value);
  switch (field) {
    case PpmField::kColour:
      image.SetByte(at + 1, static_cast<std::uint8_t>((b1 & 0xF0) | (v & 0x0F)));
      break;
    case PpmField::kTraceColour:
      image.SetByte(at + 1, static_cast<std::uint8_t>((b1 & 0x0F) | ((v & 0x07) << 4)));
      break;
    case PpmField::kUnderloadColour:
      image.SetByte(at, static_cast<std::uint8_t>((b0 & 0xF0) | (v & 0x0F)));
      break;
    case PpmField::kWidth:
      image.SetByte(at, static_cast<std::uint8_t>((b0 & 0x1F) | PpmWidthBits(value)));
      break;
    case PpmField::kSpace:
      image.SetByte(at, static_cast<std::uint8_t>(value != 0 ? (b0 | 0x10) : (b0 & ~0x10)));
      break;
  }
}

PpmChannel ReadPpmChannel(const config::ConfigurationImage& image, const config::MemoryMap& map,
                          int c) {
  PpmChannel ch;
  ch.colour = ReadPpmField(image, map, c, PpmField::kColour);
  ch.underload_colour = ReadPpmField(image, map, c, PpmField::kUnderloadColour);
  ch.trace_colour = ReadPpmField(image, map, c, PpmField::kTraceColour);
  ch.width = ReadPpmField(image, map, c, PpmField::kWidth);
  ch.space = ReadPpmField(image, map, c, PpmField::kSpace) != 0;
  return ch;
}

std::vector<int> PpmTargetChannels(const PpmSelection& selection) {
  std::vector<int> targets;
  for (int c = 0; c < kPpmChannels; ++c) {
    if (selection.inputs[c]) targets.push_back(c);
  }
  if (targets.empty()) {
    for (int c = 0; c < kPpmChannels; ++c) {
      if (selection.outputs[c]) targets.push_back(c);
    }
  }
  return targets;
}

std::optional<int> PpmShownField(const config::ConfigurationImage& image,
                                 const config::MemoryMap& map, int current, PpmField field,
                                 const PpmSelection& selection) {
  const int value = ReadPpmField(image, map, current, field);
  for (int c = 0; c < kPpmChannels; ++c) {
    if (selection.inputs[c] && ReadPpmField(image, map, c, field) != value) {
      return std::nullopt;
    }
  }
  return value;
}

QString PpmColourText(int value) {
  return value >= 0 && value < static_cast<int>(kPpmColourNames.size())
             ? QString::fromLatin1(kPpmColourNames[value])
             : QString();
}

}  // namespace zizara::core::options

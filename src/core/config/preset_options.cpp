#include "core/config/preset_options.h"

#include <algorithm>

namespace zizara::core::config {

QByteArray PresetName(const ConfigurationImage& image, int p) {
  return image.Text(offsets::kPresetNames + kPresetNameLength * p, kPresetNameLength / 2);
}

void SetPresetName(ConfigurationImage& image, int p, const QByteArray& name) {
  QByteArray padded = name.left(kPresetNameLength);
  padded.append(QByteArray(kPresetNameLength - padded.size(), ' '));
  image.SetText(offsets::kPresetNames + kPresetNameLength * p, padded);
}

QStringList PresetDropDownItems(const ConfigurationImage& image) {
  QStringList items;
  for (int p = 0; p < kPresetCount; ++p) {
    items << i18n::Tr("Preset %1 - ").arg(p + 1) + ImageTextToString(PresetName(image, p));
  }
  return items;
}

bool IsLegalNameText(const QString& text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) {
    return c.unicode() >= 0x20 && c.unicode() <= 0x7E && c != QLatin1Char('\'');
  });
}

int StartupPreset(const ConfigurationImage& image) { return image.Byte(offsets::kStartupPreset); }

void SetStartupPreset(ConfigurationImage& image, int p) {
  image.SetByte(offsets::kStartupPreset, static_cast<std::uint8_t>(p));
}

int StartupApplication(const ConfigurationImage& image) {
  return image.Byte(offsets::kStartupApplication);
}

void SetStartupApplication(ConfigurationImage& image, int index) {
  image.SetByte(offsets::kStartupApplication, static_cast<std::uint8_t>(index));
}

int StartupPresetItem(int byte_value) {
  return byte_value >= 0 && byte_value < kPresetCount ? byte_value : 0;
}

int StartupApplicationItem(int byte_value) {
  return byte_value >= 0 && byte_value < static_cast<int>(kStartupApplications.size()) ? byte_value
                                                                                        : 0;
}

QString OffsetStandardText(const ConfigurationImage& image) {
  QString name;
  switch (image.Word(offsets::kOffsetType)) {
    case 0x0000:
      name = QStringLiteral("International");
      break;
    case 0x1E1E:
      name = QStringLiteral("German");
      break;
    case 0xC4C4:
      name = QStringLiteral("US");
      break;
    default:
      name = QStringLiteral("Unknown");
      break;
  }
  return name + QStringLiteral(" Offset");
}

QByteArray LockCode(const ConfigurationImage& image) {
  QByteArray code;
  for (int i = 0; i < 4; ++i) {
    code.append(static_cast<char>(image.Byte(offsets::kLockCode + 2 * i + 1)));
  }
  return code;
}

void SetLockCode(ConfigurationImage& image, const QByteArray& code) {
  for (int i = 0; i < 4; ++i) {
    const auto c = static_cast<std::uint8_t>(i < code.size() ? code[i] : '0');
    image.SetWord(offsets::kLockCode + 2 * i, c);
  }
}

void WriteSumGain(ConfigurationImage& image, int software_version, const MemoryMap& map,
                  SumGain gain) {
  if (software_version < 0x0500) {
    image.SetByte(offsets::kSumGain, gain == SumGain::kMinus3dB ? 0 : 1);
    return;
  }
  const std::uint16_t word = gain == SumGain::kMinus3dB ? 0xFFF1 : 0x0000;
  image.SetWord(map.SumGainExtBaseAdr, word);
  image.SetWord(map.SumGainExtBaseAdr + 2, word);
}

std::optional<SumGain> ReadSumGain(const ConfigurationImage& image, int software_version,
                                   const MemoryMap& map) {
  if (software_version < 0x0500) {
    return image.Byte(offsets::kSumGain) == 0 ? SumGain::kMinus3dB : SumGain::kPlus0dB;
  }
  const std::uint16_t a = image.Word(map.SumGainExtBaseAdr);
  const std::uint16_t b = image.Word(map.SumGainExtBaseAdr + 2);
  if (a == 0xFFF1 && b == 0xFFF1) {
    return SumGain::kMinus3dB;
  }
  if (a == 0 && b == 0) {
    return SumGain::kPlus0dB;
  }
  return std::nullopt;
}

int InputNameOffset(const MemoryMap& map, int input) {
  if (input <= 32) {
    return offsets::kInputNames1 + kChannelNameLength * (input - 1);
  }
  if (input <= 56) {
    return map.PresetOffset + kChannelNameLength * (input - 33);
  }
  return offsets::kInputNames57 + kChannelNameLength * (input - 57);
}

int OutputNameOffset(int output) { return offsets::kOutputNames + kChannelNameLength * (output - 1); }

ChannelNames ChannelNamesFromImage(const ConfigurationImage& image, const MemoryMap& map) {
  ChannelNames names;
  for (int i = 1; i <= kInputCount; ++i) {
    names.inputs[i - 1] = image.Text(InputNameOffset(map, i), kChannelNameLength / 2);
  }
  for (int o = 1; o <= kOutputCount; ++o) {
    names.outputs[o - 1] = image.Text(OutputNameOffset(o), kChannelNameLength / 2);
  }
  return names;
}

}  // namespace zizara::core::config

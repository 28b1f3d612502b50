#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "core/config/configuration_image.h"
#include "core/config/memory_map.h"
#include "core/i18n/tr.h"

namespace zizara::core::config {

inline constexpr int kPresetNameLength = 10;
inline constexpr int kChannelNameLength = 4;
inline constexpr int kInputCount = 88;
inline constexpr int kOutputCount = 96;
inline constexpr char kDisabledLockCode[] = "8246";

// Preset names: 10 characters of image text at 0x2480 + 10p.
QByteArray PresetName(const ConfigurationImage& image, int p);
// Pads with blanks (or cuts) to 10 characters.
void SetPresetName(ConfigurationImage& image, int p, const QByteArray& name);
// "Preset " + number + " - " + name for the 11 presets.
QStringList PresetDropDownItems(const ConfigurationImage& image);
// A name may hold only 0x20..0x7E without the apostrophe.
bool IsLegalNameText(const QString& text);

// Start-up settings (software version 5.00 on).
inline constexpr std::array<const char*, 14> kStartupApplications = {
    TrNoop("Start Menu"),        TrNoop("Full Feature Mode"), TrNoop("Easy Short Hand"),
    TrNoop("DMU1630 Emulation"), TrNoop("Session Logging"),   TrNoop("Graphic Loudness"),
    TrNoop("DCF77 Radio Clock"), TrNoop("1/3 Analyser"),      TrNoop("FFT Analyser"),
    TrNoop("Preset List"),       TrNoop("Zizara Compact"),    TrNoop("Zizara Extended"),
    TrNoop("ToneGenerator"),     TrNoop("Metering Menu"),
};
int StartupPreset(const ConfigurationImage& image);
void SetStartupPreset(ConfigurationImage& image, int p);
int StartupApplication(const ConfigurationImage& image);
void SetStartupApplication(ConfigurationImage& image, int index);
// The list item a byte selects; out-of-range bytes show the first item.
int StartupPresetItem(int byte_value);
int StartupApplicationItem(int byte_value);

// "International", "German", "US" or "Unknown", followed by " Offset".
QString OffsetStandardText(const ConfigurationImage& image);

// Lock code: four words at 0x3F9E, one digit character per word in the low byte.
QByteArray LockCode(const ConfigurationImage& image);
// Takes the first four characters; writes 0 to the high bytes.
void SetLockCode(ConfigurationImage& image, const QByteArray& code);

// The two SUM gain settings; where they live depends on the configuration's version.
enum class SumGain { kMinus3dB, kPlus0dB };
void WriteSumGain(ConfigurationImage& image, int software_version, const MemoryMap& map,
                  SumGain gain);
// nullopt when the stored words are neither encoding (the marks then stay as they were).
std::optional<SumGain> ReadSumGain(const ConfigurationImage& image, int software_version,
                                   const MemoryMap& map);

// The 4-character names of all channels as seen with the mapped preset selected.
struct ChannelNames {
  std::array<QByteArray, kInputCount> inputs;
  std::array<QByteArray, kOutputCount> outputs;
};
ChannelNames ChannelNamesFromImage(const ConfigurationImage& image, const MemoryMap& map);
// Image offset of input n (1..88) of the mapped preset, or of output n (1..96).
int InputNameOffset(const MemoryMap& map, int input);
int OutputNameOffset(int output);

// Image text is 8-bit and taken as it stands; for display it reads as Latin-1.
inline QString ImageTextToString(const QByteArray& text) { return QString::fromLatin1(text); }

}  // namespace zizara::core::config

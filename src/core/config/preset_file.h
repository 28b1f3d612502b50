#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "core/config/configuration_image.h"
#include "core/config/preset_trailer.h"

namespace zizara::core::ui_port {
class Prompts;
}

namespace zizara::core::config {

inline constexpr std::size_t kPresetFileSize = kImageSize + kTrailerSize;  // 16416
inline constexpr int kChecksumOffset = 0x401C;

enum class PresetFileError {
  kNone,
  kWrongSize,     // neither a bare image nor a full file: refused without a message
  kInvalid,       // magic, format or checksum wrong
};

struct PresetFileContents {
  ConfigurationImage image;
  PresetTrailer trailer;  // checksum holds the computed CRC for a full file, 0 for a bare image
  bool bare = false;
  std::uint32_t stored_checksum = 0;
  std::uint32_t computed_checksum = 0;
};

struct PresetFileParse {
  PresetFileError error = PresetFileError::kNone;
  PresetFileContents contents;
};

// CRC-32 of a full preset file with its checksum field taken as zero.
std::uint32_t PresetFileChecksum(const QByteArray& file);

// Checks a file's bytes. A bare image keeps magic, format and spare bytes of `current` and
// zeroes the identity. Nothing outside the result is touched, so a refused file can never
// replace the configuration in memory.
PresetFileParse ParsePresetFile(const QByteArray& data, const PresetTrailer& current);

// The 16416 bytes of a preset file; stores the fresh checksum in `trailer`.
QByteArray BuildPresetFile(const ConfigurationImage& image, PresetTrailer& trailer);

// "CRC Error. " + stored + " " + computed, 8 hex digits each.
QString CrcErrorText(std::uint32_t stored, std::uint32_t computed);
// "The file "name" was not found." (an empty name without the quotation marks).
QString FileNotFoundText(const QString& name);

// Loads a preset file or bare image. Shows the not-found, not-a-file, trailer and CRC messages
// itself; a wrong size returns false without a message and says why in `refusal`. Image and
// trailer change only when the file is valid.
bool LoadPresetFile(const QString& name, ui_port::Prompts& prompts, ConfigurationImage& image,
                    PresetTrailer& trailer, QString* refusal = nullptr);
// "NAME has the wrong size for a preset file: N bytes (16384 or 16416 expected)."
QString PresetWrongSizeText(const QString& name, qint64 size);
// For a full-size file whose magic or format is not the preset file's.
QString WrongTrailerText(const QString& name);

// Writes the full file atomically: either the whole new file is in place or the old one is
// untouched. A target that is not a regular file is refused before anything is written. On failure returns false with a readable reason, and the trailer is unchanged.
bool SavePresetFile(const QString& name, const ConfigurationImage& image, PresetTrailer& trailer,
                    QString* error);

// Appends ".PRE" unless the name already ends in .pre in any case.
QString PresetFileNameForSave(const QString& chosen);

}  // namespace zizara::core::config

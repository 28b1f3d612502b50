#include "core/config/preset_file.h"

#include <zlib.h>

#include "core/i18n/tr.h"
#include "core/io/file_access.h"
#include "core/ui_port/prompts.h"

namespace zizara::core::config {

using i18n::Tr;

namespace {
QString Hex8(std::uint32_t v) {
  return QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
}
}  // namespace

std::uint32_t PresetFileChecksum(const QByteArray& file) {
  QByteArray copy = file;
  if (copy.size() >= kChecksumOffset + 4) {
    copy.replace(kChecksumOffset, 4, QByteArray(4, '\0'));
  }
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, reinterpret_cast<const Bytef*>(copy.constData()),
              static_cast<uInt>(copy.size()));
  return static_cast<std::uint32_t>(crc);
}

PresetFileParse ParsePresetFile(const QByteArray& data, const PresetTrailer& current) {
  PresetFileParse result;
  const auto size = static_cast<std::size_t>(data.size());
  if (size == kImageSize) {
    result.contents.image.AssignFrom(data);
    result.contents.trailer = current;
    result.contents.trailer.ClearIdentity();
    result.contents.bare = true;
    return result;
  }
  if (size != kPresetFileSize) {
    result.error = PresetFileError::kWrongSize;
    return result;
  }
  result.contents.image.AssignFrom(data.left(kImageSize));
  result.contents.trailer = PresetTrailer::Parse(data.mid(kImageSize));
  result.contents.stored_checksum = result.contents.trailer.checksum;
  result.contents.computed_checksum = PresetFileChecksum(data);
  result.contents.trailer.checksum = result.contents.computed_checksum;
  if (!result.contents.trailer.HasValidMagicAndFormat() ||
      result.contents.stored_checksum != result.contents.computed_checksum) {
    result.error = PresetFileError::kInvalid;
  }
  return result;
}

QByteArray BuildPresetFile(const ConfigurationImage& image, PresetTrailer& trailer) {
  PresetTrailer t = trailer;
  t.checksum = 0;
  QByteArray file = image.ToByteArray() + t.Serialize();
  trailer.checksum = PresetFileChecksum(file);
  t.checksum = trailer.checksum;
  file.replace(kImageSize, kTrailerSize, t.Serialize());
  return file;
}

QString CrcErrorText(std::uint32_t stored, std::uint32_t computed) {
  return Tr("CRC Error. ") + Hex8(stored) + QLatin1Char(' ') + Hex8(computed);
}

QString FileNotFoundText(const QString& name) {
  const QString shown = name.isEmpty() ? name : QLatin1Char('"') + name + QLatin1Char('"');
  return Tr("The file ") + shown + Tr(" was not found.");
}

QString PresetWrongSizeText(const QString& name, qint64 size) {
  return Tr("%1 has the wrong size for a preset file: %2 bytes (16384 or 16416 expected).")
      .arg(name)
      .arg(size);
}

QString WrongTrailerText(const QString& name) {
  return Tr("The file %1 has a wrong trailer: it does not start with \"VTT_\" and \"P001\".")
      .arg(QLatin1Char('"') + name + QLatin1Char('"'));
}

bool LoadPresetFile(const QString& name, ui_port::Prompts& prompts, ConfigurationImage& image,
                    PresetTrailer& trailer, QString* refusal) {
  // The bounded read keeps a huge file, a device or a pipe from being read at all.
  const io::ReadResult read = io::ReadRegularFile(name, static_cast<qint64>(kPresetFileSize));
  const auto refuse_silently = [&](const QString& why) {
    if (refusal != nullptr) {
      *refusal = why;
    }
    return false;
  };
  switch (read.failure) {
    case io::ReadFailure::kNone:
      break;
    case io::ReadFailure::kMissing:
      prompts.Error(FileNotFoundText(name));
      return false;
    case io::ReadFailure::kTooLarge:
    case io::ReadFailure::kWrongSize:
      return refuse_silently(PresetWrongSizeText(name, read.size));
    default:
      prompts.Error(read.error);
      return refuse_silently(QString());
  }
  const PresetFileParse parsed = ParsePresetFile(read.data, trailer);
  if (parsed.error == PresetFileError::kWrongSize) {
    return refuse_silently(PresetWrongSizeText(name, read.size));
  }
  if (parsed.error == PresetFileError::kInvalid) {
    if (!parsed.contents.trailer.HasValidMagicAndFormat()) {
      prompts.Error(WrongTrailerText(name));
    } else {
      prompts.Error(
          CrcErrorText(parsed.contents.stored_checksum, parsed.contents.computed_checksum));
    }
    return false;
  }
  image = parsed.contents.image;
  trailer = parsed.contents.trailer;
  return true;
}

bool SavePresetFile(const QString& name, const ConfigurationImage& image, PresetTrailer& trailer,
                    QString* error) {
  PresetTrailer fresh = trailer;
  const QByteArray bytes = BuildPresetFile(image, fresh);
  QString why;
  if (!io::SaveFileAtomically(name, bytes, &why)) {
    if (error != nullptr) {
      *error = why;
    }
    return false;
  }
  trailer = fresh;
  return true;
}

QString PresetFileNameForSave(const QString& chosen) {
  if (chosen.endsWith(QStringLiteral(".PRE"), Qt::CaseInsensitive)) {
    return chosen;
  }
  return chosen + QStringLiteral(".PRE");
}

}  // namespace zizara::core::config

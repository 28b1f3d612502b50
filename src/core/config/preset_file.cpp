#include "core/config/preset_file.h"

#include <zlib.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/i18n/tr.h"
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

bool LoadPresetFile(const QString& name, ui_port::Prompts& prompts, ConfigurationImage& image,
                    PresetTrailer& trailer) {
  const QFileInfo info(name);
  if (name.isEmpty() || !info.exists()) {
    prompts.Error(FileNotFoundText(name));
    return false;
  }
  // Checking the size first keeps a huge or wrong file from being read at all.
  const qint64 size = info.size();
  if (info.isDir() || (size != static_cast<qint64>(kImageSize) &&
                       size != static_cast<qint64>(kPresetFileSize))) {
    return false;
  }
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) {
    prompts.Error(Tr("The file ") + QLatin1Char('"') + name + QLatin1Char('"') +
                  Tr(" could not be read: ") + file.errorString());
    return false;
  }
  const QByteArray data = file.read(static_cast<qint64>(kPresetFileSize) + 1);
  if (file.error() != QFileDevice::NoError) {
    prompts.Error(Tr("The file ") + QLatin1Char('"') + name + QLatin1Char('"') +
                  Tr(" could not be read: ") + file.errorString());
    return false;
  }
  const PresetFileParse parsed = ParsePresetFile(data, trailer);
  if (parsed.error == PresetFileError::kInvalid) {
    prompts.Error(CrcErrorText(parsed.contents.stored_checksum, parsed.contents.computed_checksum));
    return false;
  }
  if (parsed.error != PresetFileError::kNone) {
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
  QSaveFile file(name);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error != nullptr) {
      *error = file.errorString();
    }
    return false;
  }
  if (file.write(bytes) != bytes.size() || !file.commit()) {
    if (error != nullptr) {
      *error = file.errorString();
    }
    file.cancelWriting();
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

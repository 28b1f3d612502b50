#include "core/install/package.h"

#include <zlib.h>

#include "core/config/model_table.h"
#include "core/i18n/tr.h"
#include "core/ui_port/prompts.h"

namespace zizara::core::install {

using i18n::Tr;

namespace {

constexpr int kBackupItemOffset = 308;

std::uint32_t U32(const QByteArray& b, qint64 at) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData() + at);
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t U16(const QByteArray& b, qint64 at) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData() + at);
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

void PutU32(QByteArray& b, qint64 at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) {
    b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  }
}

void PutU16(QByteArray& b, qint64 at, std::uint16_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}

// A length-prefixed text; false when the length byte claims more than the field holds.
bool ReadText(const QByteArray& b, qint64 at, int field_size, QString* text) {
  const int length = static_cast<std::uint8_t>(b[at]);
  if (length > field_size - 1) {
    return false;
  }
  *text = QString::fromLatin1(b.constData() + at + 1, length);
  return true;
}

void PutText(QByteArray& b, qint64 at, int field_size, const QString& text) {
  const QByteArray latin = text.toLatin1().left(field_size - 1);
  b[at] = static_cast<char>(latin.size());
  for (qsizetype i = 0; i < latin.size(); ++i) {
    b[at + 1 + i] = latin[i];
  }
}

bool FieldIs(const QByteArray& b, qint64 at, const char (&expected)[5]) {
  // The length byte and as many characters as it says must equal 4 and the expected text.
  return static_cast<std::uint8_t>(b[at]) == 4 && b.mid(at + 1, 4) == QByteArray(expected, 4);
}

int DataBytesOf(std::uint16_t type) {
  switch (static_cast<ItemType>(type)) {
    case ItemType::kSetWord:
    case ItemType::kPressKey:
    case ItemType::kAskWord:
    case ItemType::kPrepareOrRestart:
      return 2;
    default:
      return 0;
  }
}

}  // namespace

std::uint16_t PackageItem::Value() const { return data.size() >= 2 ? U16(data, 0) : 0; }

std::uint32_t PackageCrc(const QByteArray& package) {
  uLong crc = crc32(0L, Z_NULL, 0);
  const auto* bytes = reinterpret_cast<const Bytef*>(package.constData());
  const qint64 size = package.size();
  // The CRC field counts as zero without copying a file of many megabytes.
  const qint64 field = size >= kCrcOffset + 4 ? kCrcOffset : size;
  crc = crc32(crc, bytes, static_cast<uInt>(field));
  if (field < size) {
    static const Bytef kZeros[4] = {0, 0, 0, 0};
    crc = crc32(crc, kZeros, 4);
    crc = crc32(crc, bytes + field + 4, static_cast<uInt>(size - field - 4));
  }
  return static_cast<std::uint32_t>(crc);
}

PackageVerdict ReadPackage(const QByteArray& package) {
  PackageVerdict verdict;
  const qint64 size = package.size();
  if (size < kHeaderSize || size > kMaxPackageSize || !FieldIs(package, 0, "VTT_") ||
      !FieldIs(package, 5, "0001")) {
    return verdict;
  }
  verdict.stored_crc = U32(package, kCrcOffset);
  if (PackageCrc(package) != verdict.stored_crc) {
    verdict.check = PackageCheck::kCrcError;
    return verdict;
  }
  // A correct CRC proves only that the file arrived as it was made, not that it was made well.
  QString description;
  if (!ReadText(package, kDescriptionOffset, kTextFieldSize, &description)) {
    return verdict;
  }
  const int count = U16(package, kItemCountOffset);
  if (count > kMaxItems ||
      kDirectoryOffset + static_cast<qint64>(count) * kDirectoryEntrySize > size) {
    return verdict;
  }
  QList<PackageItem> items;
  items.reserve(count);
  for (int i = 0; i < count; ++i) {
    PackageItem item;
    item.header_offset =
        U32(package, kDirectoryOffset + static_cast<qint64>(i) * kDirectoryEntrySize);
    const qint64 at = item.header_offset;
    if (at + kItemHeaderSize > size) {
      return verdict;
    }
    item.model_mask = U32(package, at);
    item.type = U16(package, at + 4);
    item.data_size = U32(package, at + 8);
    item.address = U32(package, at + 12);
    if (!ReadText(package, at + kItemDescriptionOffset, kTextFieldSize, &item.description) ||
        item.data_size > static_cast<std::uint64_t>(size)) {
      return verdict;
    }
    const qint64 data_bytes = item.type == static_cast<std::uint16_t>(ItemType::kWriteMemory)
                                  ? static_cast<qint64>(item.data_size)
                                  : DataBytesOf(item.type);
    if (at + kItemHeaderSize + data_bytes > size) {
      return verdict;
    }
    item.data = package.mid(at + kItemHeaderSize, data_bytes);
    items.append(std::move(item));
  }
  verdict.check = PackageCheck::kValid;
  verdict.description = description;
  verdict.items = std::move(items);
  return verdict;
}

QString NotValidText() { return Tr("This is not a valid file."); }

QString CrcErrorText(std::uint32_t stored_crc) {
  return Tr("CRC Error.\rThe file is corrupted. (CRC: ") +
         QStringLiteral("%1").arg(stored_crc, 8, 16, QLatin1Char('0')).toUpper() +
         QStringLiteral(")") + QStringLiteral("\r") + Tr("Try to download the file again.");
}

QString RefusalText(const PackageVerdict& verdict) {
  switch (verdict.check) {
    case PackageCheck::kValid:
      return {};
    case PackageCheck::kCrcError:
      return CrcErrorText(verdict.stored_crc);
    case PackageCheck::kNotValid:
      break;
  }
  return NotValidText();
}

bool VerifyFileHeader(const QByteArray& package, ui_port::Prompts& prompts,
                      PackageVerdict* verdict) {
  PackageVerdict v = ReadPackage(package);
  const bool ok = v.ok();
  if (!ok) {
    prompts.Error(RefusalText(v));
  }
  if (verdict != nullptr) {
    *verdict = std::move(v);
  }
  return ok;
}

std::uint32_t ModelMaskBit(int model_index) {
  return 1U << static_cast<unsigned>(((model_index - 1) % 32 + 32) % 32);
}

bool ItemAppliesTo(std::uint32_t model_mask, int model_index) {
  return model_mask == 0 || (model_mask & ModelMaskBit(model_index)) != 0;
}

QStringList ModelNamesOfMask(std::uint32_t model_mask) {
  QStringList names;
  for (int m = 0; m < config::kModelCount; ++m) {
    if (ItemAppliesTo(model_mask, m)) {
      names << config::ModelName(m);
    }
  }
  return names;
}

QString ItemTypeName(std::uint16_t type) {
  switch (static_cast<ItemType>(type)) {
    case ItemType::kWriteMemory:
      return QStringLiteral("write memory");
    case ItemType::kSetWord:
      return QStringLiteral("set word");
    case ItemType::kRestart:
      return QStringLiteral("restart");
    case ItemType::kPressKey:
      return QStringLiteral("press key");
    case ItemType::kInformation:
      return QStringLiteral("information");
    case ItemType::kWarning:
      return QStringLiteral("warning");
    case ItemType::kError:
      return QStringLiteral("error");
    case ItemType::kAskWord:
      return QStringLiteral("ask word");
    case ItemType::kPrepareOrRestart:
      return QStringLiteral("prepare or restart");
    case ItemType::kUpgradeConfiguration:
      return QStringLiteral("upgrade configuration");
  }
  return QStringLiteral("unknown");
}

QString BackupDescription(int model_index, const QString& serial_text) {
  return QStringLiteral("Backup of ") + config::ModelName(model_index) +
         QStringLiteral(", Serial No.: ") + serial_text;
}

QByteArray BuildPackage(const QString& description, const QList<PackageItemSpec>& items) {
  const qint64 directory_end =
      kDirectoryOffset + static_cast<qint64>(items.size()) * kDirectoryEntrySize;
  // The backup layout keeps 16 reserved bytes after a two-entry directory; keep the same gap.
  qint64 next = std::max<qint64>(directory_end + 16, kBackupItemOffset);
  qint64 total = next;
  for (const PackageItemSpec& item : items) {
    total += kItemHeaderSize + item.data.size();
  }
  QByteArray b(total, '\0');
  b[0] = 4;
  b.replace(1, 4, "VTT_");
  b[5] = 4;
  b.replace(6, 4, "0001");
  PutText(b, kDescriptionOffset, kTextFieldSize, description);
  PutU16(b, kItemCountOffset, static_cast<std::uint16_t>(items.size()));
  for (qsizetype i = 0; i < items.size(); ++i) {
    const PackageItemSpec& item = items[i];
    PutU32(b, kDirectoryOffset + i * kDirectoryEntrySize, static_cast<std::uint32_t>(next));
    PutU32(b, next, item.model_mask);
    PutU16(b, next + 4, item.type);
    PutU32(b, next + 8, item.data_size);
    PutU32(b, next + 12, item.address);
    PutText(b, next + kItemDescriptionOffset, kTextFieldSize, item.description);
    b.replace(next + kItemHeaderSize, item.data.size(), item.data);
    next += kItemHeaderSize + item.data.size();
  }
  PutU32(b, kCrcOffset, PackageCrc(b));
  return b;
}

QByteArray BuildBackupPackage(int model_index, const QString& serial_text,
                              const QByteArray& software) {
  const std::uint32_t mask = ModelMaskBit(model_index);
  PackageItemSpec restore;
  restore.model_mask = mask;
  restore.type = static_cast<std::uint16_t>(ItemType::kWriteMemory);
  restore.data_size = static_cast<std::uint32_t>(software.size());
  restore.address = 0;
  restore.description = QStringLiteral("Restoring software backup.");
  restore.data = software;
  PackageItemSpec restored;
  restored.model_mask = mask;
  restored.type = static_cast<std::uint16_t>(ItemType::kInformation);
  restored.description = QStringLiteral("The QLX-Software has been restored.");
  return BuildPackage(BackupDescription(model_index, serial_text), {restore, restored});
}

}  // namespace zizara::core::install

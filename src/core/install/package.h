#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace zizara::core::ui_port {
class Prompts;
}

namespace zizara::core::install {

// Layout of a software package (".CDP"); all integers little-endian.
inline constexpr int kHeaderSize = 276;
inline constexpr int kDescriptionOffset = 10;
inline constexpr int kTextFieldSize = 256;  // length byte and up to 255 characters
inline constexpr int kCrcOffset = 268;
inline constexpr int kItemCountOffset = 272;
inline constexpr int kDirectoryOffset = 276;
inline constexpr int kDirectoryEntrySize = 8;
inline constexpr int kMaxItems = 256;
inline constexpr int kItemHeaderSize = 272;
inline constexpr int kItemDescriptionOffset = 16;
// No item can write more than the instrument's 4 MiB of memory; sixteen full memories is far
// beyond any real package and keeps a hostile file from exhausting memory.
inline constexpr qint64 kMaxPackageSize = 64LL * 1024 * 1024;

inline constexpr char kPackageFilter[] = "Compiled Distribution Packages (*.CDP);;All Files (*)";

enum class ItemType : std::uint16_t {
  kWriteMemory = 0,
  kSetWord = 1,
  kRestart = 2,
  kPressKey = 3,
  kInformation = 4,
  kWarning = 5,
  kError = 6,
  kAskWord = 7,
  kPrepareOrRestart = 8,
  kUpgradeConfiguration = 9,
};

struct PackageItem {
  std::uint32_t header_offset = 0;
  std::uint32_t model_mask = 0;
  std::uint16_t type = 0;
  std::uint32_t data_size = 0;
  std::uint32_t address = 0;
  QString description;
  QByteArray data;  // data_size bytes for type 0; the 2-byte value for types 1, 3, 7, 8

  // The 16-bit value of types 1, 3, 7 and 8 (little-endian in the file).
  std::uint16_t Value() const;
};

enum class PackageCheck { kValid, kNotValid, kCrcError };

struct PackageVerdict {
  PackageCheck check = PackageCheck::kNotValid;
  std::uint32_t stored_crc = 0;
  QString description;
  QList<PackageItem> items;  // in directory order; filled only for a valid package
  bool ok() const { return check == PackageCheck::kValid; }
};

// CRC-32 of the whole package with its CRC field taken as zero.
std::uint32_t PackageCrc(const QByteArray& package);

// Checks magic, format version and CRC, then that every directory entry, item header and item
// datum lies inside the file, and reads the items through the directory. Never reads outside
// `package`.
PackageVerdict ReadPackage(const QByteArray& package);

// The texts of a refusal; "\r" is a line break.
QString NotValidText();
QString CrcErrorText(std::uint32_t stored_crc);
QString RefusalText(const PackageVerdict& verdict);

// ReadPackage, with the refusal shown as an error message.
bool VerifyFileHeader(const QByteArray& package, ui_port::Prompts& prompts,
                      PackageVerdict* verdict = nullptr);

// Bit (m - 1) mod 32 stands for model index m, so index 0 is bit 31.
std::uint32_t ModelMaskBit(int model_index);
// A mask of 0 applies to every model.
bool ItemAppliesTo(std::uint32_t model_mask, int model_index);
// Names of the model table's rows whose bit the mask holds (every row for 0).
QStringList ModelNamesOfMask(std::uint32_t model_mask);
QString ItemTypeName(std::uint16_t type);

QString BackupDescription(int model_index, const QString& serial_text);
// The package an installation backup writes: the software item at offset 308 and the
// "restored" message, both for the connected model only.
QByteArray BuildBackupPackage(int model_index, const QString& serial_text,
                              const QByteArray& software);

// Small writer for packages in the documented layout (tests, the backup).
struct PackageItemSpec {
  std::uint32_t model_mask = 0;
  std::uint16_t type = 0;
  std::uint32_t data_size = 0;  // for items without data: counted toward the overall progress
  std::uint32_t address = 0;
  QString description;
  QByteArray data;  // written right after the item header
};
QByteArray BuildPackage(const QString& description, const QList<PackageItemSpec>& items);

}  // namespace zizara::core::install

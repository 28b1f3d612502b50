#include "core/install/package.h"

#include <gtest/gtest.h>

#include "core/install/installation.h"
#include "core/ui_port/prompts.h"

namespace zizara::core::install {
namespace {

std::uint32_t U32At(const QByteArray& b, int at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
         static_cast<std::uint8_t>(b[at + 2]) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}

void PutU32(QByteArray& b, int at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

// Recomputes the CRC, so only the structural checks can refuse the file.
QByteArray Resealed(QByteArray b) {
  PutU32(b, kCrcOffset, PackageCrc(b));
  return b;
}

QByteArray TwoItemPackage() {
  PackageItemSpec write;
  write.type = 0;
  write.data_size = 256;
  write.address = 0x30000;
  write.description = "Writing.";
  write.data = QByteArray(256, '\x5A');
  PackageItemSpec note;
  note.type = 4;
  note.model_mask = 8;
  note.description = "Done.";
  return BuildPackage("Test package", {write, note});
}

TEST(PackageCrcTest, IsTheStandardCrc32) { EXPECT_EQ(PackageCrc("abc"), 0x352441C2u); }

TEST(PackageReadTest, ReadsItemsThroughTheDirectory) {
  const PackageVerdict v = ReadPackage(TwoItemPackage());
  ASSERT_TRUE(v.ok());
  EXPECT_EQ(v.description, "Test package");
  ASSERT_EQ(v.items.size(), 2);
  EXPECT_EQ(v.items[0].header_offset, 308u);
  EXPECT_EQ(v.items[0].address, 0x30000u);
  EXPECT_EQ(v.items[0].data, QByteArray(256, '\x5A'));
  EXPECT_EQ(v.items[1].header_offset, 308u + 272 + 256);
  EXPECT_EQ(v.items[1].type, 4);
  EXPECT_EQ(v.items[1].model_mask, 8u);
  EXPECT_EQ(v.items[1].description, "Done.");
}

TEST(PackageReadTest, WrongMagicOrVersionIsNotValid) {
  QByteArray short_magic = TwoItemPackage();
  short_magic[0] = 3;  // "VTT_" still follows
  QByteArray version = TwoItemPackage();
  version[9] = '2';
  for (const QByteArray& b : {Resealed(short_magic), Resealed(version), QByteArray(275, '\0')}) {
    ui_port::ScriptedPrompts prompts;
    EXPECT_FALSE(VerifyFileHeader(b, prompts));
    EXPECT_EQ(prompts.Texts(), QStringList{"This is not a valid file."});
    EXPECT_EQ(prompts.records()[0].kind, ui_port::PromptKind::kError);
  }
}

TEST(PackageReadTest, OneFlippedDataBitGivesTheCrcMessageWithTheStoredCrc) {
  QByteArray b = TwoItemPackage();
  const std::uint32_t stored = U32At(b, kCrcOffset);
  b[308 + 272 + 17] = static_cast<char>(b[308 + 272 + 17] ^ 0x04);
  ui_port::ScriptedPrompts prompts;
  EXPECT_FALSE(VerifyFileHeader(b, prompts));
  EXPECT_EQ(prompts.Texts(),
            QStringList{"CRC Error.\rThe file is corrupted. (CRC: " +
                        QStringLiteral("%1").arg(stored, 8, 16, QLatin1Char('0')).toUpper() +
                        ")\rTry to download the file again."});
}

TEST(PackageReadTest, HostileButWellSealedFilesAreRefused) {
  const QByteArray good = TwoItemPackage();
  QByteArray too_many = good;
  too_many[kItemCountOffset] = 1;
  too_many[kItemCountOffset + 1] = 1;  // 257
  QByteArray directory_past_end = good;
  directory_past_end[kItemCountOffset] = static_cast<char>(200);
  directory_past_end.truncate(kDirectoryOffset + 100);
  QByteArray item_past_end = good;
  PutU32(item_past_end, kDirectoryOffset + 8, static_cast<std::uint32_t>(good.size()) - 100);
  QByteArray huge_offset = good;
  PutU32(huge_offset, kDirectoryOffset, 0xFFFFFFF0u);
  QByteArray data_too_large = good;
  PutU32(data_too_large, 308 + 8, static_cast<std::uint32_t>(good.size()) + 1);
  QByteArray data_beyond_end = good;
  PutU32(data_beyond_end, 308 + 8, 256 + 272 + 100);  // smaller than the file, past its end
  QByteArray message_size_huge = good;
  PutU32(message_size_huge, 308 + 272 + 256 + 8, 0xFFFFFFFFu);
  QByteArray word_without_value = good;
  word_without_value[308 + 272 + 256 + 4] = 1;  // the last item becomes a set-word
  for (const QByteArray& b : {too_many, directory_past_end, item_past_end, huge_offset,
                              data_too_large, data_beyond_end, message_size_huge}) {
    const PackageVerdict v = ReadPackage(Resealed(b));
    EXPECT_EQ(v.check, PackageCheck::kNotValid);
    EXPECT_EQ(RefusalText(v), "This is not a valid file.");
  }
  // A set-word item is the last thing in the file: its 2-byte value is missing.
  EXPECT_EQ(ReadPackage(Resealed(word_without_value)).check, PackageCheck::kNotValid);
}

TEST(PackageReadTest, AnEmptyDirectoryIsValid) {
  const PackageVerdict v = ReadPackage(BuildPackage("Nothing", {}));
  EXPECT_TRUE(v.ok());
  EXPECT_TRUE(v.items.isEmpty());
}

TEST(ModelMaskTest, ZeroIsEveryModelAndIndexZeroIsBit31) {
  for (int m = 0; m < 12; ++m) EXPECT_TRUE(ItemAppliesTo(0, m));
  EXPECT_TRUE(ItemAppliesTo(8, 4));
  for (int m = 0; m < 12; ++m) {
    if (m != 4) {
      EXPECT_FALSE(ItemAppliesTo(8, m)) << m;
    }
  }
  EXPECT_EQ(ModelMaskBit(0), 0x80000000u);
  EXPECT_EQ(ModelMaskBit(1), 1u);
  EXPECT_EQ(ModelMaskBit(5), 0x10u);
  EXPECT_EQ(ModelNamesOfMask(8), QStringList{"QLX-M+"});
  EXPECT_EQ(ModelNamesOfMask(0x80000000u), QStringList{"Unknown"});
  EXPECT_EQ(ModelNamesOfMask(0).size(), 12);
}

TEST(BackupPackageTest, HasTheDocumentedLayout) {
  QByteArray software(131072, '\0');
  for (int i = 0; i < software.size(); ++i) software[i] = static_cast<char>(i * 7);
  const QByteArray b = BuildBackupPackage(5, "12345", software);
  const QByteArray description = "Backup of QLX-A, Serial No.: 12345";
  ASSERT_EQ(b.size(), 308 + 272 + 131072 + 272);
  EXPECT_EQ(b.left(10), QByteArray("\x04VTT_\x04"
                                   "0001"));
  EXPECT_EQ(static_cast<int>(b[10]), description.size());
  EXPECT_EQ(b.mid(11, description.size()), description);
  EXPECT_EQ(b.mid(11 + description.size(), 255 - description.size() + 2 /*reserved*/),
            QByteArray(255 - description.size() + 2, '\0'));
  EXPECT_EQ(U32At(b, 268), PackageCrc(b));
  EXPECT_EQ(U32At(b, 272), 2u);  // item count 2, reserved 0
  EXPECT_EQ(U32At(b, 276), 308u);
  EXPECT_EQ(U32At(b, 280), 0u);
  EXPECT_EQ(U32At(b, 284), 308u + 272 + 131072);
  EXPECT_EQ(b.mid(288, 20), QByteArray(20, '\0'));
  // Item 1: mask of model 5 only, type 0, the size, address 0, its description, the data.
  EXPECT_EQ(U32At(b, 308), 0x10u);
  EXPECT_EQ(U32At(b, 312), 0u);
  EXPECT_EQ(U32At(b, 316), 131072u);
  EXPECT_EQ(U32At(b, 320), 0u);
  EXPECT_EQ(b.mid(324, 27), QByteArray("\x1aRestoring software backup."));
  EXPECT_EQ(b.mid(308 + 272, 131072), software);
  // Item 2: same mask, type 4, no data.
  const int item2 = 308 + 272 + 131072;
  EXPECT_EQ(U32At(b, item2), 0x10u);
  EXPECT_EQ(U32At(b, item2 + 4), 4u);
  EXPECT_EQ(U32At(b, item2 + 8), 0u);
  EXPECT_EQ(U32At(b, item2 + 12), 0u);
  EXPECT_EQ(b.mid(item2 + 16, 36), QByteArray("\x23The QLX-Software has been restored."));
  EXPECT_TRUE(ReadPackage(b).ok());
}

TEST(Type7InputTest, CharactersAndValuesAreJudgedApart) {
  std::uint16_t v = 0;
  bool range = false;
  EXPECT_TRUE(ValidateHexData("$1A2B", 5));
  EXPECT_TRUE(WordValue("$1A2B", &v, &range));
  EXPECT_EQ(v, 0x1A2B);
  EXPECT_TRUE(ValidateHexData("65536", 5));
  EXPECT_FALSE(WordValue("65536", &v, &range));
  EXPECT_TRUE(range);
  EXPECT_FALSE(ValidateHexData("123456", 5));
  EXPECT_FALSE(ValidateHexData("$12G4", 5));
  EXPECT_FALSE(ValidateHexData("-1", 5));
  EXPECT_TRUE(WordValue("65535", &v, &range));
  EXPECT_EQ(v, 65535);
  EXPECT_TRUE(ValidateHexData("$", 5));
  EXPECT_FALSE(WordValue("$", &v, &range));
  EXPECT_FALSE(range);
  EXPECT_FALSE(WordValue("$123456789ABCDEF", &v, &range));
  EXPECT_TRUE(range);
  EXPECT_TRUE(WordValue("$00000000FFFF", &v, &range));
  EXPECT_EQ(v, 0xFFFF);
}

}  // namespace
}  // namespace zizara::core::install

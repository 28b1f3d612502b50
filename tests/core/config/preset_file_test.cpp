#include "core/config/preset_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/ui_port/prompts.h"
#include "support/crafted_files.h"

namespace zizara::core::config {
namespace {

using testing::CraftedIdentity;
using testing::CraftImage;
using testing::CraftPresetFile;
using testing::WriteFile;
using ui_port::PromptKind;
using ui_port::ScriptedPrompts;

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class PresetFileTest : public ::testing::Test {
 protected:
  QTemporaryDir dir_;
  ScriptedPrompts prompts_;
  ConfigurationImage image_;
  PresetTrailer trailer_;

  bool Load(const QString& path) { return LoadPresetFile(path, prompts_, image_, trailer_); }
};

TEST_F(PresetFileTest, ChecksumIsStandardCrc32) {
  const QByteArray digits("123456789");
  EXPECT_EQ(PresetFileChecksum(digits), 0xCBF43926u);
}

TEST_F(PresetFileTest, LoadsACraftedFile) {
  CraftedIdentity id;
  const QByteArray file = CraftPresetFile(CraftImage(), id);
  ASSERT_TRUE(Load(WriteFile(QDir(dir_.path()), "a.PRE", file)));
  EXPECT_TRUE(prompts_.records().empty());
  EXPECT_EQ(image_.ToByteArray(), file.left(16384));
  EXPECT_EQ(trailer_.serial_number, 12345);
  EXPECT_EQ(trailer_.model_index, 5);
  EXPECT_EQ(trailer_.software_version, 0x0510);
  EXPECT_EQ(trailer_.extended_bios_id, 0x1234);
  EXPECT_EQ(trailer_.hardware_id, 0xABCD);
  EXPECT_EQ(trailer_.checksum, testing::Le32(file, 0x401C));
}

TEST_F(PresetFileTest, SaveThenReloadIsByteIdentical) {
  const QByteArray file = CraftPresetFile(CraftImage(), {.spare0 = 0x12, .spare1 = 0x34});
  const QString in = WriteFile(QDir(dir_.path()), "in.PRE", file);
  ASSERT_TRUE(Load(in));
  EXPECT_EQ(trailer_.spare[0], 0x12);
  const QString out = QDir(dir_.path()).filePath("out.PRE");
  QString error;
  ASSERT_TRUE(SavePresetFile(out, image_, trailer_, &error)) << error.toStdString();
  EXPECT_EQ(ReadAll(out), file);  // spare bytes written back, same CRC
  EXPECT_EQ(trailer_.checksum, testing::Le32(file, 0x401C));
}

TEST_F(PresetFileTest, BareImageHasZeroIdentityAndSavesAsFullFile) {
  trailer_.serial_number = 999;
  trailer_.spare = {7, 8};
  const QString bare = WriteFile(QDir(dir_.path()), "bare.bin", CraftImage());
  ASSERT_TRUE(Load(bare));
  EXPECT_EQ(trailer_.serial_number, 0);
  EXPECT_EQ(trailer_.model_index, 0);
  EXPECT_EQ(trailer_.software_version, 0);
  EXPECT_EQ(trailer_.checksum, 0u);
  EXPECT_TRUE(trailer_.HasValidMagicAndFormat());
  EXPECT_EQ(trailer_.spare[0], 7);  // only the identity is cleared

  const QString out = QDir(dir_.path()).filePath("full.PRE");
  ASSERT_TRUE(SavePresetFile(out, image_, trailer_, nullptr));
  const QByteArray written = ReadAll(out);
  ASSERT_EQ(written.size(), 16416);
  EXPECT_EQ(written.mid(0x4000, 10), QByteArray("\x04VTT_\x04P001", 10));
  EXPECT_EQ(testing::Le32(written, 0x401C), trailer_.checksum);
}

TEST_F(PresetFileTest, WrongSizesAreRefusedSilently) {
  for (int size : {0, 1, 16383, 16385, 16415, 16417, 40000}) {
    SCOPED_TRACE(size);
    prompts_.Clear();
    EXPECT_FALSE(Load(WriteFile(QDir(dir_.path()), "s.PRE", QByteArray(size, '\0'))));
    EXPECT_TRUE(prompts_.records().empty());
  }
  EXPECT_FALSE(Load(dir_.path()));  // a folder is not a file
}

TEST_F(PresetFileTest, MissingFileNamesIt) {
  EXPECT_FALSE(Load("/nonexistent/x.PRE"));
  ASSERT_EQ(prompts_.records().size(), 1u);
  EXPECT_EQ(prompts_.records()[0].kind, PromptKind::kError);
  EXPECT_EQ(prompts_.records()[0].text, QStringLiteral("The file \"/nonexistent/x.PRE\" was not found."));
  prompts_.Clear();
  EXPECT_FALSE(Load(""));
  EXPECT_EQ(prompts_.Texts(), QStringList{"The file  was not found."});
}

TEST_F(PresetFileTest, AnyFlippedBitFailsWithBothChecksums) {
  const QByteArray good = CraftPresetFile(CraftImage());
  const std::uint32_t stored = testing::Le32(good, 0x401C);
  // Every trailer bit outside the checksum, and a spread of image bits.
  std::vector<int> bits;
  for (int bit = 0x4000 * 8; bit < 0x401C * 8; ++bit) bits.push_back(bit);
  for (int bit = 0; bit < 0x4000 * 8; bit += 997) bits.push_back(bit);
  for (int bit : bits) {
    QByteArray bad = good;
    bad[bit / 8] = static_cast<char>(bad[bit / 8] ^ (1 << (bit % 8)));
    const PresetFileParse parsed = ParsePresetFile(bad, PresetTrailer{});
    ASSERT_EQ(parsed.error, PresetFileError::kInvalid) << bit;
    if (bit >= 0x400C * 8) {  // past magic and format: only the CRC can tell
      ASSERT_EQ(parsed.contents.stored_checksum, stored);
      ASSERT_NE(parsed.contents.computed_checksum, stored);
    }
  }
  QByteArray bad = good;
  bad[0x400C] = static_cast<char>(bad[0x400C] ^ 1);  // serial number
  EXPECT_FALSE(Load(WriteFile(QDir(dir_.path()), "bad.PRE", bad)));
  const std::uint32_t computed = testing::Crc(bad.left(0x401C) + QByteArray(4, '\0'));
  const auto hex8 = [](std::uint32_t v) {
    return QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
  };
  EXPECT_EQ(prompts_.Texts(), QStringList{"CRC Error. " + hex8(stored) + " " + hex8(computed)});
}

TEST_F(PresetFileTest, WrongMagicOrFormatFailsEvenWithMatchingCrc) {
  for (int at : {0x4000, 0x4001, 0x4005, 0x4009}) {
    QByteArray f = CraftPresetFile(CraftImage());
    f[at] = 'X';
    f.replace(0x401C, 4, QByteArray(4, '\0'));
    testing::PutLe32(f, 0x401C, testing::Crc(f));
    const PresetFileParse parsed = ParsePresetFile(f, PresetTrailer{});
    EXPECT_EQ(parsed.error, PresetFileError::kInvalid) << at;
    EXPECT_EQ(parsed.contents.stored_checksum, parsed.contents.computed_checksum);
  }
}

TEST_F(PresetFileTest, RefusedFileLeavesTheConfigurationAlone) {
  image_.Fill(0x3C);
  trailer_.serial_number = 4242;
  const ConfigurationImage before_image = image_;
  const PresetTrailer before_trailer = trailer_;
  QByteArray bad = CraftPresetFile(CraftImage());
  bad[100] = static_cast<char>(bad[100] ^ 0x40);
  EXPECT_FALSE(Load(WriteFile(QDir(dir_.path()), "bad.PRE", bad)));
  EXPECT_EQ(image_, before_image);
  EXPECT_EQ(trailer_, before_trailer);
}

TEST_F(PresetFileTest, FailedSaveKeepsTheOldFileAndSaysWhy) {
  const QString path = WriteFile(QDir(dir_.path()), "keep.PRE", "old contents");
  QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner);
  QString error;
  const bool saved = SavePresetFile(path, image_, trailer_, &error);
  QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  if (saved) {
    GTEST_SKIP() << "running with rights that ignore folder permissions";
  }
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(ReadAll(path), QByteArray("old contents"));
  EXPECT_EQ(trailer_.checksum, 0u);

  EXPECT_FALSE(SavePresetFile("/nonexistent-dir/x.PRE", image_, trailer_, &error));
  EXPECT_FALSE(error.isEmpty());
}

TEST_F(PresetFileTest, SaveReplacesAnExistingFileWhole) {
  const QString path = WriteFile(QDir(dir_.path()), "big.PRE", QByteArray(50000, 'x'));
  ASSERT_TRUE(SavePresetFile(path, image_, trailer_, nullptr));
  EXPECT_EQ(ReadAll(path).size(), 16416);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"big.PRE"});  // no leftovers
}

TEST(PresetFileNameTest, AppendsPreUnlessPresent) {
  EXPECT_EQ(PresetFileNameForSave("a.pre"), QStringLiteral("a.pre"));
  EXPECT_EQ(PresetFileNameForSave("a.Pre"), QStringLiteral("a.Pre"));
  EXPECT_EQ(PresetFileNameForSave("a.PRE"), QStringLiteral("a.PRE"));
  EXPECT_EQ(PresetFileNameForSave("a"), QStringLiteral("a.PRE"));
  EXPECT_EQ(PresetFileNameForSave("a.pre.bak"), QStringLiteral("a.pre.bak.PRE"));
  EXPECT_EQ(PresetFileNameForSave("apre"), QStringLiteral("apre.PRE"));
}

}  // namespace
}  // namespace zizara::core::config

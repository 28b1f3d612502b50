#include <gtest/gtest.h>

#include <QLocale>
#include <clocale>

#include "core/config/model_table.h"
#include "core/config/version.h"

namespace zizara::core::config {
namespace {

TEST(VersionCodeTest, NumbersBecomeHexDigitCodes) {
  EXPECT_EQ(VersionCodeFromNumber(3.8), 0x0380);
  EXPECT_EQ(VersionCodeFromNumber(5.1), 0x0510);
  EXPECT_EQ(VersionCodeFromNumber(5.0), 0x0500);
  EXPECT_EQ(VersionCodeFromNumber(4.1), 0x0410);
  EXPECT_EQ(VersionCodeFromNumber(1.0), 0x0100);
  EXPECT_EQ(VersionCodeFromNumber(12.34), 0x1234);
  EXPECT_EQ(VersionCodeFromNumber(-1.0), 0);
}

TEST(VersionCodeTest, ParsingIgnoresTheLocale) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // may be missing; then this is the C locale
  EXPECT_EQ(VersionCodeFromText(QStringLiteral("5.1")), 0x0510);
  EXPECT_EQ(VersionCodeFromText(QStringLiteral("5,10")), 0x0510);
  EXPECT_EQ(VersionCodeFromText(QStringLiteral(" 3.80 ")), 0x0380);
  EXPECT_EQ(VersionCodeFromNumber(3.8), 0x0380);
  EXPECT_FALSE(VersionCodeFromText(QStringLiteral("")).has_value());
  EXPECT_FALSE(VersionCodeFromText(QStringLiteral("five")).has_value());
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(saved);
}

TEST(VersionCodeTest, FormatsHighAndLowByte) {
  EXPECT_EQ(FormatVersionCode(0x0510), QStringLiteral("05.10"));
  EXPECT_EQ(FormatVersionCode(0x0380), QStringLiteral("03.80"));
  EXPECT_EQ(FormatVersionCode(0), QStringLiteral("00.00"));
  EXPECT_EQ(FormatVersionCode(0xABCD), QStringLiteral("AB.CD"));
}

TEST(ModelTableTest, SerialRangesSelectModels) {
  EXPECT_EQ(ModelIndexForSerial(0x1F40), 4);  // 8000
  EXPECT_EQ(BackupBlockCount(4), QStringLiteral("2048"));
  EXPECT_EQ(ModelIndexForSerial(0x1F3F), 3);  // 7999
  EXPECT_EQ(BackupBlockCount(3), QStringLiteral("1024"));
  EXPECT_EQ(ModelIndexForSerial(27000), 0);
  EXPECT_EQ(ModelIndexForSerial(-1), 0);
  EXPECT_EQ(ModelIndexForSerial(50000), 0);
  EXPECT_EQ(ModelIndexForSerial(5999), 0);
  EXPECT_EQ(ModelIndexForSerial(6000), 1);
  EXPECT_EQ(ModelIndexForSerial(10000), 5);
  EXPECT_EQ(ModelIndexForSerial(19999), 5);
  EXPECT_EQ(ModelIndexForSerial(30000), 9);
  EXPECT_EQ(ModelIndexForSerial(49999), 11);
}

TEST(ModelTableTest, NamesAndSupport) {
  EXPECT_EQ(ModelName(5), QStringLiteral("QLX-A"));
  EXPECT_EQ(ModelName(0), QStringLiteral("Unknown"));
  EXPECT_EQ(ModelName(42), QStringLiteral("Unknown"));
  EXPECT_EQ(ModelName(-7), QStringLiteral("Unknown"));
  EXPECT_TRUE(ModelSupported(0));
  const int unsupported[] = {1, 2, 6, 7, 8};
  for (int i : unsupported) {
    EXPECT_FALSE(ModelSupported(i)) << i;
  }
  const int supported[] = {3, 4, 5, 9, 10, 11};
  for (int i : supported) {
    EXPECT_TRUE(ModelSupported(i)) << i;
  }
}

TEST(ModelTableTest, TypeChoicesMapToModels) {
  EXPECT_EQ(kModelTypeChoices.size(), 17u);
  EXPECT_STREQ(kModelTypeChoices[5].name, "QP-MX");
  EXPECT_EQ(kModelTypeChoices[5].model_index, 4);
  EXPECT_STREQ(kModelTypeChoices[2].name, "QLX-M");
  EXPECT_EQ(kModelTypeChoices[16].model_index, 11);
}

}  // namespace
}  // namespace zizara::core::config

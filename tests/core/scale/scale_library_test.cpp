#include "core/scale/scale_library.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/scale/real48.h"

namespace zizara::core::scale {
namespace {

namespace ro = record_offsets;

Real48 R(std::initializer_list<int> b) {
  Real48 r{};
  int i = 0;
  for (int v : b) r[static_cast<std::size_t>(i++)] = static_cast<std::uint8_t>(v);
  return r;
}

TEST(Real48Test, DocumentedExamplesBothWays) {
  EXPECT_EQ(ToReal48(1.0), R({0x81, 0, 0, 0, 0, 0}));
  EXPECT_EQ(ToReal48(-18.0), R({0x85, 0, 0, 0, 0, 0x90}));
  EXPECT_DOUBLE_EQ(FromReal48(R({0x81, 0, 0, 0, 0, 0})), 1.0);
  EXPECT_DOUBLE_EQ(FromReal48(R({0x85, 0, 0, 0, 0, 0x90})), -18.0);
}

TEST(Real48Test, ZeroNegativeAndRoundTrip) {
  EXPECT_EQ(ToReal48(0.0), Real48{});
  EXPECT_EQ(ToReal48(-0.0), Real48{});
  // Exponent byte 0 is zero whatever the other bytes say.
  EXPECT_EQ(FromReal48(R({0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})), 0.0);
  for (double v : {-0.5, 0.1, -3.5, 12345.678, -60.0, 1e-30, 1e30}) {
    EXPECT_NEAR(FromReal48(ToReal48(v)), v, std::fabs(v) * 1e-11) << v;
  }
  EXPECT_EQ(ToReal48(-0.5)[5] & 0x80, 0x80);
}

TEST(Real48Test, PrecisionBeyondThirtyNineBitsIsLost) {
  const double tiny = std::ldexp(1.0, -41);  // a quarter of the last fraction bit
  EXPECT_EQ(ToReal48(1.0 + tiny), ToReal48(1.0));
  EXPECT_DOUBLE_EQ(FromReal48(ToReal48(1.0 + tiny)), 1.0);
  const double last_bit = std::ldexp(1.0, -39);
  EXPECT_EQ(ToReal48(1.0 + last_bit), R({0x81, 1, 0, 0, 0, 0}));
  // Rounding up past the fraction moves to the next exponent.
  EXPECT_EQ(ToReal48(2.0 - std::ldexp(1.0, -45)), R({0x82, 0, 0, 0, 0, 0}));
}

TEST(Real48Test, OutOfRangeValuesStayInsideTheFormat) {
  EXPECT_EQ(ToReal48(std::nan("")), Real48{});
  EXPECT_EQ(ToReal48(1e-60), Real48{});  // below 2^-128
  EXPECT_EQ(ToReal48(1e60)[0], 0xFF);
  EXPECT_EQ(ToReal48(-INFINITY)[5], 0xFF);
}

class LibraryFileTest : public ::testing::Test {
 protected:
  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
  }
  QTemporaryDir dir_;
};

TEST_F(LibraryFileTest, WrongSizesAreRefusedAndTheLibraryStays) {
  ScaleLibrary library;
  library.records[0].SetShortName("KEEP");
  for (int size : {49059, 49061, 0}) {
    const QString path = Write(QStringLiteral("s%1.dat").arg(size), QByteArray(size, '\x11'));
    QString error;
    EXPECT_FALSE(LoadScaleLibrary(path, library, &error));
    EXPECT_EQ(error, "The file " + path + " is NOT a valid Scale Library");
    EXPECT_EQ(library.records[0].ShortName(), "KEEP");
  }
  QString error;
  EXPECT_FALSE(LoadScaleLibrary(dir_.filePath("missing.dat"), library, &error));
  EXPECT_TRUE(error.contains("was not found")) << error.toStdString();
  EXPECT_FALSE(LoadScaleLibrary(dir_.path(), library, &error));
  EXPECT_TRUE(error.contains("folder")) << error.toStdString();
  EXPECT_FALSE(LoadScaleLibrary(QStringLiteral("/dev/null"), library, &error));
  EXPECT_EQ(library.records[0].ShortName(), "KEEP");
}

TEST_F(LibraryFileTest, ZeroFileLoadsAsTwentyEmptyScales) {
  ScaleLibrary library;
  library.records[3].SetShortName("X");
  QString error;
  ASSERT_TRUE(LoadScaleLibrary(Write("zero.dat", QByteArray(kLibrarySize, '\0')), library, &error));
  for (const ScaleRecord& r : library.records) {
    EXPECT_TRUE(r.ShortName().isEmpty());
    EXPECT_EQ(r.Reference(), 0.0);
    EXPECT_TRUE(r.IsDigital());
    EXPECT_EQ(r.KeyNumber(), 0);
    EXPECT_TRUE(r.Note().isEmpty());
    for (int n = 0; n < kLineCount; ++n) {
      EXPECT_EQ(r.LineLevel(n), 0.0);
      EXPECT_EQ(r.LineStyle(n), 0);
    }
  }
}

TEST_F(LibraryFileTest, SaveWritesRecordsInOrderAndKeepsUnreadBytes) {
  QByteArray bytes(kLibrarySize, '\0');
  for (int r = 0; r < kScaleCount; ++r) {
    bytes[r * kRecordSize + ro::kLines + 12] = static_cast<char>(0xA0 + r);  // line 1 unused byte
    bytes[r * kRecordSize + ro::kShortName] = 1;
    bytes[r * kRecordSize + ro::kShortName + 1] = static_cast<char>('A' + r);
  }
  ScaleLibrary library;
  ASSERT_TRUE(library.Parse(bytes));
  EXPECT_EQ(library.records[19].ShortName(), "T");
  const QString path = dir_.filePath("out.dat");
  QString error;
  ASSERT_TRUE(SaveScaleLibrary(path, library, &error)) << error.toStdString();
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), bytes);
  // A longer file is truncated to the 20 records.
  Write("long.dat", QByteArray(60000, 'x'));
  ASSERT_TRUE(SaveScaleLibrary(dir_.filePath("long.dat"), library, &error));
  EXPECT_EQ(QFile(dir_.filePath("long.dat")).size(), kLibrarySize);
  EXPECT_FALSE(SaveScaleLibrary(QStringLiteral("/dev/null"), library, &error));
  EXPECT_EQ(error, QStringLiteral("/dev/null is not a regular file."));
}

TEST(ScaleRecordTest, ShortNameIsPrefilledWithBlanks) {
  ScaleRecord r;
  r.SetShortName("AB");
  const auto& b = r.bytes();
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(b.data()), 5), QByteArray("\x02"
                                                                               "AB  "));
  r.SetShortName("LONGER");
  EXPECT_EQ(r.ShortName(), "LONG");
  r.SetShortName("");
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(b.data()), 5), QByteArray("\x00    ", 5));
}

TEST(ScaleRecordTest, UntrustedLengthsAndPositionsStayInsideTheirFields) {
  ScaleRecord r;
  auto& b = r.bytes();
  b[ro::kShortName] = 200;
  b[ro::kDescription] = 255;
  b[ro::kLines + 6] = 200;  // line 1 label length
  b[ro::kKeyNumber] = 77;
  b[ro::kDynamics] = 14;
  b[ro::kLines + 11] = 9;  // style off the list
  std::fill(b.begin() + 1, b.begin() + 5, 'n');
  std::fill(b.begin() + ro::kLines + 7, b.begin() + ro::kLines + 11, 'l');
  EXPECT_EQ(r.ShortName(), "nnnn");
  EXPECT_EQ(r.Description().size(), kDescriptionCapacity);
  EXPECT_EQ(r.LineLabel(0), "llll");
  EXPECT_EQ(r.KeyNumber(), 77);
  EXPECT_FALSE(ScaleAddress(r.KeyNumber()).has_value());
  EXPECT_EQ(r.LineStyle(0), 9);
  EXPECT_EQ(r.LineLabel(28), QByteArray());
  EXPECT_EQ(r.LineLabel(-1), QByteArray());
}

TEST(ScaleRecordTest, NoteStopsAtZeroOrFieldEnd) {
  ScaleRecord r;
  r.SetNote("one\r\ntwo\r\n");
  EXPECT_EQ(r.Note(), "one\r\ntwo\r\n");
  r.SetNote(QByteArray(3000, 'z'));  // no terminating zero, never past the record
  EXPECT_EQ(r.Note(), QByteArray(kNoteCapacity, 'z'));
  r.SetNote("x");
  EXPECT_EQ(r.Note(), "x");
  EXPECT_EQ(r.bytes()[ro::kNote + 1], 0);
}

TEST(ScaleRecordTest, KeyAddressesAndNames) {
  EXPECT_EQ(*ScaleAddress(0), 0x1C500u);
  EXPECT_EQ(*ScaleAddress(7), 0x1CC00u);
  EXPECT_EQ(*ScaleAddress(8), 0x1DA00u);
  EXPECT_EQ(*ScaleAddress(9), 0x1DB00u);
  EXPECT_FALSE(ScaleAddress(10));
  EXPECT_EQ(KeyList().size(), 10);
  EXPECT_EQ(StyleList().size(), kStyleCount);
  EXPECT_EQ(DynamicsList()[9].code_word, 0xA09);
  EXPECT_EQ(DynamicsList()[13].code_word, 0x60D);
  EXPECT_EQ(ScaleFileNameForSave("a"), "a.dat");
  EXPECT_EQ(ScaleFileNameForSave("a.DAT"), "a.DAT");
  EXPECT_EQ(ScaleFileNameForSave("/x/a.txt"), "/x/a.dat");
}

}  // namespace
}  // namespace zizara::core::scale

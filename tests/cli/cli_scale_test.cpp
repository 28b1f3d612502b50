#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "core/scale/scale_image.h"
#include "core/scale/scale_library.h"
#include "sim/in_memory_transport.h"
#include "sim/qlx_instrument.h"
#include "support/cli_runner.h"

namespace zizara::cli {
namespace {

namespace scale = core::scale;
namespace ro = scale::record_offsets;

class CliScaleTest : public ::testing::Test {
 protected:
  QString Save(const scale::ScaleLibrary& library, const QString& name = "lib.dat") {
    const QString path = dir_.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(library.Serialize());
    return path;
  }
  testing::CliRun Run(const QStringList& args) {
    CliEnvironment env;
    env.make_transport = [this](const QString&) {
      return std::make_unique<sim::InMemoryTransport>(&instrument_);
    };
    return testing::RunCliCaptured(args, env);
  }
  static scale::ScaleLibrary Sample() {
    scale::ScaleLibrary library;
    scale::ScaleRecord& r = library.records[1];
    r.SetShortName("VU");
    r.SetKeyNumber(2);
    r.SetDescription("Broadcast VU");
    r.SetDynamicsPosition(3);
    r.SetDigital(false);
    r.SetReference(18.0);
    r.SetLineLevel(0, 0.0);
    r.SetLineStyle(0, 1);
    r.SetLineLabel(0, "0");
    r.SetLineLevel(1, -20.0);
    r.SetLineStyle(1, 8);
    r.SetNote("first\r\nsecond\r\n");
    return library;
  }

  QTemporaryDir dir_;
  sim::QlxInstrument instrument_;
};

TEST_F(CliScaleTest, InfoJsonHasEveryFieldAndNullsForPositionsOffTheLists) {
  scale::ScaleLibrary library = Sample();
  auto& b = library.records[2].bytes();
  b[ro::kKeyNumber] = 10;
  b[ro::kDynamics] = 14;
  b[ro::kLines + 11] = 9;
  b[ro::kShortName] = 200;  // length beyond the field: four characters are shown
  const testing::CliRun r = Run({"scale", "info", Save(library), "--json"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QJsonArray scales = QJsonDocument::fromJson(r.out.toUtf8()).array();
  ASSERT_EQ(scales.size(), 20);
  const QJsonObject s2 = scales[1].toObject();
  EXPECT_EQ(s2["number"].toInt(), 2);
  EXPECT_EQ(s2["short_name"].toString(), "VU");
  EXPECT_EQ(s2["key"].toString(), "Key 3");
  EXPECT_EQ(s2["description"].toString(), "Broadcast VU");
  EXPECT_FALSE(s2["digital"].toBool());
  EXPECT_EQ(s2["dynamics"].toString(), "IEC 268-17 VU");
  EXPECT_DOUBLE_EQ(s2["reference"].toDouble(), 18.0);
  const QJsonArray lines = s2["lines"].toArray();
  ASSERT_EQ(lines.size(), 28);
  EXPECT_EQ(lines[0].toObject()["label"].toString(), "0");
  EXPECT_EQ(lines[0].toObject()["style"].toString(), "Solid White");
  EXPECT_DOUBLE_EQ(lines[1].toObject()["level"].toDouble(), -20.0);
  EXPECT_EQ(lines[1].toObject()["style"].toString(), "Overload");
  EXPECT_EQ(lines[2].toObject()["style"].toString(), "None");
  EXPECT_EQ(s2["note"].toString(), "first\r\nsecond\r\n");
  EXPECT_TRUE(r.out.contains("first\\r\\nsecond\\r\\n"));
  // The global --json works as well.
  EXPECT_EQ(QJsonDocument::fromJson(Run({"--json", "scale", "info", Save(library)}).out.toUtf8())
                .array()
                .size(),
            20);
  const QJsonObject s1 = scales[0].toObject();
  EXPECT_TRUE(s1["digital"].toBool());
  EXPECT_EQ(s1["key"].toString(), "Key 1");
  const QJsonObject s3 = scales[2].toObject();
  EXPECT_TRUE(s3["key"].isNull());
  EXPECT_TRUE(s3["dynamics"].isNull());
  EXPECT_TRUE(s3["lines"].toArray()[0].toObject()["style"].isNull());
  EXPECT_EQ(s3["short_name"].toString(), QString(4, QChar(0)));
}

TEST_F(CliScaleTest, InfoTextEscapesControlCharacters) {
  scale::ScaleLibrary library = Sample();
  library.records[0].SetShortName("\x1b[2J");
  const testing::CliRun r = Run({"scale", "info", Save(library)});
  ASSERT_EQ(r.code, 0);
  EXPECT_TRUE(r.out.contains("Scale #1 - \\x1b[2J"));
  EXPECT_FALSE(r.out.contains(QChar(0x1b)));
  EXPECT_TRUE(r.out.contains("Scale #2 - VU"));
}

TEST_F(CliScaleTest, LibraryOfWrongSizeExitsOne) {
  const QString path = dir_.filePath("short.dat");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(49059, '\0'));
  f.close();
  for (const QStringList& args :
       {QStringList{"scale", "info", path}, QStringList{"scale", "image", path, "1"},
        QStringList{"scale", "download", path, "1"}}) {
    const testing::CliRun r = Run(args);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "The file " + path + " is NOT a valid Scale Library\n");
  }
}

TEST_F(CliScaleTest, ImageAsWordsAndAsBytes) {
  scale::ScaleLibrary library = Sample();
  const QString lib = Save(library);
  const scale::ScaleImage image = scale::BuildScaleImage(library.records[1]);
  const testing::CliRun r = Run({"scale", "image", lib, "2"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 16);
  EXPECT_EQ(lines[0], "5556 2020 0603 7FFF 02FF " +
                          QStringLiteral("%1").arg(image[5], 4, 16, QLatin1Char('0')).toUpper() +
                          " 7FFF 0000");
  EXPECT_TRUE(lines[1].startsWith("D2F2 0002 0001 0000 7FFF 0001 0007 "));
  const QString out = dir_.filePath("image.bin");
  ASSERT_EQ(Run({"scale", "image", lib, "2", "--out", out}).code, 0);
  QFile f(out);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  EXPECT_EQ(bytes, scale::ImageBytes(image));
  EXPECT_EQ(bytes.left(4), QByteArray("\x55\x56\x20\x20"));  // word 0: V + 256 × U
}

TEST_F(CliScaleTest, UsageErrors) {
  const QString lib = Save(Sample());
  EXPECT_EQ(Run({"scale", "image", lib, "21"}).code, 2);
  EXPECT_EQ(Run({"scale", "image", lib, "0"}).code, 2);
  EXPECT_EQ(Run({"scale", "image", lib}).code, 2);
  EXPECT_EQ(Run({"scale", "image", lib, "1", "--png", "x"}).code, 2);
  EXPECT_EQ(Run({"scale", "preview", lib, "1"}).code, 2);
  EXPECT_EQ(Run({"scale", "nothing"}).code, 2);
  EXPECT_EQ(Run({"scale"}).code, 2);
}

TEST_F(CliScaleTest, DownloadWritesTheImageAtTheKeyAddress) {
  scale::ScaleLibrary library = Sample();
  const QString lib = Save(library);
  const testing::CliRun r = Run({"--port", "sim", "scale", "download", lib, "2"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(instrument_.ReadMemory(0x1C700, 256),
            scale::ImageBytes(scale::BuildScaleImage(library.records[1])));
  EXPECT_TRUE(r.err.contains("Scale 2 written to Key 3 at 0x1C700."));
  library.records[1].SetKeyNumber(10);
  const testing::CliRun bad =
      Run({"--port", "sim", "scale", "download", Save(library, "b.dat"), "2"});
  EXPECT_EQ(bad.code, 1);
  EXPECT_TRUE(bad.err.contains("no valid key number")) << bad.err.toStdString();
}

TEST_F(CliScaleTest, PreviewPicture) {
  scale::ScaleLibrary library = Sample();
  library.records[1].SetLineStyle(2, 3);
  library.records[1].SetLineLevel(2, -40.0);
  library.records[0].SetLineStyle(5, 1);
  const QString lib = Save(library);
  const QString png = dir_.filePath("p.png");
  const testing::CliRun r = Run({"scale", "preview", lib, "2", "--png", png});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QImage picture(png);
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size(), QSize(110, 460));
  EXPECT_EQ(picture.pixelColor(60, 30), QColor(Qt::white));  // the largest line
  EXPECT_EQ(picture.pixelColor(60, 430), QColor(Qt::red));   // the smallest
  EXPECT_EQ(picture.pixelColor(95, 200), QColor(Qt::red));   // the overload bar
  EXPECT_EQ(picture.pixelColor(60, 200), QColor(Qt::black));
  // One styled line: nothing is drawn.
  const testing::CliRun one = Run({"scale", "preview", lib, "1", "--png", png});
  ASSERT_EQ(one.code, 0);
  QImage empty(png);
  bool all_black = true;
  for (int y = 0; y < empty.height(); ++y)
    for (int x = 0; x < empty.width(); ++x)
      all_black = all_black && empty.pixel(x, y) == qRgb(0, 0, 0);
  EXPECT_TRUE(all_black);
}

}  // namespace
}  // namespace zizara::cli

#include "gui/common/jpeg_image.h"

#include <gtest/gtest.h>

#include <QFile>

#include "gui/common/icons.h"

namespace zizara::gui::common {
namespace {

QByteArray ReadResource(const QString& path) {
  InitResources();
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

TEST(DecodeJpegTest, CommittedSplashIsARoundedCardOnKeyGreen) {
  QString error;
  const QImage splash = LoadJpeg(":/pictures/splash.jpg", &error);
  ASSERT_FALSE(splash.isNull()) << error.toStdString();
  EXPECT_EQ(splash.size(), QSize(420, 280));
  EXPECT_EQ(splash.format(), QImage::Format_RGB888);
  for (QPoint corner : {QPoint(0, 0), QPoint(419, 0), QPoint(0, 279), QPoint(419, 279)}) {
    EXPECT_TRUE(IsKeyColour(splash.pixel(corner))) << corner.x() << "," << corner.y();
  }
  EXPECT_FALSE(IsKeyColour(splash.pixel(210, 140)));

  // The window takes this outline: one span per row, reaching every edge, rounded corners.
  const QRegion region = KeyColourRegion(splash);
  EXPECT_EQ(region.boundingRect(), QRect(0, 0, 420, 280));
  for (int y = 0; y < splash.height(); ++y) {
    const QRegion row = region.intersected(QRect(0, y, splash.width(), 1));
    ASSERT_EQ(row.rectCount(), 1) << "row " << y;
    const QRect span = row.boundingRect();
    EXPECT_EQ(span.left(), splash.width() - 1 - span.right()) << "row " << y;
  }
  EXPECT_GT(region.intersected(QRect(0, 0, 420, 1)).boundingRect().left(), 8);
  EXPECT_EQ(region.intersected(QRect(0, 140, 420, 1)).boundingRect().width(), 420);
}

TEST(DecodeJpegTest, AboutBannerHasNoKeyColour) {
  const QImage about = LoadJpeg(":/pictures/about.jpg");
  ASSERT_FALSE(about.isNull());
  EXPECT_EQ(about.size(), QSize(300, 120));
  EXPECT_EQ(KeyColourRegion(about), QRegion(about.rect()));
}

TEST(DecodeJpegTest, DamagedInputGivesNullImageAndReason) {
  const QByteArray good = ReadResource(":/pictures/splash.jpg");
  ASSERT_GT(good.size(), 1000);
  QByteArray not_jpeg = good;
  not_jpeg[0] = 'X';
  QByteArray zero_width = good;
  // Width field of the first frame header (FFC0/FFC2): marker, length(2), precision(1), h(2), w(2).
  qsizetype sof = good.indexOf(QByteArray("\xFF\xC0", 2));
  if (sof < 0) sof = good.indexOf(QByteArray("\xFF\xC2", 2));
  ASSERT_GE(sof, 0);
  zero_width[sof + 7] = 0;
  zero_width[sof + 8] = 0;

  const struct {
    const char* name;
    QByteArray data;
  } cases[] = {
      {"empty", {}},
      {"garbage", QByteArray(4096, '\x5a')},
      {"bad signature", not_jpeg},
      {"header only", good.left(300)},
      {"cut in half", good.left(good.size() / 2)},
      {"last bytes missing", good.left(good.size() - 2)},
      {"zero width", zero_width},
  };
  for (const auto& c : cases) {
    QString error;
    const QImage image = DecodeJpeg(c.data, &error);
    EXPECT_TRUE(image.isNull()) << c.name;
    EXPECT_FALSE(error.isEmpty()) << c.name;
  }
  // Decoding the intact file afterwards still works: no state is left behind.
  EXPECT_FALSE(DecodeJpeg(good).isNull());
}

TEST(DecodeJpegTest, MissingFileReportsWhy) {
  QString error;
  EXPECT_TRUE(LoadJpeg("/nonexistent/zizara.jpg", &error).isNull());
  EXPECT_FALSE(error.isEmpty());
}

TEST(KeyColourTest, ThresholdsAllowAnyRedAndSmallDrift) {
  EXPECT_TRUE(IsKeyColour(qRgb(0, 255, 0)));
  EXPECT_TRUE(IsKeyColour(qRgb(255, 254, 15)));
  EXPECT_FALSE(IsKeyColour(qRgb(0, 253, 0)));
  EXPECT_FALSE(IsKeyColour(qRgb(0, 255, 16)));
}

// Every pixel's membership and the total area must match a pixel-by-pixel count, in each
// input format the region builder reads (two directly, others by conversion).
TEST(KeyColourTest, RegionMatchesPixelsExactly) {
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(qRgb(0, 255, 0));
  for (int y = 4; y < 12; ++y) {
    for (int x = 5; x < 15; ++x) image.setPixel(x, y, qRgb(10, 20, 60));
  }
  // A second run on the same rows, so one band holds two rectangles.
  for (int y = 6; y < 20; ++y) {
    for (int x = 25; x < 31; ++x) image.setPixel(x, y, qRgb(200, 200, 200));
  }
  // A diagonal: every row differs from the last, so no bands merge.
  for (int i = 0; i < 30; ++i) image.setPixel(i, i, qRgb(0, 250, 0));
  image.setPixel(39, 29, qRgb(0, 255, 20));   // blue too high: not key
  image.setPixel(39, 0, qRgb(240, 254, 15));  // still key
  image.setPixel(0, 29, qRgb(0, 0, 0));

  int expected_area = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) expected_area += IsKeyColour(image.pixel(x, y)) ? 0 : 1;
  }
  for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB888, QImage::Format_ARGB32,
                                QImage::Format_ARGB32_Premultiplied, QImage::Format_RGBX8888}) {
    const QImage converted = image.convertToFormat(format);
    const QRegion region = KeyColourRegion(converted);
    int area = 0;
    for (const QRect& r : region) area += r.width() * r.height();
    EXPECT_EQ(area, expected_area) << "format " << format;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        ASSERT_EQ(region.contains(QPoint(x, y)), !IsKeyColour(image.pixel(x, y)))
            << "format " << format << " at " << x << "," << y;
      }
    }
  }
}

TEST(KeyColourTest, NothingToCutGivesEmptyRegion) {
  EXPECT_TRUE(KeyColourRegion(QImage()).isEmpty());
  QImage all_key(8, 8, QImage::Format_RGB888);
  all_key.fill(QColor(0, 255, 0));
  EXPECT_TRUE(KeyColourRegion(all_key).isEmpty());
  QImage none_key(8, 8, QImage::Format_RGB888);
  none_key.fill(Qt::white);
  EXPECT_EQ(KeyColourRegion(none_key), QRegion(0, 0, 8, 8));
}

}  // namespace
}  // namespace zizara::gui::common

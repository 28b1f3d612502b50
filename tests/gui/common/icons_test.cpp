#include "gui/common/icons.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <set>

namespace zizara::gui::common {
namespace {

// Compared premultiplied, as pixmaps hold them: a round trip would shift translucent pixels.
QImage Face(const QIcon& icon, QIcon::Mode mode) {
  return icon.pixmap(QSize(16, 16), mode)
      .toImage()
      .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage Resource(const QString& path) {
  return QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TEST(ToolIconTest, EveryNameHasOurPictureAndAGreyedTwin) {
  ASSERT_EQ(ToolIconNames().size(), 19);
  for (const QString& name : ToolIconNames()) {
    for (IconSource source : {IconSource::kOwnOnly, IconSource::kThemeFirst}) {
      const QIcon icon = ToolIcon(name, source);
      ASSERT_FALSE(icon.isNull()) << name.toStdString();
      const QImage normal = Face(icon, QIcon::Normal);
      const QImage disabled = Face(icon, QIcon::Disabled);
      ASSERT_FALSE(normal.isNull()) << name.toStdString();
      EXPECT_NE(normal, disabled) << name.toStdString();
      EXPECT_EQ(disabled, Resource(":/icons/" + name + "_disabled.png")) << name.toStdString();
    }
    const QImage own = Face(ToolIcon(name, IconSource::kOwnOnly), QIcon::Normal);
    EXPECT_EQ(own, Resource(":/icons/" + name + ".png")) << name.toStdString();
  }
  EXPECT_TRUE(ToolIcon("no_such_icon").isNull());
  EXPECT_FALSE(AppIcon().isNull());
}

TEST(ToolIconTest, OwnPicturesAreAllDifferent) {
  std::set<QByteArray> seen;
  for (const QString& name : ToolIconNames()) {
    const QImage image = Resource(":/icons/" + name + ".png");
    EXPECT_EQ(image.size(), QSize(16, 16)) << name.toStdString();
    const QByteArray bytes(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    EXPECT_TRUE(seen.insert(bytes).second) << name.toStdString();
  }
}

// A tiny theme with one icon in it: the mapped name takes the theme's picture, the disabled
// state stays ours, and names without a mapping, or with kOwnOnly, ignore the theme.
TEST(ToolIconTest, ThemeIconWinsWhereTheThemeHasOne) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString theme_dir = dir.path() + "/zizara-test";
  ASSERT_TRUE(QDir().mkpath(theme_dir + "/16x16/actions"));
  QFile index(theme_dir + "/index.theme");
  ASSERT_TRUE(index.open(QIODevice::WriteOnly));
  index.write(
      "[Icon Theme]\nName=zizara-test\nDirectories=16x16/actions\n\n"
      "[16x16/actions]\nSize=16\nType=Fixed\n");
  index.close();
  QImage magenta(16, 16, QImage::Format_ARGB32_Premultiplied);
  magenta.fill(qRgb(255, 0, 255));
  ASSERT_TRUE(magenta.save(theme_dir + "/16x16/actions/document-open.png"));

  const QStringList old_paths = QIcon::themeSearchPaths();
  const QString old_theme = QIcon::themeName();
  QIcon::setThemeSearchPaths({dir.path()});
  QIcon::setThemeName("zizara-test");

  ASSERT_TRUE(QIcon::hasThemeIcon("document-open")) << QIcon::themeName().toStdString();
  const QIcon themed = ToolIcon("open");
  EXPECT_EQ(Face(themed, QIcon::Normal), magenta);
  EXPECT_EQ(Face(themed, QIcon::Disabled), Resource(":/icons/open_disabled.png"));
  EXPECT_EQ(Face(ToolIcon("open", IconSource::kOwnOnly), QIcon::Normal),
            Resource(":/icons/open.png"));
  EXPECT_EQ(Face(ToolIcon("save"), QIcon::Normal), Resource(":/icons/save.png"));
  EXPECT_TRUE(ThemeIconName("remote").isEmpty());

  QIcon::setThemeSearchPaths(old_paths);
  QIcon::setThemeName(old_theme);
}

TEST(CellImageTest, TwentySixDistinctCellsClampedAtTheEnds) {
  std::set<QByteArray> seen;
  for (int i = 0; i < kCellImageCount; ++i) {
    const QImage image = CellImage(i).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(16, 16)) << i;
    const QByteArray bytes(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    EXPECT_TRUE(seen.insert(bytes).second) << "cell " << i << " repeats another";
  }
  EXPECT_EQ(CellImage(-3).toImage(), CellImage(0).toImage());
  EXPECT_EQ(CellImage(kCellImageCount).toImage(), CellImage(kCellImageCount - 1).toImage());
}

TEST(PanCursorTest, FiveDistinctCursorsCentredOnTheirHotSpot) {
  std::set<QByteArray> seen;
  for (PanDirection d : {PanDirection::kNone, PanDirection::kLeft, PanDirection::kUp,
                         PanDirection::kRight, PanDirection::kDown}) {
    const QCursor cursor = PanCursor(d);
    const QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(32, 32));
    EXPECT_EQ(cursor.hotSpot(), QPoint(16, 16));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);  // transparent around the shape
    const QByteArray bytes(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    EXPECT_TRUE(seen.insert(bytes).second);
  }
  const QImage marker = PanOriginMarker().toImage();
  EXPECT_EQ(marker.size(), QSize(46, 46));
  EXPECT_EQ(qAlpha(marker.pixel(0, 0)), 0);
}

}  // namespace
}  // namespace zizara::gui::common

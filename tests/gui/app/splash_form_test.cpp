#include "gui/app/splash_form.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "gui/app/web_address.h"

namespace zizara::gui::app {
namespace {

// Takes the addresses the program asks the desktop to open.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> opened;

 public slots:
  void Open(const QUrl& url) { opened << url; }
};

TEST(SplashFormTest, TheCornerPictureOpensTheMakersAddress) {
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "Open");
  TSplashForm splash;
  splash.show();
  QSignalSpy clicked(&splash, &TSplashForm::LinkClicked);
  ASSERT_NE(splash.Image1(), nullptr);
  EXPECT_FALSE(splash.Image1()->pixmap().isNull());
  EXPECT_EQ(splash.Image1()->cursor().shape(), Qt::PointingHandCursor);

  QTest::mouseClick(splash.Image1(), Qt::LeftButton, {}, splash.Image1()->rect().center());
  EXPECT_EQ(clicked.count(), 1);
  EXPECT_EQ(catcher.opened, QList<QUrl>{MakerWebAddress()});

  QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(10, 10));  // elsewhere: nothing
  EXPECT_EQ(catcher.opened.size(), 1);
  QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

}  // namespace
}  // namespace zizara::gui::app

#include "splash_form_test.moc"

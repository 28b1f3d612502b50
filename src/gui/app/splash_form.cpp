#include "gui/app/splash_form.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "core/i18n/tr.h"
#include "gui/app/web_address.h"
#include "gui/common/icons.h"
#include "gui/common/jpeg_image.h"

namespace zizara::gui::app {

using core::i18n::Tr;

namespace {
constexpr int kTickMs = 50;
constexpr int kQuietTicks = 50;
constexpr int kProgressMax = 2047;
constexpr int kStep = 128;

QImage FallbackPicture() {
  QImage img(420, 280, QImage::Format_RGB32);
  img.fill(QColor(0, 255, 0));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(20, 40, 70));
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(img.rect().adjusted(2, 2, -2, -2), 18, 18);
  return img;
}
}  // namespace

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(new QLabel(this)),
      title_label_(new QLabel(this)),
      build_label_(new QLabel(this)),
      progress_(new QProgressBar(this)),
      image1_(new QLabel(this)) {
  setObjectName(QStringLiteral("TSplashForm"));
  QString error;
  QImage image = common::LoadJpeg(QStringLiteral(":/pictures/splash.jpg"), &error);
  if (image.isNull()) {
    image = FallbackPicture();
  }
  picture_->setPixmap(QPixmap::fromImage(image));
  picture_->setGeometry(0, 0, image.width(), image.height());
  setFixedSize(image.size());
  const QRegion region = common::KeyColourRegion(image);
  if (!region.isEmpty()) {
    setMask(region);
  }

  title_label_->setObjectName(QStringLiteral("TitleLabel"));
  title_label_->setText(Tr("VT-Zizara v. 1.2"));
  title_label_->setStyleSheet(
      QStringLiteral("color: white; font-size: 20px; font-weight: bold; background: transparent"));
  title_label_->setGeometry(24, height() - 86, width() - 48, 28);
  build_label_->setObjectName(QStringLiteral("BuildLabel"));
  build_label_->setStyleSheet(QStringLiteral("color: #c8d8e8; background: transparent"));
  build_label_->setGeometry(24, height() - 58, width() - 48, 18);
  progress_->setObjectName(QStringLiteral("SplashProgress"));
  progress_->setRange(0, kProgressMax);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setGeometry(24, height() - 34, width() - 120, 10);
  image1_->setObjectName(QStringLiteral("Image1"));
  image1_->setPixmap(common::AppIcon().pixmap(32, 32));
  image1_->setGeometry(width() - 60, height() - 52, 32, 32);
  image1_->setCursor(Qt::PointingHandCursor);
  image1_->setToolTip(MakerWebText());

  timer1_.setInterval(kTickMs);
  connect(&timer1_, &QTimer::timeout, this, &TSplashForm::OnTick);
  timer1_.start();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().center() - rect().center());
  }
}

void TSplashForm::SetBuildText(const QString& text) { build_label_->setText(text); }

void TSplashForm::Advance(int amount) {
  progress_->setValue(std::min(kProgressMax, progress_->value() + amount));
}

void TSplashForm::OnTick() {
  ++ticks_;
  if (ticks_ <= kQuietTicks) {
    return;
  }
  Advance(kStep);
  if (progress_->value() >= kProgressMax) {
    timer1_.stop();
    hide();
    emit Finished();
    deleteLater();
  }
}

void TSplashForm::mousePressEvent(QMouseEvent* event) {
  // The picture takes no clicks itself; they arrive here in this window's coordinates.
  if (image1_->geometry().contains(event->position().toPoint())) {
    emit LinkClicked();
    QDesktopServices::openUrl(MakerWebAddress());
  }
}

}  // namespace zizara::gui::app

#include "gui/live/keyboard_form.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "core/i18n/tr.h"
#include "core/live/keypad.h"

namespace zizara::gui::live {

using core::i18n::Tr;

namespace {

constexpr int kKeyWidth = 38;
constexpr int kKeyHeight = 30;
constexpr int kKeyGap = 8;
constexpr int kGroupGap = 22;  // keys 1-4 and 5-8 sit apart, as on the panel
constexpr int kMargin = 16;
constexpr int kTop = 34;

QPoint KeyOrigin(int key) {
  const int i = key - 1;
  return {kMargin + i * (kKeyWidth + kKeyGap) + (i >= 4 ? kGroupGap : 0), kTop};
}

QSize PanelSize() {
  const QPoint last = KeyOrigin(8);
  return {last.x() + kKeyWidth + kMargin, kTop + kKeyHeight + 26};
}

}  // namespace

TKeyImage::TKeyImage(int key, QWidget* parent) : QWidget(parent), key_(key) {
  setObjectName(QStringLiteral("ImageKey%1").arg(key));
  setFixedSize(kKeyWidth, kKeyHeight);
  setCursor(Qt::PointingHandCursor);
  setToolTip(Tr("Key %1 (F%1)").arg(key));
}

void TKeyImage::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
  // A soft rubber key: light on top, darker towards the bottom, sunk while held.
  QLinearGradient face(r.topLeft(), r.bottomLeft());
  face.setColorAt(0, pressed_ ? QColor(150, 154, 160) : QColor(222, 225, 230));
  face.setColorAt(1, pressed_ ? QColor(190, 193, 198) : QColor(160, 164, 170));
  p.setPen(QPen(QColor(40, 42, 46), 1.2));
  p.setBrush(face);
  p.drawRoundedRect(r, 6, 6);
  p.setPen(QColor(35, 38, 44));
  QFont f = font();
  f.setBold(true);
  f.setPixelSize(13);
  p.setFont(f);
  p.drawText(r.translated(0, pressed_ ? 1 : 0), Qt::AlignCenter, QString::number(key_));
}

void TKeyImage::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    pressed_ = true;
    update();
  }
}

void TKeyImage::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) {
    return;
  }
  pressed_ = false;
  update();
  if (rect().contains(event->position().toPoint())) {
    emit Clicked(key_);
  }
}

TKeyboardForm::TKeyboardForm(PressKey press, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), press_(std::move(press)) {
  setObjectName(QStringLiteral("TKeyboardForm"));
  setWindowTitle(Tr("QLX Keys."));
  setFixedSize(PanelSize());
  setFocusPolicy(Qt::StrongFocus);
  for (int k = 1; k <= core::live::kKeyCount; ++k) {
    auto* key = new TKeyImage(k, this);
    key->move(KeyOrigin(k));
    connect(key, &TKeyImage::Clicked, this, &TKeyboardForm::KeyClicked);
    keys_[static_cast<std::size_t>(k - 1)] = key;
  }
  pause_.setSingleShot(true);
  pause_.setObjectName(QStringLiteral("KeyPause"));
}

void TKeyboardForm::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  // The instrument's dark front plate with a lighter bevel and the key groups framed.
  QLinearGradient plate(0, 0, 0, height());
  plate.setColorAt(0, QColor(58, 62, 70));
  plate.setColorAt(1, QColor(30, 32, 37));
  p.fillRect(rect(), plate);
  p.setPen(QPen(QColor(95, 100, 110), 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
  QFont f = font();
  f.setBold(true);
  f.setPixelSize(13);
  p.setFont(f);
  p.setPen(QColor(215, 218, 224));
  p.drawText(QRect(kMargin, 8, 60, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("QLX"));
  f.setBold(false);
  f.setPixelSize(9);
  p.setFont(f);
  p.setPen(QColor(150, 155, 165));
  for (int group = 0; group < 2; ++group) {
    const QPoint first = KeyOrigin(group * 4 + 1);
    const QPoint last = KeyOrigin(group * 4 + 4);
    const QRectF frame(first.x() - 5, kTop - 5, last.x() + kKeyWidth - first.x() + 10,
                       kKeyHeight + 10);
    p.setPen(QPen(QColor(85, 90, 100), 1));
    p.drawRoundedRect(frame, 5, 5);
  }
  // A power lamp in the corner.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(60, 200, 90));
  p.drawEllipse(QPointF(width() - kMargin - 4, 17), 4, 4);
}

void TKeyboardForm::Press(int key) {
  if (press_) {
    press_(key);
  }
}

void TKeyboardForm::KeyClicked(int key) {
  if (Pausing()) {
    return;  // the instrument is still busy with the last key
  }
  Press(key);
  pause_.start(core::live::KeyPauseMs(key));
}

void TKeyboardForm::FunctionKey(int key) {
  if (!Pausing()) {
    Press(key);
  }
}

void TKeyboardForm::keyPressEvent(QKeyEvent* event) {
  const int k = event->key();
  if (k >= Qt::Key_F1 && k <= Qt::Key_F8) {
    FunctionKey(k - Qt::Key_F1 + 1);
  } else if (k == Qt::Key_Escape) {
    hide();
  } else {
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
}

void TKeyboardForm::ApplySettings(const core::settings::KeyboardWindowSettings& settings,
                                  const QRect& main_window) {
  move(main_window.topLeft());
  move(core::settings::KeyboardWindowPosition(settings, main_window, frameGeometry().size()));
  setVisible(settings.visible);
}

core::settings::KeyboardWindowSettings TKeyboardForm::Settings() const {
  core::settings::KeyboardWindowSettings s;
  s.visible = isVisible();
  s.left = x();
  s.top = y();
  return s;
}

}  // namespace zizara::gui::live

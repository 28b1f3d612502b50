#include "gui/matrix/channel_label.h"

#include <QMouseEvent>
#include <QPainter>

#include "gui/common/plain_text.h"

namespace zizara::gui::matrix {

TChannelLabel::TChannelLabel(int angle, Qt::Alignment alignment, QWidget* parent)
    : QWidget(parent), angle_(angle), alignment_(alignment) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  background_ = palette().color(QPalette::Button);
  font_ = font();
}

void TChannelLabel::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

void TChannelLabel::SetHint(const QString& hint) {
  // Channel names come from files and the instrument: shown as written, never as markup.
  const QString tip = common::PlainToolTip(hint);
  if (toolTip() != tip) setToolTip(tip);
}

void TChannelLabel::SetLook(const QFont& font, const QColor& text_color, const QColor& background) {
  if (font == font_ && text_color == text_color_ && background == background_) return;
  font_ = font;
  text_color_ = text_color;
  background_ = background;
  update();
}

void TChannelLabel::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  p.fillRect(rect(), background_);
  p.setFont(font_);
  p.setPen(text_color_);
  if (angle_ == 0) {
    p.drawText(rect(), static_cast<int>(alignment_), text_);
    return;
  }
  // Turned counter-clockwise: the text's left edge lies along the label's bottom edge.
  const QRectF turned = QTransform().rotate(-angle_).mapRect(QRectF(rect()));
  p.translate(0, height());
  p.rotate(-angle_);
  p.drawText(QRectF(0, 0, turned.width(), turned.height()), static_cast<int>(alignment_), text_);
}

void TChannelLabel::mouseMoveEvent(QMouseEvent* event) {
  emit MouseMoved();
  QWidget::mouseMoveEvent(event);
}

void TChannelLabel::mousePressEvent(QMouseEvent* event) {
  emit MousePressed(event->button(), event->modifiers());
  event->accept();
}

}  // namespace zizara::gui::matrix

#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

namespace zizara::gui::matrix {

// A label that draws its text straight or turned by 90 degrees (reading upwards), on its own
// background, and reports mouse moves and presses. The matrix creates all of them once and
// only changes their texts and looks.
class TChannelLabel : public QWidget {
  Q_OBJECT

 public:
  // `angle` in degrees, a multiple of 45; the labels use 0 and 90.
  TChannelLabel(int angle, Qt::Alignment alignment, QWidget* parent);

  void SetText(const QString& text);
  const QString& text() const { return text_; }
  void SetHint(const QString& hint);
  // One call per look change, so a highlight costs one repaint.
  void SetLook(const QFont& font, const QColor& text_color, const QColor& background);
  const QFont& LabelFont() const { return font_; }
  const QColor& TextColor() const { return text_color_; }
  const QColor& Background() const { return background_; }
  int angle() const { return angle_; }

 signals:
  void MouseMoved();
  void MousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  int angle_;
  Qt::Alignment alignment_;
  QString text_;
  QFont font_;
  QColor text_color_ = Qt::black;
  QColor background_;
};

}  // namespace zizara::gui::matrix

#include "gui/common/scale_preview_painter.h"

#include <QFont>
#include <QPen>

namespace zizara::gui::common {

namespace scale = core::scale;
namespace pv = core::scale::preview;

namespace {

QColor ColorOf(scale::PenColor c) {
  switch (c) {
    case scale::PenColor::kWhite:
      return Qt::white;
    case scale::PenColor::kRed:
      return Qt::red;
    case scale::PenColor::kYellow:
      return Qt::yellow;
    case scale::PenColor::kGreen:
      return Qt::green;
  }
  return Qt::white;
}

// Text placed by its top left corner, as the instrument's scale texts are positioned.
void TextAt(QPainter& painter, int x, int y, const QString& text) {
  painter.drawText(QRect(x, y, 200, 4 * pv::kFontPixels), Qt::AlignLeft | Qt::AlignTop, text);
}

}  // namespace

bool PaintScalePreview(QPainter& painter, const scale::PreviewDrawing& drawing,
                       const QSize& panel) {
  if (!drawing.redraw) {
    return false;
  }
  painter.save();
  painter.fillRect(QRect(QPoint(0, 0), panel), Qt::black);
  QFont font = painter.font();
  font.setPixelSize(pv::kFontPixels);
  painter.setFont(font);
  painter.setPen(Qt::yellow);
  TextAt(painter, 43, 4, QStringLiteral("L"));
  TextAt(painter, 67, 16, QStringLiteral("R"));
  for (const scale::PreviewLine& line : drawing.lines) {
    QPen pen(ColorOf(line.color));
    pen.setWidth(line.width);
    pen.setStyle(line.dotted ? Qt::DotLine : Qt::SolidLine);
    painter.setPen(pen);
    painter.drawLine(line.x1, line.y1, line.x2, line.y2);
  }
  painter.setPen(Qt::yellow);
  for (const scale::PreviewLabel& label : drawing.labels) {
    painter.drawText(QRect(0, label.top, label.right, 4 * pv::kFontPixels),
                     Qt::AlignRight | Qt::AlignTop, QString::fromLatin1(label.text));
  }
  painter.restore();  // back to a solid pen
  return true;
}

QImage RenderScalePreview(const scale::ScaleImage& image) {
  QImage picture(pv::kPanelWidth, pv::kPanelHeight, QImage::Format_RGB32);
  picture.fill(Qt::black);
  QPainter painter(&picture);
  PaintScalePreview(painter, scale::LayOutPreview(image), picture.size());
  painter.end();
  return picture;
}

}  // namespace zizara::gui::common

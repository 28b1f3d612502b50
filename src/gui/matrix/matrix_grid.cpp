#include "gui/matrix/matrix_grid.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "gui/common/icons.h"

namespace zizara::gui::matrix {

namespace mx = core::matrix;

TMatrixGrid::TMatrixGrid(const mx::XPointCells& cells, QWidget* parent)
    : QWidget(parent), cells_(cells) {
  setObjectName(QStringLiteral("MatrixGrid"));
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  for (int i = 0; i < static_cast<int>(images_.size()); ++i) {
    images_[i] = common::CellImage(i);
  }
  line_color_ = palette().color(QPalette::Button).darker(112);
  trace_color_ = palette().color(QPalette::Button);
  pan_marker_ = new QLabel(this);
  pan_marker_->setObjectName(QStringLiteral("PanArrow"));
  pan_marker_->setPixmap(common::PanOriginMarker());
  pan_marker_->setFixedSize(mx::kPanMarkerSize, mx::kPanMarkerSize);
  pan_marker_->setAttribute(Qt::WA_TransparentForMouseEvents);
  pan_marker_->setAttribute(Qt::WA_TranslucentBackground);
  pan_marker_->hide();
}

void TMatrixGrid::SetOrigin(int input, int output) {
  if (input == first_input_ && output == first_output_) return;
  first_input_ = input;
  first_output_ = output;
  update();
}

void TMatrixGrid::SetDimensions(int columns, int rows) {
  columns_ = columns;
  rows_ = rows;
  setFixedSize(columns * mx::kCellPitch, rows * mx::kCellPitch + 1);
  update();
}

void TMatrixGrid::SetTraceColor(const QColor& color) {
  if (color == trace_color_) return;
  trace_color_ = color;
  for (const mx::GridCell& cell : mx::TraceCells(trace_)) UpdateCell(cell);
}

void TMatrixGrid::SetTrace(mx::GridCell cell) {
  if (cell == trace_) return;
  for (const mx::GridCell& c : mx::TraceRepaintCells(trace_, cell)) UpdateCell(c);
  trace_ = cell;
}

void TMatrixGrid::BeginFlash(int input, int output, int image) {
  flashes_.insert(FlashKey(input, output), std::clamp(image, 0, common::kCellImageCount - 1));
  RepaintXPoint(input, output);
}

void TMatrixGrid::EndFlash(int input, int output) {
  if (flashes_.remove(FlashKey(input, output)) > 0) RepaintXPoint(input, output);
}

bool TMatrixGrid::Flashing(int input, int output) const {
  return flashes_.contains(FlashKey(input, output));
}

mx::GridCell TMatrixGrid::VisibleCell(int input, int output) const {
  const int c = input - first_input_;
  const int r = output - first_output_;
  if (c < 0 || c >= columns_ || r < 0 || r >= rows_) return {};
  return {c, r};
}

void TMatrixGrid::RepaintXPoint(int input, int output) { UpdateCell(VisibleCell(input, output)); }

void TMatrixGrid::RepaintRow(int output) {
  const int r = output - first_output_;
  if (r < 0 || r >= rows_) return;
  update(QRect(0, r * mx::kCellPitch, width(), mx::kCellPitch));
}

void TMatrixGrid::UpdateCell(mx::GridCell cell) {
  if (cell.valid()) update(mx::CellRect(cell));
}

void TMatrixGrid::PaintArea(QPainter& painter, const QRect& area) const {
  painter.fillRect(area, line_color_);
  const int first_c = std::max(0, area.left() / mx::kCellPitch);
  const int last_c = std::min(columns_ - 1, area.right() / mx::kCellPitch);
  const int first_r = std::max(0, area.top() / mx::kCellPitch);
  const int last_r = std::min(rows_ - 1, area.bottom() / mx::kCellPitch);
  for (int r = first_r; r <= last_r; ++r) {
    for (int c = first_c; c <= last_c; ++c) {
      const mx::GridCell cell{c, r};
      const QRect rect = mx::CellRect(cell);
      painter.fillRect(rect, mx::OnTrace(trace_, cell) ? trace_color_ : QColor(Qt::white));
      const int input = first_input_ + c;
      const int output = first_output_ + r;
      int image = cells_.At(input, output);
      if (!flashes_.isEmpty()) image = flashes_.value(FlashKey(input, output), image);
      // Empty cells keep their plain background.
      if (image != mx::kEmptyCell) {
        painter.drawPixmap(rect.topLeft(),
                           images_[std::clamp(image, 0, common::kCellImageCount - 1)]);
      }
    }
  }
}

void TMatrixGrid::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  for (const QRect& r : event->region()) PaintArea(painter, r);
}

void TMatrixGrid::mouseMoveEvent(QMouseEvent* event) {
  emit MouseMoved(event->position().toPoint());
}

void TMatrixGrid::mousePressEvent(QMouseEvent* event) {
  emit MousePressed(event->position().toPoint(), event->button());
}

void TMatrixGrid::mouseReleaseEvent(QMouseEvent* event) {
  emit MouseReleased(event->position().toPoint(), event->button());
}

void TMatrixGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  emit MouseDoubleClicked(event->position().toPoint(), event->button());
}

void TMatrixGrid::wheelEvent(QWheelEvent* event) {
  emit WheelTurned(event->angleDelta(), event->modifiers());
  event->accept();
}

void TMatrixGrid::leaveEvent(QEvent* event) {
  emit MouseLeft();
  QWidget::leaveEvent(event);
}

}  // namespace zizara::gui::matrix

#pragma once

#include <QColor>
#include <QHash>
#include <QLabel>
#include <QPixmap>
#include <QWidget>
#include <array>

#include "core/matrix/grid_geometry.h"
#include "core/matrix/xpoint_cells.h"

namespace zizara::gui::matrix {

// `MatrixGrid`: paints the visible part of `XPointCells` on a 17-pixel pitch, the mouse trace
// and refusal flashes, and passes its mouse events on. It owns no matrix state.
class TMatrixGrid : public QWidget {
  Q_OBJECT

 public:
  TMatrixGrid(const core::matrix::XPointCells& cells, QWidget* parent);

  // First visible input and output.
  void SetOrigin(int input, int output);
  int FirstInput() const { return first_input_; }
  int FirstOutput() const { return first_output_; }
  void SetDimensions(int columns, int rows);
  int columns() const { return columns_; }
  int rows() const { return rows_; }

  void SetTraceColor(const QColor& color);
  const QColor& TraceColor() const { return trace_color_; }
  // Repaints only the cells whose background changes; an invalid cell removes the trace.
  void SetTrace(core::matrix::GridCell cell);
  core::matrix::GridCell Trace() const { return trace_; }

  // A refusal shows `image` on the cell until EndFlash; the cell store is left alone.
  void BeginFlash(int input, int output, int image);
  void EndFlash(int input, int output);
  bool Flashing(int input, int output) const;

  // Repaints one cell of the store, if it is visible.
  void RepaintXPoint(int input, int output);
  void RepaintRow(int output);
  // The visible cell of an absolute crosspoint, invalid when scrolled out of sight.
  core::matrix::GridCell VisibleCell(int input, int output) const;

  // The grid's picture of `area` (grid coordinates); also what paintEvent draws.
  void PaintArea(QPainter& painter, const QRect& area) const;

  QLabel* PanMarker() { return pan_marker_; }

 signals:
  void MouseMoved(QPoint position);
  void MousePressed(QPoint position, Qt::MouseButton button);
  void MouseReleased(QPoint position, Qt::MouseButton button);
  void MouseDoubleClicked(QPoint position, Qt::MouseButton button);
  void MouseLeft();
  void WheelTurned(QPoint angle_delta, Qt::KeyboardModifiers modifiers);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  static int FlashKey(int input, int output) { return input * 1000 + output; }
  void UpdateCell(core::matrix::GridCell cell);

  const core::matrix::XPointCells& cells_;
  std::array<QPixmap, 26> images_;
  QHash<int, int> flashes_;  // FlashKey -> image shown instead of the cell
  int first_input_ = 0;
  int first_output_ = 0;
  int columns_ = 1;
  int rows_ = 1;
  QColor trace_color_;
  QColor line_color_;
  core::matrix::GridCell trace_;
  QLabel* pan_marker_ = nullptr;
};

}  // namespace zizara::gui::matrix

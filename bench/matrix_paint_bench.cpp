// Times a full repaint of the largest grid (88 x 96 cells, every cell routed, illegal or empty,
// the trace on) rendered offscreen, and prints milliseconds per repaint against a 60 Hz frame.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <cstdio>

#include "core/matrix/xpoint_cells.h"
#include "gui/matrix/matrix_grid.h"

namespace mx = zizara::core::matrix;

namespace {

constexpr int kRepaints = 200;
constexpr double kFrameMs = 1000.0 / 60.0;

template <typename Paint>
double MsPerRepaint(Paint&& paint) {
  paint();  // warm the pixmap cache
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < kRepaints; ++i) paint();
  return static_cast<double>(timer.nsecsElapsed()) / 1e6 / kRepaints;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  const mx::CellImages images;
  mx::XPointCells cells;
  for (int o = 0; o < mx::kOutputs; ++o) {
    cells.Set((o * 7) % mx::kInputs, o, static_cast<std::uint8_t>(images.xpoint_from_file));
  }
  mx::MarkIllegalXPoints(cells, images);

  zizara::gui::matrix::TMatrixGrid grid(cells, nullptr);
  grid.SetDimensions(mx::kInputs, mx::kOutputs);
  grid.SetTraceColor(QColor(0xE0, 0xE8, 0xF0));
  grid.SetTrace({mx::kInputs / 2, mx::kOutputs / 2});

  QImage image(grid.size(), QImage::Format_ARGB32_Premultiplied);
  const double painter_ms = MsPerRepaint([&] {
    QPainter painter(&image);
    grid.PaintArea(painter, image.rect());
  });
  QPixmap pixmap(grid.size());
  const double widget_ms = MsPerRepaint([&] { grid.render(&pixmap); });

  std::printf("grid %d x %d cells, %d x %d px, %d repaints each\n", grid.columns(), grid.rows(),
              grid.width(), grid.height(), kRepaints);
  std::printf("paint into QImage:          %.3f ms per repaint\n", painter_ms);
  std::printf("widget render into QPixmap: %.3f ms per repaint\n", widget_ms);
  std::printf("frame budget at 60 Hz:      %.3f ms\n", kFrameMs);
  return painter_ms < kFrameMs && widget_ms < kFrameMs ? 0 : 1;
}

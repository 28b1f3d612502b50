#include "gui/matrix/matrix_picture.h"

#include <QPixmap>

#include "core/matrix/grid_geometry.h"
#include "core/settings/program_settings.h"
#include "core/ui_port/file_chooser.h"
#include "core/ui_port/prompts.h"
#include "gui/matrix/matrix_view.h"

namespace zizara::gui::matrix {

namespace mx = core::matrix;

namespace {

class NoFiles : public core::ui_port::FileChooser {
 public:
  QString OpenFileName(const QString&, const QString&) override { return {}; }
  QString SaveFileName(const QString&, const QString&, const QString&) override { return {}; }
};

}  // namespace

QImage RenderMatrixPicture(const core::config::Configuration& config, int preset,
                           const mx::CellImages& images) {
  core::config::Configuration copy;
  copy.image = config.image;
  copy.trailer = config.trailer;
  copy.SelectPreset(preset);
  core::ui_port::SilentPrompts prompts;
  NoFiles files;
  const bool connected = false;
  const bool macro_running = false;
  TMatrixView view(MatrixContext{copy, connected, macro_running, prompts, files});
  core::settings::ProgramSettings settings;
  settings.cell_images = images;
  settings.trace_mouse = false;
  view.ApplySettings(settings);
  // Room for every column and row: the layout never shows more than the matrix has.
  view.resize(mx::kPanelExtent + mx::kInputs * mx::kCellPitch + mx::kRightMargin + 64,
              mx::kPanelExtent + mx::kOutputs * mx::kCellPitch + mx::kBottomMargin + 64);
  view.FormCanResize();  // a hidden widget gets its resize event only when shown
  view.RebuildFromImage();
  const QRect grid = view.Geometry().grid;
  // Labels, captions and grid; the scroll bars (empty at this size) lie outside.
  return view.grab(QRect(0, 0, grid.right() + 1, grid.bottom() + 1)).toImage();
}

}  // namespace zizara::gui::matrix

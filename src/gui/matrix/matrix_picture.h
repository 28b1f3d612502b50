#pragma once

#include <QImage>

#include "core/config/configuration.h"
#include "core/matrix/xpoint_cells.h"

namespace zizara::gui::matrix {

// The whole grid of preset p (0..10) with its channel labels, at full size: the window's own
// matrix widgets laid out for all 88 inputs and 96 outputs and drawn off screen, so the
// picture is exactly what the window paints. Needs a QApplication; touches nothing of
// `config`.
QImage RenderMatrixPicture(const core::config::Configuration& config, int preset,
                           const core::matrix::CellImages& images);

}  // namespace zizara::gui::matrix

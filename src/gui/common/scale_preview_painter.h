#pragma once

#include <QImage>
#include <QPainter>

#include "core/scale/scale_preview.h"

namespace zizara::gui::common {

// Paints a laid-out preview in panel coordinates: clears the panel to black, writes "L" and
// "R", then the lines, markers and labels. Paints nothing and returns false when the drawing
// keeps the previous picture (largest value equals smallest).
bool PaintScalePreview(QPainter& painter, const core::scale::PreviewDrawing& drawing,
                       const QSize& panel);

// The panel as a picture, black where nothing was drawn; needs a QGuiApplication for fonts.
QImage RenderScalePreview(const core::scale::ScaleImage& image);

}  // namespace zizara::gui::common

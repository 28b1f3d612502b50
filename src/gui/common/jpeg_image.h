#pragma once

#include <QByteArray>
#include <QImage>
#include <QRegion>
#include <QString>

namespace zizara::gui::common {

// The splash window is cut to the pixels that are not this green. JPEG drifts by a level or
// two, so the test accepts green 254..255 with little blue, and any red.
inline bool IsKeyColour(QRgb pixel) { return qGreen(pixel) >= 254 && qBlue(pixel) <= 15; }

// Decodes a baseline or progressive JPEG into Format_RGB888. On any fault, including a
// truncated stream or a corrupt block, returns a null image and sets *error (when given).
QImage DecodeJpeg(const QByteArray& data, QString* error = nullptr);

// Reads a file or a resource (":/pictures/splash.jpg") and decodes it.
QImage LoadJpeg(const QString& path_or_resource, QString* error = nullptr);

// All pixels that are not key colour, as row bands. Empty for a null image or one that is
// all key, so a caller that masks only a non-empty region stays rectangular.
QRegion KeyColourRegion(const QImage& image);

}  // namespace zizara::gui::common

#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

#include "core/scale/scale_image.h"

namespace zizara::core::scale {

// Geometry of the preview panel, in panel pixels (x right, y down).
namespace preview {
inline constexpr int kTop = 30;
inline constexpr int kHeight = 400;  // the scale runs from row 30 to row 430
inline constexpr int kPanelWidth = 110;
inline constexpr int kPanelHeight = 460;
inline constexpr int kFontPixels = 7;
inline constexpr int kLineLeft = 35;
inline constexpr int kLineRight = 89;
inline constexpr int kMarkerX = 95;
inline constexpr int kLabelRight = 32;
inline constexpr int kLabelRaise = 6;
}  // namespace preview

enum class PenColor { kWhite, kRed, kYellow, kGreen };

struct PreviewLine {
  int x1, y1, x2, y2;
  PenColor color;
  bool dotted;
  int width;
};

struct PreviewLabel {
  QByteArray text;
  int right;  // the text ends here
  int top;
};

// What one drawing of the panel holds; empty with `redraw` false when the largest and the
// smallest line value are equal, and the previous drawing stays.
struct PreviewDrawing {
  bool redraw = false;
  std::vector<PreviewLine> lines;
  std::vector<PreviewLabel> labels;
  std::optional<int> overload_row;
  std::optional<int> underload_row;
};

// The meter law of the dynamics code word.
double LevelLaw(std::uint16_t code_word, std::uint16_t a, std::uint16_t b, double value);
// The panel row of a line value for the image's dynamics and value range.
int PreviewRow(const ScaleImage& image, double value);
// Reads groups and labels from the image, never past its 128 words.
PreviewDrawing LayOutPreview(const ScaleImage& image);

// The marker hints: "Overload" above the overload marker, "Underload" at or below the
// underload marker, inside the strip over the markers; empty elsewhere.
QString MarkerHint(int x, int y, std::optional<int> overload_row, std::optional<int> underload_row);

}  // namespace zizara::core::scale

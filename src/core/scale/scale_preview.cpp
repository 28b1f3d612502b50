#include "core/scale/scale_preview.h"

#include <QString>
#include <algorithm>
#include <cmath>

#include "core/i18n/tr.h"

namespace zizara::core::scale {

namespace {

constexpr double kFull = 32768.0;
namespace w = image_words;

bool IsLogLaw(std::uint16_t d) { return d == 0x604 || d == 0x605 || d == 0x608; }

// Rows far outside the panel are kept finite and inside int.
int ToRow(double row) {
  if (!std::isfinite(row)) {
    return 0;
  }
  return static_cast<int>(std::lround(std::clamp(row, -1.0e6, 1.0e6)));
}

// A zero span contributes nothing instead of dividing by zero.
double Scaled(double numerator, double span) { return span == 0.0 ? 0.0 : numerator / span; }

}  // namespace

double LevelLaw(std::uint16_t d, std::uint16_t a, std::uint16_t b, double v) {
  if (d == 0x603) {
    return v;
  }
  if (IsLogLaw(d)) {
    // The logarithm has no value at 0; such a line sits where the smallest value 1 would.
    return std::round(kFull * std::log10(std::max(v, 1.0) / kFull));
  }
  if (v == 0.0) {
    return 0.0;
  }
  return std::round(kFull * (std::log10((v + b) / kFull) + (v / kFull) * (a / kFull)));
}

int PreviewRow(const ScaleImage& image, double v) {
  const std::uint16_t d = image[w::kCodeWord];
  const auto law = [&](double x) {
    return LevelLaw(d, image[w::kConstantA], image[w::kConstantB], x);
  };
  const double lmax = law(image[w::kLargest]);
  const double lmin = law(image[w::kSmallest]);
  const double lv = law(v);
  if (d == 0x604 || d == 0x608 || d == 0x605) {
    const double upper = d == 0x605 ? 29203 : 10362;
    const double lower = d == 0x605 ? 23197 : 1036;
    double row = 0;
    if (v > upper) {
      row = 30 + Scaled((lmax - lv) * 133, lmax - law(upper));
    } else if (v > lower) {
      row = 30 + 67 + Scaled((lmax - lv) * 133, law(upper) - law(lower));
    } else {
      row = 30 + 133 + Scaled((lmax - lv) * 133, law(lower) - lmin);
    }
    return ToRow(row);
  }
  if (lmax == lmin) {
    return 0;
  }
  return ToRow(preview::kTop + (lmax - lv) * preview::kHeight / (lmax - lmin));
}

PreviewDrawing LayOutPreview(const ScaleImage& image) {
  PreviewDrawing drawing;
  if (image[w::kLargest] == image[w::kSmallest]) {
    return drawing;
  }
  drawing.redraw = true;
  const double smallest = image[w::kSmallest];
  const double largest = image[w::kLargest];
  int next = w::kFirstGroup;
  const auto take = [&](std::uint16_t* word) {
    if (next >= kImageWords) {
      return false;
    }
    *word = image[static_cast<std::size_t>(next++)];
    return true;
  };
  std::vector<int> line_rows;
  const int groups = image[w::kGroupCount];
  for (int g = 0; g < groups; ++g) {
    std::uint16_t count = 0;
    std::uint16_t code = 0;
    if (!take(&count) || !take(&code)) {
      break;
    }
    for (int i = 0; i < count; ++i) {
      std::uint16_t value = 0;
      if (!take(&value)) {
        break;
      }
      const int row = PreviewRow(image, value);
      line_rows.push_back(row);
      switch (code) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4:
        case 5: {
          static constexpr PenColor kColors[] = {PenColor::kWhite, PenColor::kRed,
                                                 PenColor::kYellow};
          drawing.lines.push_back({preview::kLineLeft, row, preview::kLineRight, row,
                                   kColors[code / 2], code % 2 == 1, 1});
          break;
        }
        case 6:
          drawing.lines.push_back({preview::kMarkerX, row, preview::kMarkerX,
                                   PreviewRow(image, smallest + 1), PenColor::kGreen, false, 2});
          drawing.underload_row = row;
          break;
        case 7:
          drawing.lines.push_back({preview::kMarkerX, PreviewRow(image, largest - 1),
                                   preview::kMarkerX, row, PenColor::kRed, false, 2});
          drawing.overload_row = row;
          break;
        default:
          break;  // no pen for this code: nothing is drawn
      }
    }
  }
  std::uint16_t label_count = 0;
  if (!take(&label_count)) {
    return drawing;
  }
  for (int i = 0; i < label_count; ++i) {
    std::uint16_t length = 0;
    if (!take(&length)) {
      break;
    }
    QByteArray text;
    std::uint16_t first = 0;
    std::uint16_t second = 0;
    bool complete = true;
    switch (length) {
      case 1:
        complete = take(&first);
        text.append(static_cast<char>(first & 0xFF));
        break;
      case 2:
        complete = take(&first);
        text.append(static_cast<char>(first & 0xFF)).append(static_cast<char>(first >> 8));
        break;
      case 3:
        complete = take(&first) && take(&second);
        text.append(static_cast<char>(first & 0xFF))
            .append(static_cast<char>(second & 0xFF))
            .append(static_cast<char>(second >> 8));
        break;
      case 4:
        complete = take(&first) && take(&second);
        text.append(static_cast<char>(first & 0xFF))
            .append(static_cast<char>(first >> 8))
            .append(static_cast<char>(second & 0xFF))
            .append(static_cast<char>(second >> 8));
        break;
      default:
        break;  // an entry without characters
    }
    if (!complete) {
      break;
    }
    if (i < static_cast<int>(line_rows.size())) {
      drawing.labels.push_back({text, preview::kLabelRight,
                                line_rows[static_cast<std::size_t>(i)] - preview::kLabelRaise});
    }
  }
  return drawing;
}

QString MarkerHint(int x, int y, std::optional<int> overload_row,
                   std::optional<int> underload_row) {
  if (x < 92 || x >= 100 || y <= 30 || y >= 432) {
    return {};
  }
  if (overload_row && y < *overload_row) {
    return i18n::Tr("Overload");
  }
  if (underload_row && y >= *underload_row) {
    return i18n::Tr("Underload");
  }
  return {};
}

}  // namespace zizara::core::scale

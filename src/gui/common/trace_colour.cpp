#include "gui/common/trace_colour.h"

namespace zizara::gui::common {

QColor TraceColour(int value, const QPalette& palette) {
  if (value >= 0) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
  }
  switch (value & 0xFF) {
    case 5:
      return palette.color(QPalette::Base);
    case 13:
      return palette.color(QPalette::Highlight);
    case 16:
      return palette.color(QPalette::Dark);
    case 20:
      return palette.color(QPalette::Light);
    case 24:
      return palette.color(QPalette::ToolTipBase);
    default:
      return palette.color(QPalette::Button);
  }
}

}  // namespace zizara::gui::common

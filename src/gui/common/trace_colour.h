#pragma once

#include <QColor>
#include <QPalette>

namespace zizara::gui::common {

// A stored trace colour as shown: 0x00BBGGRR, or a negative system colour number taken from
// the palette (the button face for any number without a counterpart).
QColor TraceColour(int value, const QPalette& palette);

}  // namespace zizara::gui::common

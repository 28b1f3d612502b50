#pragma once

#include <QString>

namespace zizara::gui::common {

// A tooltip that shows its text exactly as written. Tooltips guess whether a text is markup;
// a file name or an instrument's text that looks like a tag must be shown, not rendered.
QString PlainToolTip(const QString& text);

}  // namespace zizara::gui::common

#include "gui/common/plain_text.h"

#include <QTextDocument>

namespace zizara::gui::common {

QString PlainToolTip(const QString& text) {
  if (!Qt::mightBeRichText(text)) {
    return text;  // shown as it is anyway
  }
  // As escaped markup the text can only be shown literally.
  return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

}  // namespace zizara::gui::common

#pragma once

#include <QString>
#include <QUrl>

namespace zizara::gui::app {

// The maker's web address, opened from the toolbar's link and the splash picture's corner.
inline QUrl MakerWebAddress() { return QUrl(QStringLiteral("https://www.vt-zizara.example/")); }
inline QString MakerWebText() { return QStringLiteral("www.vt-zizara.example"); }

}  // namespace zizara::gui::app

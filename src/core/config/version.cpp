#include "core/config/version.h"

#include <QLocale>
#include <cmath>

namespace zizara::core::config {

int VersionCodeFromNumber(double version) {
  if (!std::isfinite(version) || version < 0 || version > 9999.0) {
    return 0;
  }
  QString text = QString::number(version, 'f', 2);  // always C formatting
  text.remove(QLatin1Char('.')).remove(QLatin1Char(','));
  bool ok = false;
  const int code = text.toInt(&ok, 16);
  return ok ? code : 0;
}

std::optional<int> VersionCodeFromText(const QString& text) {
  QString t = text.trimmed();
  t.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double v = QLocale::c().toDouble(t, &ok);
  if (!ok) {
    return std::nullopt;
  }
  return VersionCodeFromNumber(v);
}

QString FormatVersionCode(int code) {
  const auto hex2 = [](int v) {
    return QStringLiteral("%1").arg(v & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
  };
  return hex2(code >> 8) + QLatin1Char('.') + hex2(code);
}

}  // namespace zizara::core::config

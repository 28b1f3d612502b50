#include "sim/module_codes.h"

#include <QStringList>

namespace zizara::sim {

bool ParseModuleCodes(const QString& text, std::array<int, 4>* inputs, std::array<int, 4>* outputs,
                      QString* error) {
  const auto fail = [&] {
    *error = QStringLiteral(
                 "--modules wants four input and four output codes in hexadecimal, "
                 "I1,I2,I3,I4/O1,O2,O3,O4, not \"%1\"")
                 .arg(text);
    return false;
  };
  const QStringList sides = text.split(QLatin1Char('/'));
  if (sides.size() != 2) {
    return fail();
  }
  std::array<int, 4> parsed[2];
  for (int side = 0; side < 2; ++side) {
    const QStringList codes = sides[side].split(QLatin1Char(','));
    if (codes.size() != 4) {
      return fail();
    }
    for (int slot = 0; slot < 4; ++slot) {
      bool ok = false;
      const QString code = codes[slot].trimmed();
      const int v = code.toInt(&ok, 16);
      if (!ok || code.startsWith(QLatin1Char('-')) || code.startsWith(QLatin1Char('+')) ||
          v > 0xFF) {
        return fail();
      }
      parsed[side][static_cast<std::size_t>(slot)] = v;
    }
  }
  *inputs = parsed[0];
  *outputs = parsed[1];
  return true;
}

}  // namespace zizara::sim

#include "core/scale/number_field.h"

#include <cmath>

#include "core/i18n/tr.h"

namespace zizara::core::scale {

using i18n::Tr;

namespace {

// A signed decimal integer: an optional sign, then digits only.
bool ToInteger(const QString& text, int* value) {
  int i = 0;
  if (!text.isEmpty() && (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+'))) {
    i = 1;
  }
  if (i == text.size()) {
    return false;
  }
  for (int k = i; k < text.size(); ++k) {
    if (text[k] < QLatin1Char('0') || text[k] > QLatin1Char('9')) {
      return false;
    }
  }
  bool ok = false;
  *value = text.toInt(&ok, 10);  // at most five characters: always in range
  return ok;
}

int ConvertPart(const QString& part, QStringList* errors) {
  int value = 0;
  if (!ToInteger(part, &value)) {
    if (errors != nullptr) {
      errors->append(ConversionErrorText(part));
    }
    return 0;
  }
  return value;
}

}  // namespace

QString ConversionErrorText(const QString& part) {
  return Tr("'%1' is not a valid integer value").arg(part) + QStringLiteral(" ConversionError");
}

double ReadNumberField(const QString& input, QStringList* errors) {
  QString text = input;
  text.replace(QLatin1Char('.'), QLatin1Char(','));
  if (!text.contains(QLatin1Char(','))) {
    text += QLatin1Char(',');
  }
  const int comma = static_cast<int>(text.indexOf(QLatin1Char(',')));
  const QString integer_text = text.left(comma).left(5);
  const QString fraction_text = text.mid(comma + 1).left(3);

  int integer = 0;
  if (!integer_text.isEmpty() && integer_text != QStringLiteral("-") &&
      integer_text != QStringLiteral("+")) {
    integer = ConvertPart(integer_text, errors);
  }
  double fraction = 0.0;
  if (!fraction_text.isEmpty()) {
    fraction = ConvertPart(fraction_text, errors) /
               std::pow(10.0, static_cast<double>(fraction_text.size()));
  }
  if (text.contains(QLatin1Char('-'))) {
    fraction = -fraction;
  }
  return integer + fraction;
}

QString FormatNumberField(double value, const QLocale& locale) {
  QLocale shown = locale;
  shown.setNumberOptions(QLocale::OmitGroupSeparator);
  return shown.toString(value, 'f', 1);
}

}  // namespace zizara::core::scale

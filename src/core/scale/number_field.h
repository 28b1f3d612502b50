#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace zizara::core::scale {

// Reads a reference or level field: either decimal separator, an integer part of at most five
// characters, a fraction of at most three digits, and a minus sign anywhere makes the fraction
// negative. A part that does not convert counts as 0 and adds its message to `errors`.
double ReadNumberField(const QString& text, QStringList* errors = nullptr);

// "'TEXT' is not a valid integer value" + " " + the error type's name.
QString ConversionErrorText(const QString& part);

// One decimal in the fixed-point format of `locale` (-3,5 where the separator is a comma).
QString FormatNumberField(double value, const QLocale& locale = QLocale());

}  // namespace zizara::core::scale

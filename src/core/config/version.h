#pragma once

#include <QString>
#include <optional>

namespace zizara::core::config {

// Version codes: hexadecimal digits that read as the decimal version (5.10 is 0x0510).
inline constexpr int kVersionLcdOptions = 0x0410;
inline constexpr int kVersion5 = 0x0500;
inline constexpr int kVersionLockCode = 0x0510;

// 3.8 -> 0x0380, 5.1 -> 0x0510. Formats with two decimals and reads the digits as hex; never
// consults the locale. Negative or non-finite numbers give 0.
int VersionCodeFromNumber(double version);

// Parses "5.1", "5,10", "05.10" (either decimal separator) into a code; nullopt when the text
// holds no number.
std::optional<int> VersionCodeFromText(const QString& text);

// 0x0510 -> "05.10": high byte and low byte as two hex digits each.
QString FormatVersionCode(int code);

}  // namespace zizara::core::config

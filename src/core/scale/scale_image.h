#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

#include "core/scale/scale_library.h"

namespace zizara::core::scale {

inline constexpr int kImageWords = 128;
inline constexpr int kImageBytes = 2 * kImageWords;
inline constexpr std::uint16_t kDigitalMarker = 0x8F9D;
inline constexpr std::uint16_t kWord8 = 0xD2F2;

// Word positions of the image header.
namespace image_words {
inline constexpr int kName12 = 0;
inline constexpr int kName34 = 1;
inline constexpr int kCodeWord = 2;
inline constexpr int kConstantA = 3;
inline constexpr int kConstantB = 4;
inline constexpr int kSmallest = 5;
inline constexpr int kLargest = 6;
inline constexpr int kDigital = 7;
inline constexpr int kMarker8 = 8;
inline constexpr int kGroupCount = 9;
inline constexpr int kFirstGroup = 10;
}  // namespace image_words

using ScaleImage = std::array<std::uint16_t, kImageWords>;

// round(32767 × 10^((R − 18)/20)), kept as an unsigned 16-bit number.
std::uint16_t FullScaleFactor(double reference_db);
// round(10^(L/20) × E), kept as an unsigned 16-bit number.
std::uint16_t LineValue(double level_db, std::uint16_t full_scale);

// Builds the 256-byte image of a record. Labels lose their trailing blanks and control
// characters, and the trimmed labels are stored back into the record. Lines whose style byte
// is off the list count as unstyled. Words that would fall past the 128th are left out: 28
// labelled lines in eight styles need more room than the image has.
ScaleImage BuildScaleImage(ScaleRecord& record);

// The image as sent to the instrument: each word high byte first.
QByteArray ImageBytes(const ScaleImage& image);

}  // namespace zizara::core::scale

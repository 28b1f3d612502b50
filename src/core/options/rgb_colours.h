#pragma once

#include <QString>
#include <array>

#include "core/i18n/tr.h"

namespace zizara::core::options {

// The colour list of the Leq(m), scope and phase windows, by list position. Its entries are
// stored as 3-bit RGB codes (4 red, 2 green, 1 blue), not as positions.
inline constexpr std::array<const char*, 7> kRgbColourNames = {
    TrNoop("Red"),     TrNoop("Green"), TrNoop("Yellow"), TrNoop("Blue"),
    TrNoop("Fuchsia"), TrNoop("Aqua"),  TrNoop("White")};

// Graph rule (Leq(m) graph, oscilloscope): unknown codes show Green, no selection writes 2.
int GraphPositionFromCode(int code);
int GraphCodeFromPosition(int position);
// Sum rule (Leq(m) sum): unknown codes show Yellow, no selection writes 6.
int SumPositionFromCode(int code);
int SumCodeFromPosition(int position);

QString RgbColourText(int position);

}  // namespace zizara::core::options

#pragma once

#include <array>
#include <cstdint>

namespace zizara::core::scale {

// The 6-byte real of the library files: byte 0 the exponent biased by 129 (0 means zero), bytes
// 1..5 a little-endian 40-bit field with the sign in its top bit and a 39-bit fraction below.
using Real48 = std::array<std::uint8_t, 6>;

double FromReal48(const Real48& bytes);
// Rounds to the nearest 39-bit fraction. Zero, NaN and values too small for the exponent are
// stored as zero; values too large (and infinities) as the largest real of their sign.
Real48 ToReal48(double value);

}  // namespace zizara::core::scale

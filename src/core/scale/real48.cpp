#include "core/scale/real48.h"

#include <cmath>

namespace zizara::core::scale {

namespace {
constexpr int kBias = 129;
constexpr int kFractionBits = 39;
constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << kFractionBits) - 1;
}  // namespace

double FromReal48(const Real48& b) {
  if (b[0] == 0) {
    return 0.0;
  }
  std::uint64_t field = 0;
  for (int i = 5; i >= 1; --i) {
    field = (field << 8) | b[static_cast<std::size_t>(i)];
  }
  const bool negative = (field >> kFractionBits) & 1U;
  const double mantissa =
      1.0 + std::ldexp(static_cast<double>(field & kFractionMask), -kFractionBits);
  const double value = std::ldexp(mantissa, b[0] - kBias);
  return negative ? -value : value;
}

Real48 ToReal48(double value) {
  Real48 out{};
  if (value == 0.0 || std::isnan(value)) {
    return out;
  }
  const bool negative = std::signbit(value);
  std::uint64_t fraction = 0;
  int exponent = 0;
  if (std::isinf(value)) {
    exponent = 255;
    fraction = kFractionMask;
  } else {
    int e = 0;
    const double m = std::frexp(std::fabs(value), &e);  // m in [0.5, 1)
    exponent = e - 1 + kBias;
    fraction = static_cast<std::uint64_t>(std::llround(std::ldexp(2.0 * m - 1.0, kFractionBits)));
    if (fraction > kFractionMask) {  // rounded up to the next power of two
      fraction = 0;
      ++exponent;
    }
    if (exponent < 1) {
      return out;
    }
    if (exponent > 255) {
      exponent = 255;
      fraction = kFractionMask;
    }
  }
  const std::uint64_t field = fraction | (negative ? std::uint64_t{1} << kFractionBits : 0);
  out[0] = static_cast<std::uint8_t>(exponent);
  for (int i = 1; i <= 5; ++i) {
    out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(field >> (8 * (i - 1)));
  }
  return out;
}

}  // namespace zizara::core::scale

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zizara::core::config {

inline constexpr std::size_t kLcdCharacterSetSize = 2816;

// The LCD glyph table in image word order (row r of glyph c at 8*c + (r ^ 1)).
const std::array<std::uint8_t, kLcdCharacterSetSize>& LcdCharacterSet();

}  // namespace zizara::core::config

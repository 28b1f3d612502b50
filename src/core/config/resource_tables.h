#pragma once

#include <array>
#include <cstdint>

namespace zizara::core::config {

inline constexpr std::size_t kResourceTableSize = 256;
using ResourceTable = std::array<std::uint8_t, kResourceTableSize>;

// Tables the version-5 layout carries, in image byte order.
const ResourceTable& ColourTable();
const ResourceTable& LeqmScaleTable();
const ResourceTable& Dmu1ScaleTable();
const ResourceTable& Dmu2ScaleTable();

}  // namespace zizara::core::config

#pragma once

#include "core/config/configuration_image.h"
#include "core/config/memory_map.h"

namespace zizara::core::options {

struct PhaseSettings {
  bool slow = false;     // integration time: Slow or Fast
  int scope_colour = 1;  // position in the RGB colour list
  bool compressor_off = false;
  bool operator==(const PhaseSettings&) const = default;
};

PhaseSettings ReadPhase(const config::ConfigurationImage& image, const config::MemoryMap& map);
// Exactly one of the two integration bits ends up set; bit 6 (theme) and the rest are kept.
void WritePhase(config::ConfigurationImage& image, const config::MemoryMap& map,
                const PhaseSettings& phase);

}  // namespace zizara::core::options

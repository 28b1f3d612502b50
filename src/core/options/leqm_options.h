#pragma once

#include "core/config/configuration_image.h"
#include "core/config/memory_map.h"

namespace zizara::core::options {

inline constexpr int kTripLevelMin = 78;
inline constexpr int kTripLevelMax = 93;
inline constexpr int kTripLevelDefault = 85;

// Colours as positions of the RGB colour list.
struct LeqmSettings {
  int graph_colour = 1;
  int sum_colour = 2;
  int trip_level = kTripLevelDefault;
  bool operator==(const LeqmSettings&) const = default;
};

// A stored level outside 78..93 shows the default.
int TripLevelShown(int stored);

LeqmSettings ReadLeqm(const config::ConfigurationImage& image, const config::MemoryMap& map);
// What OK writes: both colour codes, 0 in the trip word's high byte, the level in its low byte.
void WriteLeqm(config::ConfigurationImage& image, const config::MemoryMap& map,
               const LeqmSettings& leqm);

}  // namespace zizara::core::options

#pragma once

#include <QByteArray>
#include <QStringList>

#include "core/config/configuration_image.h"
#include "core/config/memory_map.h"

namespace zizara::core::options {

inline constexpr int kScaleCount = 7;

struct ScaleSettings {
  int position = 0;  // 0..6 in the list; a stored number past the list selects nothing
  bool peak_hold = false;
  bool dual = false;
  bool operator==(const ScaleSettings&) const = default;
};

// The scale number's nibble moved with software 5.00: low nibble before, high nibble from
// then on; the other nibble is kept.
int ScalePosition(const config::ConfigurationImage& image, const config::MemoryMap& map,
                  int version);
void SetScalePosition(config::ConfigurationImage& image, const config::MemoryMap& map, int version,
                      int position);

// Name of scale n (1..7): 4 characters at the start of its table.
QByteArray ScaleName(const config::ConfigurationImage& image, int n);
// "Scale #n - NAME" for the seven scales.
QStringList ScaleListItems(const config::ConfigurationImage& image);

ScaleSettings ReadScale(const config::ConfigurationImage& image, const config::MemoryMap& map,
                        int version);
void WriteScale(config::ConfigurationImage& image, const config::MemoryMap& map, int version,
                const ScaleSettings& scale);

}  // namespace zizara::core::options

#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "core/config/configuration_image.h"
#include "core/config/preset_trailer.h"

namespace zizara::core::options {

// One difference in meaning between two configurations.
struct Difference {
  std::optional<int> preset;         // 1..11; nullopt for a setting of the whole configuration
  QString setting;                   // option key, or routing.N, input_name.N, output_name.N
  std::optional<QString> old_value;  // nullopt where that side has no such setting
  std::optional<QString> new_value;
  QString text;  // the line shown to people
};

struct ConfigurationSide {
  const config::ConfigurationImage& image;
  const config::PresetTrailer& trailer;
};

// Compares by meaning: identity, preset names and start-up settings, lock code, LCD, then per
// preset the routings, the preset's own input names and every option, then the shared names.
// Bytes no setting reads never count.
QList<Difference> DiffConfigurations(const ConfigurationSide& a, const ConfigurationSide& b);

}  // namespace zizara::core::options

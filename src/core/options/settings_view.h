#pragma once

#include <QList>
#include <QString>
#include <array>
#include <optional>

#include "core/config/configuration_image.h"
#include "core/options/lcd_options.h"
#include "core/options/leqm_options.h"
#include "core/options/phase_options.h"
#include "core/options/ppm_options.h"
#include "core/options/preset_settings.h"
#include "core/options/scale_options.h"

namespace zizara::core::options {

// Every option setting of one preset and of the whole configuration, as the windows show them.
struct OptionsView {
  int preset = 0;  // index 0..10
  QString preset_name;
  std::optional<StartupSettings> startup;  // nullopt before 5.00
  std::optional<QString> lock_code;        // nullopt before 5.10
  LcdSettings lcd;
  std::array<PpmChannel, kPpmChannels> ppm{};
  LeqmSettings leqm;
  ScaleSettings scale;
  PhaseSettings phase;
};

OptionsView ReadOptionsView(const config::ConfigurationImage& image, int version, int p);

// One setting by its key, its value written as `set` takes it (on/off, list texts, numbers);
// nullopt where the configuration's version does not have the setting or the stored value
// selects no list item.
struct SettingRow {
  QString key;
  std::optional<QString> value;
};

// startup_preset, startup_application, lock_code, write_protect, lcd.*
QList<SettingRow> ConfigurationRows(const OptionsView& view);
// preset_name, ppm.C.*, leqm.*, scale.*, phase.*
QList<SettingRow> PresetRows(const OptionsView& view);

QString OnOff(bool on);
// The 1-based scale number the list shows, or 0 when the stored number selects nothing.
int ShownScaleNumber(const ScaleSettings& scale);

}  // namespace zizara::core::options

#include "core/options/settings_view.h"

#include "core/config/memory_map.h"
#include "core/config/preset_options.h"
#include "core/options/rgb_colours.h"

namespace zizara::core::options {

QString OnOff(bool on) { return on ? QStringLiteral("on") : QStringLiteral("off"); }

int ShownScaleNumber(const ScaleSettings& scale) {
  return scale.position >= 0 && scale.position < kScaleCount ? scale.position + 1 : 0;
}

OptionsView ReadOptionsView(const config::ConfigurationImage& image, int version, int p) {
  const config::MemoryMap map = config::MemoryMap::ForPreset(p);
  OptionsView v;
  v.preset = map.preset;
  v.preset_name = ReadPresetName(image, map.preset);
  v.startup = ReadStartup(image, version);
  v.lock_code = ReadLockCode(image, version);
  v.lcd = ReadLcd(image);
  for (int c = 0; c < kPpmChannels; ++c) {
    v.ppm[c] = ReadPpmChannel(image, map, c);
  }
  v.leqm = ReadLeqm(image, map);
  v.scale = ReadScale(image, map, version);
  v.phase = ReadPhase(image, map);
  return v;
}

namespace {
std::optional<QString> NonEmpty(const QString& text) {
  return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}
}  // namespace

QList<SettingRow> ConfigurationRows(const OptionsView& v) {
  QList<SettingRow> rows;
  std::optional<QString> sp;
  std::optional<QString> sa;
  if (v.startup) {
    sp = QString::number(v.startup->preset_item + 1);
    sa = QString::fromLatin1(config::kStartupApplications[v.startup->application_item]);
  }
  rows.append({QStringLiteral("startup_preset"), sp});
  rows.append({QStringLiteral("startup_application"), sa});
  rows.append({QStringLiteral("lock_code"), v.lock_code});
  std::optional<QString> wp;
  if (v.lock_code) {
    wp = OnOff(!IsWriteProtectOff(*v.lock_code));
  }
  rows.append({QStringLiteral("write_protect"), wp});
  rows.append({QStringLiteral("lcd.backlight"), QString::number(v.lcd.backlight)});
  for (int p = 0; p < config::kPresetCount; ++p) {
    rows.append({QStringLiteral("lcd.theme.%1").arg(p + 1), OnOff(v.lcd.theme[p])});
  }
  return rows;
}

QList<SettingRow> PresetRows(const OptionsView& v) {
  QList<SettingRow> rows;
  rows.append({QStringLiteral("preset_name"), v.preset_name});
  for (int c = 0; c < kPpmChannels; ++c) {
    const PpmChannel& ch = v.ppm[c];
    const QString k = QStringLiteral("ppm.%1.").arg(c + 1);
    rows.append({k + QStringLiteral("colour"), NonEmpty(PpmColourText(ch.colour))});
    rows.append(
        {k + QStringLiteral("underload_colour"), NonEmpty(PpmColourText(ch.underload_colour))});
    rows.append({k + QStringLiteral("trace_colour"), NonEmpty(PpmColourText(ch.trace_colour))});
    rows.append({k + QStringLiteral("width"), QString::fromLatin1(kPpmWidthNames[ch.width])});
    rows.append({k + QStringLiteral("space"), OnOff(ch.space)});
  }
  rows.append({QStringLiteral("leqm.graph_colour"), RgbColourText(v.leqm.graph_colour)});
  rows.append({QStringLiteral("leqm.sum_colour"), RgbColourText(v.leqm.sum_colour)});
  rows.append({QStringLiteral("leqm.trip_level"), QString::number(v.leqm.trip_level)});
  const int number = ShownScaleNumber(v.scale);
  rows.append({QStringLiteral("scale.number"),
               number > 0 ? std::optional<QString>(QString::number(number)) : std::nullopt});
  rows.append({QStringLiteral("scale.peak_hold"), OnOff(v.scale.peak_hold)});
  rows.append({QStringLiteral("scale.dual"), OnOff(v.scale.dual)});
  rows.append({QStringLiteral("phase.integration"),
               v.phase.slow ? QStringLiteral("Slow") : QStringLiteral("Fast")});
  rows.append({QStringLiteral("phase.scope_colour"), RgbColourText(v.phase.scope_colour)});
  rows.append({QStringLiteral("phase.compressor_off"), OnOff(v.phase.compressor_off)});
  return rows;
}

}  // namespace zizara::core::options

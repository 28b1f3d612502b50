#include "core/options/config_diff.h"

#include <functional>

#include "core/config/memory_map.h"
#include "core/config/model_table.h"
#include "core/config/preset_options.h"
#include "core/config/version.h"
#include "core/options/settings_view.h"

namespace zizara::core::options {

namespace {

QString Hex(unsigned value, int digits) {
  return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

bool IsNameKey(const QString& key) {
  return key == QLatin1String("preset_name") || key == QLatin1String("lock_code") ||
         key.startsWith(QLatin1String("input_name.")) ||
         key.startsWith(QLatin1String("output_name."));
}

QString Shown(const QString& key, const std::optional<QString>& value) {
  if (!value) {
    return QStringLiteral("(none)");
  }
  return IsNameKey(key) ? QLatin1Char('"') + *value + QLatin1Char('"') : *value;
}

QString Prefix(std::optional<int> preset) {
  return preset ? QStringLiteral("Preset %1: ").arg(*preset) : QString();
}

void Compare(QList<Difference>& out, std::optional<int> preset, const QString& key,
             const std::optional<QString>& old_value, const std::optional<QString>& new_value) {
  if (old_value == new_value) {
    return;
  }
  out.append({preset, key, old_value, new_value,
              Prefix(preset) + key + QLatin1Char('=') + Shown(key, new_value) +
                  QStringLiteral(" (was ") + Shown(key, old_value) + QLatin1Char(')')});
}

void CompareRows(QList<Difference>& out, std::optional<int> preset, const QList<SettingRow>& a,
                 const QList<SettingRow>& b) {
  for (int i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i].key == QLatin1String("write_protect")) {
      continue;  // follows from the lock code, which is reported
    }
    Compare(out, preset, a[i].key, a[i].value, b[i].value);
  }
}

QList<SettingRow> IdentityRows(const config::PresetTrailer& t) {
  return {{QStringLiteral("serial"), QString::number(t.serial_number)},
          {QStringLiteral("qlx_type"), config::ModelName(t.model_index)},
          {QStringLiteral("software_version"), config::FormatVersionCode(t.software_version)},
          {QStringLiteral("extended_bios_id"), Hex(t.extended_bios_id, 4)},
          {QStringLiteral("hardware_id"), Hex(t.hardware_id, 4)}};
}

// The input an output is routed from (1..88), or nullopt when it has none.
std::optional<int> RoutedInput(const config::ConfigurationImage& image,
                               const config::MemoryMap& map, int output) {
  const int input = (image.ArrayElement(map.RoutingTable, output - 1) & 0x7F) + 1;
  return input <= config::kInputCount ? std::optional<int>(input) : std::nullopt;
}

QString Quoted(const QByteArray& name) {
  return QLatin1Char('"') + config::ImageTextToString(name) + QLatin1Char('"');
}

QString RoutingText(std::optional<int> input, const config::ChannelNames& names) {
  return input ? QStringLiteral("input %1 ").arg(*input) + Quoted(names.inputs[*input - 1])
               : QStringLiteral("no input");
}

void CompareRoutings(QList<Difference>& out, int p, const ConfigurationSide& a,
                     const ConfigurationSide& b) {
  const config::MemoryMap map = config::MemoryMap::ForPreset(p);
  const config::ChannelNames names_a = config::ChannelNamesFromImage(a.image, map);
  const config::ChannelNames names_b = config::ChannelNamesFromImage(b.image, map);
  for (int o = 1; o <= config::kOutputCount; ++o) {
    const auto in_a = RoutedInput(a.image, map, o);
    const auto in_b = RoutedInput(b.image, map, o);
    if (in_a == in_b) {
      continue;
    }
    const auto number = [](std::optional<int> i) {
      return i ? std::optional<QString>(QString::number(*i)) : std::nullopt;
    };
    out.append({p + 1, QStringLiteral("routing.%1").arg(o), number(in_a), number(in_b),
                Prefix(p + 1) + QStringLiteral("output %1 ").arg(o) +
                    Quoted(names_b.outputs[o - 1]) + QStringLiteral(" from ") +
                    RoutingText(in_b, names_b) + QStringLiteral(" (was ") +
                    RoutingText(in_a, names_a) + QLatin1Char(')')});
  }
}

void CompareNames(QList<Difference>& out, std::optional<int> preset, const QString& kind, int first,
                  int last, const std::function<QByteArray(int)>& name_a,
                  const std::function<QByteArray(int)>& name_b) {
  for (int n = first; n <= last; ++n) {
    Compare(out, preset, kind + QString::number(n), config::ImageTextToString(name_a(n)),
            config::ImageTextToString(name_b(n)));
  }
}

}  // namespace

QList<Difference> DiffConfigurations(const ConfigurationSide& a, const ConfigurationSide& b) {
  QList<Difference> out;
  const int va = a.trailer.software_version;
  const int vb = b.trailer.software_version;
  CompareRows(out, std::nullopt, IdentityRows(a.trailer), IdentityRows(b.trailer));
  for (int p = 0; p < config::kPresetCount; ++p) {
    Compare(out, p + 1, QStringLiteral("preset_name"), ReadPresetName(a.image, p),
            ReadPresetName(b.image, p));
  }
  CompareRows(out, std::nullopt, ConfigurationRows(ReadOptionsView(a.image, va, 0)),
              ConfigurationRows(ReadOptionsView(b.image, vb, 0)));
  for (int p = 0; p < config::kPresetCount; ++p) {
    CompareRoutings(out, p, a, b);
    const config::MemoryMap map = config::MemoryMap::ForPreset(p);
    CompareNames(
        out, p + 1, QStringLiteral("input_name."), 33, 56,
        [&](int n) { return a.image.Text(config::InputNameOffset(map, n), 2); },
        [&](int n) { return b.image.Text(config::InputNameOffset(map, n), 2); });
    QList<SettingRow> rows_a = PresetRows(ReadOptionsView(a.image, va, p));
    QList<SettingRow> rows_b = PresetRows(ReadOptionsView(b.image, vb, p));
    rows_a.removeFirst();  // the name was compared with the others above
    rows_b.removeFirst();
    CompareRows(out, p + 1, rows_a, rows_b);
  }
  const config::MemoryMap map0 = config::MemoryMap::ForPreset(0);
  // Inputs 57 to 88 are the bytes of outputs 65 to 96; they are reported once, as outputs.
  CompareNames(
      out, std::nullopt, QStringLiteral("input_name."), 1, 32,
      [&](int n) { return a.image.Text(config::InputNameOffset(map0, n), 2); },
      [&](int n) { return b.image.Text(config::InputNameOffset(map0, n), 2); });
  CompareNames(
      out, std::nullopt, QStringLiteral("output_name."), 1, config::kOutputCount,
      [&](int n) { return a.image.Text(config::OutputNameOffset(n), 2); },
      [&](int n) { return b.image.Text(config::OutputNameOffset(n), 2); });
  return out;
}

}  // namespace zizara::core::options

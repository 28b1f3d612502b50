#include "core/options/assignment.h"

#include <QRegularExpression>
#include <functional>

#include "core/config/memory_map.h"
#include "core/config/preset_options.h"
#include "core/config/version.h"
#include "core/i18n/tr.h"
#include "core/options/feature_versions.h"
#include "core/options/lcd_options.h"
#include "core/options/leqm_options.h"
#include "core/options/phase_options.h"
#include "core/options/ppm_options.h"
#include "core/options/preset_settings.h"
#include "core/options/rgb_colours.h"
#include "core/options/scale_options.h"

namespace zizara::core::options {

using i18n::Tr;

namespace {

template <std::size_t N>
QStringList Names(const std::array<const char*, N>& list) {
  QStringList names;
  for (const char* n : list) {
    names << QString::fromLatin1(n);
  }
  return names;
}

// List position of a text, case-insensitive; -1 when the list has no such entry.
int IndexIn(const QStringList& list, const QString& value) {
  for (int i = 0; i < list.size(); ++i) {
    if (list[i].compare(value, Qt::CaseInsensitive) == 0) {
      return i;
    }
  }
  return -1;
}

AssignResult Refused(const QString& key, const QString& why) {
  return {AssignOutcome::kRefused, key + QStringLiteral(": ") + why};
}

AssignResult NotAllowed(const QString& key, const QString& value, const QString& allowed) {
  return Refused(key, Tr("\"%1\" is not allowed; allowed: %2").arg(value, allowed));
}

AssignResult NotInVersion(const QString& key, int version, int needed) {
  return {AssignOutcome::kNotInVersion,
          key + QStringLiteral(": ") +
              Tr("not available for software version %1 (needs %2 or later)")
                  .arg(config::FormatVersionCode(version), config::FormatVersionCode(needed))};
}

std::optional<int> Number(const QString& value, int low, int high) {
  static const QRegularExpression digits(QStringLiteral("^[0-9]{1,3}$"));
  if (!digits.match(value).hasMatch()) {
    return std::nullopt;
  }
  const int n = value.toInt();
  return n >= low && n <= high ? std::optional<int>(n) : std::nullopt;
}

std::optional<bool> Bool(const QString& value) {
  if (value.compare(QStringLiteral("on"), Qt::CaseInsensitive) == 0) return true;
  if (value.compare(QStringLiteral("off"), Qt::CaseInsensitive) == 0) return false;
  return std::nullopt;
}

QString Range(int low, int high) { return QStringLiteral("%1 to %2").arg(low).arg(high); }
const QString kOnOff = QStringLiteral("on, off");

AssignResult ApplyPpm(config::ConfigurationImage& image, int p, const QString& key,
                      const QString& channels, const QString& field_name, const QString& value) {
  static const QRegularExpression range(QStringLiteral("^([0-9]{1,2})(?:-([0-9]{1,2}))?$"));
  const auto m = range.match(channels);
  int first = m.hasMatch() ? m.captured(1).toInt() : 0;
  int last = m.hasMatch() && !m.captured(2).isEmpty() ? m.captured(2).toInt() : first;
  if (first < 1 || last > kPpmChannels || first > last) {
    return Refused(key, Tr("the PPM channel must be 1 to 32 or a range such as 1-8"));
  }
  PpmField field;
  int written = 0;
  if (field_name == QLatin1String("colour") || field_name == QLatin1String("underload_colour") ||
      field_name == QLatin1String("trace_colour")) {
    field = field_name == QLatin1String("colour")             ? PpmField::kColour
            : field_name == QLatin1String("underload_colour") ? PpmField::kUnderloadColour
                                                              : PpmField::kTraceColour;
    const QStringList names = Names(kPpmColourNames);
    written = IndexIn(names, value);
    if (written < 0) return NotAllowed(key, value, names.join(QStringLiteral(", ")));
  } else if (field_name == QLatin1String("width")) {
    field = PpmField::kWidth;
    const QStringList names = Names(kPpmWidthNames);
    written = IndexIn(names, value);
    if (written < 0) return NotAllowed(key, value, names.join(QStringLiteral(", ")));
  } else if (field_name == QLatin1String("space")) {
    field = PpmField::kSpace;
    const auto b = Bool(value);
    if (!b) return NotAllowed(key, value, kOnOff);
    written = *b ? 1 : 0;
  } else {
    return Refused(key, Tr("unknown setting; PPM settings are colour, underload_colour, "
                           "trace_colour, width, space"));
  }
  const config::MemoryMap map = config::MemoryMap::ForPreset(p);
  for (int c = first - 1; c < last; ++c) {
    WritePpmField(image, map, c, field, written);
  }
  return {};
}

}  // namespace

QStringList AssignmentKeys() {
  return {QStringLiteral("preset_name"),
          QStringLiteral("startup_preset"),
          QStringLiteral("startup_application"),
          QStringLiteral("lock_code"),
          QStringLiteral("write_protect"),
          QStringLiteral("lcd.backlight"),
          QStringLiteral("lcd.theme.K"),
          QStringLiteral("ppm.C.colour"),
          QStringLiteral("ppm.C.underload_colour"),
          QStringLiteral("ppm.C.trace_colour"),
          QStringLiteral("ppm.C.width"),
          QStringLiteral("ppm.C.space"),
          QStringLiteral("leqm.graph_colour"),
          QStringLiteral("leqm.sum_colour"),
          QStringLiteral("leqm.trip_level"),
          QStringLiteral("scale.number"),
          QStringLiteral("scale.peak_hold"),
          QStringLiteral("scale.dual"),
          QStringLiteral("phase.integration"),
          QStringLiteral("phase.scope_colour"),
          QStringLiteral("phase.compressor_off")};
}

AssignResult ApplyAssignment(config::ConfigurationImage& image, int version, int p,
                             const QString& assignment) {
  const int eq = assignment.indexOf(QLatin1Char('='));
  if (eq <= 0) {
    return Refused(assignment, Tr("expected KEY=VALUE"));
  }
  const QString key = assignment.left(eq);
  const QString value = assignment.mid(eq + 1);
  const config::MemoryMap map = config::MemoryMap::ForPreset(p);
  const QStringList parts = key.split(QLatin1Char('.'));
  const QStringList rgb = Names(kRgbColourNames);
  const QString rgb_allowed = rgb.join(QStringLiteral(", "));

  if (key == QLatin1String("preset_name")) {
    if (!config::IsLegalNameText(value)) {
      return Refused(key, Tr("The text contains one or more illegal characters."));
    }
    if (value.size() > config::kPresetNameLength) {
      return Refused(key, Tr("at most 10 characters"));
    }
    WritePresetName(image, p, value);
    return {};
  }
  if (key == QLatin1String("startup_preset") || key == QLatin1String("startup_application")) {
    StartupSettings s = ReadStartup(image, config::kVersion5).value();
    if (key == QLatin1String("startup_preset")) {
      const auto n = Number(value, 1, config::kPresetCount);
      if (!n) return NotAllowed(key, value, Range(1, config::kPresetCount));
      s.preset_item = *n - 1;
    } else {
      const QStringList apps = Names(config::kStartupApplications);
      const int i = IndexIn(apps, value);
      if (i < 0) return NotAllowed(key, value, apps.join(QStringLiteral(", ")));
      s.application_item = i;
    }
    if (!HasStartupSettings(version)) return NotInVersion(key, version, config::kVersion5);
    WriteStartup(image, version, s);
    return {};
  }
  if (key == QLatin1String("lock_code") || key == QLatin1String("write_protect")) {
    QString code;
    if (key == QLatin1String("lock_code")) {
      if (!IsFourDigitCode(value)) return Refused(key, Tr("Please enter a four digit number."));
      code = value;
    } else {
      if (value.compare(QStringLiteral("off"), Qt::CaseInsensitive) != 0) {
        return NotAllowed(key, value, QStringLiteral("off"));
      }
      code = QLatin1String(config::kDisabledLockCode);
    }
    if (!HasLockCode(version)) return NotInVersion(key, version, config::kVersionLockCode);
    WriteLockCode(image, code);
    return {};
  }
  if (parts.size() >= 2 && parts[0] == QLatin1String("lcd")) {
    LcdSettings lcd = ReadLcd(image);
    if (key == QLatin1String("lcd.backlight")) {
      const auto n = Number(value, 0, kBacklightMax);
      if (!n) return NotAllowed(key, value, Range(0, kBacklightMax));
      lcd.backlight = *n;
    } else if (parts.size() == 3 && parts[1] == QLatin1String("theme")) {
      const auto k = Number(parts[2], 1, config::kPresetCount);
      if (!k) return Refused(key, Tr("the preset must be 1 to 11"));
      const auto b = Bool(value);
      if (!b) return NotAllowed(key, value, kOnOff);
      lcd.theme[*k - 1] = *b;
    } else {
      return Refused(key, Tr("unknown setting; LCD settings are lcd.backlight, lcd.theme.K"));
    }
    if (!HasLcdOptions(version)) return NotInVersion(key, version, config::kVersionLcdOptions);
    WriteLcd(image, lcd);
    return {};
  }
  if (parts.size() == 3 && parts[0] == QLatin1String("ppm")) {
    return ApplyPpm(image, p, key, parts[1], parts[2], value);
  }
  if (parts.size() == 2 && parts[0] == QLatin1String("leqm")) {
    LeqmSettings leqm = ReadLeqm(image, map);
    if (parts[1] == QLatin1String("graph_colour") || parts[1] == QLatin1String("sum_colour")) {
      const int i = IndexIn(rgb, value);
      if (i < 0) return NotAllowed(key, value, rgb_allowed);
      (parts[1] == QLatin1String("graph_colour") ? leqm.graph_colour : leqm.sum_colour) = i;
    } else if (parts[1] == QLatin1String("trip_level")) {
      const auto n = Number(value, kTripLevelMin, kTripLevelMax);
      if (!n) return NotAllowed(key, value, Range(kTripLevelMin, kTripLevelMax));
      leqm.trip_level = *n;
    } else {
      return Refused(key, Tr("unknown setting; Leq(m) settings are leqm.graph_colour, "
                             "leqm.sum_colour, leqm.trip_level"));
    }
    if (!HasLeqmOptions(version)) return NotInVersion(key, version, config::kVersion5);
    WriteLeqm(image, map, leqm);
    return {};
  }
  if (parts.size() == 2 && parts[0] == QLatin1String("scale")) {
    ScaleSettings scale = ReadScale(image, map, version);
    if (parts[1] == QLatin1String("number")) {
      const auto n = Number(value, 1, kScaleCount);
      if (!n) return NotAllowed(key, value, Range(1, kScaleCount));
      scale.position = *n - 1;
    } else if (parts[1] == QLatin1String("peak_hold") || parts[1] == QLatin1String("dual")) {
      const auto b = Bool(value);
      if (!b) return NotAllowed(key, value, kOnOff);
      (parts[1] == QLatin1String("dual") ? scale.dual : scale.peak_hold) = *b;
    } else {
      return Refused(key, Tr("unknown setting; scale settings are scale.number, "
                             "scale.peak_hold, scale.dual"));
    }
    if (!HasScaleOptions(version)) {
      return {AssignOutcome::kNotInVersion,
              key + QStringLiteral(": ") +
                  Tr("not available: the configuration names no software version")};
    }
    WriteScale(image, map, version, scale);
    return {};
  }
  if (parts.size() == 2 && parts[0] == QLatin1String("phase")) {
    PhaseSettings phase = ReadPhase(image, map);
    if (parts[1] == QLatin1String("integration")) {
      if (value.compare(QStringLiteral("Slow"), Qt::CaseInsensitive) == 0) {
        phase.slow = true;
      } else if (value.compare(QStringLiteral("Fast"), Qt::CaseInsensitive) == 0) {
        phase.slow = false;
      } else {
        return NotAllowed(key, value, QStringLiteral("Slow, Fast"));
      }
    } else if (parts[1] == QLatin1String("scope_colour")) {
      const int i = IndexIn(rgb, value);
      if (i < 0) return NotAllowed(key, value, rgb_allowed);
      phase.scope_colour = i;
    } else if (parts[1] == QLatin1String("compressor_off")) {
      const auto b = Bool(value);
      if (!b) return NotAllowed(key, value, kOnOff);
      phase.compressor_off = *b;
    } else {
      return Refused(key, Tr("unknown setting; phase settings are phase.integration, "
                             "phase.scope_colour, phase.compressor_off"));
    }
    WritePhase(image, map, phase);
    return {};
  }
  return Refused(
      key, Tr("unknown setting; settings are ") + AssignmentKeys().join(QStringLiteral(", ")));
}

}  // namespace zizara::core::options

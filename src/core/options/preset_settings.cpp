#include "core/options/preset_settings.h"

#include "core/config/preset_options.h"
#include "core/options/feature_versions.h"

namespace zizara::core::options {

std::optional<StartupSettings> ReadStartup(const config::ConfigurationImage& image, int version) {
  if (!HasStartupSettings(version)) {
    return std::nullopt;
  }
  return StartupSettings{config::StartupPresetItem(config::StartupPreset(image)),
                         config::StartupApplicationItem(config::StartupApplication(image))};
}

void WriteStartup(config::ConfigurationImage& image, int version, const StartupSettings& s) {
  if (!HasStartupSettings(version)) {
    return;
  }
  config::SetStartupPreset(image, s.preset_item);
  config::SetStartupApplication(image, s.application_item);
}

StartupSettings StartupShownBeforeV5() { return {0, 1}; }

std::optional<QString> ReadLockCode(const config::ConfigurationImage& image, int version) {
  if (!HasLockCode(version)) {
    return std::nullopt;
  }
  return QString::fromLatin1(config::LockCode(image));
}

bool IsWriteProtectOff(const QString& code) {
  return code == QLatin1String(config::kDisabledLockCode);
}

bool IsFourDigitCode(const QString& text) {
  if (text.size() != 4) {
    return false;
  }
  for (const QChar c : text) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
      return false;
    }
  }
  return true;
}

void WriteLockCode(config::ConfigurationImage& image, const QString& code) {
  config::SetLockCode(image, code.toLatin1());
}

bool IsAcceptedPresetName(const QString& name) {
  return name.size() <= config::kPresetNameLength && config::IsLegalNameText(name);
}

void WritePresetName(config::ConfigurationImage& image, int p, const QString& name) {
  config::SetPresetName(image, p, name.toLatin1());
}

QString ReadPresetName(const config::ConfigurationImage& image, int p) {
  return config::ImageTextToString(config::PresetName(image, p));
}

}  // namespace zizara::core::options

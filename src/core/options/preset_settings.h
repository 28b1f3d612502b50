#pragma once

#include <QString>
#include <optional>

#include "core/config/configuration_image.h"

namespace zizara::core::options {

// The start-up settings as the preset options window shows them: list items, 0-based.
struct StartupSettings {
  int preset_item = 0;
  int application_item = 1;
  bool operator==(const StartupSettings&) const = default;
};

// Before 5.00 the window shows the first preset and "Full Feature Mode", both disabled, and
// nullopt says so; the bytes are neither read nor written then.
std::optional<StartupSettings> ReadStartup(const config::ConfigurationImage& image, int version);
// Does nothing before 5.00.
void WriteStartup(config::ConfigurationImage& image, int version, const StartupSettings& s);
// What the disabled window shows.
StartupSettings StartupShownBeforeV5();

// The four lock-code characters as stored; nullopt before 5.10.
std::optional<QString> ReadLockCode(const config::ConfigurationImage& image, int version);
bool IsWriteProtectOff(const QString& code);
// What the lock-code window accepts: exactly four digits.
bool IsFourDigitCode(const QString& text);
// Writes the code (already checked) with 0 in each word's high byte.
void WriteLockCode(config::ConfigurationImage& image, const QString& code);

// A preset name the window accepts: legal characters, at most 10 of them.
bool IsAcceptedPresetName(const QString& name);
void WritePresetName(config::ConfigurationImage& image, int p, const QString& name);
QString ReadPresetName(const config::ConfigurationImage& image, int p);

}  // namespace zizara::core::options

#pragma once

#include <QString>
#include <memory>

namespace zizara::core::settings {

inline constexpr char kSettingsFileName[] = "VT-Zizara.INI";

// The folder of the settings file: $VTZIZARA_CONFIG_DIR, else the user's config folder.
QString ConfigDir();
QString SettingsFilePath();

// One INI file, read whole and written whole. Keys keep their spelling ("File#1"), missing
// keys and unreadable numbers give the default.
class IniFile {
 public:
  explicit IniFile(QString path);
  ~IniFile();
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;

  // False when the file exists but cannot be read; a missing file is simply empty.
  bool Load();
  bool Exists() const;
  // Atomic; false with a reason on failure.
  bool Save(QString* error = nullptr) const;

  QString GetString(const char* section, const char* key, const QString& fallback = {}) const;
  int GetInt(const char* section, const char* key, int fallback) const;
  bool GetBool(const char* section, const char* key, bool fallback) const;
  void SetString(const char* section, const char* key, const QString& value);
  void SetInt(const char* section, const char* key, int value);
  void SetBool(const char* section, const char* key, bool value);

  const QString& path() const { return path_; }

 private:
  QString path_;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace zizara::core::settings

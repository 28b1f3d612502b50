#include "core/settings/ini_file.h"

// Plain 8-bit storage: values are UTF-8 bytes, nothing to convert.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <string>

#include "core/io/file_access.h"
#include "core/i18n/tr.h"

namespace zizara::core::settings {

QString ConfigDir() {
  const QByteArray env = qgetenv("VTZIZARA_CONFIG_DIR");
  if (!env.isEmpty()) {
    return QString::fromLocal8Bit(env);
  }
  QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  if (dir.isEmpty()) {
    dir = QDir::home().filePath(QStringLiteral(".config/VT-Zizara"));
  }
  return dir;
}

QString SettingsFilePath() {
  return QDir(ConfigDir()).filePath(QString::fromLatin1(kSettingsFileName));
}

struct IniFile::Impl {
  // Lines read "Key=Value", without spaces around the "=".
  Impl() { ini.SetSpaces(false); }
  CSimpleIniA ini{false, false, false};
};

IniFile::IniFile(QString path) : path_(std::move(path)), impl_(std::make_unique<Impl>()) {}

IniFile::~IniFile() = default;

bool IniFile::Exists() const { return QFileInfo::exists(path_); }

bool IniFile::Load() {
  impl_->ini.Reset();
  if (!Exists()) {
    return true;
  }
  QFile f(path_);
  if (!f.open(QIODevice::ReadOnly)) {
    return false;
  }
  const QByteArray data = f.readAll();
  return impl_->ini.LoadData(data.constData(), static_cast<size_t>(data.size())) >= 0;
}

bool IniFile::Save(QString* error) const {
  std::string out;
  if (impl_->ini.Save(out) < 0) {
    if (error != nullptr) {
      *error = i18n::Tr("cannot format settings");
    }
    return false;
  }
  QDir().mkpath(QFileInfo(path_).absolutePath());
  QString why;
  if (!io::SaveFileAtomically(path_, QByteArray::fromStdString(out), &why)) {
    if (error != nullptr) {
      *error = why;
    }
    return false;
  }
  return true;
}

QString IniFile::GetString(const char* section, const char* key, const QString& fallback) const {
  const char* v = impl_->ini.GetValue(section, key, nullptr);
  return v == nullptr ? fallback : QString::fromUtf8(v);
}

int IniFile::GetInt(const char* section, const char* key, int fallback) const {
  const char* v = impl_->ini.GetValue(section, key, nullptr);
  if (v == nullptr) {
    return fallback;
  }
  bool ok = false;
  const int n = QString::fromUtf8(v).trimmed().toInt(&ok, 10);
  return ok ? n : fallback;
}

bool IniFile::GetBool(const char* section, const char* key, bool fallback) const {
  const int n = GetInt(section, key, fallback ? 1 : 0);
  return n != 0;
}

void IniFile::SetString(const char* section, const char* key, const QString& value) {
  impl_->ini.SetValue(section, key, value.toUtf8().constData());
}

void IniFile::SetInt(const char* section, const char* key, int value) {
  impl_->ini.SetValue(section, key, std::to_string(value).c_str());
}

void IniFile::SetBool(const char* section, const char* key, bool value) {
  SetInt(section, key, value ? 1 : 0);
}

}  // namespace zizara::core::settings

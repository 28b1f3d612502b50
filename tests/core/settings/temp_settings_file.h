#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace zizara::core::settings {

// A settings file path inside a fresh temporary folder, with raw access to the file text.
class TempSettingsFile : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  QString Path() const { return dir_.filePath(QStringLiteral("VT-Zizara.INI")); }
  QString DirPath() const { return dir_.path(); }

  void Write(const QByteArray& text) const {
    QFile f(Path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(text), text.size());
  }

  QByteArray Read() const {
    QFile f(Path());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

 private:
  QTemporaryDir dir_;
};

}  // namespace zizara::core::settings

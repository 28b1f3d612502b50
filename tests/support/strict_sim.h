#pragma once

// Every simulator a test starts witnesses the program's side of the protocol; a test fails
// when the program broke a rule. StrictCheck gives the deviation file and checks it when it
// goes, so as a fixture member (declared before the instrument) it checks at teardown.

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "sim/qlx_instrument.h"

namespace zizara::testing {

// The deviation lines whose rule is not one of `allowed`.
inline QStringList StrictDeviations(const QString& path, const QStringList& allowed = {}) {
  QFile file(path);
  QStringList lines;
  if (!file.open(QIODevice::ReadOnly)) {
    return lines;  // nothing was ever written
  }
  for (const QByteArray& raw : file.readAll().split('\n')) {
    const QString line = QString::fromUtf8(raw).trimmed();
    if (line.isEmpty()) {
      continue;
    }
    // "TIME_MS RULE: seen ..., expected ..."
    const QString rule = line.section(QLatin1Char(' '), 1, 1).chopped(1);
    if (!allowed.contains(rule)) {
      lines << line;
    }
  }
  return lines;
}

inline void ExpectStrictFileEmpty(const QString& path, const QStringList& allowed = {}) {
  const QStringList lines = StrictDeviations(path, allowed);
  EXPECT_TRUE(lines.isEmpty()) << "the program broke the protocol (" << path.toStdString() << "):\n"
                               << lines.join(QLatin1Char('\n')).toStdString();
}

class StrictCheck {
 public:
  explicit StrictCheck(QStringList allowed = {})
      : path_(dir_.filePath(QStringLiteral("strict.txt"))), allowed_(std::move(allowed)) {}
  ~StrictCheck() { ExpectStrictFileEmpty(path_, allowed_); }
  StrictCheck(const StrictCheck&) = delete;
  StrictCheck& operator=(const StrictCheck&) = delete;

  const QString& path() const { return path_; }
  sim::QlxOptions Apply(sim::QlxOptions options) const {
    options.strict_file = path_;
    return options;
  }
  // For a test that breaks a rule on purpose (a bare restart, a restart right after another).
  void Allow(const QString& rule) { allowed_ << rule; }
  QStringList Deviations() const { return StrictDeviations(path_, allowed_); }

 private:
  QTemporaryDir dir_;
  QString path_;
  QStringList allowed_;
};

}  // namespace zizara::testing

#include "cli/fleet.h"

#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>
#include <vector>

#include "core/i18n/tr.h"
#include "core/link/port_names.h"

namespace zizara::cli {

using core::i18n::Tr;

namespace {

// Why a run failed: the first error it reported (the cause; what follows are its effects),
// else the last line it wrote to stderr.
QString LastMessage(const QString& err) {
  const QStringList lines = err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  QString last;
  for (const QString& raw : lines) {
    // A progress bar's redraws and the port line say nothing about the outcome.
    const QString line =
        raw.section(QLatin1Char('\r'), -1).remove(QStringLiteral("\033[K")).trimmed();
    if (line.isEmpty() || line.startsWith(Tr("Port: "))) {
      continue;
    }
    if (line.startsWith(Tr("Error: "))) {
      return line.mid(Tr("Error: ").size());
    }
    last = line;
  }
  return last;
}

// Two names reach the same line when they resolve to the same device file.
QString DeviceKey(const QString& name) {
  if (core::link::IsTcpPortName(name)) {
    return name.toLower();
  }
  const QString path = name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
  const QString canonical = QFileInfo(path).canonicalFilePath();
  return canonical.isEmpty() ? path : canonical;
}

}  // namespace

QList<FleetResult> RunFleet(
    const QStringList& ports, const FleetJob& job,
    const std::function<void(const FleetResult&, const QString&, const QString&)>& on_done,
    const std::function<void(const QList<int>&)>& on_progress) {
  struct Slot {
    FleetResult result;
    PortReport report;
    QString out;
    QString err;
    std::atomic<int> percent{-1};
  };
  std::vector<std::unique_ptr<Slot>> runs;
  std::vector<std::unique_ptr<QThread>> threads;
  QEventLoop loop;
  int remaining = static_cast<int>(ports.size());
  for (const QString& port : ports) {
    runs.push_back(std::make_unique<Slot>());
    Slot* slot = runs.back().get();
    slot->result.port = port;
    // Each port gets a thread of its own: the link's waits run their own event loops there.
    std::unique_ptr<QThread> thread(QThread::create([slot, port, &job] {
      QElapsedTimer timer;
      timer.start();
      QTextStream out(&slot->out);
      QTextStream err(&slot->err);
      const int code =
          job(port, slot->report, out, err, [slot](int percent) { slot->percent.store(percent); });
      out.flush();
      err.flush();
      slot->result.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
      slot->result.ok = code == kExitOk;
    }));
    QObject::connect(thread.get(), &QThread::finished, &loop, [&, slot] {
      const PortReport& r = slot->report;
      if (r.identified) {
        slot->result.serial = r.serial;
        slot->result.model = r.model;
        slot->result.version = r.version;
      }
      if (!slot->result.ok) {
        slot->result.error = LastMessage(slot->err);
        if (slot->result.error.isEmpty()) {
          slot->result.error = Tr("failed");
        }
      }
      if (on_done) {
        on_done(slot->result, slot->out, slot->err);
      }
      if (--remaining == 0) {
        loop.quit();
      }
    });
    threads.push_back(std::move(thread));
  }
  QTimer ticker;
  if (on_progress) {
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
      QList<int> percents;
      for (const auto& slot : runs) {
        percents << slot->percent.load();
      }
      on_progress(percents);
    });
    ticker.start(250);
  }
  for (const auto& thread : threads) {
    thread->start();
  }
  if (remaining > 0) {
    loop.exec();
  }
  for (const auto& thread : threads) {
    thread->wait();
  }
  QList<FleetResult> results;
  for (const auto& slot : runs) {
    results << slot->result;
  }
  return results;
}

QString ExpandFileName(const QString& pattern, const QString& port, const QString& serial,
                       const QDate& date) {
  QString name = pattern;
  if (!port.isEmpty()) {
    const QString last = port.section(QLatin1Char('/'), -1, -1, QString::SectionSkipEmpty);
    name.replace(QStringLiteral("{port}"), last.isEmpty() ? port : last);
  }
  if (!serial.isEmpty()) {
    name.replace(QStringLiteral("{serial}"), serial);
  }
  name.replace(QStringLiteral("{date}"), date.toString(QStringLiteral("yyyy-MM-dd")));
  return name;
}

bool IsPortPattern(const QString& name) {
  return !core::link::IsTcpPortName(name) &&
         (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')) ||
          name.contains(QLatin1Char('[')));
}

QStringList ExpandPortNames(const QStringList& options, const QString& ports_file, QString* error) {
  QStringList names;
  for (const QString& option : options) {
    if (!IsPortPattern(option)) {
      names << option;
      continue;
    }
    const QString path = option.startsWith(QLatin1Char('/')) || option.contains(QLatin1Char('/'))
                             ? option
                             : QStringLiteral("/dev/") + option;
    const QFileInfo info(path);
    const QDir dir(info.path());
    QStringList matches;
    // Only devices are ports: a pattern must not pick up a log file lying beside them.
    for (const QString& m :
         dir.entryList({info.fileName()}, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name)) {
      struct stat st {};
      if (::stat(dir.filePath(m).toLocal8Bit().constData(), &st) == 0 && S_ISCHR(st.st_mode)) {
        matches << m;
      }
    }
    if (matches.isEmpty()) {
      *error = Tr("no port matches %1").arg(option);
      return {};
    }
    for (const QString& m : matches) {
      names << (option.contains(QLatin1Char('/')) ? dir.filePath(m) : m);
    }
  }
  if (!ports_file.isEmpty()) {
    QFile file(ports_file);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
      *error = Tr("cannot read %1: %2").arg(ports_file, file.errorString());
      return {};
    }
    for (const QByteArray& raw : file.readAll().split('\n')) {
      const QString line = QString::fromUtf8(raw).trimmed();
      if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
        continue;
      }
      names << line;
    }
    if (names.isEmpty()) {
      *error = Tr("%1 names no port").arg(ports_file);
      return {};
    }
  }
  // Two links to one device would fight over its line; refuse before anything starts.
  for (int i = 0; i < names.size(); ++i) {
    for (int j = i + 1; j < names.size(); ++j) {
      if (DeviceKey(names[i]) == DeviceKey(names[j])) {
        *error = names[i] == names[j]
                     ? Tr("%1 is named twice").arg(names[i])
                     : Tr("%1 and %2 name the same device").arg(names[i], names[j]);
        return {};
      }
    }
  }
  return names;
}

QString FleetSummary(const QList<FleetResult>& results) {
  int done = 0;
  for (const FleetResult& r : results) {
    done += r.ok ? 1 : 0;
  }
  return Tr("%1 instruments: %2 done, %3 failed")
      .arg(results.size())
      .arg(done)
      .arg(results.size() - done);
}

QByteArray FleetJson(const QList<FleetResult>& results) {
  QJsonArray list;
  for (const FleetResult& r : results) {
    QJsonObject o;
    o[QStringLiteral("port")] = r.port;
    o[QStringLiteral("serial")] = r.serial >= 0 ? QJsonValue(r.serial) : QJsonValue();
    o[QStringLiteral("model")] = r.model.isEmpty() ? QJsonValue() : QJsonValue(r.model);
    o[QStringLiteral("version")] = r.version.isEmpty() ? QJsonValue() : QJsonValue(r.version);
    o[QStringLiteral("ok")] = r.ok;
    o[QStringLiteral("error")] = r.ok ? QJsonValue() : QJsonValue(r.error);
    o[QStringLiteral("seconds")] = r.seconds;
    list.append(o);
  }
  return QJsonDocument(list).toJson(QJsonDocument::Compact);
}

}  // namespace zizara::cli

#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>

#include "cli/cli.h"

namespace zizara::cli {

// What one port's run came to: one element of the report and of the --json array.
struct FleetResult {
  QString port;
  int serial = -1;
  QString model;
  QString version;
  bool ok = false;
  QString error;
  double seconds = 0;
};

// One port's job. It runs on its own thread with its own event loop and makes its own link;
// what it prints goes to `out` and `err`, which belong to it alone. It fills `report` with
// what it found, and returns the tool's exit code.
using FleetJob = std::function<int(const QString& port, PortReport& report, QTextStream& out,
                                   QTextStream& err, const std::function<void(int)>& progress)>;

// Runs `job` on every port at once and waits for all of them. `on_done` is called on the
// calling thread as each finishes, with what the job printed; `on_progress` (optional) now
// and then with every port's percentage (-1: no transfer yet). Results are in port order.
QList<FleetResult> RunFleet(
    const QStringList& ports, const FleetJob& job,
    const std::function<void(const FleetResult&, const QString& out, const QString& err)>& on_done,
    const std::function<void(const QList<int>& percents)>& on_progress = {});

// "{port}" becomes the last path part of `port`, "{serial}" `serial`, "{date}" YYYY-MM-DD.
// An empty port or serial leaves its placeholder as it is.
QString ExpandFileName(const QString& pattern, const QString& port, const QString& serial,
                       const QDate& date = QDate::currentDate());

// The ports named by --port (each may be a pattern such as /dev/serial/by-id/*QLX*) and
// --ports FILE (one a line; blank lines and # comments skipped), in that order. Empty with a
// reason when a pattern matches nothing, the file cannot be read, or two names reach the
// same device.
QStringList ExpandPortNames(const QStringList& options, const QString& ports_file, QString* error);
bool IsPortPattern(const QString& name);

// "8 instruments: 7 done, 1 failed"
QString FleetSummary(const QList<FleetResult>& results);
// The --json array: [{"port","serial","model","version","ok","error","seconds"}].
QByteArray FleetJson(const QList<FleetResult>& results);

}  // namespace zizara::cli

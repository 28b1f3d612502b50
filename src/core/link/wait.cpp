#include "core/link/wait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include "core/link/transport.h"

namespace zizara::core::link {

bool WaitUntil(const std::function<bool()>& done, int timeout_ms, Transport* transport,
               const std::function<bool()>& aborted) {
  if (done()) {
    return true;
  }
  if (timeout_ms <= 0) {
    return false;
  }
  const QDeadlineTimer deadline(timeout_ms, Qt::PreciseTimer);
  QEventLoop loop;
  bool result = false;
  const auto check = [&] {
    if (done()) {
      result = true;
      loop.quit();
    } else if (deadline.hasExpired() || (aborted && aborted())) {
      loop.quit();
    }
  };
  QTimer poll;
  poll.setTimerType(Qt::PreciseTimer);
  QObject::connect(&poll, &QTimer::timeout, &loop, check);
  poll.start(1);
  QMetaObject::Connection ready;
  if (transport != nullptr) {
    ready = QObject::connect(transport, &Transport::ReadyRead, &loop, check, Qt::QueuedConnection);
  }
  loop.exec();
  QObject::disconnect(ready);
  return result || done();
}

void Pause(int ms) {
  if (ms <= 0) {
    return;
  }
  QEventLoop loop;
  QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

void PumpEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

}  // namespace zizara::core::link

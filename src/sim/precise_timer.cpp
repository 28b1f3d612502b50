#include "sim/precise_timer.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <cstdint>

namespace zizara::sim {

PreciseTimer::PreciseTimer(QObject* parent) : QObject(parent) {
  fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (fd_ >= 0) {
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &PreciseTimer::OnReadable);
  }
}

PreciseTimer::~PreciseTimer() {
  notifier_.reset();
  if (fd_ >= 0) {
    close(fd_);
  }
}

void PreciseTimer::Start(qint64 ns) {
  active_ = true;
  if (fd_ < 0) {
    // No timerfd: fall back to the millisecond timer rather than not pacing at all.
    QTimer::singleShot(static_cast<int>((std::max<qint64>(ns, 0) + 999'999) / 1'000'000),
                       Qt::PreciseTimer, this, [this] {
                         if (active_) {
                           active_ = false;
                           emit Timeout();
                         }
                       });
    return;
  }
  itimerspec spec{};
  const qint64 wait = std::max<qint64>(ns, 1);  // zero would disarm it
  spec.it_value.tv_sec = static_cast<time_t>(wait / 1'000'000'000);
  spec.it_value.tv_nsec = static_cast<long>(wait % 1'000'000'000);
  timerfd_settime(fd_, 0, &spec, nullptr);
}

void PreciseTimer::Stop() {
  active_ = false;
  if (fd_ >= 0) {
    itimerspec spec{};
    timerfd_settime(fd_, 0, &spec, nullptr);
  }
}

void PreciseTimer::OnReadable() {
  std::uint64_t expirations = 0;
  if (read(fd_, &expirations, sizeof expirations) <= 0 || !active_) {
    return;
  }
  active_ = false;
  emit Timeout();
}

}  // namespace zizara::sim

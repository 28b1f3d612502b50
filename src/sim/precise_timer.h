#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace zizara::sim {

// A single-shot timer with nanosecond resolution (timerfd). Pacing a 9600-baud line needs
// waits of about a millisecond; QTimer rounds them up to whole milliseconds, which would
// almost double every turnaround.
class PreciseTimer : public QObject {
  Q_OBJECT

 public:
  explicit PreciseTimer(QObject* parent = nullptr);
  ~PreciseTimer() override;

  // Fires once after `ns` nanoseconds (at once for ns <= 0, through the event loop).
  void Start(qint64 ns);
  void Stop();
  bool IsActive() const { return active_; }

 signals:
  void Timeout();

 private:
  void OnReadable();

  int fd_ = -1;
  bool active_ = false;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace zizara::sim

#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace zizara::sim {

// Spaces bytes as an 8N1 line at a given baud rate would: ten bit times each, a byte being
// available once its stop bit is through. Baud 0 lets everything through at once.
class BytePacer {
 public:
  BytePacer() { clock_.start(); }

  void SetBaud(int baud);
  int baud() const { return baud_; }

  // Call when bytes start waiting after the line was idle, so idle time is not saved up.
  void Restart();
  // How many bytes have finished their way along the line by now, at most `waiting`.
  qint64 Allowance(qint64 waiting) const;
  void Consume(qint64 count);
  // Milliseconds (rounded up) until the next byte is through.
  int MsUntilNext() const;
  // The same in nanoseconds, for a timer that can wait that precisely.
  qint64 NsUntilNext() const;

 private:
  qint64 ByteNs() const { return baud_ > 0 ? 10'000'000'000LL / baud_ : 0; }

  QElapsedTimer clock_;
  int baud_ = 0;
  qint64 next_start_ns_ = 0;
};

}  // namespace zizara::sim

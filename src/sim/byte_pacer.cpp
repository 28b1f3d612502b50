#include "sim/byte_pacer.h"

#include <algorithm>

namespace zizara::sim {

void BytePacer::SetBaud(int baud) {
  baud_ = std::max(0, baud);
  Restart();
}

void BytePacer::Restart() { next_start_ns_ = std::max(next_start_ns_, clock_.nsecsElapsed()); }

qint64 BytePacer::Allowance(qint64 waiting) const {
  if (baud_ == 0) {
    return waiting;
  }
  const qint64 elapsed = clock_.nsecsElapsed() - next_start_ns_;
  return elapsed < 0 ? 0 : std::min(waiting, elapsed / ByteNs());
}

void BytePacer::Consume(qint64 count) { next_start_ns_ += count * ByteNs(); }

int BytePacer::MsUntilNext() const {
  if (baud_ == 0) {
    return 0;
  }
  const qint64 due = next_start_ns_ + ByteNs() - clock_.nsecsElapsed();
  return due <= 0 ? 0 : static_cast<int>((due + 999'999) / 1'000'000);
}

qint64 BytePacer::NsUntilNext() const {
  if (baud_ == 0) {
    return 0;
  }
  return std::max<qint64>(0, next_start_ns_ + ByteNs() - clock_.nsecsElapsed());
}

}  // namespace zizara::sim

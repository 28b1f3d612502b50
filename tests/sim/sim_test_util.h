#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <initializer_list>

#include "sim/in_memory_transport.h"
#include "sim/qlx_instrument.h"

namespace zizara::sim::testing {

inline QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray b;
  for (int v : values) {
    b.append(static_cast<char>(v));
  }
  return b;
}

// Runs the event loop until `done` holds or the deadline passes.
inline bool WaitFor(const std::function<bool()>& done, int timeout_ms = 3000) {
  const QDeadlineTimer deadline(timeout_ms);
  while (!done()) {
    if (deadline.hasExpired()) {
      return false;
    }
    QEventLoop loop;
    QTimer::singleShot(1, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}

// An instrument on an open in-memory line.
struct Bench {
  explicit Bench(const QlxOptions& options = {}) : instrument(options), line(&instrument) {
    line.Open(nullptr);
  }
  // Writes and returns whatever answered at once (everything, with no latency).
  QByteArray Exchange(const QByteArray& bytes) {
    line.Write(bytes);
    return line.Read(1 << 20);
  }
  QByteArray Line(const QByteArray& text) { return Exchange(text + "\r"); }
  // Break, set address, read block: the bytes of the block with its check byte.
  QByteArray ReadBlock(const QByteArray& address, int count_byte) {
    Exchange(Bytes({0xA6, 0x6D}));
    Exchange(QByteArray(1, '\0') + address);
    return Exchange(Bytes({0x11, count_byte})).mid(1);
  }

  QlxInstrument instrument;
  InMemoryTransport line;
};

}  // namespace zizara::sim::testing

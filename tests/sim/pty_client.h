#pragma once

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QString>
#include <functional>

namespace zizara::sim::testing {

// The host end of a pty, opened the plain POSIX way. `pump` runs between polls, so a server
// in the same thread gets its event loop.
class PtyClient {
 public:
  explicit PtyClient(const QString& path, std::function<void()> pump = {})
      : pump_(std::move(pump)) {
    fd_ = open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ >= 0) {
      termios raw{};
      tcgetattr(fd_, &raw);
      cfmakeraw(&raw);
      tcsetattr(fd_, TCSANOW, &raw);
    }
  }
  ~PtyClient() {
    if (fd_ >= 0) {
      close(fd_);
    }
  }
  PtyClient(const PtyClient&) = delete;
  PtyClient& operator=(const PtyClient&) = delete;

  bool ok() const { return fd_ >= 0; }
  // True once a read reported end of file or an error: the other end is gone.
  bool closed() const { return closed_; }

  bool Send(const QByteArray& bytes) {
    return fd_ >= 0 && write(fd_, bytes.constData(), bytes.size()) == bytes.size();
  }

  // Collects bytes until `count` arrived, the line closed or the deadline passed.
  QByteArray Receive(int count, int timeout_ms = 3000) {
    const QDeadlineTimer deadline(timeout_ms);
    while (buffer_.size() < count && !closed_ && !deadline.hasExpired()) {
      if (pump_) {
        pump_();
      }
      pollfd p{fd_, POLLIN, 0};
      poll(&p, 1, pump_ ? 1 : 20);
      char chunk[4096];
      const ssize_t n = read(fd_, chunk, sizeof chunk);
      if (n > 0) {
        buffer_.append(chunk, n);
      } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        closed_ = true;
      }
    }
    const QByteArray out = buffer_.left(count);
    buffer_.remove(0, out.size());
    return out;
  }

 private:
  int fd_ = -1;
  bool closed_ = false;
  QByteArray buffer_;
  std::function<void()> pump_;
};

}  // namespace zizara::sim::testing

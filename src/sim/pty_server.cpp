#include "sim/pty_server.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>
#include <QSocketNotifier>

#include "sim/qlx_instrument.h"

namespace zizara::sim {

namespace {

inline constexpr qint64 kMaxInputQueue = qint64{64} * 1024;
inline constexpr qint64 kMaxOutputQueue = qint64{1024} * 1024;
inline constexpr int kChunk = 4096;

QString Errno(const char* what) {
  return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(strerror(errno)));
}

bool SetFlags(int fd) {
  const int fl = fcntl(fd, F_GETFL);
  const int fdfl = fcntl(fd, F_GETFD);
  return fl >= 0 && fdfl >= 0 && fcntl(fd, F_SETFL, fl | O_NONBLOCK) == 0 &&
         fcntl(fd, F_SETFD, fdfl | FD_CLOEXEC) == 0;
}

}  // namespace

PtyServer::PtyServer(QlxInstrument* instrument, QObject* parent)
    : QObject(parent), instrument_(instrument) {
  connect(&input_timer_, &PreciseTimer::Timeout, this, &PtyServer::PumpInput);
  connect(&output_timer_, &PreciseTimer::Timeout, this, &PtyServer::PumpOutput);
  if (instrument_ != nullptr) {
    SetBaud(instrument_->options().baud);
    connect(instrument_, &QlxInstrument::Transmit, this, &PtyServer::OnTransmit);
    connect(instrument_, &QlxInstrument::HangUp, this, &PtyServer::OnHangUp);
  }
}

PtyServer::~PtyServer() { Stop(); }

void PtyServer::SetBaud(int baud) {
  input_pacer_.SetBaud(baud);
  output_pacer_.SetBaud(baud);
}

bool PtyServer::Start(const QString& link_path, QString* error) {
  const auto fail = [&](const QString& text) {
    ClosePty();
    if (error != nullptr) {
      *error = text;
    }
    return false;
  };
  if (IsRunning()) {
    return fail(QStringLiteral("already serving on %1").arg(link_path_));
  }
  if (link_path.isEmpty()) {
    return fail(QStringLiteral("no link path given"));
  }
  master_fd_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_fd_ < 0) {
    return fail(Errno("posix_openpt"));
  }
  if (!SetFlags(master_fd_)) {
    return fail(Errno("fcntl"));
  }
  if (grantpt(master_fd_) != 0 || unlockpt(master_fd_) != 0) {
    return fail(Errno("grantpt/unlockpt"));
  }
  char name[256] = {};
  if (ptsname_r(master_fd_, name, sizeof name) != 0) {
    return fail(Errno("ptsname"));
  }
  device_path_ = QString::fromLocal8Bit(name);
  slave_fd_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (slave_fd_ < 0) {
    return fail(Errno("open pty device"));
  }
  termios raw{};
  if (tcgetattr(slave_fd_, &raw) != 0) {
    return fail(Errno("tcgetattr"));
  }
  cfmakeraw(&raw);
  cfsetispeed(&raw, B9600);
  cfsetospeed(&raw, B9600);
  if (tcsetattr(slave_fd_, TCSANOW, &raw) != 0) {
    return fail(Errno("tcsetattr"));
  }

  const QByteArray link = QFile::encodeName(link_path);
  struct stat st {};
  if (lstat(link.constData(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) {
      return fail(QStringLiteral("%1 exists and is not a symbolic link").arg(link_path));
    }
    // A link to a live terminal device belongs to a running simulator; only a stale one
    // (its pseudo-terminal gone) may be taken over.
    struct stat target {};
    if (stat(link.constData(), &target) == 0 && S_ISCHR(target.st_mode)) {
      return fail(QStringLiteral("%1 is in use: a running simulator serves it").arg(link_path));
    }
    if (unlink(link.constData()) != 0) {
      return fail(Errno("unlink old link"));
    }
  }
  if (symlink(name, link.constData()) != 0) {
    return fail(QStringLiteral("cannot create %1: %2")
                    .arg(link_path, QString::fromLocal8Bit(strerror(errno))));
  }
  link_path_ = link_path;

  read_notifier_ = std::make_unique<QSocketNotifier>(master_fd_, QSocketNotifier::Read);
  connect(read_notifier_.get(), &QSocketNotifier::activated, this, &PtyServer::OnReadable);
  write_notifier_ = std::make_unique<QSocketNotifier>(master_fd_, QSocketNotifier::Write);
  write_notifier_->setEnabled(false);
  connect(write_notifier_.get(), &QSocketNotifier::activated, this, &PtyServer::OnWritable);
  return true;
}

void PtyServer::Stop() {
  ClosePty();
  if (!link_path_.isEmpty()) {
    const QByteArray link = QFile::encodeName(link_path_);
    char target[256] = {};
    const ssize_t n = readlink(link.constData(), target, sizeof target - 1);
    if (n > 0 && QString::fromLocal8Bit(target, n) == device_path_) {
      unlink(link.constData());
    }
    link_path_.clear();
  }
}

void PtyServer::ClosePty() {
  // Deferred: we may be inside one of the notifiers' own signals.
  for (auto* notifier : {&read_notifier_, &write_notifier_}) {
    if (*notifier) {
      (*notifier)->setEnabled(false);
      notifier->release()->deleteLater();
    }
  }
  input_timer_.Stop();
  output_timer_.Stop();
  input_.clear();
  output_.clear();
  if (master_fd_ >= 0) {
    close(master_fd_);
    master_fd_ = -1;
  }
  if (slave_fd_ >= 0) {
    close(slave_fd_);
    slave_fd_ = -1;
  }
}

void PtyServer::OnReadable() {
  char buffer[kChunk];
  while (master_fd_ >= 0 && input_.size() < kMaxInputQueue) {
    const ssize_t n = read(master_fd_, buffer, sizeof buffer);
    if (n > 0) {
      if (input_.isEmpty()) {
        input_pacer_.Restart();
      }
      input_.append(buffer, n);
      continue;
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    break;  // EAGAIN, or EIO while no client is attached: wait for the next notification
  }
  if (read_notifier_ && input_.size() >= kMaxInputQueue) {
    read_notifier_->setEnabled(false);  // let the host's writes back up, as a slow line would
  }
  PumpInput();
}

void PtyServer::PumpInput() {
  if (master_fd_ < 0) {
    return;
  }
  const qint64 n = input_pacer_.Allowance(input_.size());
  if (n > 0) {
    const QByteArray chunk = input_.left(n);
    input_.remove(0, n);
    input_pacer_.Consume(n);
    if (instrument_ != nullptr) {
      instrument_->Receive(chunk);  // may hang up and close everything
    }
  }
  if (master_fd_ < 0) {
    return;
  }
  if (!input_.isEmpty()) {
    input_timer_.Start(input_pacer_.NsUntilNext());
  } else if (read_notifier_ && !read_notifier_->isEnabled()) {
    read_notifier_->setEnabled(true);
  }
}

void PtyServer::OnTransmit(const QByteArray& bytes) {
  if (master_fd_ < 0) {
    return;
  }
  if (output_.isEmpty()) {
    output_pacer_.Restart();
  }
  // Nobody reading for a long time: a real line would have lost these bytes as well.
  output_.append(bytes.left(std::max<qint64>(0, kMaxOutputQueue - output_.size())));
  if (!output_timer_.IsActive() && !(write_notifier_ && write_notifier_->isEnabled())) {
    PumpOutput();
  }
}

void PtyServer::OnWritable() {
  if (write_notifier_) {
    write_notifier_->setEnabled(false);
  }
  PumpOutput();
}

void PtyServer::PumpOutput() {
  if (master_fd_ < 0) {
    return;
  }
  qint64 allowed = output_pacer_.Allowance(output_.size());
  while (allowed > 0) {
    const ssize_t n = write(master_fd_, output_.constData(), static_cast<size_t>(allowed));
    if (n > 0) {
      output_.remove(0, n);
      output_pacer_.Consume(n);
      allowed -= n;
      continue;
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (write_notifier_) {
      write_notifier_->setEnabled(true);  // pty buffer full: wait until the host reads
    }
    return;
  }
  if (!output_.isEmpty()) {
    output_timer_.Start(output_pacer_.NsUntilNext());
  }
}

void PtyServer::OnHangUp() {
  if (master_fd_ < 0) {
    return;
  }
  ClosePty();
  emit HungUp();
}

}  // namespace zizara::sim

#include "core/link/serial_transport.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>
#include <cerrno>

#include "core/i18n/tr.h"

namespace zizara::core::link {

using i18n::Tr;

namespace {
QString DevicePath(const QString& port_name) {
  return port_name.startsWith(QLatin1Char('/')) ? port_name
                                                : QStringLiteral("/dev/") + port_name;
}
}  // namespace

SerialTransport::SerialTransport(const QString& port_name, QObject* parent)
    : Transport(parent), name_(port_name) {
  connect(&port_, &QSerialPort::readyRead, this, &Transport::ReadyRead);
  connect(&port_, &QSerialPort::errorOccurred, this, &SerialTransport::OnError);
}

bool SerialTransport::Open(QString* error) {
  failed_ = false;
  if (port_.isOpen()) {
    port_.close();
  }
  port_.setPortName(name_.startsWith(QLatin1Char('/'))
                         ? QFileInfo(name_).canonicalFilePath().isEmpty()
                               ? name_
                               : QFileInfo(name_).canonicalFilePath()
                         : name_);
  port_.setReadBufferSize(1024);
  if (!port_.open(QIODevice::ReadWrite)) {
    if (error != nullptr) {
      *error = port_.errorString();
      const QString hint = PermissionHint(name_);
      if (!hint.isEmpty()) {
        *error += QStringLiteral("\r") + hint;
      }
    }
    return false;
  }
  port_.setBaudRate(QSerialPort::Baud9600);
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  // A pty refuses modem-line control; the lines are meant to be off anyway.
  port_.setDataTerminalReady(false);
  port_.setRequestToSend(false);
  port_.clearError();
  return true;
}

void SerialTransport::Close() {
  if (port_.isOpen()) {
    port_.close();
  }
}

qint64 SerialTransport::Write(const QByteArray& bytes) {
  if (!port_.isOpen() || failed_) {
    return -1;
  }
  drained_ = false;
  return port_.write(bytes);
}

QByteArray SerialTransport::Read(qint64 max_bytes) {
  if (!port_.isOpen()) {
    return {};
  }
  return port_.read(max_bytes);
}

void SerialTransport::Clear(bool input, bool output) {
  if (!port_.isOpen()) {
    return;
  }
  if (input) {
    port_.readAll();  // Qt's own buffer
  }
  // After a drain a real line has nothing left to discard, but a pseudo-terminal would still
  // throw away what its other end has not read yet.
  if (drained_) {
    output = false;
  }
  QSerialPort::Directions d;
  if (input) d |= QSerialPort::Input;
  if (output) d |= QSerialPort::Output;
  if (d != QSerialPort::Directions()) {
    port_.clear(d);
  }
}

void SerialTransport::Drain() {
  if (!port_.isOpen() || failed_) {
    return;
  }
  // Qt keeps written bytes until the event loop runs; hand them to the driver first, then
  // wait until the driver has sent them. A few bytes at 9600 baud take milliseconds.
  const QDeadlineTimer deadline(1000);
  while (port_.bytesToWrite() > 0 && !deadline.hasExpired()) {
    if (!port_.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
      break;
    }
  }
  const int fd = static_cast<int>(port_.handle());
  if (fd >= 0) {
    ::tcdrain(fd);
  }
  drained_ = port_.bytesToWrite() == 0;
}

void SerialTransport::OnError(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
      if (!failed_) {
        failed_ = true;
        emit Failed(port_.errorString());
      }
      break;
    default:
      break;  // refused modem-line control on a pty and the like are harmless
  }
}

QStringList AvailablePorts(const QString& stored) {
  QStringList names;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    names << info.portName();
  }
  if (!stored.isEmpty() && !names.contains(stored)) {
    struct stat st {};
    if (::stat(DevicePath(stored).toLocal8Bit().constData(), &st) == 0 && S_ISCHR(st.st_mode)) {
      names << stored;
    }
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

QString PermissionHint(const QString& port_name) {
  const QByteArray path = DevicePath(port_name).toLocal8Bit();
  struct stat st {};
  if (::stat(path.constData(), &st) != 0 || ::access(path.constData(), R_OK | W_OK) == 0) {
    return {};
  }
  return PermissionHintFor(QString::fromLocal8Bit(path), st.st_mode, st.st_gid);
}

QString PermissionHintFor(const QString& device_path, unsigned mode, unsigned group_gid) {
  // Joining the group helps only when the group may read and write; joining root is no advice.
  const bool group_may_use = (mode & S_IRGRP) != 0 && (mode & S_IWGRP) != 0;
  if (group_may_use && group_gid != 0) {
    const struct group* g = ::getgrgid(group_gid);
    const QString group = g != nullptr ? QString::fromLocal8Bit(g->gr_name)
                                       : QString::number(group_gid);
    return Tr("You may not use ") + device_path + Tr(": it belongs to the group \"") + group +
           Tr("\". Join it with \"sudo usermod -aG ") + group +
           Tr(" $USER\", then log out and in again.");
  }
  return Tr("Permission to use %1 is denied. Ask the administrator for access, or add a udev "
            "rule that gives you read and write access to it.")
      .arg(device_path);
}

PortProblem DiagnosePort(const QString& port_name) {
  const QByteArray path = DevicePath(port_name).toLocal8Bit();
  struct stat st {};
  if (::stat(path.constData(), &st) != 0) {
    return errno == EACCES ? PortProblem::kPermissionDenied : PortProblem::kNoSuchDevice;
  }
  if (!S_ISCHR(st.st_mode)) {
    return PortProblem::kNotSerial;
  }
  if (::access(path.constData(), R_OK | W_OK) != 0) {
    return PortProblem::kPermissionDenied;
  }
  // Only reached after an open failed: a short look tells a busy port from a device that is no
  // serial line at all. Non-blocking, and it never becomes our controlling terminal.
  const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == EACCES || errno == EPERM) {
      return PortProblem::kPermissionDenied;
    }
    return errno == ENOENT || errno == ENXIO || errno == ENODEV ? PortProblem::kNoSuchDevice
                                                                : PortProblem::kBusy;
  }
  const bool terminal = ::isatty(fd) != 0;
  ::close(fd);
  return terminal ? PortProblem::kBusy : PortProblem::kNotSerial;
}

QString PortProblemText(const QString& port_name, PortProblem problem) {
  switch (problem) {
    case PortProblem::kNoSuchDevice:
      return Tr("%1 cannot be opened: there is no such device.").arg(port_name);
    case PortProblem::kNotSerial:
      return Tr("%1 cannot be opened: it is not a serial device.").arg(port_name);
    case PortProblem::kPermissionDenied:
      return Tr("%1 cannot be opened: permission denied.").arg(port_name);
    case PortProblem::kBusy:
      break;
  }
  return port_name + Tr(" is not available, it could be in use by another application.");
}

}  // namespace zizara::core::link

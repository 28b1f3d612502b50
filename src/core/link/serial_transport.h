#pragma once

#include <QSerialPort>
#include <QStringList>

#include "core/link/transport.h"

namespace zizara::core::link {

// The instrument's RS232 line: 9600 baud, 8N1, no flow control, DTR and RTS held off.
class SerialTransport : public Transport {
  Q_OBJECT

 public:
  // A name the system lists ("ttyUSB0") or a device path ("/dev/pts/5", a symlink to one).
  explicit SerialTransport(const QString& port_name, QObject* parent = nullptr);

  bool Open(QString* error) override;
  void Close() override;
  bool IsOpen() const override { return port_.isOpen(); }
  QString Name() const override { return name_; }
  qint64 Write(const QByteArray& bytes) override;
  QByteArray Read(qint64 max_bytes) override;
  qint64 BytesAvailable() const override { return port_.bytesAvailable(); }
  void Clear(bool input, bool output) override;
  void Drain() override;

 private:
  void OnError(QSerialPort::SerialPortError error);

  QString name_;
  QSerialPort port_;
  bool failed_ = false;
  bool drained_ = false;  // nothing written since the last Drain
};

// The system's serial ports, sorted as text; `stored` is added when it is a character device
// the enumeration missed (a pty, a /dev/serial/by-id link).
QStringList AvailablePorts(const QString& stored = QString());

// For a port that exists but may not be opened: how to get access. Empty when permissions are
// not the problem.
QString PermissionHint(const QString& port_name);
// The advice for a device with these owners and mode bits: join the group only when the group
// may read and write and is not root's; otherwise the administrator or a udev rule.
QString PermissionHintFor(const QString& device_path, unsigned mode, unsigned group_gid);

// Why a port could not be opened, as far as the system tells.
enum class PortProblem { kNoSuchDevice, kNotSerial, kPermissionDenied, kBusy };
PortProblem DiagnosePort(const QString& port_name);
// The first line of the open error, following its cause; only a busy port "could be in use".
QString PortProblemText(const QString& port_name, PortProblem problem);

}  // namespace zizara::core::link

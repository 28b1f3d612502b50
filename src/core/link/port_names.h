#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zizara::core::link {

// One port a user may choose: the name to open, the kernel device behind it and what to show.
struct PortEntry {
  QString name;         // "ttyUSB0", "/dev/serial/by-id/usb-FTDI_…-port0", a stored path
  QString device;       // the kernel device, "ttyUSB0"
  QString description;  // "usb-FTDI_FT232R_A1B2C3-if00-port0 (ttyUSB0)", or what the system says
};

// The kernel's ports (AvailablePorts), then the stable names under `serial_dir`/by-id and
// `serial_dir`/by-path. A stable name survives re-plugging, so it is the better choice to keep.
QList<PortEntry> ListPorts(const QString& stored = QString(),
                           const QString& serial_dir = QStringLiteral("/dev/serial"));
// Only the stable names under `serial_dir` (by-id first, then by-path), each sorted as text.
QList<PortEntry> StablePortNames(const QString& serial_dir = QStringLiteral("/dev/serial"));

// The form "tcp:HOST:PORT" reaches a serial-to-network server. An IPv6 host goes in brackets.
bool IsTcpPortName(const QString& name);
// False, with the reason, when the name is not a usable tcp:HOST:PORT.
bool ParseTcpPortName(const QString& name, QString* host, quint16* port, QString* error);

}  // namespace zizara::core::link

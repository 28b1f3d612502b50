#include "core/link/port_names.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include "core/i18n/tr.h"
#include "core/link/serial_transport.h"

namespace zizara::core::link {

using i18n::Tr;

QList<PortEntry> StablePortNames(const QString& serial_dir) {
  QList<PortEntry> entries;
  for (const char* kind : {"by-id", "by-path"}) {
    const QDir dir(serial_dir + QLatin1Char('/') + QLatin1String(kind));
    // The links are made by udev; one whose device is gone is no port.
    const QFileInfoList links =
        dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : links) {
      const QString target = link.canonicalFilePath();
      if (target.isEmpty() || QFileInfo(target).isDir()) {
        continue;
      }
      const QString device = QFileInfo(target).fileName();
      entries.append({link.absoluteFilePath(), device,
                      link.fileName() + QStringLiteral(" (") + device + QLatin1Char(')')});
    }
  }
  return entries;
}

QList<PortEntry> ListPorts(const QString& stored, const QString& serial_dir) {
  QList<PortEntry> entries;
  const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
  const QList<PortEntry> stable = StablePortNames(serial_dir);
  for (const QString& name : AvailablePorts()) {
    PortEntry e{name, name, name};
    for (const QSerialPortInfo& info : infos) {
      if (info.portName() == name && !info.description().isEmpty()) {
        e.description = name + QStringLiteral(" (") + info.description() + QLatin1Char(')');
      }
    }
    entries.append(e);
  }
  entries.append(stable);
  // A stored device path the lists missed (a pty, a link elsewhere) is offered as it is.
  if (!stored.isEmpty()) {
    bool listed = false;
    for (const PortEntry& e : entries) {
      listed = listed || e.name == stored;
    }
    if (!listed && AvailablePorts(stored).contains(stored)) {
      const QString device = QFileInfo(QFileInfo(stored).canonicalFilePath()).fileName();
      entries.append({stored, device.isEmpty() ? stored : device, stored});
    }
  }
  return entries;
}

bool IsTcpPortName(const QString& name) {
  return name.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive);
}

bool ParseTcpPortName(const QString& name, QString* host, quint16* port, QString* error) {
  const auto fail = [&](const QString& why) {
    if (error != nullptr) {
      *error = why;
    }
    return false;
  };
  if (!IsTcpPortName(name)) {
    return fail(Tr("%1 is not a network port; write tcp:HOST:PORT.").arg(name));
  }
  const QString rest = name.mid(4);
  const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
  if (colon <= 0) {
    return fail(Tr("%1 names no TCP port; write tcp:HOST:PORT.").arg(name));
  }
  QString h = rest.left(colon);
  if (h.startsWith(QLatin1Char('[')) && h.endsWith(QLatin1Char(']'))) {
    h = h.mid(1, h.size() - 2);
  }
  bool ok = false;
  const uint number = rest.mid(colon + 1).toUInt(&ok);
  if (h.isEmpty() || !ok || number == 0 || number > 65535) {
    return fail(Tr("%1 is not a valid network port; write tcp:HOST:PORT with a port number "
                   "from 1 to 65535.")
                    .arg(name));
  }
  *host = h;
  *port = static_cast<quint16>(number);
  return true;
}

}  // namespace zizara::core::link

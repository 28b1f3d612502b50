#include "core/link/tcp_transport.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include "core/i18n/tr.h"
#include "core/link/port_names.h"

namespace zizara::core::link {

using i18n::Tr;

TcpTransport::TcpTransport(const QString& port_name, QObject* parent)
    : Transport(parent), name_(port_name) {
  ParseTcpPortName(port_name, &host_, &port_, nullptr);
  connect(&socket_, &QTcpSocket::readyRead, this, &Transport::ReadyRead);
  connect(&socket_, &QTcpSocket::errorOccurred, this, &TcpTransport::OnError);
}

QString TcpTransport::Address() const {
  return host_.contains(QLatin1Char(':')) ? QStringLiteral("[%1]:%2").arg(host_).arg(port_)
                                          : QStringLiteral("%1:%2").arg(host_).arg(port_);
}

bool TcpTransport::Open(QString* error) {
  QString parse_error;
  if (!ParseTcpPortName(name_, &host_, &port_, &parse_error)) {
    if (error != nullptr) {
      *error = parse_error;
    }
    return false;
  }
  failed_ = false;
  connected_ = false;
  socket_.abort();
  // The protocol's blocks must leave at once: small-packet coalescing would add a round trip
  // to every acknowledge.
  socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
  QEventLoop loop;
  QTimer timeout;
  timeout.setSingleShot(true);
  QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
  const auto c1 = QObject::connect(&socket_, &QTcpSocket::connected, &loop, &QEventLoop::quit);
  const auto c2 = QObject::connect(&socket_, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
  socket_.connectToHost(host_, port_);
  timeout.start(connect_timeout_ms_);
  if (socket_.state() != QAbstractSocket::ConnectedState &&
      socket_.state() != QAbstractSocket::UnconnectedState) {
    loop.exec();
  }
  QObject::disconnect(c1);
  QObject::disconnect(c2);
  if (socket_.state() != QAbstractSocket::ConnectedState) {
    const QString words = socket_.state() == QAbstractSocket::UnconnectedState
                              ? SocketErrorWords(socket_.error())
                              : SocketErrorWords(QAbstractSocket::SocketTimeoutError);
    socket_.abort();
    failed_ = false;
    if (error != nullptr) {
      *error = Tr("Cannot reach %1: %2").arg(Address(), words);
    }
    return false;
  }
  socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
  connected_ = true;
  return true;
}

void TcpTransport::Close() {
  connected_ = false;
  socket_.abort();
}

bool TcpTransport::IsOpen() const {
  return socket_.state() == QAbstractSocket::ConnectedState && !failed_;
}

qint64 TcpTransport::Write(const QByteArray& bytes) {
  if (!IsOpen()) {
    return -1;
  }
  const qint64 n = socket_.write(bytes);
  socket_.flush();  // hand the block to the system now, not when the event loop next runs
  return n;
}

QByteArray TcpTransport::Read(qint64 max_bytes) {
  if (socket_.state() != QAbstractSocket::ConnectedState && socket_.bytesAvailable() == 0) {
    return {};
  }
  return socket_.read(max_bytes);
}

void TcpTransport::Clear(bool input, bool /*output*/) {
  // What was written has left with flush(); only what arrived can be thrown away.
  if (input && socket_.bytesAvailable() > 0) {
    socket_.readAll();
  }
}

void TcpTransport::Drain() {
  if (IsOpen() && socket_.bytesToWrite() > 0) {
    socket_.waitForBytesWritten(1000);
  }
}

void TcpTransport::OnError(QAbstractSocket::SocketError error) {
  if (!connected_) {
    return;  // a failed connect; Open() reports it
  }
  if (!failed_) {
    failed_ = true;
    emit Failed(Tr("Connection to %1 lost: %2").arg(Address(), SocketErrorWords(error)));
  }
}

QString SocketErrorWords(QAbstractSocket::SocketError error) {
  switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
      return Tr("connection refused");
    case QAbstractSocket::HostNotFoundError:
      return Tr("unknown host");
    case QAbstractSocket::SocketTimeoutError:
      return Tr("no answer");
    case QAbstractSocket::RemoteHostClosedError:
      return Tr("the server closed the connection");
    case QAbstractSocket::NetworkError:
      return Tr("network unreachable");
    case QAbstractSocket::SocketAccessError:
      return Tr("access denied");
    default:
      return Tr("network error");
  }
}

}  // namespace zizara::core::link

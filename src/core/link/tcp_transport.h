#pragma once

#include <QTcpSocket>

#include "core/link/transport.h"

namespace zizara::core::link {

// The instrument's line through a serial-to-network server in raw mode ("tcp:HOST:PORT"); the
// server holds the serial side at 9600 8N1. A lost connection is a pulled cable.
class TcpTransport : public Transport {
  Q_OBJECT

 public:
  explicit TcpTransport(const QString& port_name, QObject* parent = nullptr);

  // Connecting keeps the event loop running; it gives up after connect_timeout_ms.
  bool Open(QString* error) override;
  void Close() override;
  bool IsOpen() const override;
  QString Name() const override { return name_; }
  qint64 Write(const QByteArray& bytes) override;
  QByteArray Read(qint64 max_bytes) override;
  qint64 BytesAvailable() const override { return socket_.bytesAvailable(); }
  void Clear(bool input, bool output) override;
  void Drain() override;

  void SetConnectTimeout(int ms) { connect_timeout_ms_ = ms; }
  // "rack3:4001", as the fault texts name it.
  QString Address() const;

 private:
  void OnError(QAbstractSocket::SocketError error);

  QString name_;
  QString host_;
  quint16 port_ = 0;
  QTcpSocket socket_;
  bool failed_ = false;
  bool connected_ = false;  // since the last Open; a failed connect is no lost line
  int connect_timeout_ms_ = 5000;
};

// "connection refused", "unknown host", … : the words after "Cannot reach HOST:PORT: ".
QString SocketErrorWords(QAbstractSocket::SocketError error);

}  // namespace zizara::core::link

#include "sim/tcp_server.h"

#include "sim/qlx_instrument.h"

namespace zizara::sim {

TcpServer::TcpServer(QlxInstrument* instrument, QObject* parent)
    : QObject(parent), instrument_(instrument) {
  connect(&server_, &QTcpServer::newConnection, this, &TcpServer::OnNewConnection);
  if (instrument_ != nullptr) {
    connect(instrument_, &QlxInstrument::Transmit, this, [this](const QByteArray& bytes) {
      if (client_ != nullptr && client_->state() == QAbstractSocket::ConnectedState) {
        client_->write(bytes);
        client_->flush();
      }
    });
    connect(instrument_, &QlxInstrument::HangUp, this, [this] {
      if (client_ != nullptr) {
        client_->abort();
      }
      server_.close();  // a pulled cable stays pulled
      emit HungUp();
    });
  }
}

bool TcpServer::Listen(quint16 port, QString* error) {
  if (!server_.listen(QHostAddress::LocalHost, port)) {
    *error =
        QStringLiteral("cannot listen on TCP port %1: %2").arg(port).arg(server_.errorString());
    return false;
  }
  return true;
}

void TcpServer::Close() {
  if (client_ != nullptr) {
    client_->abort();
  }
  server_.close();
}

void TcpServer::OnNewConnection() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    if (client_ != nullptr && client_->state() == QAbstractSocket::ConnectedState) {
      socket->abort();  // the line is in use, as a device server's port would be
      socket->deleteLater();
      continue;
    }
    if (client_ != nullptr) {
      client_->deleteLater();
    }
    client_ = socket;
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
      const QByteArray bytes = socket->readAll();
      if (instrument_ != nullptr && !bytes.isEmpty()) {
        instrument_->Receive(bytes);
      }
    });
  }
}

}  // namespace zizara::sim

#pragma once

#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace zizara::sim {

class QlxInstrument;

// Serves a QlxInstrument on a local TCP port, as a serial-to-network server in raw mode would:
// one client at a time, bytes passed through unchanged, no pacing. A hang-up of the instrument
// closes the client's connection.
class TcpServer : public QObject {
  Q_OBJECT

 public:
  explicit TcpServer(QlxInstrument* instrument, QObject* parent = nullptr);

  // Listens on 127.0.0.1:port (0 picks a free port).
  bool Listen(quint16 port, QString* error);
  quint16 Port() const { return server_.serverPort(); }
  void Close();

 signals:
  void HungUp();

 private:
  void OnNewConnection();

  QPointer<QlxInstrument> instrument_;
  QTcpServer server_;
  QPointer<QTcpSocket> client_;
};

}  // namespace zizara::sim

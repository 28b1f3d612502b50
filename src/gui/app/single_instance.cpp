#include "gui/app/single_instance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QLocalSocket>

namespace zizara::gui::app {

SingleInstance::SingleInstance(const QString& key, QObject* parent)
    : QObject(parent), name_(ServerName(key)) {
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
}

QString SingleInstance::ServerName(const QString& key) {
  const QByteArray hash =
      QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
  return QStringLiteral("vt-zizara-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

bool SingleInstance::SendToRunning(const QString& path, int timeout_ms) {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(timeout_ms)) {
    return false;
  }
  const QByteArray data = path.toUtf8() + '\n';
  socket.write(data);
  if (!socket.waitForBytesWritten(timeout_ms)) {
    return false;
  }
  // The running instance answers once it has the path, so the sender may end safely.
  return socket.waitForReadyRead(timeout_ms) && socket.readAll().startsWith("ok");
}

bool SingleInstance::Listen() {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (server_.listen(name_)) {
    return true;
  }
  QLocalServer::removeServer(name_);
  return server_.listen(name_);
}

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > 64 * 1024) {
          socket->abort();  // not one of ours
        }
        return;
      }
      const QString path = QString::fromUtf8(socket->readLine()).trimmed();
      socket->write("ok\n");
      socket->flush();
      if (!path.isEmpty()) {
        // Acting on the path may run a macro for minutes; the socket must not be inside that.
        QMetaObject::invokeMethod(
            this, [this, path] { emit PathReceived(path); }, Qt::QueuedConnection);
      }
    });
  }
}

}  // namespace zizara::gui::app

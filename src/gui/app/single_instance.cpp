#include "gui/app/single_instance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QLocalSocket>

namespace zizara::gui::app {

namespace {
constexpr int kProbeTimeoutMs = 1000;
}  // namespace

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
  // The socket belongs to the running instance while someone answers on it; replacing it
  // would cut that instance off from every later hand-over. (Listening with access options
  // renames a fresh socket over the old one, so this must be asked before, not after.)
  QLocalSocket probe;
  probe.connectToServer(name_);
  if (probe.waitForConnected(kProbeTimeoutMs)) {
    probe.abort();
    return false;
  }
  QLocalServer::removeServer(name_);  // nobody answers: left by a crashed run
  server_.setSocketOptions(QLocalServer::UserAccessOption);
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

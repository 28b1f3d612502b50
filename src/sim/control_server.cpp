#include "sim/control_server.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>

#include "core/io/file_access.h"
#include "sim/qlx_instrument.h"

namespace zizara::sim {

namespace {

inline constexpr qint64 kMaxCommandLine = 4096;

std::optional<int> ToInt(const QByteArray& text) {
  bool ok = false;
  const int value = text.toInt(&ok);
  return ok ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error) {
  QString why;
  if (!core::io::SaveFileAtomically(path, data, &why)) {
    if (error != nullptr) {
      *error = QStringLiteral("cannot write %1: %2").arg(path, why);
    }
    return false;
  }
  return true;
}

ControlServer::ControlServer(QlxInstrument* instrument, QObject* parent)
    : QObject(parent), instrument_(instrument) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, &ControlServer::OnNewConnection);
}

ControlServer::~ControlServer() { Close(); }

bool ControlServer::Listen(const QString& path_given, QString* error) {
  // Qt would put a relative name in the temp folder; here it is a path like any other.
  const QString path = QFileInfo(path_given).absoluteFilePath();
  QLocalServer::removeServer(path);
  if (!server_.listen(path)) {
    if (error != nullptr) {
      *error = QStringLiteral("cannot listen on %1: %2").arg(path, server_.errorString());
    }
    return false;
  }
  path_ = path;
  return true;
}

void ControlServer::Close() {
  if (server_.isListening()) {
    server_.close();  // also removes the socket file
  }
  path_.clear();
}

void ControlServer::OnNewConnection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      while (socket->canReadLine()) {
        const QByteArray line = socket->readLine(kMaxCommandLine).trimmed();
        if (!line.isEmpty()) {
          socket->write(Execute(line) + '\n');
        }
      }
      if (socket->bytesAvailable() >= kMaxCommandLine) {
        socket->write("error: line too long\n");
        socket->disconnectFromServer();
      }
    });
  }
}

QByteArray ControlServer::Execute(const QByteArray& line) {
  if (instrument_ == nullptr) {
    return "error: no instrument";
  }
  const QList<QByteArray> words = line.simplified().split(' ');
  const QByteArray& verb = words.front();
  if (verb == "route" && words.size() == 3) {
    const auto output = ToInt(words[1]);
    const auto input = ToInt(words[2]);
    if (!output || !input) {
      return "error: route takes two numbers, output and input";
    }
    QString reason;
    if (!instrument_->RouteLocal(*output, *input, &reason)) {
      return "error: " + reason.toUtf8();
    }
    return "ok";
  }
  if (verb == "update" && words.size() == 1) {
    instrument_->SendUpdate();
    return "ok";
  }
  if (verb == "powerup" && words.size() == 1) {
    instrument_->SendPowerUp();
    return "ok";
  }
  if (verb == "dump" && words.size() >= 2) {
    // The file name is the rest of the line, so it may hold blanks.
    const QString path = QString::fromUtf8(line.trimmed().mid(4).trimmed());
    QString reason;
    if (!WriteFileAtomically(path, instrument_->Image().ToByteArray(), &reason)) {
      return "error: " + reason.toUtf8();
    }
    return "ok";
  }
  if (verb == "stats" && words.size() == 1) {
    return instrument_->StatsJson();
  }
  return "error: unknown command (route O I, update, powerup, dump FILE, stats)";
}

}  // namespace zizara::sim

#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace zizara::gui::app {

// One running program per user: a second start hands its file path over a user-only local
// socket and ends.
class SingleInstance : public QObject {
  Q_OBJECT

 public:
  explicit SingleInstance(const QString& key, QObject* parent = nullptr);

  // The socket name: derived from the caption and the user id.
  static QString ServerName(const QString& key);

  // True when a running instance took the path (this process should end).
  bool SendToRunning(const QString& path, int timeout_ms = 2000);
  // Starts listening. A socket nobody answers on (left by a crashed run) is replaced; one
  // that a running instance answers on is left alone and false is returned.
  bool Listen();

 signals:
  void PathReceived(const QString& path);

 private:
  void OnNewConnection();

  QString name_;
  QLocalServer server_;
};

}  // namespace zizara::gui::app

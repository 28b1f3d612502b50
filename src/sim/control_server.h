#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <QString>

namespace zizara::sim {

class QlxInstrument;

// Writes the whole file or nothing.
bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error);

// A Unix socket taking one command per line and answering each with one line:
//   route O I   a change made at the instrument (".AA" O "," I, then ".U")  -> ok | error: ...
//   update      sends ".U"                                                  -> ok
//   powerup     sends ".P"                                                  -> ok
//   dump FILE   writes the 16384 configuration bytes                        -> ok | error: ...
//   stats       the statistics as one JSON object
class ControlServer : public QObject {
  Q_OBJECT

 public:
  explicit ControlServer(QlxInstrument* instrument, QObject* parent = nullptr);
  ~ControlServer() override;

  // A stale socket file at path is replaced.
  bool Listen(const QString& path, QString* error);
  void Close();
  bool IsListening() const { return server_.isListening(); }

  // The answer to one command line, without its newline.
  QByteArray Execute(const QByteArray& line);

 private:
  void OnNewConnection();

  QPointer<QlxInstrument> instrument_;
  QLocalServer server_;
  QString path_;
};

}  // namespace zizara::sim

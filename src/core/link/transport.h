#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace zizara::core::link {

// A byte pipe to the instrument: the serial port in the program, the simulator in tests.
// Reads never wait; whoever waits runs an event loop until BytesAvailable() is enough.
class Transport : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  ~Transport() override = default;

  // Opens the line (9600 8N1, no flow control for a real port). False with a readable reason.
  virtual bool Open(QString* error) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // The name users see, e.g. "ttyUSB0" or "/dev/pts/5".
  virtual QString Name() const = 0;

  // Queues bytes for sending; returns how many were accepted (-1 on a closed or failed line).
  virtual qint64 Write(const QByteArray& bytes) = 0;
  // Returns up to max_bytes of what has arrived, at once; empty when nothing waits.
  virtual QByteArray Read(qint64 max_bytes) = 0;
  virtual qint64 BytesAvailable() const = 0;
  virtual void Clear(bool input, bool output) = 0;
  // Returns once everything written has left for the line, so a following Clear(…, true)
  // cannot discard it. A transport that hands bytes on at once has nothing to wait for.
  virtual void Drain() {}

 signals:
  // Bytes arrived. Not re-emitted while a handler of it is still running.
  void ReadyRead();
  // The line broke (cable pulled, device gone, write refused). Emitted once per failure.
  void Failed(const QString& reason);
};

}  // namespace zizara::core::link

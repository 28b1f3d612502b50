#pragma once

#include <QByteArray>
#include <QPointer>
#include <QString>

#include "core/link/transport.h"

namespace zizara::sim {

class QlxInstrument;

// A Transport wired straight to a QlxInstrument, for tests and the built-in simulator. Written
// bytes reach the instrument at once; with no latency its answer is readable as soon as Write
// returns. ReadyRead is always queued, never emitted from inside Write, as with a real port.
class InMemoryTransport : public core::link::Transport {
  Q_OBJECT

 public:
  explicit InMemoryTransport(QlxInstrument* instrument, QObject* parent = nullptr);
  ~InMemoryTransport() override;

  bool Open(QString* error) override;
  void Close() override;
  bool IsOpen() const override { return open_; }
  QString Name() const override { return name_; }
  qint64 Write(const QByteArray& bytes) override;
  QByteArray Read(qint64 max_bytes) override;
  qint64 BytesAvailable() const override { return received_.size(); }
  void Clear(bool input, bool output) override;

  void SetName(const QString& name) { name_ = name; }
  QlxInstrument* instrument() const { return instrument_; }

 private:
  void OnTransmit(const QByteArray& bytes);
  void OnHangUp();
  void ScheduleReadyRead();
  void DeliverReadyRead();

  QPointer<QlxInstrument> instrument_;
  QString name_ = QStringLiteral("simulator");
  QByteArray received_;
  bool open_ = false;
  bool hung_up_ = false;
  bool ready_read_queued_ = false;
  bool in_ready_read_ = false;
  bool arrived_during_ready_read_ = false;
};

}  // namespace zizara::sim

#include "sim/in_memory_transport.h"

#include <QMetaObject>
#include <QPointer>

#include "sim/qlx_instrument.h"

namespace zizara::sim {

InMemoryTransport::InMemoryTransport(QlxInstrument* instrument, QObject* parent)
    : Transport(parent), instrument_(instrument) {
  if (instrument_ != nullptr) {
    connect(instrument_, &QlxInstrument::Transmit, this, &InMemoryTransport::OnTransmit);
    connect(instrument_, &QlxInstrument::HangUp, this, &InMemoryTransport::OnHangUp);
    hung_up_ = instrument_->IsHungUp();
  }
}

InMemoryTransport::~InMemoryTransport() = default;

bool InMemoryTransport::Open(QString* error) {
  if (instrument_ == nullptr || hung_up_) {
    if (error != nullptr) {
      *error = QStringLiteral("%1 is not available.").arg(name_);
    }
    return false;
  }
  open_ = true;
  received_.clear();
  return true;
}

void InMemoryTransport::Close() {
  open_ = false;
  received_.clear();
}

qint64 InMemoryTransport::Write(const QByteArray& bytes) {
  if (!open_ || instrument_ == nullptr) {
    return -1;
  }
  instrument_->Receive(bytes);
  return bytes.size();
}

QByteArray InMemoryTransport::Read(qint64 max_bytes) {
  if (max_bytes <= 0) {
    return {};
  }
  QByteArray out = received_.left(max_bytes);
  received_.remove(0, out.size());
  return out;
}

void InMemoryTransport::Clear(bool input, bool /*output*/) {
  // Nothing waits on the way out: written bytes reach the instrument at once.
  if (input) {
    received_.clear();
  }
}

void InMemoryTransport::OnTransmit(const QByteArray& bytes) {
  if (!open_) {
    return;  // a closed port hears nothing
  }
  received_.append(bytes);
  ScheduleReadyRead();
}

void InMemoryTransport::OnHangUp() {
  if (hung_up_) {
    return;
  }
  hung_up_ = true;
  const bool was_open = open_;
  open_ = false;
  received_.clear();
  if (was_open) {
    // Queued: the hang-up usually happens inside Write, and a handler that closes or reopens
    // the line must not run under it.
    QMetaObject::invokeMethod(
        this, [this] { emit Failed(QStringLiteral("The line to %1 was closed.").arg(name_)); },
        Qt::QueuedConnection);
  }
}

void InMemoryTransport::ScheduleReadyRead() {
  if (in_ready_read_) {
    arrived_during_ready_read_ = true;
    return;
  }
  if (ready_read_queued_) {
    return;
  }
  ready_read_queued_ = true;
  QMetaObject::invokeMethod(this, &InMemoryTransport::DeliverReadyRead, Qt::QueuedConnection);
}

void InMemoryTransport::DeliverReadyRead() {
  ready_read_queued_ = false;
  if (!open_ || received_.isEmpty()) {
    return;
  }
  in_ready_read_ = true;
  arrived_during_ready_read_ = false;
  const QPointer<InMemoryTransport> alive(this);
  emit ReadyRead();
  if (alive.isNull()) {
    return;
  }
  in_ready_read_ = false;
  if (arrived_during_ready_read_ && !received_.isEmpty()) {
    ScheduleReadyRead();
  }
}

}  // namespace zizara::sim

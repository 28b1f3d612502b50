#pragma once

// A link wired to the simulated instrument through a recorder, so tests can see every byte
// the program sends and every prompt it shows.

#include <QByteArray>
#include <QList>
#include <functional>
#include <memory>

#include "core/link/identification.h"
#include "core/link/transfers.h"
#include "core/ui_port/progress.h"
#include "core/ui_port/prompts.h"
#include "sim/in_memory_transport.h"
#include "sim/qlx_instrument.h"
#include "support/strict_sim.h"

namespace zizara::testing {

// Passes everything through and keeps each Write call.
class RecordingTransport : public core::link::Transport {
 public:
  explicit RecordingTransport(core::link::Transport* inner) : inner_(inner) {
    connect(inner, &Transport::ReadyRead, this, &Transport::ReadyRead);
    connect(inner, &Transport::Failed, this, &Transport::Failed);
  }
  bool Open(QString* error) override { return inner_->Open(error); }
  void Close() override { inner_->Close(); }
  bool IsOpen() const override { return inner_->IsOpen(); }
  QString Name() const override { return inner_->Name(); }
  qint64 Write(const QByteArray& bytes) override {
    writes.append(bytes);
    return inner_->Write(bytes);
  }
  QByteArray Read(qint64 max_bytes) override {
    QByteArray bytes = inner_->Read(max_bytes);
    if (on_read) on_read(bytes);
    return bytes;
  }
  qint64 BytesAvailable() const override { return inner_->BytesAvailable(); }
  void Clear(bool input, bool output) override { inner_->Clear(input, output); }
  void Drain() override { inner_->Drain(); }

  QByteArray Sent() const {
    QByteArray all;
    for (const QByteArray& w : writes) all += w;
    return all;
  }
  QList<QByteArray> writes;
  // Lets a test damage what the instrument sends before the program sees it.
  std::function<void(QByteArray&)> on_read;

 private:
  core::link::Transport* inner_;
};

// A line the test feeds by hand, to deliver bytes in exactly the pieces it wants.
class FakeTransport : public core::link::Transport {
 public:
  bool Open(QString*) override { return open = true; }
  void Close() override { open = false; }
  bool IsOpen() const override { return open; }
  QString Name() const override { return QStringLiteral("fake"); }
  qint64 Write(const QByteArray& bytes) override {
    sent += bytes;
    return bytes.size();
  }
  QByteArray Read(qint64 max_bytes) override {
    const QByteArray out = input.left(max_bytes);
    input.remove(0, out.size());
    return out;
  }
  qint64 BytesAvailable() const override { return input.size(); }
  void Clear(bool in, bool) override {
    if (in) input.clear();
  }
  void Push(const QByteArray& bytes) {
    input += bytes;
    emit ReadyRead();
  }
  bool open = false;
  QByteArray input;
  QByteArray sent;
};

class RecordingProgress : public core::ui_port::Progress {
 public:
  void SetCaption(const QString& c) override { captions.append(c); }
  void SetMaximum(int m) override { maximum = m; }
  void SetPosition(int p) override { positions.append(p); }
  void ShowProgress() override { ++shown; }
  void HideProgress() override { ++hidden; }
  QStringList captions;
  QList<int> positions;
  int maximum = 0;
  int shown = 0;
  int hidden = 0;
};

struct LinkFixture {
  explicit LinkFixture(const sim::QlxOptions& options = {})
      : instrument(strict.Apply(options)),
        memory_transport(&instrument),
        transport(&memory_transport),
        link(transport, state, prompts),
        engine(link, engine_state, record, progress),
        identification(engine, flags),
        transfers(engine, identification, config) {
    QString error;
    link.OpenLink(&error);
  }

  StrictCheck strict;  // checked after everything else is gone
  sim::QlxInstrument instrument;
  sim::InMemoryTransport memory_transport;
  RecordingTransport transport;
  core::link::LinkState state;
  core::link::InstrumentRecord record;
  core::link::EngineState engine_state;
  core::link::ConnectFlags flags;
  core::ui_port::ScriptedPrompts prompts;
  RecordingProgress progress;
  core::config::Configuration config;
  core::link::InstrumentLink link;
  core::link::DriverEngine engine;
  core::link::Identification identification;
  core::link::ConfigurationTransfers transfers;
};

inline QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray b;
  for (int v : values) b.append(static_cast<char>(v));
  return b;
}

}  // namespace zizara::testing

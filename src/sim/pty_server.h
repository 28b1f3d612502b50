#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <memory>

#include "sim/byte_pacer.h"
#include "sim/precise_timer.h"

class QSocketNotifier;

namespace zizara::sim {

class QlxInstrument;

// Serves a QlxInstrument on a pseudo-terminal, reachable through a symbolic link, so that any
// program that opens serial devices can talk to it. Both directions are paced to the baud rate
// of the instrument's options (0 = no pacing).
class PtyServer : public QObject {
  Q_OBJECT

 public:
  explicit PtyServer(QlxInstrument* instrument, QObject* parent = nullptr);
  ~PtyServer() override;

  void SetBaud(int baud);
  int baud() const { return input_pacer_.baud(); }

  // Opens the pty and points link_path at its device; a symbolic link already there is
  // replaced, anything else is refused.
  bool Start(const QString& link_path, QString* error);
  // Closes the pty and removes the link if it still points at our device.
  void Stop();
  bool IsRunning() const { return master_fd_ >= 0; }
  const QString& LinkPath() const { return link_path_; }
  const QString& DevicePath() const { return device_path_; }

 signals:
  // The instrument pulled the cable: the pty is closed, clients see an error or end of file.
  void HungUp();

 private:
  void OnReadable();
  void OnWritable();
  void OnTransmit(const QByteArray& bytes);
  void OnHangUp();
  void PumpInput();
  void PumpOutput();
  void ClosePty();

  QPointer<QlxInstrument> instrument_;
  int master_fd_ = -1;
  int slave_fd_ = -1;  // held so a client closing its end does not leave the master in EIO
  QString link_path_;
  QString device_path_;
  std::unique_ptr<QSocketNotifier> read_notifier_;
  std::unique_ptr<QSocketNotifier> write_notifier_;
  QByteArray input_;   // read from the host, not yet given to the instrument
  QByteArray output_;  // from the instrument, not yet written to the host
  BytePacer input_pacer_;
  BytePacer output_pacer_;
  PreciseTimer input_timer_;
  PreciseTimer output_timer_;
};

}  // namespace zizara::sim

#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "core/link/external_command.h"
#include "core/link/identification.h"
#include "core/link/transfers.h"
#include "gui/app/app_context.h"
#include "gui/link/driver_form.h"
#include "gui/link/wait_form.h"

namespace zizara::gui::link {

// Owns the line to the instrument while a port is chosen: the port, the protocol layers and
// the transfer window. The main window asks it to connect, transfer and restart, and shows
// the outcomes.
class LinkController : public QObject {
  Q_OBJECT

 public:
  using TransportFactory =
      std::function<std::unique_ptr<core::link::Transport>(const QString& port)>;

  LinkController(app::AppContext& ctx, core::ui_port::Prompts& prompts, TransportFactory factory,
                 QWidget* main_window);
  ~LinkController() override;

  // Another port was chosen: the transfer window goes and the port closes.
  void DestroyDriver();
  bool HasDriver() const { return session_ != nullptr; }
  TRS232Driver* Driver();
  // The wait window and hourglass of identification, probe, version read and restart.
  TWaitForm* WaitForm() { return wait_form_.get(); }
  core::link::InstrumentLink* Link();
  // The layers of the open line, created (and the port opened) on first use.
  core::link::InstrumentLink& EnsureLink();
  core::link::Identification& IdentificationLayer();
  core::link::ConfigurationTransfers& TransfersLayer();
  core::link::DriverEngine& EngineLayer();

  // Identifies the instrument on the current port and records what was found.
  core::link::ConnectOutcome Connect();
  // Whole-image transfers over the chosen interface (serial port or external command).
  core::link::TransferOutcome Upload();
  core::link::TransferOutcome Download(bool force_v5);
  // Restart over the chosen interface; the outcome of the reconnection for a serial port.
  core::link::ConnectOutcome Restart();
  // The headless command-line switches: true when the instrument did it.
  bool DownloadModeFromCommandLine();
  bool RestartFromCommandLine();

  // What the last identification found (also the one a transfer ran first).
  const core::link::ConnectOutcome& last_outcome() const { return last_outcome_; }

  // Where the external command lives and works.
  void SetExternalCommandDirs(QString program_dir, QString temp_dir);

 signals:
  // A line the instrument sent on its own (for the message log and, later, remote control).
  void LineReceived(const QByteArray& text);
  // The instrument sent an overlong text without a line end; the excess was dropped.
  void InvalidCharacters();
  // The main window should open this help topic.
  void HelpRequested(int topic);
  // The user closed the transfer window and agreed to stop; the transfer ends at its next
  // block (the engine's kind still names it).
  void TransferAborted();

 private:
  struct Session;
  Session* EnsureSession();
  void Record(const core::link::ConnectOutcome& outcome);
  void SetMainWindowEnabled(bool enabled);
  // "No instrument found." (or that nothing reliable came back) after a quiet Connect.
  void ReportNoInstrument();
  // An external-command transfer with its waiting window; the outcome by its result.
  core::link::TransferOutcome RunExternal(
      const QString& caption, const QString& text,
      const std::function<bool(const core::link::ExternalCommand&)>& transfer);

  app::AppContext& ctx_;
  core::ui_port::Prompts& prompts_;
  TransportFactory factory_;
  QPointer<QWidget> main_window_;
  std::unique_ptr<TWaitForm> wait_form_;
  std::unique_ptr<Session> session_;
  core::link::ConnectOutcome last_outcome_;
  QString program_dir_;
  QString temp_dir_;
};

}  // namespace zizara::gui::link

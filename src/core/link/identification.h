#pragma once

#include <QByteArray>
#include <QString>

#include "core/link/driver_engine.h"

namespace zizara::core::link {

// Fills identity values from ".AI" k "," v messages; each one marks the instrument
// remote-capable. Index 2 and indexes above 17 are ignored.
void ParseIdentityValues(const QByteArray& text, InstrumentRecord& record);

// Finds "SOFTWARE VER" in memory that holds text as byte-swapped words and reads the version
// number after it, with either decimal separator. 1.0 when there is none.
double ParseSoftwareVersionText(const QByteArray& memory);

// Switches that change how identification behaves.
struct ConnectFlags {
  bool skip_probe_once = false;            // set by the installation window when it opens
  bool command_line = false;               // carrying out a command-line switch
  bool package_from_command_line = false;  // an installation was started from the command line
};

enum class ConnectResult { kNotConnected, kBiosMode, kConnected, kUnsupported, kPortUnavailable };

// What Connect found, for the status panels and the enabled commands.
struct ConnectOutcome {
  ConnectResult result = ConnectResult::kNotConnected;
  QString connected_panel;
  QString serial_panel;
  bool upload_enabled = false;
  bool download_enabled = false;  // meaningful when the matrix is shown
  bool remote_enabled = false;
  bool restart_enabled = false;
  bool model_supported = true;
  double software_version = 1.0;
  QString port_error;  // the reason the port could not be opened
};

class Identification {
 public:
  Identification(DriverEngine& engine, ConnectFlags& flags) : engine_(engine), flags_(flags) {}

  bool ProbeRemote();
  double ReadSoftwareVersion();
  // Opens the port when it is closed, identifies, probes and reads the version, and shows the
  // messages a user needs (BIOS mode, unsupported model, unavailable port).
  ConnectOutcome Connect(bool skip_probe, bool skip_version);
  // The restart byte sequence, the pause that lets the instrument boot, and a fresh Connect.
  ConnectOutcome RestartInstrument();
  // The restart without the reconnection: "0", the restart command and the boot pause.
  void RestartSequence();

  double software_version() const { return software_version_; }

 private:
  DriverEngine& engine_;
  ConnectFlags& flags_;
  double software_version_ = 1.0;
};

// The open error: a first line that follows the cause (no such device, not a serial device,
// permission denied, busy), then the system's reason and any advice.
QString PortUnavailableText(const QString& port_name, const QString& reason);

}  // namespace zizara::core::link

#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace zizara::core::link {

// Shared state of the byte and text layers on the one serial line.
struct LinkState {
  bool link_ok = false;           // last primitive succeeded: the next one skips the break
  bool busy = false;              // a byte exchange owns the input; the line receiver keeps off
  bool received = false;          // set on every receive event
  bool timed_out = false;         // stays set until the next operation or opening
  bool bios_mode = false;         // reply time-outs are silent while set
  QByteArray line_buffer;         // text received outside binary exchanges
  bool line_received = false;
  bool handshake_active = false;  // complete lines stay in the buffer for the waiting caller
  bool command_line = false;      // carrying out a command-line switch
};

// What identification and the instrument's identity replies found out.
struct InstrumentRecord {
  bool remote_capable = false;
  std::int32_t serial_number = 0;
  QString serial_text;  // empty when no instrument was found
  bool instrument_found = false;
  int model_index = 0;
  std::uint8_t layout_marker = 0;
  bool bios_mode = false;
  // It answered the break, but memory reads only timed out or failed their check: a bad line.
  bool no_reliable_answer = false;
  QString backup_block_count = QStringLiteral("1024");
  int software_version_code = 0;
  // Identity values 1..17 reported over the text protocol (index 0 and 2 unused).
  std::array<std::int32_t, 18> identity{};
  std::array<bool, 18> identity_known{};

  std::int32_t firmware_version() const { return identity[3]; }
  std::int32_t hardware_id() const { return identity[4]; }
  std::int32_t bios_version() const { return identity[5]; }
  std::int32_t extended_bios_id() const { return identity[6]; }
};

// How the program reaches the instrument.
enum class LinkMode { kNone, kCom, kExt };

// What the driver window is doing; decides the question asked when it is closed.
enum class TransferKind { kIdle = 0, kDownload = 1, kUpload = 2, kReading = 3, kInstallation = 4 };

struct EngineState {
  bool abort = false;  // set when the user closes the transfer window
  bool quiet = false;  // the next PrepareTransfer shows nothing
  TransferKind kind = TransferKind::kIdle;
  int progress_total = 0;
  int progress_done = 0;
  int progress_last = 0;
};

}  // namespace zizara::core::link

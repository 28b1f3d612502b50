#pragma once

#include <QByteArray>
#include <QString>

#include "core/config/memory_map.h"
#include "core/i18n/tr.h"
#include "core/link/link_state.h"
#include "core/remote/remote_state.h"

namespace zizara::core::ui_port {
class Prompts;
}

namespace zizara::core::remote {

// Where interpreted messages go. Numbers are as the instrument sent them (1-based).
class DotListener {
 public:
  virtual ~DotListener() = default;
  virtual void ReportedXPoint(int /*output*/, int /*input*/, bool /*remote*/) {}
  virtual void FlashXPoint(int /*output*/, int /*input*/) {}
  // Only while connected: select the preset, refresh names and arm the X-point reading.
  virtual void PresetReported(int /*preset*/) {}
  // The user accepted a reload after an update or power-up: arm the X-point reading.
  virtual void ReloadRequested() {}
  // An update arrived while a reload is already pending: both port buffers are cleared.
  virtual void ClearPortBuffers() {}
  // A line for the instrument-message log.
  virtual void LogLine(const QString& /*line*/) {}
  // The file panel's text: the message just interpreted.
  virtual void FilePanel(const QString& /*text*/) {}
  // The macro window's third line, while it is shown.
  virtual void MacroThirdLine(const QString& /*text*/) {}
};

inline constexpr char kUpdateQuestion[] =
    TrNoop("Some of the X-points on the QLX has been updated, do you wish to reload the X-Points?");
inline constexpr char kPowerUpQuestion[] =
    TrNoop("The connected QLX has been restarted, do you wish to reload the X-Points?");
inline constexpr char kUpdateLogLine[] = "Update: -----------------";
inline constexpr char kPowerUpLogLine[] = "Powerup: -----------------";
inline constexpr char kInvalidCharLogLine[] = "Invalid Chr. Detected.";

// `ParseDotMessages`: interprets the replies, updates and power-ups in one received text.
class DotMessageParser {
 public:
  DotMessageParser(RemoteState& remote, MacroState& macro, link::InstrumentRecord& record,
                   ui_port::Prompts& prompts, DotListener& listener)
      : remote_(remote), macro_(macro), record_(record), prompts_(prompts), listener_(listener) {}

  void Parse(const QByteArray& text);

 private:
  enum class Flow { kNext, kStop };
  Flow HandleReply(const QByteArray& copy, qsizetype at, qsizetype* consumed_end);
  Flow HandleReload(const char* question, const char* log_line);

  RemoteState& remote_;
  MacroState& macro_;
  link::InstrumentRecord& record_;
  ui_port::Prompts& prompts_;
  DotListener& listener_;
};

// The map after the instrument reported preset b (1..11): only `PresetOffset` follows it.
config::MemoryMap MapAfterPresetReport(const config::MemoryMap& map, int preset);

}  // namespace zizara::core::remote

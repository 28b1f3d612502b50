#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

#include "core/i18n/tr.h"
#include "core/remote/dot_messages.h"
#include "core/remote/macro_file.h"
#include "core/remote/remote_state.h"

namespace zizara::core::link {
class InstrumentLink;
}

namespace zizara::core::remote {

// How long a line waits for its confirmation and how often it is sent.
struct MacroTiming {
  int poll_ms = 5;
  int polls = 201;
  int sends = 11;
};

struct MacroLineOutcome {
  QByteArray line;
  int sends = 0;           // 0 when the line was skipped (locked output)
  bool confirmed = false;  // ".A", ".F" or ".N" with the line's tail arrived
  char reply = 0;          // which of 'A' (done), 'F' (refused), 'N' (not done); 0 without
};

// The macro window and the file panel while a macro runs.
class MacroView {
 public:
  virtual ~MacroView() = default;
  virtual void FilePanel(const QString& /*text*/) {}
  virtual void ShowWindow(const QString& /*line1*/, const QString& /*line2*/,
                          const QString& /*line3*/) {}
  virtual void HideWindow() {}
  // After each command line and the interpretation of its replies.
  virtual void LineDone(const MacroLineOutcome& /*outcome*/) {}
};

enum class MacroEnd { kFinished, kStopped, kNotRun };

// `RunMacro`: sends the command lines of a macro one after the other and waits for the
// instrument to confirm each; every wait keeps the event loop alive, so a stop request (menu,
// hotkey, an update message) is seen at once.
class MacroRunner {
 public:
  using LineFilter = std::function<bool(const QByteArray&)>;

  MacroRunner(link::InstrumentLink& link, RemoteState& remote, MacroState& macro,
              DotMessageParser& parser, MacroView& view, LineFilter is_line_allowed = {})
      : link_(link),
        remote_(remote),
        macro_(macro),
        parser_(parser),
        view_(view),
        is_line_allowed_(std::move(is_line_allowed)) {}

  void set_timing(const MacroTiming& timing) { timing_ = timing; }
  // Run after each line's replies have been interpreted, before the next line is sent: work
  // that needs the line to itself (reading the X-points after a preset change) goes here,
  // never inside a line's wait. The runner takes the line back afterwards.
  void set_between_lines(std::function<void()> between_lines) {
    between_lines_ = std::move(between_lines);
  }

  MacroEnd Run(const MacroFile& macro);
  // Reads the file first; an unreadable file is reported through the prompts.
  MacroEnd RunFile(const QString& path);

 private:
  bool WaitForConfirmation(const QByteArray& line);
  char last_reply_ = 0;  // the letter of the reply that settled the last line

  link::InstrumentLink& link_;
  RemoteState& remote_;
  MacroState& macro_;
  DotMessageParser& parser_;
  MacroView& view_;
  LineFilter is_line_allowed_;
  std::function<void()> between_lines_;
  MacroTiming timing_;
};

inline constexpr char kStopHint[] = TrNoop("Press CTRL+F12 to stop the Macro.");
// Asked when a macro file arrives (drop, second instance) without a live connection.
inline constexpr char kConnectQuestion[] =
    TrNoop("The QLX is not connected, do you wish to connect?");
// The last four characters are ".MCR" in any case.
bool IsMacroFileName(const QString& path);

}  // namespace zizara::core::remote

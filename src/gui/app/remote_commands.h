#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

#include "core/matrix/remote_sender.h"
#include "core/remote/dot_messages.h"
#include "core/remote/macro_runner.h"
#include "core/remote/remote_state.h"
#include "gui/link/link_controller.h"
#include "gui/remote/run_macros_form.h"

namespace zizara::gui::app {

class TMainForm;

// Remote control from the main window: connecting, following what the instrument reports,
// and sending the matrix's commands over the line.
class RemoteCommands : public QObject,
                       public core::remote::DotListener,
                       public core::matrix::RemoteSender {
  Q_OBJECT

 public:
  RemoteCommands(TMainForm& form, link::LinkController& controller,
                 core::ui_port::Prompts& prompts);
  ~RemoteCommands() override;

  // Returns false only when the save question refused.
  bool StartRemoteControl(bool quiet);
  // True when the caller may go on (not connected, or the user agreed to disconnect).
  bool ConfirmLeaveRemote();
  void EndRemoteControl();
  void ReadRemoteXPoints();
  // The preset drop-down while connected: the instrument switches and reports back.
  void SelectPresetOnInstrument(int index);
  // Shift+F1..F11: the instrument's preset keys.
  void PressPresetKey(int number);

  // Macros. Items 1..10 are the Macro menu's items; kRunMacroItem is "Run Macro...".
  static constexpr int kRunMacroItem = 11;
  void RunMacro(int item, const QString& file_name);
  // For callers that only have a path: drops, the command line, a second start.
  // Whether the macro ran or will run once connected (false when declined or refused).
  bool RunMacroFile(const QString& file_name);
  void MacroItemClick(int item, bool shift_held, bool delete_held);
  // Stops the running macro after its current line, or drops one waiting for the connection.
  void StopMacro();
  bool MacroRunning() const { return macro_.running; }
  // A hotkey was pressed: the macro window, when shown, comes to the front.
  void BringMacroWindowToFront();
  remote::TRunMacrosForm* MacroWindow() { return macro_window_; }
  void SetMacroTiming(const core::remote::MacroTiming& timing) { macro_timing_ = timing; }
  // The caption an item's assigned file gives it; empty when it keeps its caption.
  QString MacroCaption(int item) const;
  void RefreshMacroCaptions();

  // Received text outside a handshake.
  void OnLineReceived(const QByteArray& text);

  core::remote::RemoteState& state() { return remote_; }

  // DotListener.
  void ReportedXPoint(int output, int input, bool remote) override;
  void FlashXPoint(int output, int input) override;
  void PresetReported(int preset) override;
  void ReloadRequested() override;
  void ClearPortBuffers() override;
  void LogLine(const QString& line) override;
  void FilePanel(const QString& text) override;
  void MacroThirdLine(const QString& text) override;

  // RemoteSender.
  void SendDotCommand(const QByteArray& command) override;
  std::optional<QByteArray> QueryDotCommand(const QByteArray& command, int timeout_ms) override;

 private:
  void SyncConnected();
  QString AssignedMacroFile(int item) const;
  void AssignMacro(int item);
  void LoadMacroCaption(int item);
  bool RunNowOrAfterConnecting(int item, const QString& file_name);
  void UnassignMacro(int item);
  void SyncMacroRunning();
  // A macro armed for a connection that never came up must not run at a later one.
  void DropPendingMacro(const QString& why);
  void ReadXPointsNow();
  // Between two macro lines: the X-point reading a preset change asked for.
  void ReadXPointsBetweenMacroLines();

  TMainForm& form_;
  link::LinkController& controller_;
  core::ui_port::Prompts& prompts_;
  core::remote::RemoteState remote_;
  core::remote::MacroState macro_;
  std::unique_ptr<core::remote::DotMessageParser> parser_;
  QTimer work_around_rx_flag_timer_;
  remote::TRunMacrosForm* macro_window_ = nullptr;
  int pending_item_ = 0;
  core::remote::MacroTiming macro_timing_;
  bool macro_in_run_ = false;           // the runner is sending lines
  bool xpoints_read_deferred_ = false;  // the reading fell due during a line's wait
};

}  // namespace zizara::gui::app

#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>

#include "core/link/link_state.h"
#include "core/link/protocol.h"
#include "core/link/transport.h"

namespace zizara::core::ui_port {
class Prompts;
}

namespace zizara::core::link {

// Time budgets of the byte protocol, as deadlines instead of counted polls.
namespace timing {
inline constexpr int kReplyMs = 200 * 5;          // one reply byte
inline constexpr int kInputSlackPolls = 30;       // WaitForInput: count + 30 polls of 1 ms
// No acknowledge or first-byte wait is shorter: USB serial adapters alone can add 16 ms and
// more, and a wait ends as soon as the data is there.
inline constexpr int kMinByteWaitMs = 100;
inline constexpr int kBreakAttempts = 6;
inline constexpr int kLinePollMs = 10;            // WaitForLine: polls of 10 ms
inline constexpr int kKeyPauseMs = 10;
inline constexpr int kRestartLeadMs = 100;
}  // namespace timing

// The longest text the line receiver keeps while it waits for a line end.
inline constexpr qsizetype kMaxLineLength = 64 * 1024;

// The wire protocol on one transport: byte primitives, text framing and the line receiver.
// Every wait keeps the event loop running. Each primitive stores its outcome in link_ok.
class InstrumentLink : public QObject {
  Q_OBJECT

 public:
  InstrumentLink(Transport& transport, LinkState& state, ui_port::Prompts& prompts,
                 QObject* parent = nullptr);

  Transport& transport() { return *transport_; }
  LinkState& state() { return state_; }
  ui_port::Prompts& prompts() { return prompts_; }

  // Opens the line fresh: clears the sticky time-out and any earlier line failure.
  bool OpenLink(QString* error);
  void CloseLink();
  // A new operation (identification, a transfer) starts clean: an earlier time-out, refusal
  // or unfinished exchange must not decide its outcome. The port stays as it is.
  void BeginOperation();
  // The line broke since it was opened (cable pulled, device gone).
  bool LineFailed() const { return line_failed_; }
  QString LineFailureReason() const { return line_failure_reason_; }
  // The last command byte was answered with a refusal (what a BIOS says to a memory read).
  bool refused() const { return refused_; }

  // Byte layer.
  bool SendByte(bool expect_reply, std::uint8_t value, std::uint8_t* reply);
  bool ReadByte(std::uint8_t* value);
  bool WaitForInput(int count);
  void ClearInput();

  // Primitives.
  bool SendBreak();
  bool SendCommand(Command code);
  bool WriteBDMAaddr(std::uint32_t address);
  bool ReadBDMA(Command code, int count, std::uint8_t* buffer);
  bool WriteBDMA(int count, const std::uint8_t* data);
  bool ReadProtectFlag(std::uint8_t* flag);
  bool ToggleProtectFlag();
  bool WriteKeyboard(std::uint8_t key);
  bool RestartQLX();
  bool PressKey(std::uint8_t key);

  // Text layer.
  void SendText(const QByteArray& text);
  void WaitForLine(int polls);
  // Download-mode handshake; acts only on a remote-capable instrument outside BIOS mode.
  bool EnterDownloadMode(bool remote_capable);

  // Bytes moved since the line was opened, for transfer reports.
  qint64 bytes_sent() const { return bytes_sent_; }
  qint64 bytes_received() const { return bytes_received_; }

 signals:
  // A complete line (or several joined by CR LF) that the instrument sent on its own.
  void LineReceived(const QByteArray& text);
  // Text without a line end passed kMaxLineLength; what came beyond it was dropped. Said once
  // for each such line.
  void InvalidCharacters(qint64 dropped);
  // The line broke (cable pulled, server gone); said once per opening.
  void LineLost(const QString& reason);

 private:
  void OnReadyRead();
  void OnFailed(const QString& reason);
  bool Finish(bool ok) {
    state_.link_ok = ok;
    return ok;
  }
  bool WaitForBytes(qint64 count, int timeout_ms);
  QByteArray Take(qint64 count);
  void Send(const QByteArray& bytes);

  QPointer<Transport> transport_;
  LinkState& state_;
  ui_port::Prompts& prompts_;
  bool line_failed_ = false;
  bool refused_ = false;
  bool overlong_reported_ = false;
  QString line_failure_reason_;
  qint64 bytes_sent_ = 0;
  qint64 bytes_received_ = 0;
};

}  // namespace zizara::core::link

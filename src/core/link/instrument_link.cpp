#include "core/link/instrument_link.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstring>

#include "core/i18n/tr.h"
#include "core/link/wait.h"
#include "core/ui_port/prompts.h"

namespace zizara::core::link {

using i18n::Tr;

InstrumentLink::InstrumentLink(Transport& transport, LinkState& state, ui_port::Prompts& prompts,
                               QObject* parent)
    : QObject(parent), transport_(&transport), state_(state), prompts_(prompts) {
  connect(&transport, &Transport::ReadyRead, this, &InstrumentLink::OnReadyRead);
  connect(&transport, &Transport::Failed, this, &InstrumentLink::OnFailed);
}

bool InstrumentLink::OpenLink(QString* error) {
  state_.timed_out = false;
  state_.link_ok = false;
  line_failed_ = false;
  line_failure_reason_.clear();
  bytes_sent_ = 0;
  bytes_received_ = 0;
  if (transport_ == nullptr) {
    return false;
  }
  transport_->Close();
  return transport_->Open(error);
}

void InstrumentLink::BeginOperation() {
  state_.timed_out = false;
  state_.link_ok = false;
  state_.busy = false;
  refused_ = false;
}

void InstrumentLink::CloseLink() {
  if (transport_ != nullptr && transport_->IsOpen()) {
    transport_->Close();
  }
}

void InstrumentLink::OnFailed(const QString& reason) {
  if (line_failed_) {
    return;
  }
  line_failed_ = true;
  line_failure_reason_ = reason;
  state_.link_ok = false;
  // Closing from inside the port's own error handler is not safe; do it once, later.
  QMetaObject::invokeMethod(
      this,
      [this, reason] {
        CloseLink();
        emit LineLost(reason);
      },
      Qt::QueuedConnection);
}

void InstrumentLink::Send(const QByteArray& bytes) {
  if (transport_ == nullptr || line_failed_) {
    return;
  }
  const qint64 n = transport_->Write(bytes);
  if (n > 0) {
    bytes_sent_ += n;
  }
}

QByteArray InstrumentLink::Take(qint64 count) {
  if (transport_ == nullptr) {
    return {};
  }
  QByteArray bytes = transport_->Read(count);
  bytes_received_ += bytes.size();
  return bytes;
}

bool InstrumentLink::WaitForBytes(qint64 count, int timeout_ms) {
  if (transport_ == nullptr) {
    return false;
  }
  Transport* t = transport_;
  return WaitUntil([t, count] { return t->BytesAvailable() >= count; }, timeout_ms, t,
                   [this] { return line_failed_; });
}

bool InstrumentLink::SendByte(bool expect_reply, std::uint8_t value, std::uint8_t* reply) {
  state_.busy = true;
  Send(QByteArray(1, static_cast<char>(value)));
  if (!expect_reply) {
    state_.busy = false;
    return true;
  }
  state_.received = false;
  if (WaitForBytes(1, timing::kReplyMs)) {
    const QByteArray b = Take(1);
    if (reply != nullptr) {
      *reply = static_cast<std::uint8_t>(b.at(0));
    }
    state_.busy = false;
    return true;
  }
  if (reply != nullptr) {
    *reply = kTimeoutFiller;
  }
  if (!state_.bios_mode) {
    // A broken line would otherwise raise this once for every byte still to go.
    if (!line_failed_ || !state_.timed_out) {
      prompts_.Error(Tr("RS232 Timeout"));
    }
    state_.timed_out = true;
  }
  state_.busy = false;
  return false;
}

bool InstrumentLink::ReadByte(std::uint8_t* value) {
  if (transport_ == nullptr || transport_->BytesAvailable() < 1) {
    return false;
  }
  const QByteArray b = Take(1);
  if (b.size() != 1) {
    return false;
  }
  *value = static_cast<std::uint8_t>(b.at(0));
  return true;
}

bool InstrumentLink::WaitForInput(int count) {
  state_.busy = true;
  const bool ok = WaitForBytes(count, std::max(count + timing::kInputSlackPolls,
                                               timing::kMinByteWaitMs));
  state_.busy = false;
  return ok;
}

void InstrumentLink::ClearInput() {
  if (transport_ != nullptr) {
    transport_->Clear(true, false);
  }
}

bool InstrumentLink::SendBreak() {
  ClearInput();
  if (state_.link_ok) {
    return Finish(true);
  }
  for (int attempt = 0; attempt < timing::kBreakAttempts && !line_failed_; ++attempt) {
    ClearInput();
    state_.busy = true;
    Send(QByteArray("\xA6\x6D", 2));
    state_.busy = false;
    WaitForInput(1);
    std::uint8_t b = 0;
    if (ReadByte(&b) && b == kAck) {
      return Finish(true);
    }
  }
  return Finish(false);
}

bool InstrumentLink::SendCommand(Command code) {
  std::uint8_t reply = 0;
  const bool answered = SendByte(true, static_cast<std::uint8_t>(code), &reply);
  refused_ = answered && reply == kRefuse;
  return Finish(answered && reply == kAck);
}

bool InstrumentLink::WriteBDMAaddr(std::uint32_t address) {
  if (!SendBreak() || !SendCommand(Command::kSetAddress)) {
    return Finish(false);
  }
  const auto bytes = AddressBytes(address);
  SendByte(false, bytes[0], nullptr);
  SendByte(false, bytes[1], nullptr);
  std::uint8_t reply = 0;
  return Finish(SendByte(true, bytes[2], &reply) && reply == kAck);
}

bool InstrumentLink::ReadBDMA(Command code, int count, std::uint8_t* buffer) {
  if (!SendBreak() || !SendCommand(code)) {
    return Finish(false);
  }
  SendByte(false, static_cast<std::uint8_t>(count & 0xFF), nullptr);
  // The block streams in: allow the instrument a reply time to start, then fail only when
  // it falls silent for longer than a WaitForInput budget (count + 31 polls of 1 ms).
  state_.busy = true;
  Transport* t = transport_;
  const qint64 wanted = count + 1;
  QElapsedTimer since_progress;
  since_progress.start();
  qint64 seen = t != nullptr ? t->BytesAvailable() : 0;
  const int idle_ms =
      std::max(static_cast<int>(wanted) + timing::kInputSlackPolls, timing::kMinByteWaitMs);
  const bool arrived =
      t != nullptr &&
      WaitUntil([t, wanted] { return t->BytesAvailable() >= wanted; },
                500 * (idle_ms + 1), t, [&] {
                  const qint64 now = t->BytesAvailable();
                  if (now != seen) {
                    seen = now;
                    since_progress.restart();
                  }
                  const int limit = seen == 0 ? timing::kReplyMs : idle_ms;
                  return line_failed_ || since_progress.elapsed() > limit;
                });
  state_.busy = false;
  if (!arrived) {
    ClearInput();
    return Finish(false);
  }
  const QByteArray data = Take(count);
  std::uint8_t check = 0;
  if (data.size() != count || !ReadByte(&check)) {
    return Finish(false);
  }
  std::memcpy(buffer, data.constData(), static_cast<std::size_t>(count));
  return Finish(CheckByte(buffer, count) == check);
}

bool InstrumentLink::WriteBDMA(int count, const std::uint8_t* data) {
  if (!SendBreak() || !SendCommand(Command::kWriteBlock)) {
    return Finish(false);
  }
  QByteArray body;
  body.reserve(count + 1);
  body.append(static_cast<char>((count - 1) & 0xFF));
  body.append(reinterpret_cast<const char*>(data), count);
  state_.busy = true;
  Send(body);
  std::uint8_t reply = 0;
  return Finish(SendByte(true, CheckByte(data, count), &reply) && reply == kAck);
}

bool InstrumentLink::ReadProtectFlag(std::uint8_t* flag) {
  return Finish(SendByte(true, static_cast<std::uint8_t>(Command::kReadWriteProtect), flag));
}

bool InstrumentLink::ToggleProtectFlag() { return SendCommand(Command::kToggleWriteProtect); }

bool InstrumentLink::WriteKeyboard(std::uint8_t key) {
  if (!SendBreak() || !SendCommand(Command::kKeyPress)) {
    return Finish(false);
  }
  std::uint8_t reply = 0;
  const bool ok = SendByte(true, key, &reply) && reply == kAck;
  Pause(timing::kKeyPauseMs);
  return Finish(ok);
}

bool InstrumentLink::RestartQLX() {
  Pause(timing::kRestartLeadMs);
  state_.link_ok = false;
  if (!SendBreak()) {
    return Finish(false);
  }
  return SendCommand(Command::kRestart);
}

bool InstrumentLink::PressKey(std::uint8_t key) { return WriteKeyboard(key) || WriteKeyboard(key); }

void InstrumentLink::SendText(const QByteArray& text) { Send(text); }

void InstrumentLink::WaitForLine(int polls) {
  WaitUntil([this] { return state_.line_received; }, polls * timing::kLinePollMs, transport_,
            [this] { return line_failed_; });
  state_.line_received = false;
}

bool InstrumentLink::EnterDownloadMode(bool remote_capable) {
  state_.handshake_active = true;
  if (state_.bios_mode || !remote_capable) {
    state_.handshake_active = false;
    return false;
  }
  bool entered = false;
  for (int attempt = 0; attempt < 5 && !line_failed_; ++attempt) {
    state_.line_buffer.clear();
    SendText("\r.SP15,20\r");
    WaitForLine(100);
    if ((" " + state_.line_buffer).contains('.')) {
      entered = true;
      break;
    }
  }
  bool result = false;
  if (entered) {
    for (int attempt = 0; attempt < 5 && !line_failed_; ++attempt) {
      state_.line_buffer.clear();
      state_.handshake_active = true;
      SendText("\r.SP15,21\r");
      if (state_.command_line) {
        break;
      }
      WaitForLine(100);
      if ((" " + state_.line_buffer).contains("AP15,20.")) {
        result = true;
        break;
      }
    }
  }
  state_.handshake_active = false;
  return result;
}

void InstrumentLink::OnReadyRead() {
  state_.received = true;
  if (state_.busy || transport_ == nullptr) {
    return;  // the byte layer is waiting for these
  }
  const qint64 n = transport_->BytesAvailable();
  if (n <= 0) {
    return;
  }
  QByteArray& buffer = state_.line_buffer;
  buffer.append(Take(n));
  const bool complete = buffer.endsWith("\r\n");
  // A line end split over two events must survive the cut.
  const qsizetype tail = complete ? 2 : (buffer.endsWith('\r') ? 1 : 0);
  if (buffer.size() - tail > kMaxLineLength) {
    // A line that never ends (noise, a wrong baud rate) must not grow without bound.
    const qsizetype dropped = buffer.size() - tail - kMaxLineLength;
    buffer.remove(kMaxLineLength, dropped);
    if (!overlong_reported_) {
      overlong_reported_ = true;
      emit InvalidCharacters(dropped);
    }
  }
  if (!complete) {
    return;
  }
  overlong_reported_ = false;
  buffer.chop(2);
  if (!state_.handshake_active) {
    const QByteArray line = state_.line_buffer;
    state_.line_buffer.clear();
    emit LineReceived(line);
  }
  state_.line_received = true;
}

}  // namespace zizara::core::link

#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace zizara::core::matrix {

// How the matrix reaches a connected instrument; the link layer implements it.
class RemoteSender {
 public:
  virtual ~RemoteSender() = default;
  // Clears the port's input and output buffers, then writes `command` as it stands.
  virtual void SendDotCommand(const QByteArray& command) = 0;
  // The same, then waits (keeping the window alive) up to `timeout_ms` for the driver's reply
  // and adds it to the instrument-message log; nullopt when nothing came.
  virtual std::optional<QByteArray> QueryDotCommand(const QByteArray& command, int timeout_ms) = 0;
};

inline constexpr int kGainReplyTimeoutMs = 1000;

// ".LG" + output + ",-" + CR for a 0-based output.
QByteArray ReadGainCommand(int output);
// Tenths of a dB after the first comma of an "AG" reply, as "-1,5" or "3,0"; "0" otherwise.
QString GainTextFromReply(const QByteArray& reply);
// `ReadOutputGain`: asks the instrument; "0" without a sender or a reply.
QString ReadOutputGain(RemoteSender* sender, int output);

}  // namespace zizara::core::matrix

#include "core/matrix/remote_sender.h"

#include <cstdlib>

namespace zizara::core::matrix {

QByteArray ReadGainCommand(int output) { return ".LG" + QByteArray::number(output + 1) + ",-\r"; }

QString GainTextFromReply(const QByteArray& reply) {
  const QString zero = QStringLiteral("0");
  if (!reply.contains("AG")) return zero;
  const int comma = reply.indexOf(',');
  if (comma < 0) return zero;
  QByteArray digits;
  for (int i = comma + 1; i < reply.size(); ++i) {
    const char c = reply[i];
    if ((c < '0' || c > '9') && c != '-') break;
    digits += c;
  }
  bool ok = false;
  const int tenths = digits.toInt(&ok);
  if (!ok) return zero;
  const int magnitude = std::abs(tenths);
  return (tenths < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / 10) +
         QLatin1Char(',') + QString::number(magnitude % 10);
}

QString ReadOutputGain(RemoteSender* sender, int output) {
  if (sender == nullptr) return QStringLiteral("0");
  const auto reply = sender->QueryDotCommand(ReadGainCommand(output), kGainReplyTimeoutMs);
  return reply ? GainTextFromReply(*reply) : QStringLiteral("0");
}

}  // namespace zizara::core::matrix

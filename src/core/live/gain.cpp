#include "core/live/gain.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

#include "core/link/instrument_link.h"
#include "core/link/wait.h"

namespace zizara::core::live {

std::optional<double> ParseGainText(const QString& text) {
  QString t = text.trimmed();
  t.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double v = QLocale::c().toDouble(t, &ok);
  if (!ok || !std::isfinite(v)) {
    return std::nullopt;
  }
  return v;
}

int GainTenths(double db) {
  // Tenths go out as whole numbers: a typed "2,55" or float noise in 0,7 * 10 must not put a
  // fraction into the command.
  const double tenths = std::round(db * 10.0);
  return static_cast<int>(std::clamp(tenths, -double{kGainLimitTenths}, double{kGainLimitTenths}));
}

QByteArray SetGainCommand(int output, int tenths) {
  return ".SG" + QByteArray::number(output) + "," + QByteArray::number(tenths) + "\r";
}

QString ShortestGainText(double db) {
  // 15 significant digits hide binary noise such as 0,30000000000000004.
  QString text = QString::number(db, 'g', 15);
  if (text == QStringLiteral("-0")) {
    text = QStringLiteral("0");
  }
  text.replace(QLatin1Char('.'), QLatin1Char(','));
  return text;
}

std::optional<QString> StepGainText(const QString& text, int direction) {
  const std::optional<double> value = ParseGainText(text);
  if (!value) {
    return std::nullopt;
  }
  const double limit = kGainLimitTenths / 10.0;
  double stepped = *value + (direction > 0 ? 0.1 : -0.1);
  stepped = std::round(stepped * 1e9) / 1e9;  // steps of 0,1 leave no noise behind
  stepped = std::clamp(stepped, -limit, limit);
  QString shown = ShortestGainText(stepped);
  if (!shown.contains(QLatin1Char(','))) {
    shown += QStringLiteral(",0");
  }
  return shown;
}

std::optional<int> GainTenthsFromReply(const QByteArray& reply) {
  if (!reply.contains("AG")) {
    return std::nullopt;
  }
  const qsizetype comma = reply.indexOf(',');
  if (comma < 0) {
    return std::nullopt;
  }
  qsizetype end = comma + 1;
  while (end < reply.size() && ((reply[end] >= '0' && reply[end] <= '9') || reply[end] == '-')) {
    ++end;
  }
  bool ok = false;
  const int v = reply.mid(comma + 1, end - comma - 1).toInt(&ok);
  return ok ? std::optional<int>(v) : std::nullopt;
}

QString TenthsAsDecimal(int tenths) {
  const QString sign = tenths < 0 ? QStringLiteral("-") : QString();
  const int a = std::abs(tenths);
  return sign + QString::number(a / 10) + QLatin1Char('.') + QString::number(a % 10);
}

std::optional<int> ReadGainTenths(link::InstrumentLink& link, int output) {
  link::LinkState& state = link.state();
  link.transport().Clear(true, true);
  state.handshake_active = true;
  state.line_buffer.clear();
  state.line_received = false;
  link.SendText(".LG" + QByteArray::number(output) + ",-\r");
  link.WaitForLine(kGainReplyPolls);
  const QByteArray reply = state.line_buffer;
  state.line_buffer.clear();
  state.handshake_active = false;
  return GainTenthsFromReply(reply);
}

std::vector<GainSendResult> SendGain(link::InstrumentLink& link, std::vector<int> outputs,
                                     int tenths) {
  std::sort(outputs.begin(), outputs.end());
  outputs.erase(std::unique(outputs.begin(), outputs.end()), outputs.end());
  link::LinkState& state = link.state();
  link::Transport& transport = link.transport();
  std::vector<GainSendResult> results;
  const bool was_busy = state.busy;
  state.busy = true;
  for (const int output : outputs) {
    GainSendResult result;
    result.output = output;
    for (int attempt = 0; attempt < kGainAttempts && !link.LineFailed(); ++attempt) {
      ++result.attempts;
      state.received = false;
      transport.Clear(true, true);
      QByteArray pending;
      link.SendText(SetGainCommand(output, tenths));
      const bool answered = link::WaitUntil(
          [&] {
            if (transport.BytesAvailable() > 0) {
              pending += transport.Read(transport.BytesAvailable());
            }
            return pending.contains("\r\n");
          },
          kGainReplyPolls * link::timing::kLinePollMs, &transport,
          [&link] { return link.LineFailed(); });
      if (answered) {
        result.reply = pending.left(pending.indexOf("\r\n"));
        break;
      }
    }
    results.push_back(result);
  }
  state.busy = was_busy;
  return results;
}

}  // namespace zizara::core::live

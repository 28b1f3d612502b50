#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace zizara::core::link {
class InstrumentLink;
}

namespace zizara::core::live {

inline constexpr int kGainLimitTenths = 210;  // +-21,0 dB
inline constexpr int kGainAttempts = 5;
inline constexpr int kGainReplyPolls = 100;  // of 10 ms each
inline constexpr int kGainAutoUpdateMs = 500;
inline constexpr char kInvalidGainText[] =
    "The entered gain-value is not valid,\rthe gain-value must be between +21,0 and -21,0";

// A gain as typed: a decimal number with a comma (or a point) as separator; nullopt when it is
// not a number.
std::optional<double> ParseGainText(const QString& text);
// Clamped to +-21,0 dB and given in whole tenths of a dB, as the instrument takes them.
int GainTenths(double db);
// ".SG" + output + "," + tenths + CR; output is 1-based.
QByteArray SetGainCommand(int output, int tenths);
// The shortest text of a gain in dB with a comma as separator ("21", "-3,5").
QString ShortestGainText(double db);
// One spin step (+1 up, -1 down) of 0,1 dB from `text`, clamped, shown with ",0" appended when
// the value has no comma. Nullopt when the text is not a number.
std::optional<QString> StepGainText(const QString& text, int direction);

// Tenths of a dB in an "AG" reply (after its first comma); nullopt without one.
std::optional<int> GainTenthsFromReply(const QByteArray& reply);
// Tenths as dB with one decimal and a point, for scripts ("-3.5").
QString TenthsAsDecimal(int tenths);

// ".LG" for a 1-based output, its reply kept from the message interpreter; nullopt when the
// instrument does not say (no reply within a second, or no "AG" in it).
std::optional<int> ReadGainTenths(link::InstrumentLink& link, int output);

struct GainSendResult {
  int output = 0;    // 1-based
  int attempts = 0;  // sends made
  QByteArray reply;  // the line that answered, without CR LF; empty when none came
};

// Sets the gain of each output, in ascending order: up to kGainAttempts sends of the set
// command, each waiting up to kGainReplyPolls polls for a reply line, stopping at the first
// reply. The link is marked busy meanwhile, so the reply stays out of the message interpreter.
std::vector<GainSendResult> SendGain(link::InstrumentLink& link, std::vector<int> outputs,
                                     int tenths);

}  // namespace zizara::core::live

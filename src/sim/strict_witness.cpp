#include "sim/strict_witness.h"

#include <QFile>

#include "core/link/protocol.h"

namespace zizara::sim {

namespace {

using core::link::kAck;
using Code = core::link::Command;

inline constexpr std::uint32_t kConfigurationFirst = 0x01C000;
inline constexpr std::uint32_t kConfigurationEnd = 0x020000;  // one past the last byte
inline constexpr std::uint8_t kBlockCountByte = 0x7F;         // 128 bytes, written as count-1
inline constexpr std::uint8_t kReadCountByte = 0x80;          // 128 bytes
inline constexpr int kHistorySize = 512;

QString HexByte(std::uint8_t b) {
  return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

QString HexBytes(const QByteArray& bytes) {
  QStringList parts;
  for (char c : bytes) {
    parts << HexByte(static_cast<std::uint8_t>(c));
  }
  return parts.isEmpty() ? QStringLiteral("nothing") : parts.join(QLatin1Char(' '));
}

// Text as hex bytes with runs of printable characters quoted: 0D ".LI1,-" 0D.
QString Render(const QByteArray& bytes) {
  QStringList parts;
  QString text;
  for (char c : bytes) {
    const auto b = static_cast<std::uint8_t>(c);
    if (b >= 0x21 && b <= 0x7E && b != '"') {
      text += QLatin1Char(c);
      continue;
    }
    if (!text.isEmpty()) {
      parts << QLatin1Char('"') + text + QLatin1Char('"');
      text.clear();
    }
    parts << HexByte(b);
  }
  if (!text.isEmpty()) {
    parts << QLatin1Char('"') + text + QLatin1Char('"');
  }
  return parts.isEmpty() ? QStringLiteral("nothing") : parts.join(QLatin1Char(' '));
}

QString Gap(qint64 ms) { return QStringLiteral("(%1 ms)").arg(ms); }

bool NeedsBreak(std::uint8_t code) {
  switch (static_cast<Code>(code)) {
    case Code::kSetAddress:
    case Code::kWriteBlock:
    case Code::kKeyPress:
    case Code::kReadBlock:
    case Code::kRestart:
      return true;
    default:
      return false;
  }
}

// The mouse pad's commands are the only ones that end in CR LF.
bool IsMouseCommand(const QByteArray& line) {
  return line.size() >= 3 && line.startsWith(".S") && QByteArrayView("mabcdefgh").contains(line[2]);
}

// The commands the link layer frames itself, with a CR on both sides.
bool NeedsLeadingCr(const QByteArray& line) {
  return line.startsWith(".LI") || line.startsWith(".SP15,");
}

}  // namespace

QString StrictDeviation::Line() const {
  return QStringLiteral("%1 %2: seen %3, expected %4").arg(ms).arg(rule, seen, expected);
}

const QStringList& StrictWitness::Rules() {
  static const QStringList kRules = {
      QStringLiteral("fresh-break"),      QStringLiteral("restart-break"),
      QStringLiteral("restart-zero"),     QStringLiteral("restart-pause"),
      QStringLiteral("restart-quiet"),    QStringLiteral("address-middle-byte"),
      QStringLiteral("write-count"),      QStringLiteral("read-count"),
      QStringLiteral("check-byte"),       QStringLiteral("download-handshake"),
      QStringLiteral("download-range"),   QStringLiteral("protect-unread"),
      QStringLiteral("protect-set"),      QStringLiteral("text-leading-cr"),
      QStringLiteral("text-terminator"),  QStringLiteral("text-unterminated"),
      QStringLiteral("text-not-command"),
  };
  return kRules;
}

StrictWitness::StrictWitness(QString file, bool answers_text)
    : file_(std::move(file)), answers_text_(answers_text) {}

void StrictWitness::Note(const QString& rule, const QString& seen, const QString& expected) {
  StrictDeviation d{Now(), rule, seen, expected};
  deviations_.append(d);
  if (file_.isEmpty()) {
    return;
  }
  // Opened for every line, so the file is complete whenever the simulator stops.
  QFile out(file_);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text) ||
      out.write(d.Line().toUtf8() + '\n') < 0) {
    file_error_ = out.errorString();
  }
}

QString StrictWitness::Recent(int count) const {
  QByteArray bytes;
  const int n = std::min<int>(count, static_cast<int>(history_.size()));
  for (auto it = history_.end() - n; it != history_.end(); ++it) {
    bytes.append(static_cast<char>(it->second));
  }
  return HexBytes(bytes);
}

void StrictWitness::HostByte(std::uint8_t byte, qint64 ms) {
  if (quiet_until_ms_ >= 0) {
    if (ms < quiet_until_ms_ - kTimingSlackMs) {
      Note(QStringLiteral("restart-quiet"),
           QStringLiteral("0E %1 %2").arg(Gap(ms - restart_ms_), HexByte(byte)),
           QStringLiteral("0E %1 before the next byte").arg(Gap(kRestartQuietMs)));
    }
    quiet_until_ms_ = -1;
  }
  ++bytes_seen_;
  history_.emplace_back(ms, byte);
  if (history_.size() > kHistorySize) {
    history_.pop_front();
  }
  prev_was_break_ = last_was_break_;
  last_was_break_ = false;
  mouse_lf_ = false;
  if (expect_lf_) {
    expect_lf_ = false;
    mouse_lf_ = byte == '\n';
    if (!mouse_lf_) {
      Note(QStringLiteral("text-terminator"), Render(expect_lf_line_ + '\r') + ' ' + HexByte(byte),
           Render(expect_lf_line_ + "\r\n"));
    }
  }
}

void StrictWitness::Break(const QByteArray& dropped_line) {
  const bool excused = out_of_step_;
  out_of_step_ = false;
  // A retried break follows the last one directly (A6 6D A6 6D); it continues the run.
  const bool continues_run = last_break_end_ >= 0 && last_break_end_ == bytes_seen_ - 2;
  last_break_end_ = bytes_seen_;
  if (!continues_run) {
    // The first break of a run: remember the pause before its A6 and what it cut off.
    const std::size_t n = history_.size();
    run_gap_ms_ = n >= 3 ? history_[n - 2].first - history_[n - 3].first : -1;
    run_dropped_zero_ = dropped_line == "0";
  }
  if (!dropped_line.isEmpty() && dropped_line != "0" && !excused) {
    Note(QStringLiteral("text-unterminated"), Render(dropped_line) + QStringLiteral(" A6 6D"),
         Render(dropped_line + '\r') + QStringLiteral(" A6 6D"));
  }
  last_was_break_ = true;
}

void StrictWitness::Command(std::uint8_t code) {
  const bool after_break = prev_was_break_;
  if (static_cast<Code>(code) == Code::kRestart) {
    if (!after_break) {
      Note(QStringLiteral("restart-break"), Recent(3), QStringLiteral("A6 6D 0E"));
    } else {
      if (!run_dropped_zero_) {
        Note(QStringLiteral("restart-zero"), Recent(3), QStringLiteral("\"0\" A6 6D 0E"));
      }
      if (run_gap_ms_ >= 0 && run_gap_ms_ < kRestartLeadMs - kTimingSlackMs) {
        Note(QStringLiteral("restart-pause"), QStringLiteral("%1 A6 6D 0E").arg(Gap(run_gap_ms_)),
             QStringLiteral("%1 A6 6D 0E").arg(Gap(kRestartLeadMs)));
      }
    }
    restart_ms_ = Now();
    quiet_until_ms_ = Now() + kRestartQuietMs;
    restart_answer_pending_ = true;
    return;
  }
  if (NeedsBreak(code) && !after_break && !link_ok_) {
    Note(QStringLiteral("fresh-break"), HexByte(code), QStringLiteral("A6 6D ") + HexByte(code));
  }
  if (static_cast<Code>(code) == Code::kToggleWriteProtect) {
    if (flag_read_ == FlagRead::kNone) {
      Note(QStringLiteral("protect-unread"), QStringLiteral("0A"), QStringLiteral("1A 00 0A"));
    } else if (flag_read_ == FlagRead::kNonZero) {
      Note(QStringLiteral("protect-set"), QStringLiteral("1A (flag not 0) 0A"),
           QStringLiteral("1A (flag 0) 0A"));
    }
    flag_read_ = FlagRead::kNone;  // every toggle needs a read of its own
  }
}

void StrictWitness::Address(const std::array<std::uint8_t, 3>& bytes) {
  if ((bytes[1] & 0xC0) != 0 && !out_of_step_) {
    const QByteArray seen{reinterpret_cast<const char*>(bytes.data()), 3};
    QByteArray expected = seen;
    expected[1] = static_cast<char>(bytes[1] & 0x3F);
    Note(QStringLiteral("address-middle-byte"), QStringLiteral("00 ") + HexBytes(seen),
         QStringLiteral("00 ") + HexBytes(expected));
  }
}

void StrictWitness::WriteCount(std::uint8_t count_byte) {
  if (count_byte != kBlockCountByte && !out_of_step_) {
    Note(QStringLiteral("write-count"), QStringLiteral("01 ") + HexByte(count_byte),
         QStringLiteral("01 ") + HexByte(kBlockCountByte));
  }
}

void StrictWitness::WriteBlock(std::uint32_t address, const QByteArray& data, std::uint8_t check) {
  const std::uint8_t right = core::link::CheckByte(
      reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<int>(data.size()));
  if (out_of_step_) {
    return;  // bytes of the host's recovery, taken as a block
  }
  if (check != right) {
    Note(QStringLiteral("check-byte"), QStringLiteral("check byte ") + HexByte(check),
         QStringLiteral("check byte ") + HexByte(right));
  }
  const std::uint32_t end = address + static_cast<std::uint32_t>(data.size());
  const bool inside = address >= kConfigurationFirst && end <= kConfigurationEnd;
  const QString where = QStringLiteral("a block at 0x") +
                        QString::number(address, 16).toUpper().rightJustified(5, '0');
  if (address == kConfigurationFirst) {
    configuration_run_ = true;
  }
  if (configuration_run_ && !inside) {
    Note(QStringLiteral("download-range"), where, QStringLiteral("blocks inside 0x1C000-0x1FFFF"));
  }
  const bool handshake = handshake_done_ || (handshake_started_ && handshake_answer_lost_);
  if ((inside || configuration_run_) && remote_capable_ && !handshake) {
    Note(QStringLiteral("download-handshake"), QStringLiteral("01 before \".SP15,21\""),
         QStringLiteral("0D \".SP15,20\" 0D, 0D \".SP15,21\" 0D before the first 01"));
  }
}

void StrictWitness::ReadCount(std::uint8_t count_byte) {
  if (count_byte != kReadCountByte && !out_of_step_) {
    Note(QStringLiteral("read-count"), QStringLiteral("11 ") + HexByte(count_byte),
         QStringLiteral("11 ") + HexByte(kReadCountByte));
  }
}

void StrictWitness::LineStart() {
  const std::size_t n = history_.size();
  line_has_lead_ = n >= 2;
  line_lead_ = line_has_lead_ ? history_[n - 2].second : 0;
}

void StrictWitness::LineEnd(const QByteArray& line, std::uint8_t terminator) {
  const QByteArray ended = line + static_cast<char>(terminator);
  if (terminator == '\n') {
    if (!line.isEmpty()) {
      Note(QStringLiteral("text-terminator"), Render(ended),
           Render(line + (IsMouseCommand(line) ? "\r\n" : "\r")));
    } else if (!mouse_lf_) {
      // A bare LF is only right as the second half of a mouse command's CR LF.
      Note(QStringLiteral("text-terminator"), Recent(2),
           Recent(2).chopped(3) + QStringLiteral(" alone"));
    }
    return;
  }
  if (line.isEmpty()) {
    return;
  }
  if (out_of_step_) {
    out_of_step_ = false;  // a whole line: the two sides are in step again
    if (!line.startsWith('.')) {
      return;  // the tail of the host's recovery
    }
  }
  if (!line.startsWith('.')) {
    Note(QStringLiteral("text-not-command"), Render(ended),
         QStringLiteral("a line starting with \".\""));
    return;
  }
  if (NeedsLeadingCr(line) && (!line_has_lead_ || line_lead_ != '\r')) {
    Note(QStringLiteral("text-leading-cr"), Render(ended), Render('\r' + ended));
  }
  if (IsMouseCommand(line)) {
    expect_lf_ = true;
    expect_lf_line_ = line;
  }
  if (line == ".SP15,20") {
    handshake_started_ = true;
    handshake_answer_lost_ = false;
  } else if (line == ".SP15,21") {
    handshake_done_ = true;
  }
}

void StrictWitness::Abandoned() { link_ok_ = false; }

void StrictWitness::Reboot() {
  link_ok_ = false;
  flag_read_ = FlagRead::kNone;
  handshake_started_ = false;
  handshake_done_ = false;
  handshake_answer_lost_ = false;
  configuration_run_ = false;
}

void StrictWitness::Delivered(AnswerKind kind, const QByteArray& intended,
                              const QByteArray& delivered) {
  if (kind != AnswerKind::kText && delivered != intended) {
    // The host gives the exchange up and breaks in, while the instrument may still wait for
    // the rest of a command and take the break as its data.
    out_of_step_ = true;
    // Nor can it be told whether the host still counts the instrument as remote-capable (a
    // failed identification skips the probe): the handshake is demanded again only after the
    // next probe answer that arrives whole.
    remote_capable_ = false;
  }
  switch (kind) {
    case AnswerKind::kAck:
      // The restart clears the host's link-ok flag whatever its answer, also when a latency
      // delivers that answer after the reboot.
      link_ok_ = !restart_answer_pending_ && delivered.size() == 1 &&
                 static_cast<std::uint8_t>(delivered[0]) == kAck;
      restart_answer_pending_ = false;
      return;
    case AnswerKind::kReadData: {
      const auto* data = reinterpret_cast<const std::uint8_t*>(delivered.constData());
      const int count = static_cast<int>(intended.size()) - 1;
      link_ok_ = delivered.size() == intended.size() && count > 0 &&
                 core::link::CheckByte(data, count) == data[count];
      return;
    }
    case AnswerKind::kFlag:
      // Any byte that arrives is taken as the flag.
      link_ok_ = delivered.size() == 1;
      flag_read_ = delivered.isEmpty()    ? FlagRead::kNone
                   : delivered[0] == '\0' ? FlagRead::kZero
                                          : FlagRead::kNonZero;
      return;
    case AnswerKind::kText:
      if (intended.contains(".AI1,")) {
        // The probe's answer: the host takes the instrument as remote-capable only if it
        // saw ".AI1".
        remote_capable_ = answers_text_ && delivered.contains(".AI1");
      }
      if (handshake_started_ && delivered != intended && intended.contains(".AP15,")) {
        handshake_answer_lost_ = true;  // the host may give the handshake up, as it should
      }
      return;
  }
}

}  // namespace zizara::sim

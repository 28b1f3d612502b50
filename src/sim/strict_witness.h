#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <cstdint>
#include <deque>

namespace zizara::sim {

// What an answer to the host was for. From the bytes that really reached the host the witness
// tells whether the host's exchange succeeded, as the host's link-ok flag will say.
enum class AnswerKind {
  kAck,       // break, command code, address, block write, key: 0x05 or a refusal
  kReadData,  // block read: count bytes and a check byte
  kFlag,      // the write-protect flag byte
  kText,      // a text line
};

struct StrictDeviation {
  qint64 ms = 0;
  QString rule;
  QString seen;
  QString expected;
  // "TIME_MS RULE: seen BYTES, expected BYTES"
  QString Line() const;
};

// Watches the host's side of the line and notes every exchange the host gets wrong, while the
// instrument goes on answering as usual. The instrument reports what it takes from the host in
// the order it takes it; answers are reported as they reach the host, after any injected faults,
// so that a host that recovers from a lost answer is not blamed for recovering.
class StrictWitness {
 public:
  // The rule names, as written to the deviation file.
  static const QStringList& Rules();

  // Pauses the host must keep around a restart, and how much earlier a pause may seem to end:
  // the simulator may take a byte from the line some milliseconds after it arrived.
  static constexpr int kRestartLeadMs = 100;
  static constexpr int kRestartQuietMs = 1500;
  static constexpr int kTimingSlackMs = 20;

  // `file`: where each deviation is appended as one line; empty keeps them in memory only.
  // `answers_text`: the instrument speaks the text protocol (not BIOS, not --no-dot).
  StrictWitness(QString file, bool answers_text);

  // Every byte from the host, before the instrument interprets it; ms on the instrument's clock.
  void HostByte(std::uint8_t byte, qint64 ms);
  // The break sequence completed; `dropped_line` is the unfinished text line it threw away.
  void Break(const QByteArray& dropped_line);
  // A command byte the instrument executes (from binary or text mode).
  void Command(std::uint8_t code);
  void Address(const std::array<std::uint8_t, 3>& bytes);
  void WriteCount(std::uint8_t count_byte);
  // A whole block write: the address it goes to, its data and the check byte that came with it.
  void WriteBlock(std::uint32_t address, const QByteArray& data, std::uint8_t check);
  void ReadCount(std::uint8_t count_byte);
  // The first character of a text line arrived.
  void LineStart();
  // CR or LF in text mode, with the line it ends (empty for a bare CR or LF).
  void LineEnd(const QByteArray& line, std::uint8_t terminator);
  // A multi-byte command left unfinished was given up.
  void Abandoned();
  void Reboot();
  // An answer as it reached the host.
  void Delivered(AnswerKind kind, const QByteArray& intended, const QByteArray& delivered);

  const QList<StrictDeviation>& deviations() const { return deviations_; }
  // The most recent host bytes with the time each was taken, oldest first.
  const std::deque<std::pair<qint64, std::uint8_t>>& history() const { return history_; }
  // Why the deviation file could not be written; empty while all went well.
  const QString& FileError() const { return file_error_; }

 private:
  enum class FlagRead { kNone, kZero, kNonZero };

  void Note(const QString& rule, const QString& seen, const QString& expected);
  QString Recent(int count) const;  // the last `count` host bytes, rendered
  qint64 Now() const { return history_.empty() ? 0 : history_.back().first; }

  QString file_;
  QString file_error_;
  bool answers_text_ = false;
  QList<StrictDeviation> deviations_;
  std::deque<std::pair<qint64, std::uint8_t>> history_;

  // The host's link-ok flag as the host sees it: clear until an exchange succeeds.
  bool link_ok_ = false;
  bool last_was_break_ = false;  // the byte just taken completed a break
  bool prev_was_break_ = false;  // the byte before the one being taken did
  qint64 bytes_seen_ = 0;
  qint64 last_break_end_ = -1;  // bytes_seen_ when the last break completed
  // An answer was lost or damaged: until the instrument takes a break again, what it reads
  // as the rest of a command is the host's recovery, not a command.
  bool out_of_step_ = false;

  // The run of breaks the next command follows: the pause before its first break, and
  // whether that break threw away the restart's "0".
  qint64 run_gap_ms_ = -1;  // -1: nothing came before
  bool run_dropped_zero_ = false;
  qint64 quiet_until_ms_ = -1;  // after a restart
  qint64 restart_ms_ = 0;
  bool restart_answer_pending_ = false;

  FlagRead flag_read_ = FlagRead::kNone;
  bool remote_capable_ = false;
  bool handshake_started_ = false;  // ".SP15,20"
  bool handshake_done_ = false;     // ".SP15,21"
  bool handshake_answer_lost_ = false;
  bool configuration_run_ = false;  // a block went to 0x1C000 since the last restart

  std::uint8_t line_lead_ = 0;  // the byte before the current line's first character
  bool line_has_lead_ = false;
  bool expect_lf_ = false;  // a mouse command ends in CR LF
  bool mouse_lf_ = false;   // the byte being taken is that LF
  QByteArray expect_lf_line_;
};

}  // namespace zizara::sim

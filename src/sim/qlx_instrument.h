#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <random>
#include <vector>

#include "core/config/configuration_image.h"
#include "sim/strict_witness.h"

class QJsonObject;

namespace zizara::sim {

inline constexpr std::uint32_t kMemorySize = 0x400000;  // 22-bit addresses
inline constexpr std::uint32_t kSerialWordAddress = 0x001F80;
inline constexpr std::uint32_t kVersionTextAddress = 0x018010;
inline constexpr std::uint32_t kImageAddress = 0x01C000;
inline constexpr int kSoftwareBlockSize = 128;

inline constexpr int kSimInputs = 88;
inline constexpr int kSimOutputs = 96;
inline constexpr int kSimPresets = 11;
inline constexpr int kGainLimit = 210;  // tenths of a dB
inline constexpr std::uint8_t kNoRouting = 0x7F;

inline constexpr int kDefaultSerial = 12345;

struct QlxOptions {
  int serial = kDefaultSerial;  // 0..65535; 65535 reads back as serial "-1"
  QString model;                // when set, the first serial of that model's range wins
  QString version = QStringLiteral("5.10");
  bool bios = false;
  bool no_dot = false;
  QString image_file;  // a preset file, bare or full; empty = the default image
  int baud = 0;        // used by PtyServer; 0 = no pacing
  int latency_ms = 0;
  int boot_ms = 300;
  double drop = 0.0;
  double corrupt = 0.0;
  qint64 hangup_after_bytes = -1;  // -1 = never
  std::optional<std::uint32_t> seed;
  // When set, the instrument also witnesses the host's side of the protocol and appends one
  // line to this file for every rule the host breaks (see StrictWitness).
  QString strict_file;
  // A multi-byte command left unfinished this long is abandoned, so a host that lost an
  // answer can break in again instead of feeding its break into a half-received block.
  int payload_timeout_ms = 500;

  // Identity values 3..17 of the ".LI" reply (1 is the serial number, 2 is not reported).
  int firmware_version = 258;
  int hardware_id = 3;
  int bios_version = 260;
  int extended_bios_id = 1;
  int input_channels = kSimInputs;
  int output_channels = kSimOutputs;
  std::array<int, 4> input_modules{17, 17, 18, 0};
  std::array<int, 4> output_modules{33, 33, 34, 0};
};

struct QlxStats {
  qint64 bytes_in = 0;
  qint64 bytes_out = 0;
  qint64 blocks_read = 0;
  qint64 blocks_written = 0;
  qint64 restarts = 0;
  bool download_mode = false;
  std::vector<int> keys;
};

// First serial number of a model name from the model table (any case); nullopt if unknown.
std::optional<int> FirstSerialOfModel(const QString& name);
// Whether input -> output (1-based) can ever be routed.
bool IsLegalCrosspoint(int input, int output);
// The configuration an instrument holds when no image file is given.
core::config::ConfigurationImage DefaultImage(int serial);
// {"bytes_in":N,...,"keys":[...]} on one line, keys in the documented order.
QByteArray StatsToJson(const QlxStats& stats);

// The simulated instrument's side of the serial line: byte protocol, dot protocol, memory and
// fault injection. Bytes come in through Receive() and leave through Transmit().
class QlxInstrument : public QObject {
  Q_OBJECT

 public:
  // Options are taken as valid; Create() checks them. An image file that cannot be loaded
  // leaves the default image in place and LoadError() says why.
  explicit QlxInstrument(const QlxOptions& options = {}, QObject* parent = nullptr);
  ~QlxInstrument() override;

  // Null, with the reason, when the options are invalid or the image file cannot be loaded.
  static std::unique_ptr<QlxInstrument> Create(const QlxOptions& options, QString* error);
  // Model name, serial range, version text, probabilities, no negative times.
  static bool ValidateOptions(const QlxOptions& options, QString* error);

  const QlxOptions& options() const { return options_; }
  const QString& LoadError() const { return load_error_; }
  int serial() const { return serial_; }
  int version_code() const { return version_code_; }

  // Host -> instrument.
  void Receive(const QByteArray& bytes);

  // Memory (addresses wrap at 4 MiB).
  QByteArray ReadMemory(std::uint32_t address, int count) const;
  void WriteMemory(std::uint32_t address, const QByteArray& bytes);
  std::uint8_t MemoryByte(std::uint32_t address) const;
  const std::vector<std::uint8_t>& memory() const { return memory_; }
  // The 16384 bytes at 0x1C000.
  core::config::ConfigurationImage Image() const;
  void SetImage(const core::config::ConfigurationImage& image);
  // Loads a preset file or bare image and writes the serial word at image offset 2.
  bool LoadImageFile(const QString& path, QString* error);

  bool WriteProtectFlag() const { return write_protect_; }
  int CurrentPreset() const { return preset_; }  // 1..11
  bool DownloadMode() const { return download_mode_; }
  bool InBinaryMode() const;
  bool IsHungUp() const { return hung_up_; }

  // Routing of an output (1..96) as an input number 1..88, 0 when nothing visible is routed.
  int Routing(int output) const { return Routing(preset_, output); }
  int Routing(int preset, int output) const;
  bool RoutedRemotely(int output) const;
  int Gain(int output) const;  // tenths of a dB

  const QlxStats& stats() const { return stats_; }
  QByteArray StatsJson() const { return StatsToJson(stats_); }
  // One compact JSON object per event, oldest first.
  const QList<QByteArray>& EventLog() const { return event_log_; }
  // Null unless the options name a strict file.
  const StrictWitness* witness() const { return witness_.get(); }

  // A change made at the instrument: ".AA" o "," i, then ".U". False when out of range or
  // illegal, with the reason.
  bool RouteLocal(int output, int input, QString* error = nullptr);
  void SendUpdate();
  void SendPowerUp();

 signals:
  // Instrument -> host, after latency and fault injection.
  void Transmit(const QByteArray& bytes);
  // The line was closed after the configured number of received bytes.
  void HangUp();

 private:
  enum class State {
    kText,
    kBinary,
    kAddress,
    kWriteCount,
    kWriteData,
    kWriteCheck,
    kReadCount,
    kKeyCode,
  };

  void BuildMemory();
  void WriteSerialWord();
  void Step(std::uint8_t byte);
  bool BreakMayStartHere() const;
  void Handle(std::uint8_t byte);
  void HandleText(std::uint8_t byte);
  void Command(std::uint8_t code);
  void Break();
  void Reboot();
  void HandleLine(const QByteArray& line);
  QByteArray AnswerLine(const QByteArray& line);
  QByteArray ListIdentity(int first) const;
  QByteArray ListRouting(int first) const;
  std::optional<int> IdentityValue(int k) const;
  void SetRouting(int output, int input, bool remote);
  int RoutingOffset(int preset, int output) const;

  void Emit(const QByteArray& bytes, AnswerKind kind = AnswerKind::kText);
  void EmitByte(std::uint8_t byte, AnswerKind kind = AnswerKind::kAck) {
    Emit(QByteArray(1, static_cast<char>(byte)), kind);
  }
  void EmitLine(const QByteArray& line) { Emit(line + "\r\n"); }
  void Deliver(const QByteArray& bytes, AnswerKind kind);
  void FlushDue();
  QByteArray ApplyFaults(const QByteArray& bytes);
  bool Chance(double probability);
  void DoHangUp();
  void Log(const char* event, const QJsonObject& fields);

  QlxOptions options_;
  QString load_error_;
  int serial_ = kDefaultSerial;
  int version_code_ = 0;
  std::vector<std::uint8_t> memory_;

  State state_ = State::kText;
  QByteArray line_;
  bool break_pending_ = false;
  std::array<std::uint8_t, 3> address_bytes_{};
  int address_index_ = 0;
  std::uint32_t address_ = 0;
  int write_count_ = 0;
  QByteArray write_data_;
  QElapsedTimer clock_;
  qint64 last_byte_ms_ = 0;

  bool write_protect_ = false;
  int preset_ = 1;
  bool download_mode_ = false;
  bool hung_up_ = false;
  std::array<std::array<bool, kSimOutputs>, kSimPresets> remote_{};
  std::array<int, kSimOutputs> gains_{};

  QlxStats stats_;
  QList<QByteArray> event_log_;
  std::mt19937 rng_;
  struct Pending {
    qint64 due_ms;  // on clock_
    QByteArray bytes;
    AnswerKind kind;
  };
  std::deque<Pending> pending_;
  std::unique_ptr<StrictWitness> witness_;
  QTimer latency_timer_;
  QTimer boot_timer_;
};

}  // namespace zizara::sim

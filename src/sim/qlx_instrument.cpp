#include "sim/qlx_instrument.h"

#include <QByteArrayView>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "core/config/memory_map.h"
#include "core/config/model_table.h"
#include "core/config/preset_file.h"
#include "core/config/preset_options.h"
#include "core/config/upgrade.h"
#include "core/config/version.h"
#include "core/io/file_access.h"
#include "core/link/protocol.h"

namespace zizara::sim {

namespace cfg = core::config;
namespace io = core::io;

namespace {

// The instrument answers the same byte protocol the program speaks.
using core::link::kAck;
using core::link::kBreak1;
using core::link::kBreak2;
using core::link::kRefuse;
using Code = core::link::Command;

inline constexpr int kMaxLineLength = 1024;
inline constexpr int kVersionTextLength = 48;

bool IsBinaryCommand(std::uint8_t b) {
  switch (static_cast<Code>(b)) {
    case Code::kSetAddress:
    case Code::kWriteBlock:
    case Code::kToggleWriteProtect:
    case Code::kRestart:
    case Code::kKeyPress:
    case Code::kReadBlock:
    case Code::kReadWriteProtect:
      return true;
  }
  return false;
}

// 0x0A is LF in text mode, so it is the one command that needs binary mode first.
bool IsTextModeCommand(std::uint8_t b) {
  return IsBinaryCommand(b) && b != static_cast<std::uint8_t>(Code::kToggleWriteProtect);
}

std::uint8_t CheckByte(QByteArrayView data) {
  std::uint8_t sum = 0;
  for (char c : data) {
    sum = static_cast<std::uint8_t>(sum + static_cast<std::uint8_t>(c));
  }
  return static_cast<std::uint8_t>(~sum);
}

QString Hex(std::uint32_t value, int digits) {
  return QStringLiteral("0x") +
         QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

// Decimal with an optional minus sign; nine digits at most so it always fits.
std::optional<int> ParseInt(QByteArrayView text) {
  bool negative = false;
  if (!text.isEmpty() && text.front() == '-') {
    negative = true;
    text = text.sliced(1);
  }
  if (text.isEmpty() || text.size() > 9) {
    return std::nullopt;
  }
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

std::optional<std::pair<int, int>> ParsePair(QByteArrayView text) {
  const qsizetype comma = text.indexOf(',');
  if (comma < 0) {
    return std::nullopt;
  }
  const auto a = ParseInt(text.first(comma));
  const auto b = ParseInt(text.sliced(comma + 1));
  if (!a || !b) {
    return std::nullopt;
  }
  return std::pair{*a, *b};
}

// n ",-" as in ".LI1,-".
std::optional<int> ParseListArgument(QByteArrayView text) {
  if (!text.endsWith(",-")) {
    return std::nullopt;
  }
  return ParseInt(text.chopped(2));
}

QByteArray Num(int value) { return QByteArray::number(value); }

}  // namespace

std::optional<int> FirstSerialOfModel(const QString& name) {
  for (const cfg::ModelInfo& model : cfg::kModelTable) {
    if (name.compare(QLatin1String(model.name), Qt::CaseInsensitive) == 0) {
      // The catch-all row has no range; an erased serial word (0xFFFF) stands for it.
      return model.serial_first < 0 ? 0xFFFF : model.serial_first;
    }
  }
  return std::nullopt;
}

bool IsLegalCrosspoint(int input, int output) {
  if (input < 1 || input > kSimInputs || output < 1 || output > kSimOutputs) {
    return false;
  }
  if (input >= 57 && output == input + 8) {
    return false;
  }
  if (input == 49 || input == 50 || output == 63 || output == 64) {
    return false;
  }
  if ((input == 55 || input == 56) && (output == 49 || output == 50)) {
    return false;
  }
  const bool blocked_source = input <= 48 || (input >= 52 && input <= 54) || input == 56;
  return !(output >= 55 && output <= 62 && blocked_source);
}

cfg::ConfigurationImage DefaultImage(int serial) {
  cfg::ConfigurationImage image;
  cfg::UpgradeToV5(image);
  image.SetWord(cfg::offsets::kSerialNumber, static_cast<std::uint16_t>(serial));
  const auto name = [](const char* prefix, int n) {
    return QByteArray(prefix) + QByteArray::number(n).rightJustified(2, '0');
  };
  for (int o = 1; o <= kSimOutputs; ++o) {
    image.SetText(cfg::OutputNameOffset(o), name("OU", o));
  }
  for (int p = 0; p < kSimPresets; ++p) {
    const cfg::MemoryMap map = cfg::MemoryMap::ForPreset(p);
    // Inputs 33..56 are named per preset; the others are shared, writing them again is harmless.
    // Inputs 57..88 share their name words with outputs 65..96, so those read "IN57".."IN88".
    for (int i = 1; i <= kSimInputs; ++i) {
      image.SetText(cfg::InputNameOffset(map, i), name("IN", i));
    }
    cfg::SetPresetName(image, p, QByteArray("PRESET ") + QByteArray::number(p + 1));
    for (int o = 1; o <= kSimOutputs; ++o) {
      const bool legal = o <= kSimInputs && IsLegalCrosspoint(o, o);
      image.SetArrayElement(map.RoutingTable, o - 1,
                            legal ? static_cast<std::uint8_t>(o - 1) : kNoRouting);
    }
  }
  return image;
}

QByteArray StatsToJson(const QlxStats& stats) {
  QByteArray keys;
  for (std::size_t i = 0; i < stats.keys.size(); ++i) {
    if (i > 0) {
      keys += ',';
    }
    keys += Num(stats.keys[i]);
  }
  return "{\"bytes_in\":" + QByteArray::number(stats.bytes_in) +
         ",\"bytes_out\":" + QByteArray::number(stats.bytes_out) +
         ",\"blocks_read\":" + QByteArray::number(stats.blocks_read) +
         ",\"blocks_written\":" + QByteArray::number(stats.blocks_written) +
         ",\"restarts\":" + QByteArray::number(stats.restarts) +
         ",\"download_mode\":" + (stats.download_mode ? "true" : "false") + ",\"keys\":[" + keys +
         "]}";
}

QlxInstrument::QlxInstrument(const QlxOptions& options, QObject* parent)
    : QObject(parent), options_(options) {
  serial_ = options_.serial & 0xFFFF;
  if (!options_.model.isEmpty()) {
    if (const auto first = FirstSerialOfModel(options_.model)) {
      serial_ = *first;
    }
  }
  version_code_ = cfg::VersionCodeFromText(options_.version).value_or(0);
  rng_.seed(options_.seed ? *options_.seed : std::random_device{}());
  clock_.start();

  latency_timer_.setSingleShot(true);
  latency_timer_.setTimerType(Qt::PreciseTimer);
  connect(&latency_timer_, &QTimer::timeout, this, &QlxInstrument::FlushDue);
  boot_timer_.setSingleShot(true);
  connect(&boot_timer_, &QTimer::timeout, this, &QlxInstrument::SendPowerUp);

  if (!options_.strict_file.isEmpty()) {
    witness_ =
        std::make_unique<StrictWitness>(options_.strict_file, !options_.bios && !options_.no_dot);
  }
  BuildMemory();
  if (!options_.image_file.isEmpty()) {
    QString error;
    if (!LoadImageFile(options_.image_file, &error)) {
      load_error_ = error;
    }
  }
}

QlxInstrument::~QlxInstrument() = default;

bool QlxInstrument::ValidateOptions(const QlxOptions& options, QString* error) {
  const auto fail = [error](const QString& text) {
    if (error != nullptr) {
      *error = text;
    }
    return false;
  };
  if (!options.model.isEmpty() && !FirstSerialOfModel(options.model)) {
    QStringList names;
    for (const cfg::ModelInfo& model : cfg::kModelTable) {
      names << QLatin1String(model.name);
    }
    return fail(QStringLiteral("unknown model \"%1\" (one of: %2)")
                    .arg(options.model, names.join(QStringLiteral(", "))));
  }
  if (options.serial < 0 || options.serial > 0xFFFF) {
    return fail(QStringLiteral("serial number %1 is not in 0..65535").arg(options.serial));
  }
  const auto code = cfg::VersionCodeFromText(options.version);
  if (!code || *code <= 0 || *code > 0xFFFF) {
    return fail(QStringLiteral("version \"%1\" is not a number such as 5.10").arg(options.version));
  }
  if (!(options.drop >= 0.0 && options.drop <= 1.0) ||
      !(options.corrupt >= 0.0 && options.corrupt <= 1.0)) {
    return fail(QStringLiteral("probabilities must lie between 0 and 1"));
  }
  if (options.baud < 0 || options.latency_ms < 0 || options.boot_ms < 0 ||
      options.payload_timeout_ms < 0 || options.hangup_after_bytes < -1) {
    return fail(QStringLiteral("negative values are not allowed"));
  }
  return true;
}

std::unique_ptr<QlxInstrument> QlxInstrument::Create(const QlxOptions& options, QString* error) {
  if (!ValidateOptions(options, error)) {
    return nullptr;
  }
  auto instrument = std::make_unique<QlxInstrument>(options);
  if (!instrument->LoadError().isEmpty()) {
    if (error != nullptr) {
      *error = instrument->LoadError();
    }
    return nullptr;
  }
  return instrument;
}

void QlxInstrument::BuildMemory() {
  memory_.assign(kMemorySize, 0);
  // A pattern that depends only on the serial number, so a backup can be compared byte for byte.
  const int blocks = cfg::ModelIndexForSerial(serial_) == cfg::kModelQlxMPlus ? 2048 : 1024;
  std::mt19937 pattern(static_cast<std::uint32_t>(serial_));
  for (std::size_t i = 0; i < static_cast<std::size_t>(blocks) * kSoftwareBlockSize; i += 4) {
    const std::uint32_t v = pattern();
    for (std::size_t j = 0; j < 4; ++j) {
      memory_[i + j] = static_cast<std::uint8_t>(v >> (8 * j));
    }
  }
  WriteSerialWord();

  QByteArray text = "SOFTWARE VERSION " + options_.version.toLatin1();
  text = text.leftJustified(kVersionTextLength, ' ', true);
  for (int i = 0; i + 1 < text.size(); i += 2) {
    memory_[kVersionTextAddress + i] = static_cast<std::uint8_t>(text[i + 1]);
    memory_[kVersionTextAddress + i + 1] = static_cast<std::uint8_t>(text[i]);
  }
  SetImage(DefaultImage(serial_));
}

void QlxInstrument::WriteSerialWord() {
  memory_[kSerialWordAddress] = static_cast<std::uint8_t>(serial_ >> 8);
  memory_[kSerialWordAddress + 1] = static_cast<std::uint8_t>(serial_);
}

QByteArray QlxInstrument::ReadMemory(std::uint32_t address, int count) const {
  QByteArray data(count, '\0');
  for (int i = 0; i < count; ++i) {
    data[i] = static_cast<char>(MemoryByte(address + static_cast<std::uint32_t>(i)));
  }
  return data;
}

void QlxInstrument::WriteMemory(std::uint32_t address, const QByteArray& bytes) {
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    memory_[(address + static_cast<std::uint32_t>(i)) & (kMemorySize - 1)] =
        static_cast<std::uint8_t>(bytes[i]);
  }
}

std::uint8_t QlxInstrument::MemoryByte(std::uint32_t address) const {
  return memory_[address & (kMemorySize - 1)];
}

cfg::ConfigurationImage QlxInstrument::Image() const {
  cfg::ConfigurationImage image;
  image.AssignFrom(ReadMemory(kImageAddress, static_cast<int>(cfg::kImageSize)));
  return image;
}

void QlxInstrument::SetImage(const cfg::ConfigurationImage& image) {
  WriteMemory(kImageAddress, image.ToByteArray());
}

bool QlxInstrument::LoadImageFile(const QString& path, QString* error) {
  // Bounded: a device or pipe given by mistake must not be read for ever.
  const io::ReadResult read = io::ReadRegularFile(path, static_cast<qint64>(cfg::kPresetFileSize));
  if (read.failure != io::ReadFailure::kNone && read.failure != io::ReadFailure::kTooLarge) {
    *error = read.error;
    return false;
  }
  const cfg::PresetFileParse parse = read.ok() ? cfg::ParsePresetFile(read.data, cfg::PresetTrailer{})
                                               : cfg::PresetFileParse{cfg::PresetFileError::kWrongSize, {}};
  switch (parse.error) {
    case cfg::PresetFileError::kNone:
      break;
    case cfg::PresetFileError::kWrongSize:
      *error = QStringLiteral("%1 is neither a preset file (%2 bytes) nor a bare image (%3 bytes)")
                   .arg(path)
                   .arg(cfg::kPresetFileSize)
                   .arg(cfg::kImageSize);
      return false;
    case cfg::PresetFileError::kInvalid:
      *error =
          QStringLiteral("%1 is not a valid preset file (magic, format or checksum)").arg(path);
      return false;
  }
  cfg::ConfigurationImage image = parse.contents.image;
  image.SetWord(cfg::offsets::kSerialNumber, static_cast<std::uint16_t>(serial_));
  SetImage(image);
  return true;
}

bool QlxInstrument::InBinaryMode() const { return state_ != State::kText; }

void QlxInstrument::Receive(const QByteArray& bytes) {
  const qint64 limit = options_.hangup_after_bytes;
  for (char c : bytes) {
    if (hung_up_) {
      return;
    }
    if (limit >= 0 && stats_.bytes_in >= limit) {
      DoHangUp();
      return;
    }
    ++stats_.bytes_in;
    Step(static_cast<std::uint8_t>(c));
    if (limit >= 0 && stats_.bytes_in >= limit) {
      DoHangUp();
      return;
    }
  }
}

bool QlxInstrument::BreakMayStartHere() const {
  // Block data and the last byte of a command are values in their own right: 0xA6 there is
  // taken at once, or a block holding A6 6D could never be written.
  switch (state_) {
    case State::kText:
    case State::kBinary:
    case State::kWriteCount:
      return true;
    case State::kAddress:
      return address_index_ < 2;
    default:
      return false;
  }
}

void QlxInstrument::Step(std::uint8_t byte) {
  const qint64 now = clock_.elapsed();
  if (witness_) {
    witness_->HostByte(byte, now);
  }
  const bool in_payload = state_ != State::kText && state_ != State::kBinary;
  if (in_payload && options_.payload_timeout_ms > 0 &&
      now - last_byte_ms_ > options_.payload_timeout_ms) {
    Log("command", {{"command", "abandoned"}});
    state_ = State::kBinary;
    if (witness_) {
      witness_->Abandoned();
    }
  }
  last_byte_ms_ = now;

  if (break_pending_) {
    break_pending_ = false;
    if (byte == kBreak2) {
      Break();
      return;
    }
    Handle(kBreak1);
  }
  if (byte == kBreak1 && BreakMayStartHere()) {
    break_pending_ = true;
    return;
  }
  Handle(byte);
}

void QlxInstrument::Break() {
  if (witness_) {
    witness_->Break(line_);
  }
  line_.clear();
  state_ = State::kBinary;
  Log("command", {{"command", "break"}});
  EmitByte(kAck);
}

void QlxInstrument::Handle(std::uint8_t byte) {
  const auto send = [this](std::uint8_t b) { EmitByte(b); };
  switch (state_) {
    case State::kText:
      HandleText(byte);
      return;
    case State::kBinary:
      if (IsBinaryCommand(byte)) {
        Command(byte);
      } else {
        state_ = State::kText;
        HandleText(byte);
      }
      return;
    case State::kAddress: {
      address_bytes_[address_index_++] = byte;
      if (address_index_ < 3) {
        return;
      }
      state_ = State::kBinary;
      if (witness_) {
        witness_->Address(address_bytes_);
      }
      const bool refused = (address_bytes_[1] & 0xC0) != 0;
      if (!refused) {
        address_ = address_bytes_[0] | (static_cast<std::uint32_t>(address_bytes_[1]) << 8) |
                   (static_cast<std::uint32_t>(address_bytes_[2]) << 14);
      }
      Log("command", {{"command", "set_address"},
                      {"address", Hex(address_, 6)},
                      {"result", refused ? "refuse" : "ack"}});
      send(refused ? kRefuse : kAck);
      return;
    }
    case State::kWriteCount:
      if (witness_) {
        witness_->WriteCount(byte);
      }
      write_count_ = byte + 1;
      write_data_.clear();
      state_ = State::kWriteData;
      return;
    case State::kWriteData:
      write_data_.append(static_cast<char>(byte));
      if (write_data_.size() == write_count_) {
        state_ = State::kWriteCheck;
      }
      return;
    case State::kWriteCheck: {
      state_ = State::kBinary;
      if (witness_) {
        witness_->WriteBlock(address_, write_data_, byte);
      }
      const bool check_ok = byte == CheckByte(write_data_);
      const bool stored = check_ok && write_protect_;
      if (stored) {
        WriteMemory(address_, write_data_);
        ++stats_.blocks_written;
      }
      Log("command",
          {{"command", "write_block"},
           {"address", Hex(address_, 6)},
           {"count", write_count_},
           {"result", stored ? "ack" : (check_ok ? "refuse: protected" : "refuse: check")}});
      send(stored ? kAck : kRefuse);
      return;
    }
    case State::kReadCount: {
      state_ = State::kBinary;
      if (witness_) {
        witness_->ReadCount(byte);
      }
      const int count = byte == 0 ? 256 : byte;
      QByteArray data = ReadMemory(address_, count);
      data.append(static_cast<char>(CheckByte(data)));
      ++stats_.blocks_read;
      Log("command", {{"command", "read_block"}, {"address", Hex(address_, 6)}, {"count", count}});
      Emit(data, AnswerKind::kReadData);
      return;
    }
    case State::kKeyCode:
      state_ = State::kBinary;
      stats_.keys.push_back(byte);
      Log("key", {{"key", byte}, {"source", "binary"}});
      send(kAck);
      return;
  }
}

void QlxInstrument::HandleText(std::uint8_t byte) {
  if (line_.isEmpty() && IsTextModeCommand(byte)) {
    state_ = State::kBinary;
    Command(byte);
    return;
  }
  if (byte == '\r' || byte == '\n') {
    if (witness_) {
      witness_->LineEnd(line_, byte);
    }
    if (!line_.isEmpty()) {
      const QByteArray line = line_;
      line_.clear();
      HandleLine(line);
    }
    return;
  }
  if (byte >= 0x20 && byte <= 0x7E && line_.size() < kMaxLineLength) {
    if (line_.isEmpty() && witness_) {
      witness_->LineStart();
    }
    line_.append(static_cast<char>(byte));
  }
}

void QlxInstrument::Command(std::uint8_t code) {
  if (witness_) {
    witness_->Command(code);
  }
  const auto send = [this](std::uint8_t b) { EmitByte(b); };
  switch (static_cast<Code>(code)) {
    case Code::kSetAddress:
      address_index_ = 0;
      state_ = State::kAddress;
      send(kAck);
      return;
    case Code::kWriteBlock:
      state_ = State::kWriteCount;
      send(kAck);
      return;
    case Code::kToggleWriteProtect:
      write_protect_ = !write_protect_;
      Log("command", {{"command", "toggle_write_protect"}, {"flag", write_protect_ ? 1 : 0}});
      send(kAck);
      return;
    case Code::kRestart:
      send(kAck);
      Reboot();
      return;
    case Code::kKeyPress:
      state_ = State::kKeyCode;
      send(kAck);
      return;
    case Code::kReadBlock:
      if (options_.bios) {
        Log("command", {{"command", "read_block"}, {"result", "refuse: bios"}});
        send(kRefuse);
        return;
      }
      state_ = State::kReadCount;
      send(kAck);
      return;
    case Code::kReadWriteProtect:
      Log("command", {{"command", "read_write_protect"}, {"flag", write_protect_ ? 1 : 0}});
      EmitByte(write_protect_ ? 1 : 0, AnswerKind::kFlag);
      return;
  }
}

void QlxInstrument::Reboot() {
  state_ = State::kText;
  line_.clear();
  break_pending_ = false;
  download_mode_ = false;
  stats_.download_mode = false;
  write_protect_ = false;
  preset_ = 1;
  ++stats_.restarts;
  if (witness_) {
    witness_->Reboot();
  }
  Log("restart", {});
  boot_timer_.start(options_.boot_ms);
}

void QlxInstrument::HandleLine(const QByteArray& line) {
  Log("text", {{"line", QString::fromLatin1(line)}});
  if (options_.bios || options_.no_dot) {
    return;
  }
  const QByteArray answer = AnswerLine(line);
  if (!answer.isNull()) {
    EmitLine(answer);
  }
}

QByteArray QlxInstrument::AnswerLine(const QByteArray& line) {
  if (!line.startsWith('.')) {
    return {};
  }
  QByteArray not_done = ".N" + line.mid(2);
  const QByteArrayView args = QByteArrayView(line).sliced(std::min<qsizetype>(3, line.size()));

  if (line.startsWith(".LI")) {
    const auto n = ParseListArgument(args);
    return n ? ListIdentity(*n) : not_done;
  }
  if (line == ".LP9,-") {
    return ".AP9," + Num(preset_);
  }
  if (line.startsWith(".LA")) {
    const auto n = ParseListArgument(args);
    return n ? ListRouting(*n) : not_done;
  }
  if (line.startsWith(".LG")) {
    const auto n = ParseListArgument(args);
    if (!n || *n < 1 || *n > kSimOutputs) {
      return not_done;
    }
    return ".AG" + Num(*n) + "," + Num(gains_[*n - 1]);
  }
  if (line.startsWith(".SA")) {
    const bool star = args.endsWith("*");
    const auto pair = ParsePair(star ? args.chopped(1) : args);
    if (!pair) {
      return not_done;
    }
    const auto [output, input] = *pair;
    const QByteArray body = Num(output) + "," + Num(input);
    if (output < 1 || output > kSimOutputs || input < 1 || input > kSimInputs) {
      return ".NA" + body;
    }
    if (!IsLegalCrosspoint(input, output)) {
      return ".FA" + body;
    }
    SetRouting(output, input, star);
    return ".AA" + body + (star ? "*" : "");
  }
  if (line.startsWith(".SP")) {
    const auto pair = ParsePair(args);
    if (!pair) {
      return not_done;
    }
    const auto [parameter, value] = *pair;
    const QByteArray body = Num(parameter) + "," + Num(value);
    if (parameter == 9) {
      if (value < 1 || value > kSimPresets) {
        return ".NP" + body;
      }
      preset_ = value;
      return ".AP" + body;
    }
    if (parameter == 1) {
      stats_.keys.push_back(value);
      Log("key", {{"key", value}, {"source", "front"}});
      return ".AP" + body;
    }
    if (parameter == 15 && value == 20) {
      return ".AP15,20";
    }
    if (parameter == 15 && value == 21) {
      download_mode_ = true;
      stats_.download_mode = true;
      Log("download_mode", {});
      return ".AP15,20.AP15,21";
    }
    return not_done;
  }
  if (line.startsWith(".SG")) {
    const auto pair = ParsePair(args);
    if (!pair || pair->first < 1 || pair->first > kSimOutputs) {
      return not_done;
    }
    const int stored = std::clamp(pair->second, -kGainLimit, kGainLimit);
    gains_[pair->first - 1] = stored;
    return ".AG" + Num(pair->first) + "," + Num(stored);
  }
  if (line.size() >= 3 && line[1] == 'S' && QByteArrayView("mabcdefgh").contains(line[2])) {
    const auto pair = ParsePair(args);
    Log("mouse", {{"command", QString::fromLatin1(line.mid(1, 2))},
                  {"line", QString::fromLatin1(line)},
                  {"x", pair ? pair->first : -1},
                  {"y", pair ? pair->second : -1}});
    return {};  // mouse pad: never answered
  }
  return not_done;
}

std::optional<int> QlxInstrument::IdentityValue(int k) const {
  switch (k) {
    case 1:
      return serial_;
    case 3:
      return options_.firmware_version;
    case 4:
      return options_.hardware_id;
    case 5:
      return options_.bios_version;
    case 6:
      return options_.extended_bios_id;
    case 7:
      return version_code_;
    case 8:
      return options_.input_channels;
    case 9:
      return options_.output_channels;
    default:
      break;
  }
  if (k >= 10 && k <= 13) {
    return options_.input_modules[static_cast<std::size_t>(k - 10)];
  }
  if (k >= 14 && k <= 17) {
    return options_.output_modules[static_cast<std::size_t>(k - 14)];
  }
  return std::nullopt;
}

QByteArray QlxInstrument::ListIdentity(int first) const {
  QByteArray reply("");  // an empty list is still one (empty) line
  for (int k = first; k <= first + 9; ++k) {
    if (const auto v = IdentityValue(k)) {
      reply += ".AI" + Num(k) + "," + Num(*v);
    }
  }
  return reply;
}

QByteArray QlxInstrument::ListRouting(int first) const {
  QByteArray reply("");
  for (int o = std::max(first, 1); o <= std::min(first + 9, kSimOutputs); ++o) {
    reply += ".AA" + Num(o) + "," + Num(Routing(o)) + (RoutedRemotely(o) ? "*" : "");
  }
  return reply;
}

int QlxInstrument::RoutingOffset(int preset, int output) const {
  return cfg::MemoryMap::ForPreset(preset - 1).RoutingTable + ((output - 1) ^ 1);
}

int QlxInstrument::Routing(int preset, int output) const {
  if (preset < 1 || preset > kSimPresets || output < 1 || output > kSimOutputs) {
    return 0;
  }
  const int input = MemoryByte(kImageAddress + RoutingOffset(preset, output)) & 0x7F;
  return input < kSimInputs ? input + 1 : 0;
}

bool QlxInstrument::RoutedRemotely(int output) const {
  return output >= 1 && output <= kSimOutputs && remote_[preset_ - 1][output - 1];
}

int QlxInstrument::Gain(int output) const {
  return output >= 1 && output <= kSimOutputs ? gains_[output - 1] : 0;
}

void QlxInstrument::SetRouting(int output, int input, bool remote) {
  const std::uint32_t address = kImageAddress + RoutingOffset(preset_, output);
  memory_[address] = static_cast<std::uint8_t>((memory_[address] & 0x80) | (input - 1));
  remote_[preset_ - 1][output - 1] = remote;
  Log("route", {{"preset", preset_}, {"output", output}, {"input", input}, {"remote", remote}});
}

bool QlxInstrument::RouteLocal(int output, int input, QString* error) {
  QString reason;
  if (output < 1 || output > kSimOutputs || input < 1 || input > kSimInputs) {
    reason = QStringLiteral("output must be 1..96 and input 1..88");
  } else if (!IsLegalCrosspoint(input, output)) {
    reason = QStringLiteral("input %1 can never be routed to output %2").arg(input).arg(output);
  }
  if (!reason.isEmpty()) {
    if (error != nullptr) {
      *error = reason;
    }
    return false;
  }
  SetRouting(output, input, false);
  EmitLine(".AA" + Num(output) + "," + Num(input));
  EmitLine(".U");
  return true;
}

void QlxInstrument::SendUpdate() {
  Log("update", {});
  EmitLine(".U");
}

void QlxInstrument::SendPowerUp() {
  Log("powerup", {});
  EmitLine(".P");
}

void QlxInstrument::Emit(const QByteArray& bytes, AnswerKind kind) {
  if (hung_up_ || bytes.isEmpty()) {
    return;
  }
  if (options_.latency_ms <= 0 && pending_.empty()) {
    Deliver(bytes, kind);
    return;
  }
  pending_.push_back({clock_.elapsed() + options_.latency_ms, bytes, kind});
  if (!latency_timer_.isActive()) {
    latency_timer_.start(std::max(0, options_.latency_ms));
  }
}

void QlxInstrument::Deliver(const QByteArray& bytes, AnswerKind kind) {
  const QByteArray out = ApplyFaults(bytes);
  stats_.bytes_out += out.size();
  if (witness_) {
    witness_->Delivered(kind, bytes, out);
  }
  if (!out.isEmpty()) {
    emit Transmit(out);
  }
}

void QlxInstrument::FlushDue() {
  const qint64 now = clock_.elapsed();
  while (!pending_.empty() && pending_.front().due_ms <= now && !hung_up_) {
    const Pending due = pending_.front();
    pending_.pop_front();
    Deliver(due.bytes, due.kind);
  }
  if (!pending_.empty() && !hung_up_) {
    latency_timer_.start(static_cast<int>(std::max<qint64>(0, pending_.front().due_ms - now)));
  }
}

bool QlxInstrument::Chance(double probability) {
  return static_cast<double>(rng_()) < probability * 4294967296.0;
}

QByteArray QlxInstrument::ApplyFaults(const QByteArray& bytes) {
  if (options_.drop <= 0.0 && options_.corrupt <= 0.0) {
    return bytes;
  }
  QByteArray out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    if (options_.drop > 0.0 && Chance(options_.drop)) {
      continue;
    }
    if (options_.corrupt > 0.0 && Chance(options_.corrupt)) {
      c = static_cast<char>(static_cast<std::uint8_t>(c) ^ (1U << (rng_() % 8)));
    }
    out.append(c);
  }
  return out;
}

void QlxInstrument::DoHangUp() {
  if (hung_up_) {
    return;
  }
  hung_up_ = true;
  pending_.clear();
  latency_timer_.stop();
  boot_timer_.stop();
  Log("hangup", {{"bytes_in", stats_.bytes_in}});
  emit HangUp();
}

void QlxInstrument::Log(const char* event, const QJsonObject& fields) {
  QJsonObject object = fields;
  object.insert(QStringLiteral("event"), QLatin1String(event));
  object.insert(QStringLiteral("ms"), clock_.elapsed());
  event_log_.append(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

}  // namespace zizara::sim

#include "core/link/driver_engine.h"

#include <array>
#include <cstring>

#include "core/config/model_table.h"
#include "core/i18n/tr.h"
#include "core/link/wait.h"
#include "core/ui_port/progress.h"
#include "core/ui_port/prompts.h"
#include "core/ui_port/wait_indicator.h"

namespace zizara::core::link {

using i18n::Tr;

QString NoReliableAnswerText(const QString& port_name) {
  return Tr("No reliable answer from the QLX on %1").arg(port_name);
}

bool ParseIntegerNotation(const QString& text, int* value) {
  const QString t = text.trimmed();
  bool ok = false;
  const int v = t.startsWith(QLatin1Char('$')) ? t.mid(1).toInt(&ok, 16) : t.toInt(&ok, 10);
  if (ok) {
    *value = v;
  }
  return ok;
}

DriverEngine::DriverEngine(InstrumentLink& link, EngineState& engine, InstrumentRecord& record,
                           ui_port::Progress& progress)
    : link_(link), engine_(engine), record_(record), progress_(progress) {}

void DriverEngine::SetCaption(const QString& caption) {
  caption_ = caption;
  progress_.SetCaption(caption);
}

void DriverEngine::StepProgress(int value) {
  position_ = value == 0 ? 0 : position_ + kBlockSize;
  progress_.SetPosition(position_);
  for (const auto& listener : step_listeners_) {
    listener(value);
  }
  engine_.progress_last = value;
}

namespace {
// A BIOS refuses every read; two refusals cannot both be bit errors in practice.
constexpr int kBiosRefusals = 2;
}  // namespace

bool DriverEngine::GetInstrumentID() {
  const ui_port::BusyScope busy(wait_indicator_);
  LinkState& state = link_.state();
  state.bios_mode = false;
  record_.bios_mode = false;
  if (caption_.isEmpty()) {
    SetCaption(Tr("Get Instrument ID"));
  }
  state.link_ok = false;
  if (!link_.SendBreak()) {
    if (!engine_.quiet) {
      link_.prompts().Error(Tr("No instrument found."));
    }
    engine_.quiet = false;
    record_.instrument_found = false;
    record_.model_index = 0;
    record_.serial_text.clear();
    return false;
  }
  record_.layout_marker = 0;
  std::array<std::uint8_t, kBlockSize> block{};
  // One damaged reply on a noisy line must not pass for BIOS mode; a BIOS refuses at once,
  // so the extra attempts cost it nothing.
  bool layout_read = false;
  int refusals = 0;
  for (int attempt = 0; attempt < timing::kBlockAttempts && !layout_read && !link_.LineFailed();
       ++attempt) {
    layout_read = link_.WriteBDMAaddr(kLayoutMarkerAddress) &&
                  link_.ReadBDMA(Command::kReadBlock, kBlockSize, block.data());
    refusals += !layout_read && link_.refused() ? 1 : 0;
  }
  record_.no_reliable_answer = false;
  if (!layout_read && refusals < kBiosRefusals) {
    // Time-outs and bad check bytes are a line problem. A single bit error can turn an
    // acknowledge (0x05) into a refusal (0x15), so BIOS mode takes repeated refusals.
    record_.no_reliable_answer = true;
    if (!engine_.quiet) {
      link_.prompts().Error(NoReliableAnswerText(link_.transport().Name()));
    }
    engine_.quiet = false;
    record_.instrument_found = false;
    record_.model_index = 0;
    record_.serial_text.clear();
    SetCaption(QString());
    return false;
  }
  if (!layout_read) {
    // It answers the break but refuses to serve memory: only its BIOS runs.
    state.bios_mode = true;
    record_.bios_mode = true;
    record_.remote_capable = false;
  } else {
    record_.layout_marker = block[19];
    const bool new_layout = record_.layout_marker >= '1';
    const std::uint32_t address = new_layout ? kSerialNumberAddress : kConfigurationAddress;
    const int at = new_layout ? 0 : 2;
    bool serial_read = false;
    for (int attempt = 0; attempt < timing::kBlockAttempts && !serial_read; ++attempt) {
      serial_read = link_.WriteBDMAaddr(address) &&
                    link_.ReadBDMA(Command::kReadBlock, kBlockSize, block.data());
    }
    if (serial_read) {
      const int word = block[at] << 8 | block[at + 1];
      record_.serial_text = word == 0xFFFF ? QStringLiteral("-1") : QString::number(word);
      record_.serial_number = record_.serial_text.toInt();
      record_.model_index = config::ModelIndexForSerial(record_.serial_number);
      record_.backup_block_count = config::BackupBlockCount(record_.model_index);
    }
  }
  SetCaption(QString());
  return true;
}

bool DriverEngine::PrepareTransfer(bool identify) {
  LinkState& state = link_.state();
  link_.BeginOperation();
  state.busy = true;
  const QString remembered = caption_;
  if (identify) {
    record_.instrument_found = GetInstrumentID();
    if (!record_.instrument_found) {
      state.busy = false;  // left set, it would keep the line receiver deaf for good
      return false;
    }
    // A reply lost during identification that it got over must not end the transfer early.
    state.timed_out = false;
  }
  SetCaption(remembered);
  if (!engine_.quiet) {
    progress_.ShowProgress();
  }
  engine_.quiet = false;
  state.busy = false;
  return true;
}

bool DriverEngine::ReadBlocks(Command code, std::uint32_t start, int blocks,
                              std::uint8_t* buffer) {
  StepProgress(0);
  std::uint32_t address = start;
  std::array<std::uint8_t, kBlockSize> block{};
  bool ok = blocks > 0;
  for (int b = 0; b < blocks && ok; ++b) {
    ok = false;
    for (int attempt = 0; attempt < timing::kBlockAttempts; ++attempt) {
      PumpEvents();
      if (engine_.abort || link_.LineFailed()) {
        SetCaption(QString());
        return false;
      }
      if (link_.WriteBDMAaddr(address) && link_.ReadBDMA(code, kBlockSize, block.data())) {
        PumpEvents();
        if (engine_.abort) {
          SetCaption(QString());
          return false;
        }
        std::memcpy(buffer + static_cast<std::ptrdiff_t>(b) * kBlockSize, block.data(),
                    kBlockSize);
        ok = true;
        break;
      }
      ++failed_reads_;
    }
    if (ok) {
      address += kBlockSize;
      StepProgress(static_cast<int>(address - start));
    }
  }
  SetCaption(QString());
  return ok;
}

bool DriverEngine::WriteBlocks(std::uint32_t address, const QByteArray& data) {
  std::uint8_t flag = 0;
  if (link_.ReadProtectFlag(&flag) && flag == 0) {
    link_.ToggleProtectFlag();
  }
  const int length = static_cast<int>(data.size());
  progress_.SetMaximum(length);
  engine_.progress_total = length;
  engine_.progress_done = 0;
  StepProgress(0);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
  for (int offset = 0; offset + kBlockSize <= length; offset += kBlockSize) {
    PumpEvents();
    if (engine_.abort) {
      break;
    }
    bool written = false;
    while (!written) {
      PumpEvents();
      if (engine_.abort) {
        break;
      }
      if (link_.WriteBDMAaddr(address)) {
        PumpEvents();
        if (engine_.abort) {
          break;
        }
        written = link_.WriteBDMA(kBlockSize, bytes + offset);
      }
      if (link_.state().timed_out || link_.LineFailed()) {
        return false;
      }
      if (!written) {
        Pause(timing::kRefusedWritePauseMs);
        // A damaged answer to the flag read can leave the instrument write-protected, and
        // it would then refuse this block for ever; look again before repeating it.
        if (link_.SendBreak() && link_.ReadProtectFlag(&flag) && flag == 0) {
          link_.ToggleProtectFlag();
        }
      }
    }
    address += kBlockSize;
    engine_.progress_done += kBlockSize;
    StepProgress(engine_.progress_done);
  }
  return true;
}

bool DriverEngine::ModifyWord(std::uint32_t address, const QString& value_text) {
  SetCaption(Tr("Modify :"));
  progress_.SetMaximum(2);
  StepProgress(0);
  int value = 0;
  const std::uint32_t block_address = address & ~0x7FU;
  const int offset = static_cast<int>(address & 0x7F);
  // A word straddling two blocks cannot be changed in one block write.
  if (!ParseIntegerNotation(value_text, &value) || offset == 0x7F) {
    SetCaption(QString());
    return false;
  }
  std::array<std::uint8_t, kBlockSize> block{};
  bool done = false;
  while (!done) {
    PumpEvents();
    if (engine_.abort) {
      break;
    }
    if (link_.WriteBDMAaddr(block_address) &&
        link_.ReadBDMA(Command::kReadBlock, kBlockSize, block.data())) {
      StepProgress(1);
      block[offset] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
      block[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
      if (link_.WriteBDMAaddr(block_address)) {
        while (!done) {
          PumpEvents();
          if (engine_.abort || link_.state().timed_out || link_.LineFailed()) {
            break;
          }
          Pause(timing::kModifyWritePauseMs);
          done = link_.WriteBDMA(kBlockSize, block.data());
        }
        if (done) {
          StepProgress(2);
        }
      }
    }
    Pause(timing::kModifyRetryPauseMs);
    // Retrying a dead line forever would only repeat the time-out message.
    if (link_.state().timed_out || link_.LineFailed()) {
      break;
    }
  }
  SetCaption(QString());
  return done;
}

}  // namespace zizara::core::link

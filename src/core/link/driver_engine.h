#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/link/instrument_link.h"
#include "core/link/link_state.h"

namespace zizara::core::ui_port {
class Progress;
class WaitIndicator;
}

namespace zizara::core::link {

namespace timing {
inline constexpr int kRefusedWritePauseMs = 45;  // the instrument needs it after refusing a block
inline constexpr int kModifyWritePauseMs = 29;
inline constexpr int kModifyRetryPauseMs = 100;
inline constexpr int kBlockAttempts = 4;
}  // namespace timing

// Moves runs of 128-byte blocks and single words, shows progress, and identifies the
// instrument before transfers. The process-wide records are passed in, never global.
class DriverEngine {
 public:
  DriverEngine(InstrumentLink& link, EngineState& engine, InstrumentRecord& record,
               ui_port::Progress& progress);

  InstrumentLink& link() { return link_; }
  EngineState& engine() { return engine_; }
  InstrumentRecord& record() { return record_; }
  ui_port::Progress& progress() { return progress_; }
  // The hourglass and wait window of identification, probe and version read; may be null.
  void SetWaitIndicator(ui_port::WaitIndicator* indicator) { wait_indicator_ = indicator; }
  ui_port::WaitIndicator* wait_indicator() const { return wait_indicator_; }

  // Identifies (when asked) and shows the progress window unless quiet. False when no
  // instrument answered.
  bool PrepareTransfer(bool identify);
  bool GetInstrumentID();

  // Stops at the first block that fails all its attempts and returns false then; also false
  // when aborted before the last block arrived or when the line broke.
  bool ReadBlocks(Command code, std::uint32_t start, int blocks, std::uint8_t* buffer);
  // True also after an abort (callers test the abort flag); false when the line timed out.
  bool WriteBlocks(std::uint32_t address, const QByteArray& data);
  // Value in the program's integer notation ("$1234" hexadecimal, else decimal).
  // True when the word was written; gives up on abort or a dead line.
  bool ModifyWord(std::uint32_t address, const QString& value_text);

  // Block read attempts that failed since this engine was made; a sign of a noisy line.
  int failed_reads() const { return failed_reads_; }

  void StepProgress(int value);
  // Called on every progress step with the step value (installation window, splash).
  void AddStepListener(std::function<void(int)> listener) {
    step_listeners_.push_back(std::move(listener));
  }

  void SetCaption(const QString& caption);
  const QString& caption() const { return caption_; }

 private:
  InstrumentLink& link_;
  EngineState& engine_;
  InstrumentRecord& record_;
  ui_port::Progress& progress_;
  ui_port::WaitIndicator* wait_indicator_ = nullptr;
  QString caption_;
  int position_ = 0;
  int failed_reads_ = 0;
  std::vector<std::function<void(int)>> step_listeners_;
};

// "No reliable answer from the QLX on PORT": it answers the break, but no memory read gets
// through the line.
QString NoReliableAnswerText(const QString& port_name);

// "$1234" is hexadecimal, anything else decimal; nullopt-like false when unreadable.
bool ParseIntegerNotation(const QString& text, int* value);

}  // namespace zizara::core::link

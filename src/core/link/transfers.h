#pragma once

#include <QString>
#include <QStringList>

#include "core/config/configuration.h"
#include "core/link/identification.h"

namespace zizara::core::ui_port {
class Prompts;
}

namespace zizara::core::link {

enum class TransferOutcome {
  kDone,
  kFailed,        // the line or the instrument let the transfer down
  kAborted,       // the user closed the transfer window
  kNoInstrument,  // identification found nobody
  kNotConfigured  // external command chosen but none set up
};

// Whole-image and partial transfers of the configuration over the serial line.
class ConfigurationTransfers {
 public:
  ConfigurationTransfers(DriverEngine& engine, Identification& identification,
                         config::Configuration& config)
      : engine_(engine), identification_(identification), config_(config) {}

  // Reads the 16384 bytes into a separate buffer and replaces the image only when all of
  // them arrived; then selects preset 1, marks the configuration modified and unnamed and
  // takes the trailer from the instrument. Shows the end message.
  TransferOutcome UploadSerial();

  // OfferUpgrade (below) for the connected instrument.
  bool OfferUpgrade(bool force_v5);
  // Handshake, identification and the block writes. A time-out is reported as a failure,
  // never as complete. After success and after an abort the instrument is restarted (the
  // caller shows the abort warning first); returns the outcome.
  TransferOutcome DownloadSerial();
  // Restart and "Download complete." after a successful download.
  void FinishDownload(TransferOutcome outcome);

  // Identity of the connected instrument into the trailer (after a serial upload).
  void RefreshTrailer();

  // Partial reads for a remote connection. Each updates only what arrived.
  bool ReadTextBlock(const QString& model_text);
  bool ReadInputNames(const QString& model_text);
  bool ReadPresetNames(const QString& model_text);

 private:
  bool ReadInto(std::uint32_t address, int blocks, int image_offset);
  // The partial reads run as uploads with their own caption; the window stays hidden.
  void BeginPartialRead(int maximum, const QString& caption);

  DriverEngine& engine_;
  Identification& identification_;
  config::Configuration& config_;
};

// The version-5 question before a download over either interface: asked when the instrument
// runs version 5 or later and the configuration is older; the upgrade runs on Yes, and always
// when forced. Returns whether the image was upgraded. The trailer keeps its version.
bool OfferUpgrade(const InstrumentRecord& record, config::Configuration& config,
                  ui_port::Prompts& prompts, bool force_v5);

// Texts the transfer flows show.
QString UploadErrorText();
QString DownloadAbortedText();

}  // namespace zizara::core::link

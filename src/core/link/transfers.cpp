#include "core/link/transfers.h"

#include <vector>

#include "core/config/upgrade.h"
#include "core/config/version.h"
#include "core/i18n/tr.h"
#include "core/ui_port/progress.h"
#include "core/ui_port/prompts.h"

namespace zizara::core::link {

using i18n::Tr;

QString UploadErrorText() {
  return Tr(
      "Error in uploading configuration...\r\rPlease check if the QLX is connected correctly."
      "\r\rOperation is aborted...");
}

QString DownloadAbortedText() {
  return Tr(
      "Download terminated by the user.\r\rTHIS IS NOT RECOMMENDED!\r\rPlease see helpfile for "
      "further details.");
}

TransferOutcome ConfigurationTransfers::UploadSerial() {
  EngineState& engine = engine_.engine();
  ui_port::Prompts& prompts = engine_.link().prompts();
  engine.abort = false;
  if (!engine_.PrepareTransfer(true)) {
    return TransferOutcome::kNoInstrument;
  }
  engine.kind = TransferKind::kUpload;
  engine_.progress().SetMaximum(static_cast<int>(config::kImageSize));
  engine_.SetCaption(Tr("Uploading Configuration."));
  engine_.progress().ShowProgress();
  std::vector<std::uint8_t> buffer(config::kImageSize);
  const int failed_before = engine_.failed_reads();
  bool read = engine_.ReadBlocks(Command::kReadBlock, kConfigurationAddress,
                                 config::kImageSize / kBlockSize, buffer.data());
  // The check byte is a plain sum: two bit errors in one block can cancel out. A line that
  // damaged anything in this read may have done so unseen, so the image is read again until
  // two reads agree. A clean line costs nothing extra.
  std::vector<std::uint8_t> again(config::kImageSize);
  for (int pass = 0; read && engine_.failed_reads() != failed_before; ++pass) {
    if (pass == timing::kBlockAttempts) {
      read = false;
      break;
    }
    engine_.SetCaption(Tr("Uploading Configuration."));
    read = engine_.ReadBlocks(Command::kReadBlock, kConfigurationAddress,
                              config::kImageSize / kBlockSize, again.data());
    if (read && again == buffer) {
      break;
    }
    buffer.swap(again);
  }
  engine_.progress().HideProgress();
  engine.kind = TransferKind::kIdle;
  if (engine.abort) {
    prompts.Error(Tr("Upload is terminated..."));
    return TransferOutcome::kAborted;
  }
  if (!read) {
    prompts.Error(UploadErrorText());
    return TransferOutcome::kFailed;
  }
  std::copy(buffer.begin(), buffer.end(), config_.image.bytes().begin());
  config_.modified = true;
  config_.file_name.clear();
  config_.SelectPreset(0);
  RefreshTrailer();
  prompts.Information(Tr("Configuration is uploaded correctly..."));
  return TransferOutcome::kDone;
}

bool OfferUpgrade(const InstrumentRecord& record, config::Configuration& config,
                  ui_port::Prompts& prompts, bool force_v5) {
  bool upgraded = false;
  if (record.software_version_code >= config::kVersion5 &&
      config.trailer.software_version < config::kVersion5) {
    const ui_port::Answer a = prompts.Ask(
        ui_port::PromptKind::kWarning,
        Tr("The preset does not appear to be compatable with the software version in the "
           "QLX.\rIt is STRONGLY recommended to upgrade the preset. \r\rDo you wish to upgrade "
           "the preset."),
        ui_port::PromptButtons::kYesNo);
    if (a == ui_port::Answer::kYes) {
      config::UpgradeToV5(config.image);
      upgraded = true;
    }
  }
  if (force_v5) {
    config::UpgradeToV5(config.image);
    upgraded = true;
  }
  return upgraded;
}

bool ConfigurationTransfers::OfferUpgrade(bool force_v5) {
  return link::OfferUpgrade(engine_.record(), config_, engine_.link().prompts(), force_v5);
}

TransferOutcome ConfigurationTransfers::DownloadSerial() {
  EngineState& engine = engine_.engine();
  engine.abort = false;
  engine_.link().EnterDownloadMode(engine_.record().remote_capable);
  if (!engine_.PrepareTransfer(true)) {
    return TransferOutcome::kNoInstrument;
  }
  engine.kind = TransferKind::kDownload;
  engine_.progress().SetMaximum(static_cast<int>(config::kImageSize));
  engine_.SetCaption(Tr("Downloading Configuration."));
  engine_.progress().ShowProgress();
  const bool written = engine_.WriteBlocks(kConfigurationAddress, config_.image.ToByteArray());
  engine_.progress().HideProgress();
  engine.kind = TransferKind::kIdle;
  if (engine.abort) {
    return TransferOutcome::kAborted;
  }
  if (!written) {
    engine_.link().prompts().Error(
        Tr("The download did not complete: the QLX stopped answering.\r\rThe configuration in "
           "the QLX may be incomplete. Please check the connection and download again."));
    return TransferOutcome::kFailed;
  }
  return TransferOutcome::kDone;
}

void ConfigurationTransfers::FinishDownload(TransferOutcome outcome) {
  if (outcome != TransferOutcome::kDone && outcome != TransferOutcome::kAborted) {
    return;
  }
  identification_.RestartInstrument();
  if (outcome == TransferOutcome::kDone) {
    engine_.link().prompts().Information(Tr("Download complete."));
  }
}

void ConfigurationTransfers::RefreshTrailer() {
  const InstrumentRecord& r = engine_.record();
  config::PresetTrailer t = config_.trailer;
  const config::PresetTrailer fresh;
  t.magic = fresh.magic;
  t.format = fresh.format;
  if (r.remote_capable) {
    t.serial_number = r.serial_number;
    t.model_index = r.model_index;
    t.software_version = r.software_version_code;
    t.extended_bios_id = static_cast<std::uint16_t>(r.extended_bios_id());
    t.hardware_id = static_cast<std::uint16_t>(r.hardware_id());
  } else {
    t.serial_number = r.serial_text.toInt();
    t.model_index = r.model_index;
    t.software_version = config::VersionCodeFromNumber(identification_.software_version());
    t.extended_bios_id = 0;
    t.hardware_id = 0;
  }
  t.checksum = 0;
  config_.trailer = t;
}

bool ConfigurationTransfers::ReadInto(std::uint32_t address, int blocks, int image_offset) {
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(blocks) * kBlockSize);
  if (!engine_.ReadBlocks(Command::kReadBlock, address, blocks, buffer.data())) {
    return false;
  }
  config_.image.CopyIn(image_offset, buffer);
  return true;
}

void ConfigurationTransfers::BeginPartialRead(int maximum, const QString& caption) {
  EngineState& engine = engine_.engine();
  engine.abort = false;
  engine.kind = TransferKind::kUpload;
  engine_.progress().SetMaximum(maximum);
  engine_.SetCaption(caption);
}

bool ConfigurationTransfers::ReadTextBlock(const QString& model_text) {
  BeginPartialRead(896, Tr("Connecting to ") + model_text + Tr(" Reading Text Block."));
  return ReadInto(kConfigurationAddress + 0x0E00, 7, 0x0E00);
}

bool ConfigurationTransfers::ReadInputNames(const QString& model_text) {
  BeginPartialRead(11, Tr("Connecting to ") + model_text + Tr(" Reading Input Names."));
  bool all = true;
  for (int p = 0; p < config::kPresetCount; ++p) {
    const int offset = config::MemoryMap::ForPreset(p).PresetOffset;
    all = ReadInto(kConfigurationAddress + offset, 1, offset) && all;
    engine_.progress().SetPosition(p + 1);
  }
  return all;
}

bool ConfigurationTransfers::ReadPresetNames(const QString& model_text) {
  BeginPartialRead(128, Tr("Connecting to ") + model_text + Tr(" Reading Preset Names."));
  return ReadInto(kConfigurationAddress + config::offsets::kPresetNames, 1,
                  config::offsets::kPresetNames);
}

}  // namespace zizara::core::link

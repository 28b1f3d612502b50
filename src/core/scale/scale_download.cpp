#include "core/scale/scale_download.h"

#include "core/i18n/tr.h"
#include "core/link/driver_engine.h"
#include "core/ui_port/progress.h"

namespace zizara::core::scale {

ScaleDownloadOutcome DownloadScaleImage(link::DriverEngine& engine, const ScaleImage& image,
                                        int key_number) {
  const std::optional<std::uint32_t> address = ScaleAddress(key_number);
  if (!address) {
    return ScaleDownloadOutcome::kNoAddress;
  }
  link::EngineState& state = engine.engine();
  state.abort = false;
  engine.link().EnterDownloadMode(engine.record().remote_capable);
  engine.SetCaption(i18n::Tr("Downloading Scale."));  // PrepareTransfer keeps it
  if (!engine.PrepareTransfer(!engine.record().bios_mode)) {
    return ScaleDownloadOutcome::kNoInstrument;
  }
  state.kind = link::TransferKind::kDownload;
  engine.progress().SetMaximum(kImageBytes);
  const bool written = engine.WriteBlocks(*address, ImageBytes(image));
  if (written) {
    engine.progress().HideProgress();
  }
  state.kind = link::TransferKind::kIdle;
  if (state.abort) {
    return ScaleDownloadOutcome::kAborted;
  }
  return written ? ScaleDownloadOutcome::kDone : ScaleDownloadOutcome::kFailed;
}

}  // namespace zizara::core::scale

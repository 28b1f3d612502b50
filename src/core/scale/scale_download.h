#pragma once

#include "core/scale/scale_image.h"

namespace zizara::core::link {
class DriverEngine;
}

namespace zizara::core::scale {

enum class ScaleDownloadOutcome {
  kDone,
  kNoAddress,     // the key number is off the list: there is nowhere to write
  kNoInstrument,  // identification found nobody; nothing was written
  kFailed,        // the line timed out
  kAborted,       // the user closed the transfer window
};

// Download mode, identification (skipped in BIOS mode) and the block writes of one scale image
// at its key's address, each word high byte first. The caller reconnects a remote-capable
// instrument afterwards.
ScaleDownloadOutcome DownloadScaleImage(link::DriverEngine& engine, const ScaleImage& image,
                                        int key_number);

}  // namespace zizara::core::scale

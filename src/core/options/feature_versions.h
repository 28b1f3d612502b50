#pragma once

#include "core/config/version.h"

namespace zizara::core::options {

// Which settings a configuration has, by the software version in its trailer.
inline bool HasLcdOptions(int version) { return version >= config::kVersionLcdOptions; }
inline bool HasStartupSettings(int version) { return version >= config::kVersion5; }
inline bool HasLeqmOptions(int version) { return version >= config::kVersion5; }
inline bool HasLockCode(int version) { return version >= config::kVersionLockCode; }
inline bool HasScaleOptions(int version) { return version != 0; }

}  // namespace zizara::core::options

// Feeds arbitrary bytes to the preset-file parser. Whatever it accepts must write back to the
// very same bytes.
#include <cstdint>
#include <cstdlib>

#include "core/config/preset_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace cfg = zizara::core::config;
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const cfg::PresetFileParse parsed = cfg::ParsePresetFile(bytes, cfg::PresetTrailer{});
  if (parsed.error == cfg::PresetFileError::kNone && !parsed.contents.bare) {
    cfg::PresetTrailer trailer = parsed.contents.trailer;
    if (cfg::BuildPresetFile(parsed.contents.image, trailer) != bytes) {
      std::abort();
    }
  }
  return 0;
}

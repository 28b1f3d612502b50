#include "core/options/phase_options.h"

#include "core/options/rgb_colours.h"

namespace zizara::core::options {

namespace {
constexpr int kSlowBit = 0;
constexpr int kFastBit = 1;
constexpr int kCompressorOffBit = 2;
}  // namespace

PhaseSettings ReadPhase(const config::ConfigurationImage& image, const config::MemoryMap& map) {
  PhaseSettings s;
  s.slow = image.Bit(map.MainOptionAdr, kSlowBit);
  s.compressor_off = image.Bit(map.MainOptionAdr, kCompressorOffBit);
  s.scope_colour = GraphPositionFromCode(image.Byte(map.ScopOptionBaseAdr + 1));
  return s;
}

void WritePhase(config::ConfigurationImage& image, const config::MemoryMap& map,
                const PhaseSettings& phase) {
  image.SetByte(map.ScopOptionBaseAdr + 1,
                static_cast<std::uint8_t>(GraphCodeFromPosition(phase.scope_colour)));
  const int at = map.MainOptionAdr;
  if (phase.slow) {
    image.SetBit(at, kSlowBit);
    image.ClearBit(at, kFastBit);
  } else {
    image.ClearBit(at, kSlowBit);
    image.SetBit(at, kFastBit);
  }
  phase.compressor_off ? image.SetBit(at, kCompressorOffBit)
                       : image.ClearBit(at, kCompressorOffBit);
}

}  // namespace zizara::core::options

#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/config/configuration_image.h"
#include "core/config/memory_map.h"
#include "core/i18n/tr.h"

namespace zizara::core::options {

inline constexpr int kPpmChannels = 32;

// By stored value; the same list for bar, underload and trace colour.
inline constexpr std::array<const char*, 7> kPpmColourNames = {
    TrNoop("Black"),   TrNoop("Green"), TrNoop("Yellow"), TrNoop("Blue"),
    TrNoop("Fuchsia"), TrNoop("Aqua"),  TrNoop("White")};
// By list position.
inline constexpr std::array<const char*, 3> kPpmWidthNames = {TrNoop("Normal"), TrNoop("Wide"),
                                                              TrNoop("X-Wide")};
inline constexpr int kPpmWidthNormal = 0;
inline constexpr int kPpmWidthWide = 1;
inline constexpr int kPpmWidthXWide = 2;

enum class PpmField { kColour, kUnderloadColour, kTraceColour, kWidth, kSpace };

// One channel as the window shows it: colours as stored values (a value past the list shows no
// item), width as a list position, space as a flag.
struct PpmChannel {
  int colour = 0;
  int underload_colour = 0;
  int trace_colour = 0;
  int width = kPpmWidthWide;
  bool space = false;
  bool operator==(const PpmChannel&) const = default;
};

// Offset of the option word of channel c (0..31); byte 0 is its high byte.
int PpmRecordOffset(const config::MemoryMap& map, int c);

// Bits 5-7 of byte 0: only one of the three one-bit values names a width; anything else
// shows as Wide.
int PpmWidthPosition(std::uint8_t byte0);
std::uint8_t PpmWidthBits(int position);

int ReadPpmField(const config::ConfigurationImage& image, const config::MemoryMap& map, int c,
                 PpmField field);
// Writes one field the way OK does; the other bits of the word are kept, except that writing
// the trace colour clears bit 7 of byte 1.
void WritePpmField(config::ConfigurationImage& image, const config::MemoryMap& map, int c,
                   PpmField field, int value);
PpmChannel ReadPpmChannel(const config::ConfigurationImage& image, const config::MemoryMap& map,
                          int c);

// The grid's selection as the PPM window sees it: channel c selected as input 57 + c and as
// output 65 + c.
struct PpmSelection {
  std::array<bool, kPpmChannels> inputs{};
  std::array<bool, kPpmChannels> outputs{};
};

// The channels OK writes to: the selected input-side channels, or when there are none the
// selected output-side ones.
std::vector<int> PpmTargetChannels(const PpmSelection& selection);
// What a field shows on opening: the current channel's value, or nullopt (undetermined) when
// any channel selected on the input side holds another value.
std::optional<int> PpmShownField(const config::ConfigurationImage& image,
                                 const config::MemoryMap& map, int current, PpmField field,
                                 const PpmSelection& selection);

// The list text of a stored colour value; empty past the list.
QString PpmColourText(int value);

}  // namespace zizara::core::options

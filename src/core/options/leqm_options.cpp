#include "core/options/leqm_options.h"

#include "core/options/rgb_colours.h"

namespace zizara::core::options {

int GraphPositionFromCode(int code) {
  switch (code) {
    case 1:
      return 3;
    case 3:
      return 5;
    case 4:
      return 0;
    case 5:
      return 4;
    case 6:
      return 2;
    case 7:
      return 6;
    default:
      return 1;
  }
}

int GraphCodeFromPosition(int position) {
  switch (position) {
    case 0:
      return 4;
    case 2:
      return 6;
    case 3:
      return 1;
    case 4:
      return 5;
    case 5:
      return 3;
    case 6:
      return 7;
    default:
      return 2;
  }
}

int SumPositionFromCode(int code) {
  switch (code) {
    case 1:
      return 3;
    case 2:
      return 1;
    case 3:
      return 5;
    case 4:
      return 0;
    case 5:
      return 4;
    case 7:
      return 6;
    default:
      return 2;
  }
}

int SumCodeFromPosition(int position) {
  switch (position) {
    case 0:
      return 4;
    case 1:
      return 2;
    case 3:
      return 1;
    case 4:
      return 5;
    case 5:
      return 3;
    case 6:
      return 7;
    default:
      return 6;
  }
}

QString RgbColourText(int position) {
  return position >= 0 && position < static_cast<int>(kRgbColourNames.size())
             ? QString::fromLatin1(kRgbColourNames[position])
             : QString();
}

int TripLevelShown(int stored) {
  return stored >= kTripLevelMin && stored <= kTripLevelMax ? stored : kTripLevelDefault;
}

LeqmSettings ReadLeqm(const config::ConfigurationImage& image, const config::MemoryMap& map) {
  LeqmSettings leqm;
  leqm.sum_colour = SumPositionFromCode(image.Byte(map.LeqGraphColor));
  leqm.graph_colour = GraphPositionFromCode(image.Byte(map.LeqGraphColor + 1));
  leqm.trip_level = TripLevelShown(image.Byte(map.LeqTrip + 1));
  return leqm;
}

void WriteLeqm(config::ConfigurationImage& image, const config::MemoryMap& map,
               const LeqmSettings& leqm) {
  image.SetByte(map.LeqGraphColor, static_cast<std::uint8_t>(SumCodeFromPosition(leqm.sum_colour)));
  image.SetByte(map.LeqGraphColor + 1,
                static_cast<std::uint8_t>(GraphCodeFromPosition(leqm.graph_colour)));
  image.SetByte(map.LeqTrip, 0);
  image.SetByte(map.LeqTrip + 1, static_cast<std::uint8_t>(leqm.trip_level));
}

}  // namespace zizara::core::options

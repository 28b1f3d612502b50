#include "core/matrix/cell_image_choice.h"

#include "core/i18n/tr.h"

namespace zizara::core::matrix {

using i18n::Tr;

int FirstSelectableImage(bool illegal_greyed) { return illegal_greyed ? 1 : 2; }

QString CellImageConflict(const CellImages& images) {
  const int greyed = images.illegal_xpoint_greyed;
  for (int image : {images.xpoint_from_file, images.illegal_xpoint_highlight, images.local_xpoint,
                    images.remote_xpoint, images.locked_xpoint}) {
    if (image == greyed) {
      return Tr("One or more icons are set to the same icon as the icon \"Illegal X-Point "
                "grayed\", this is not allowed.");
    }
  }
  const int locked = images.locked_xpoint;
  for (int image : {images.xpoint_from_file, images.illegal_xpoint_highlight, images.local_xpoint,
                    images.remote_xpoint, images.illegal_xpoint_greyed}) {
    if (image == locked) {
      return Tr("One or more icons are set to the same icon as the icon \"Locked X-Point\", "
                "this is not allowed.");
    }
  }
  return {};
}

void RewriteCellImages(XPointCells& cells, const CellImages& old_images,
                       const CellImages& new_images) {
  const std::pair<int, int> passes[] = {
      {old_images.xpoint_from_file, new_images.xpoint_from_file},
      {old_images.illegal_xpoint_highlight, new_images.illegal_xpoint_highlight},
      {old_images.illegal_xpoint_greyed, new_images.illegal_xpoint_greyed},
      {old_images.local_xpoint, new_images.local_xpoint},
      {old_images.remote_xpoint, new_images.remote_xpoint},
      {old_images.locked_xpoint, new_images.locked_xpoint},
  };
  for (const auto& [from, to] : passes) {
    for (int input = 0; input < kStoreInputs; ++input) {
      for (int output = 0; output < kStoreOutputs; ++output) {
        if (cells.At(input, output) == from) {
          cells.Set(input, output, static_cast<std::uint8_t>(to));
        }
      }
    }
  }
}

const std::vector<NamedTraceColour>& TraceColours() {
  static const std::vector<NamedTraceColour> kColours{
      {TrNoop("Black"), 0x000000},
      {TrNoop("Maroon"), 0x000080},
      {TrNoop("Green"), 0x008000},
      {TrNoop("Olive"), 0x008080},
      {TrNoop("Navy"), 0x800000},
      {TrNoop("Purple"), 0x800080},
      {TrNoop("Teal"), 0x808000},
      {TrNoop("Gray"), 0x808080},
      {TrNoop("Silver"), 0xC0C0C0},
      {TrNoop("Red"), 0x0000FF},
      {TrNoop("Lime"), 0x00FF00},
      {TrNoop("Yellow"), 0x00FFFF},
      {TrNoop("Blue"), 0xFF0000},
      {TrNoop("Fuchsia"), 0xFF00FF},
      {TrNoop("Aqua"), 0xFFFF00},
      {TrNoop("White"), 0xFFFFFF},
      {TrNoop("Money Green"), 0xC0DCC0},
      {TrNoop("Sky Blue"), 0xF0CAA6},
      {TrNoop("Cream"), 0xF0FBFF},
      {TrNoop("Medium Gray"), 0xA4A0A0},
      {TrNoop("Button Face"), settings::kTraceColorButtonFace},
      {TrNoop("Button Highlight"), -16777196},
      {TrNoop("Button Shadow"), -16777200},
      {TrNoop("Highlight"), -16777203},
      {TrNoop("Window"), -16777211},
      {TrNoop("Info Background"), -16777192},
  };
  return kColours;
}

}  // namespace zizara::core::matrix

#pragma once

#include <array>
#include <optional>

#include "core/matrix/xpoint_cells.h"

namespace zizara::core::matrix {

enum class Axis { kInputs = 0, kOutputs = 1 };

inline constexpr int kChannelSlots = 97;
// Inputs 57..88 and outputs 65..96 are the same 32 PPM channels (0-based starts).
inline constexpr int kPpmFirstInput = 56;
inline constexpr int kPpmFirstOutput = 64;
inline constexpr int kPpmChannels = 32;

int ChannelCount(Axis axis);
Axis OtherAxis(Axis axis);
// The same PPM channel on the other axis, if the channel is one of the 32.
std::optional<int> MirrorChannel(Axis axis, int channel);

enum class MouseButton { kLeft, kRight, kMiddle };

struct LabelPress {
  Axis axis = Axis::kInputs;
  int channel = 0;  // absolute, 0-based
  bool shift = false;
  bool ctrl = false;
  MouseButton button = MouseButton::kLeft;
};

// `ChannelSelected` with the label-press rules: the remembered press that keeps a label
// selected until the next one, and the Shift range anchor.
class ChannelSelection {
 public:
  bool Selected(Axis axis, int channel) const;
  // Without the mirror; with it the PPM twin follows.
  void Set(Axis axis, int channel, bool selected);
  void SetMirrored(Axis axis, int channel, bool selected);
  void Clear(Axis axis);
  // Both axes, and the remembered press keeps no selection to give back.
  void ClearAll();
  bool Any(Axis axis) const;
  // first..last inclusive, 0-based.
  bool AnyInRange(Axis axis, int first, int last) const;

  // A label press: the remembered-press step, then the selection rules of the button. The
  // popup enables are read between the two (the pressed label counting as selected); the
  // caller shows the popup for the right button.
  void HandleLabelMouseDown(const LabelPress& press) {
    BeginLabelPress(press);
    FinishLabelPress(press);
  }
  void BeginLabelPress(const LabelPress& press);
  void FinishLabelPress(const LabelPress& press);

  // The flag a channel had before the press that selected it for the moment, or its current
  // flag when no press is remembered for it. Windows opened from a popup give this back.
  bool EarlierFlag(Axis axis, int channel) const;

  std::optional<int> anchor() const { return anchor_; }

  bool operator==(const ChannelSelection&) const = default;

 private:
  struct Remembered {
    Axis axis = Axis::kInputs;
    int channel = 0;
    bool earlier = false;
    bool operator==(const Remembered&) const = default;
  };
  static bool Valid(Axis axis, int channel) { return channel >= 0 && channel < ChannelCount(axis); }
  std::array<std::array<bool, kChannelSlots>, 2> flags_{};
  std::optional<Remembered> remembered_;
  std::optional<int> anchor_;
};

// Runs `action` with the channel counted as selected, then gives it back its earlier flag.
template <typename Action>
void WithTemporarySelection(ChannelSelection& selection, Axis axis, int channel, Action action) {
  const bool earlier = selection.EarlierFlag(axis, channel);
  selection.Set(axis, channel, true);
  action();
  selection.Set(axis, channel, earlier);
}

}  // namespace zizara::core::matrix

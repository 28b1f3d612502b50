#include "core/matrix/channel_selection.h"

#include <algorithm>

namespace zizara::core::matrix {

int ChannelCount(Axis axis) { return axis == Axis::kInputs ? kInputs : kOutputs; }

Axis OtherAxis(Axis axis) { return axis == Axis::kInputs ? Axis::kOutputs : Axis::kInputs; }

std::optional<int> MirrorChannel(Axis axis, int channel) {
  const int first = axis == Axis::kInputs ? kPpmFirstInput : kPpmFirstOutput;
  const int other_first = axis == Axis::kInputs ? kPpmFirstOutput : kPpmFirstInput;
  if (channel < first || channel >= first + kPpmChannels) return std::nullopt;
  return other_first + (channel - first);
}

bool ChannelSelection::Selected(Axis axis, int channel) const {
  return Valid(axis, channel) && flags_[static_cast<int>(axis)][channel];
}

void ChannelSelection::Set(Axis axis, int channel, bool selected) {
  if (Valid(axis, channel)) flags_[static_cast<int>(axis)][channel] = selected;
}

void ChannelSelection::SetMirrored(Axis axis, int channel, bool selected) {
  Set(axis, channel, selected);
  if (const auto twin = MirrorChannel(axis, channel)) Set(OtherAxis(axis), *twin, selected);
}

void ChannelSelection::Clear(Axis axis) { flags_[static_cast<int>(axis)].fill(false); }

void ChannelSelection::ClearAll() {
  Clear(Axis::kInputs);
  Clear(Axis::kOutputs);
  if (remembered_) remembered_->earlier = false;
}

bool ChannelSelection::Any(Axis axis) const { return AnyInRange(axis, 0, ChannelCount(axis) - 1); }

bool ChannelSelection::AnyInRange(Axis axis, int first, int last) const {
  for (int c = std::max(first, 0); c <= last && c < ChannelCount(axis); ++c) {
    if (flags_[static_cast<int>(axis)][c]) return true;
  }
  return false;
}

bool ChannelSelection::EarlierFlag(Axis axis, int channel) const {
  if (remembered_ && remembered_->axis == axis && remembered_->channel == channel) {
    return remembered_->earlier;
  }
  return Selected(axis, channel);
}

void ChannelSelection::BeginLabelPress(const LabelPress& press) {
  const Axis axis = press.axis;
  const int n = press.channel;
  if (!Valid(axis, n) || press.shift || press.ctrl) return;
  // The pressed label counts as selected until the next press gives its flag back.
  if (remembered_) Set(remembered_->axis, remembered_->channel, remembered_->earlier);
  remembered_ = Remembered{axis, n, Selected(axis, n)};
  Set(axis, n, true);
}

void ChannelSelection::FinishLabelPress(const LabelPress& press) {
  const Axis axis = press.axis;
  const int n = press.channel;
  if (!Valid(axis, n)) return;
  if (press.button == MouseButton::kRight) {
    if (!Selected(axis, n)) ClearAll();
    return;
  }
  if (press.button != MouseButton::kLeft) return;
  if (press.ctrl) {
    SetMirrored(axis, n, !Selected(axis, n));
    return;
  }
  if (press.shift) {
    if (!anchor_) {
      anchor_ = n;
      SetMirrored(axis, n, true);
      return;
    }
    SetMirrored(axis, *anchor_, false);
    const int from = std::min(*anchor_, n);
    const int to = std::max(*anchor_, n);
    for (int c = from; c <= to; ++c) {
      SetMirrored(axis, c, !Selected(axis, c));
    }
    anchor_.reset();
    return;
  }
  ClearAll();
  anchor_.reset();
}

}  // namespace zizara::core::matrix

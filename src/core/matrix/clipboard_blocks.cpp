#include "core/matrix/clipboard_blocks.h"

#include <algorithm>

#include "core/config/preset_options.h"

namespace zizara::core::matrix {

namespace {
constexpr int kEntrySize = config::kChannelNameLength;

// Name field of label entry e, or -1 for the spare 97th output.
int EntryOffset(const config::MemoryMap& map, int entry) {
  if (entry < kInputs) return config::InputNameOffset(map, entry + 1);
  const int output = entry - kInputs;
  return output < kOutputs ? config::OutputNameOffset(output + 1) : -1;
}
}  // namespace

QByteArray EncodeLabelBlock(const config::Configuration& config,
                            const ChannelSelection& selection) {
  QByteArray block(kLabelBlockSize, '\0');
  for (int e = 0; e < kLabelEntries; ++e) {
    const bool is_input = e < kInputs;
    const bool selected = is_input ? selection.Selected(Axis::kInputs, e)
                                   : selection.Selected(Axis::kOutputs, e - kInputs);
    const int offset = EntryOffset(config.map, e);
    if (!selected || offset < 0) continue;
    block.replace(e * kEntrySize, kEntrySize, config.image.Text(offset, kEntrySize / 2));
  }
  return block;
}

int ApplyLabelBlock(const QByteArray& block, config::Configuration& config) {
  const int whole_entries =
      std::min<int>(static_cast<int>(block.size()) / kEntrySize, kLabelEntries);
  int written = 0;
  for (int e = 0; e < whole_entries; ++e) {
    const QByteArray entry = block.mid(e * kEntrySize, kEntrySize);
    const int offset = EntryOffset(config.map, e);
    if (offset < 0 || entry == QByteArray(kEntrySize, '\0')) continue;
    config.image.SetText(offset, entry);
    ++written;
  }
  return written;
}

QByteArray EncodeXPointBlock(const config::Configuration& config,
                             const ChannelSelection& selection) {
  QByteArray block(kXPointBlockSize, static_cast<char>(kNoXPoint));
  for (int o = 0; o < kOutputs; ++o) {
    if (selection.Selected(Axis::kOutputs, o)) {
      block[o] = static_cast<char>(config.image.ArrayElement(config.map.RoutingTable, o));
    }
  }
  return block;
}

int ApplyXPointBlock(const QByteArray& block, config::Configuration& config) {
  const int usable = std::min<int>(static_cast<int>(block.size()), kOutputs);
  int written = 0;
  for (int o = 0; o < usable; ++o) {
    const auto value = static_cast<std::uint8_t>(block[o]);
    if (value == kNoXPoint) continue;
    config.image.SetArrayElement(config.map.RoutingTable, o, value);
    ++written;
  }
  return written;
}

}  // namespace zizara::core::matrix

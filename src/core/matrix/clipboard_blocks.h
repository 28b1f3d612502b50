#pragma once

#include <QByteArray>
#include <QString>

#include "core/config/configuration.h"
#include "core/matrix/channel_selection.h"

namespace zizara::core::matrix {

// The clipboard formats, named as other running copies of the program look for them.
inline constexpr char kLabelsMimeType[] = "application/x-qt-windows-mime;value=\"CF_VTZizara\"";
inline constexpr char kXPointsMimeType[] =
    "application/x-qt-windows-mime;value=\"CF_VTZizara_XPoints\"";

// `CF_VTZizara`: 88 input entries, then 97 output entries, 4 name bytes each.
inline constexpr int kLabelEntries = kInputs + kStoreOutputs;
inline constexpr int kLabelBlockSize = kLabelEntries * 4;  // 740
// `CF_VTZizara_XPoints`: one routing table element per output 1..97.
inline constexpr int kXPointBlockSize = kStoreOutputs;  // 97
inline constexpr std::uint8_t kNoXPoint = 0xFF;

// Names of the selected channels from the image's name fields, zeros for the others.
QByteArray EncodeLabelBlock(const config::Configuration& config, const ChannelSelection& selection);
// Writes every entry that is not all zero to its name field, outputs after inputs. A short
// block is read as far as it holds whole entries. Returns how many names were written.
int ApplyLabelBlock(const QByteArray& block, config::Configuration& config);

// Routing table elements (bit 7 kept) of the selected outputs, 0xFF for the others.
QByteArray EncodeXPointBlock(const config::Configuration& config,
                             const ChannelSelection& selection);
// Writes every byte other than 0xFF to its routing table element; the 97th byte and anything
// past the block's end change nothing. Returns how many elements were written.
int ApplyXPointBlock(const QByteArray& block, config::Configuration& config);

}  // namespace zizara::core::matrix

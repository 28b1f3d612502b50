#pragma once

#include <QByteArray>
#include <QString>
#include <array>

#include "core/config/configuration.h"
#include "core/matrix/channel_selection.h"
#include "core/matrix/xpoint_cells.h"

namespace zizara::core::matrix {

// What the main window keeps about the matrix besides the image: the cell store, the channel
// names and hints as shown, the selection and the macro name of the last Save Macro.
struct MatrixModel {
  MatrixModel();

  XPointCells cells;
  std::array<std::array<QString, kChannelSlots>, 2> names;  // `ChannelNames`
  std::array<std::array<QString, kChannelSlots>, 2> hints;  // `ChannelHints`
  ChannelSelection selection;
  QString macro_name;

  const QString& Name(Axis axis, int channel) const;
  const QString& Hint(Axis axis, int channel) const;
};

// `ChannelNamesFromImage`: names of the selected preset, and the "Input #n" hints.
void ChannelNamesFromImage(MatrixModel& model, const config::Configuration& config);
// The hints of all outputs from the routing table and the names already read.
void BuildRoutingTexts(MatrixModel& model, const config::Configuration& config);
// What `SelectPreset` does to the matrix after the map changed: names, cells, routing texts.
void RebuildMatrix(MatrixModel& model, const config::Configuration& config,
                   const CellImages& images);

enum class RouteOutcome {
  kRefused,  // flash the cell, nothing changed
  kSend,     // connected: send the command, the report changes the matrix
  kRouted,   // offline: the image and the matrix changed
};
struct RouteResult {
  RouteOutcome outcome = RouteOutcome::kRefused;
  QByteArray command;  // for kSend
};
// `MatrixGridDblClick` on cell (input, output), 0-based. Offline it writes the routing table
// of the selected preset and sets the modified flag.
RouteResult RouteXPoint(MatrixModel& model, config::Configuration& config, const CellImages& images,
                        int input, int output, bool connected);

// A name as stored: blanks appended, first 4 characters kept.
QByteArray PadChannelName(const QString& text);
// Writes `name` to the field of every selected input and output (shared fields included).
void RenameSelectedChannels(config::Configuration& config, const ChannelSelection& selection,
                            const QByteArray& name);

// Label texts: an input name reads name + 3 blanks, an output name 3 blanks + name.
QString InputNameLabelText(const QString& name);
QString OutputNameLabelText(const QString& name);
// Popup headline: "#n [ name ]" for 0-based channel.
QString HeadlineText(int channel, const QString& name);

}  // namespace zizara::core::matrix

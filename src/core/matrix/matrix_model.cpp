#include "core/matrix/matrix_model.h"

#include "core/config/preset_options.h"
#include "core/i18n/tr.h"

namespace zizara::core::matrix {

using i18n::Tr;

namespace {
constexpr char kNamePadding[] = "   ";
}  // namespace

MatrixModel::MatrixModel() {
  // What the labels hold before any configuration is loaded.
  for (int n = 0; n < kChannelSlots; ++n) {
    names[0][n] = QStringLiteral(" In - ") + QString::number(n + 1);
    names[1][n] = QStringLiteral("Out - ") + QString::number(n + 1);
  }
}

const QString& MatrixModel::Name(Axis axis, int channel) const {
  static const QString kNone;
  if (channel < 0 || channel >= kChannelSlots) return kNone;
  return names[static_cast<int>(axis)][channel];
}

const QString& MatrixModel::Hint(Axis axis, int channel) const {
  static const QString kNone;
  if (channel < 0 || channel >= kChannelSlots) return kNone;
  return hints[static_cast<int>(axis)][channel];
}

void ChannelNamesFromImage(MatrixModel& model, const config::Configuration& config) {
  const config::ChannelNames names = config::ChannelNamesFromImage(config.image, config.map);
  for (int i = 0; i < kInputs; ++i) {
    model.names[0][i] = config::ImageTextToString(names.inputs[i]);
    model.hints[0][i] = Tr("Input #") + QString::number(i + 1);
  }
  for (int o = 0; o < kOutputs; ++o) {
    model.names[1][o] = config::ImageTextToString(names.outputs[o]);
  }
}

void BuildRoutingTexts(MatrixModel& model, const config::Configuration& config) {
  for (int o = 0; o < kOutputs; ++o) {
    const int input = RoutingTableInput(config.image, config.map, o);
    model.hints[1][o] = input < kInputs ? RoutingText(input + 1, model.names[0][input]) : QString();
  }
}

void RebuildMatrix(MatrixModel& model, const config::Configuration& config,
                   const CellImages& images) {
  ChannelNamesFromImage(model, config);
  model.cells.Clear();
  BuildMatrixFromImage(model.cells, config.image, config.map, images);
  BuildRoutingTexts(model, config);
}

RouteResult RouteXPoint(MatrixModel& model, config::Configuration& config, const CellImages& images,
                        int input, int output, bool connected) {
  RouteResult result;
  if (input < 0 || input >= kInputs || output < 0 || output >= kOutputs) return result;
  if (KindOf(model.cells.At(input, output), images) == CellKind::kIllegal) return result;
  if (connected) {
    if (model.cells.RowLocked(output, images)) return result;
    result.outcome = RouteOutcome::kSend;
    result.command = RouteCommand(output, input);
  } else {
    model.cells.EraseRow(output, images);
    model.cells.Set(input, output, ImageOf(CellKind::kFromFile, images));
    config.image.SetArrayElement(config.map.RoutingTable, output, static_cast<std::uint8_t>(input));
    config.modified = true;
    result.outcome = RouteOutcome::kRouted;
  }
  model.hints[1][output] = RoutingText(input + 1, model.names[0][input]);
  return result;
}

QByteArray PadChannelName(const QString& text) {
  return (text.toLatin1() + QByteArray(config::kChannelNameLength, ' '))
      .left(config::kChannelNameLength);
}

void RenameSelectedChannels(config::Configuration& config, const ChannelSelection& selection,
                            const QByteArray& name) {
  for (int i = 0; i < kInputs; ++i) {
    if (selection.Selected(Axis::kInputs, i)) {
      config.image.SetText(config::InputNameOffset(config.map, i + 1), name);
    }
  }
  for (int o = 0; o < kOutputs; ++o) {
    if (selection.Selected(Axis::kOutputs, o)) {
      config.image.SetText(config::OutputNameOffset(o + 1), name);
    }
  }
}

QString InputNameLabelText(const QString& name) { return name + QLatin1String(kNamePadding); }

QString OutputNameLabelText(const QString& name) { return QLatin1String(kNamePadding) + name; }

QString HeadlineText(int channel, const QString& name) {
  return QStringLiteral("#") + QString::number(channel + 1) + QStringLiteral(" [ ") + name +
         QStringLiteral(" ]");
}

}  // namespace zizara::core::matrix

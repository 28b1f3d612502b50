#include "core/matrix/popup_rules.h"

#include "core/config/preset_options.h"
#include "core/i18n/tr.h"

namespace zizara::core::matrix {

using i18n::Tr;

namespace {
constexpr int kPpmLastInput = kPpmFirstInput + kPpmChannels - 1;
constexpr int kPpmLastOutput = kPpmFirstOutput + kPpmChannels - 1;

ChannelSelection Counting(const ChannelSelection& selection, Axis axis, int channel) {
  ChannelSelection copy = selection;
  copy.Set(axis, channel, true);
  return copy;
}
}  // namespace

SumChecks SumGainChecks(const config::Configuration& config, SumChecks previous) {
  const auto gain = config::ReadSumGain(config.image, config.trailer.software_version, config.map);
  if (!gain) return previous;
  return SumChecks{*gain == config::SumGain::kMinus3dB, *gain == config::SumGain::kPlus0dB};
}

InputPopupState InputPopupRules(const MatrixModel& model, const ChannelSelection& selection,
                                int input, int software_version, bool connected) {
  const ChannelSelection s = Counting(selection, Axis::kInputs, input);
  InputPopupState state;
  state.headline = HeadlineText(input, model.Name(Axis::kInputs, input));
  if (connected) return state;  // everything in this popup edits the configuration
  state.ppm = s.AnyInRange(Axis::kInputs, kPpmFirstInput, kPpmLastInput);
  state.sum = s.Selected(Axis::kInputs, kSumInput) && software_version != 0;
  state.rename = true;
  return state;
}

OutputPopupState OutputPopupRules(const MatrixModel& model, const ChannelSelection& selection,
                                  int output, bool connected, const QString& gain_text) {
  const ChannelSelection s = Counting(selection, Axis::kOutputs, output);
  OutputPopupState state;
  state.headline = HeadlineText(output, model.Name(Axis::kOutputs, output));
  state.gain_caption = Tr("Set Gain...");
  if (connected) {
    state.gain = state.lock = true;
    state.gain_caption = Tr("Set Gain... [") + gain_text + Tr(" dB]");
    return state;
  }
  state.phase = s.AnyInRange(Axis::kOutputs, kPhaseFirstOutput, kPhaseLastOutput);
  state.ppm = s.AnyInRange(Axis::kOutputs, kPpmFirstOutput, kPpmLastOutput);
  state.rename = true;
  return state;
}

MatrixPopupState MatrixPopupRules(const MatrixModel& model, const ChannelSelection& selection,
                                  int input, int output, bool connected, const QString& gain_text) {
  MatrixPopupState state;
  state.input_headline = HeadlineText(input, model.Name(Axis::kInputs, input));
  state.output_headline = HeadlineText(output, model.Name(Axis::kOutputs, output));
  if (connected) {
    state.gain = state.lock = true;
    state.gain_caption = Tr("Set Gain [") + gain_text + Tr(" dB]");
    return state;
  }
  ChannelSelection s = Counting(selection, Axis::kOutputs, output);
  s.Set(Axis::kInputs, input, true);
  state.phase = s.AnyInRange(Axis::kOutputs, kPhaseFirstOutput, kPhaseLastOutput);
  state.ppm = s.AnyInRange(Axis::kOutputs, kPpmFirstOutput, kPpmLastOutput) ||
              s.AnyInRange(Axis::kInputs, kPpmFirstInput, kPpmLastInput);
  state.sum = s.Selected(Axis::kInputs, kSumInput);
  state.rename = true;
  state.gain_caption = Tr("Set Gain [Disconnected]");
  return state;
}

int PpmChannelOfInput(int input) { return input - kPpmFirstInput; }

int PpmChannelOfOutput(int output) { return output - kPpmFirstOutput; }

int MatrixPopupPpmChannel(int input, int output) {
  return input < kPpmFirstInput ? PpmChannelOfOutput(output) : PpmChannelOfInput(input);
}

}  // namespace zizara::core::matrix

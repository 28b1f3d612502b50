#pragma once

#include <QString>

#include "core/config/configuration.h"
#include "core/matrix/matrix_model.h"

namespace zizara::core::matrix {

// Channel ranges the popup items look at (0-based, inclusive).
inline constexpr int kSumInput = 54;          // input 55
inline constexpr int kPhaseFirstOutput = 52;  // outputs 53..62
inline constexpr int kPhaseLastOutput = 61;

// The two SUM gain check marks.
struct SumChecks {
  bool minus3 = false;
  bool plus0 = false;
  bool operator==(const SumChecks&) const = default;
};
// The marks as the configuration stores the gain; an unknown encoding keeps `previous`.
SumChecks SumGainChecks(const config::Configuration& config, SumChecks previous);

struct InputPopupState {
  QString headline;
  bool rename = false;
  bool ppm = false;
  bool sum = false;
};

struct OutputPopupState {
  QString headline;
  bool rename = false;
  bool phase = false;
  bool ppm = false;
  bool gain = false;
  bool lock = false;
  QString gain_caption;
};

struct MatrixPopupState {
  QString input_headline;
  QString output_headline;
  bool rename = false;  // both rename items
  bool sum = false;
  bool phase = false;
  bool ppm = false;
  bool gain = false;
  bool lock = false;
  QString gain_caption;
};

// `selection` as it stands after the press was remembered; the pressed channel counts as
// selected whatever its flag. `gain_text` is only read when connected.
InputPopupState InputPopupRules(const MatrixModel& model, const ChannelSelection& selection,
                                int input, int software_version, bool connected);
OutputPopupState OutputPopupRules(const MatrixModel& model, const ChannelSelection& selection,
                                  int output, bool connected, const QString& gain_text);
MatrixPopupState MatrixPopupRules(const MatrixModel& model, const ChannelSelection& selection,
                                  int input, int output, bool connected, const QString& gain_text);

// The PPM channel index (0..31 for PPM channels) the options window is opened on.
int PpmChannelOfInput(int input);
int PpmChannelOfOutput(int output);
// The matrix popup acts on the cell's output when its input is 56 or lower, else on the input.
int MatrixPopupPpmChannel(int input, int output);

}  // namespace zizara::core::matrix

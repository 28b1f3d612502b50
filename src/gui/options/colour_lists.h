#pragma once

#include <QComboBox>

namespace zizara::gui::options {

// The PPM colour list (Black first, by stored value) and the RGB colour list of the Leq(m) and
// phase windows (Red first), each entry with its swatch.
void FillPpmColourList(QComboBox* box);
void FillRgbColourList(QComboBox* box);

}  // namespace zizara::gui::options

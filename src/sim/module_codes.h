#pragma once

#include <QString>
#include <array>

namespace zizara::sim {

// "I1,I2,I3,I4/O1,O2,O3,O4" in hexadecimal (00..FF each) into the four input and four output
// slot codes; false with a reason when the text does not have that shape.
bool ParseModuleCodes(const QString& text, std::array<int, 4>* inputs, std::array<int, 4>* outputs,
                      QString* error);

}  // namespace zizara::sim

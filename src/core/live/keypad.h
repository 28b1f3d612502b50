#pragma once

#include <QString>

namespace zizara::core::link {
class InstrumentLink;
}

namespace zizara::core::live {

inline constexpr int kKeyCount = 8;

// The pause after a clicked key: the instrument needs longer for keys 1-4 than for 5-8.
int KeyPauseMs(int key);

// Presses front-panel key 1..8 through the keyboard primitive, tried once more on failure.
bool PressFrontKey(link::InstrumentLink& link, int key);

}  // namespace zizara::core::live

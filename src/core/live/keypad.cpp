#include "core/live/keypad.h"

#include <cstdint>

#include "core/link/instrument_link.h"

namespace zizara::core::live {

int KeyPauseMs(int key) { return key >= 1 && key <= 4 ? 2000 : 1000; }

bool PressFrontKey(link::InstrumentLink& link, int key) {
  if (key < 1 || key > kKeyCount) {
    return false;
  }
  return link.PressKey(static_cast<std::uint8_t>(key));
}

}  // namespace zizara::core::live

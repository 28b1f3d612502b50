// Feeds arbitrary received text to the dot-message interpreter in every state it can be in.
#include <cstdint>

#include "core/link/link_state.h"
#include "core/remote/dot_messages.h"
#include "core/remote/remote_state.h"
#include "core/ui_port/prompts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace remote = zizara::core::remote;
  if (size == 0) {
    return 0;
  }
  remote::RemoteState state;
  remote::MacroState macro;
  zizara::core::link::InstrumentRecord record;
  zizara::core::ui_port::ScriptedPrompts prompts;
  remote::DotListener listener;
  // The first byte picks the state, the rest is the received text.
  state.connected = (data[0] & 1) != 0;
  state.reload_pending = (data[0] & 2) != 0;
  macro.running = (data[0] & 4) != 0;
  state.origin_remote = (data[0] & 8) != 0;
  remote::DotMessageParser parser(state, macro, record, prompts, listener);
  parser.Parse(QByteArray(reinterpret_cast<const char*>(data + 1),
                          static_cast<qsizetype>(size - 1)));
  return 0;
}

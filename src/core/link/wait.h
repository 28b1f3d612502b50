#pragma once

#include <functional>

namespace zizara::core::link {

class Transport;

// Runs a local event loop until `done` holds, the deadline passes or `aborted` holds. The
// window stays alive meanwhile. `done` is re-checked on the transport's ReadyRead and on a
// 1 ms timer, since ReadyRead is not re-emitted while a handler of it is still running.
// Returns whether `done` held.
bool WaitUntil(const std::function<bool()>& done, int timeout_ms, Transport* transport = nullptr,
               const std::function<bool()>& aborted = {});

// Gives the instrument time without blocking the event loop.
void Pause(int ms);

// Lets pending events run once (what a polling loop's message pump did).
void PumpEvents();

}  // namespace zizara::core::link

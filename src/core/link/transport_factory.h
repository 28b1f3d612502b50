#pragma once

#include <QString>
#include <memory>

#include "core/link/transport.h"

namespace zizara::core::link {

// The one place that turns a port name into a line: "tcp:HOST:PORT" reaches a serial-to-network
// server, every other name is a serial device.
std::unique_ptr<Transport> MakeTransport(const QString& port_name);

}  // namespace zizara::core::link

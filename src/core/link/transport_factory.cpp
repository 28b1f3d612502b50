#include "core/link/transport_factory.h"

#include "core/link/port_names.h"
#include "core/link/serial_transport.h"
#include "core/link/tcp_transport.h"

namespace zizara::core::link {

std::unique_ptr<Transport> MakeTransport(const QString& port_name) {
  if (IsTcpPortName(port_name)) {
    return std::make_unique<TcpTransport>(port_name);
  }
  return std::make_unique<SerialTransport>(port_name);
}

}  // namespace zizara::core::link

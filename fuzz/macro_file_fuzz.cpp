// Feeds arbitrary bytes to the macro-file reader: any file a user drops on the program.
#include <cstdint>

#include "core/remote/macro_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace remote = zizara::core::remote;
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  remote::ParseMacroText(bytes);
  return 0;
}

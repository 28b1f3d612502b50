// Feeds arbitrary bytes to the package reader, as they come and again with a CRC that fits, so
// the structural checks behind the CRC are reached too. Whatever it accepts must lie inside the
// file and survive being written again.
#include <cstdint>
#include <cstdlib>

#include "core/install/package.h"

namespace {

namespace inst = zizara::core::install;

void Check(const QByteArray& bytes) {
  const inst::PackageVerdict v = inst::ReadPackage(bytes);
  if (!v.ok()) {
    if (!v.items.isEmpty()) std::abort();
    return;
  }
  if (v.items.size() > inst::kMaxItems) std::abort();
  QList<inst::PackageItemSpec> specs;
  for (const inst::PackageItem& item : v.items) {
    if (item.header_offset + static_cast<qint64>(inst::kItemHeaderSize) + item.data.size() >
        bytes.size()) {
      std::abort();
    }
    if (item.type == 0 && item.data.size() != static_cast<qint64>(item.data_size)) std::abort();
    // A message's data size only counts toward the progress and may exceed a rewritten,
    // smaller file; the layout is what must survive.
    specs.append({item.model_mask, item.type, item.type == 0 ? item.data_size : 0U, item.address,
                  item.description, item.data});
  }
  const inst::PackageVerdict again = inst::ReadPackage(inst::BuildPackage(v.description, specs));
  if (!again.ok() || again.items.size() != v.items.size() || again.description != v.description) {
    std::abort();
  }
  for (qsizetype i = 0; i < v.items.size(); ++i) {
    if (again.items[i].data != v.items[i].data ||
        again.items[i].description != v.items[i].description) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  Check(bytes);
  if (bytes.size() >= inst::kCrcOffset + 4) {
    const std::uint32_t crc = inst::PackageCrc(bytes);
    for (int i = 0; i < 4; ++i) bytes[inst::kCrcOffset + i] = static_cast<char>(crc >> (8 * i));
    Check(bytes);
  }
  return 0;
}

#include "core/config/model_table.h"

namespace zizara::core::config {

int ModelIndexForSerial(int serial) {
  for (int i = 1; i < kModelCount; ++i) {
    if (serial >= kModelTable[i].serial_first && serial <= kModelTable[i].serial_last) {
      return i;
    }
  }
  return kModelUnknown;
}

QString ModelName(int model_index) {
  if (model_index < 0 || model_index >= kModelCount) {
    model_index = kModelUnknown;
  }
  return QString::fromLatin1(kModelTable[model_index].name);
}

bool ModelSupported(int model_index) {
  if (model_index < 0 || model_index >= kModelCount) {
    return true;  // reads as "Unknown", which counts as supported
  }
  return kModelTable[model_index].supported;
}

QString BackupBlockCount(int model_index) {
  return model_index == kModelQlxMPlus ? QStringLiteral("2048") : QStringLiteral("1024");
}

}  // namespace zizara::core::config

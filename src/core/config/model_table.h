#pragma once

#include <QString>
#include <array>

namespace zizara::core::config {

struct ModelInfo {
  const char* name;
  int serial_first;  // inclusive range of serial numbers; -1 for the catch-all row
  int serial_last;
  bool supported;
};

inline constexpr int kModelCount = 12;
inline constexpr int kModelUnknown = 0;
inline constexpr int kModelQlxMPlus = 4;

inline constexpr std::array<ModelInfo, kModelCount> kModelTable = {{
    {"Unknown", -1, -1, true},
    {"QLX-C1", 6000, 6099, false},
    {"QLX-C2", 6100, 6499, false},
    {"QLX-M", 6500, 7999, true},
    {"QLX-M+", 8000, 9999, true},
    {"QLX-A", 10000, 19999, true},
    {"QLX-B", 20000, 24999, false},
    {"QLX-E", 25000, 25999, false},
    {"QLX-H", 26000, 26999, false},
    {"QLX-BC", 30000, 39999, true},
    {"QLX-C3", 40000, 44999, true},
    {"QLX-C5", 45000, 49999, true},
}};

// Row of the BIOS-mode type list and the model it selects.
struct ModelTypeChoice {
  const char* name;
  int model_index;
};

inline constexpr std::array<ModelTypeChoice, 17> kModelTypeChoices = {{
    {"QLX-C1", 1},  {"QLX-C2", 2},  {"QLX-M", 3},  {"QLX-M+", 4},  {"QP-M", 4},   {"QP-MX", 4},
    {"QP-MXL", 4},  {"QLX-A", 5},   {"QLX-B", 6},  {"QLX-E", 7},   {"QLX-H", 8},  {"QLX-BC", 9},
    {"QP-BC", 9},   {"QLX-C3", 10}, {"QP-C3", 10}, {"QLX-C5", 11}, {"QP-C5", 11},
}};

int ModelIndexForSerial(int serial);
// Any index outside the table (from a foreign file, say) reads as "Unknown".
QString ModelName(int model_index);
bool ModelSupported(int model_index);
// Blocks of instrument software an installation backup saves.
QString BackupBlockCount(int model_index);

}  // namespace zizara::core::config

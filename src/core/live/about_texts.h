#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "core/link/link_state.h"

namespace zizara::core::live {

// What the about window can say about the instrument.
enum class AboutLinkState {
  kBiosMode,
  kNotConnected,
  kConnectedWithIdentity,  // it reported its identity over the dot protocol
  kConnectedWithoutIdentity,
};

AboutLinkState AboutStateOf(bool bios_mode, bool instrument_detected,
                            const link::InstrumentRecord& record);

struct AboutInstrumentLines {
  QString qlx_type;
  QString serial_number;
  QString software_version;
  QString dot_capable;
  QString hardware_id;
  QString hardware_version;
  QString firmware_version;
  QString bios_version;
  QString extended_bios_id;
  bool modules_visible = false;
};

// `software_version` is the number identification read from memory (1.0 when unknown).
AboutInstrumentLines InstrumentLinesFor(AboutLinkState state, const link::InstrumentRecord& record,
                                        double software_version);

inline constexpr int kModelLineLength = 21;

// A 16-bit version as "HH.LL" in hexadecimal (0x0512 gives "05.12").
QString VersionNumberText(int value);
// "%d.%d.%d.%d" from a version such as "1.2.0", missing parts as 0; empty stays empty.
QString FourPartVersion(const QString& version);
// This program's own version in four parts.
QString ProgramFileVersion();
QString BuildLine(const QString& file_version);

QString UptimeText(std::int64_t milliseconds);
QString CpuSpeedText(double mhz);
QString TotalMemoryText(std::uint64_t bytes);
// Nullopt (the line hidden) below 1 MB.
std::optional<QString> AvailableMemoryText(std::uint64_t bytes);
QString NetworkText(bool attached);

// The module window.
QString InputModuleText(int code);
QString OutputModuleText(int code);
struct ModuleLines {
  QString input_caption;
  QString output_caption;
  QStringList inputs;  // "#1: ..." .. "#4: ..."
  QStringList outputs;
};
ModuleLines ModuleLinesFor(const link::InstrumentRecord& record);
// The four texts of a side as the window shows them after "#n: ".
QStringList InputModuleTexts(const link::InstrumentRecord& record);
QStringList OutputModuleTexts(const link::InstrumentRecord& record);

// What the hidden memo lists.
struct SystemMemoFacts {
  QString command_line;
  QStringList arguments;  // the program first, as argv
  bool advanced_mode = false;
  QString help_file;
  QString config_dir;
  QString temp_dir;
  QString system_dir;
  QString os_name;
  int os_major = 0;
  int os_minor = 0;
  int os_build = 0;
  QStringList serial_ports;
};
inline constexpr char kMemoSeparator[] =
    "<--------------------------------------------------------------------------->";
QStringList SystemMemoLines(const SystemMemoFacts& facts);

}  // namespace zizara::core::live

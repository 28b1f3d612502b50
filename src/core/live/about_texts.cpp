#include "core/live/about_texts.h"

#include "core/config/model_table.h"
#include "core/i18n/tr.h"

#ifndef ZIZARA_PROGRAM_VERSION
#define ZIZARA_PROGRAM_VERSION ""
#endif

namespace zizara::core::live {

using i18n::Tr;

namespace {

QString Hex4(int value) {
  return QStringLiteral("%1").arg(value & 0xFFFF, 4, 16, QLatin1Char('0')).toUpper();
}

QString CodeText(int code) { return QString::number(code, 16).toUpper(); }

QString UnknownModule(int code) { return Tr("Unknown Module (") + CodeText(code) + ')'; }

}  // namespace

AboutLinkState AboutStateOf(bool bios_mode, bool instrument_detected,
                            const link::InstrumentRecord& record) {
  if (bios_mode) {
    return AboutLinkState::kBiosMode;
  }
  if (!instrument_detected) {
    return AboutLinkState::kNotConnected;
  }
  return record.remote_capable ? AboutLinkState::kConnectedWithIdentity
                               : AboutLinkState::kConnectedWithoutIdentity;
}

AboutInstrumentLines InstrumentLinesFor(AboutLinkState state, const link::InstrumentRecord& record,
                                        double software_version) {
  AboutInstrumentLines lines;
  switch (state) {
    case AboutLinkState::kBiosMode:
      lines.qlx_type = Tr("The QLX is in BIOS-Mode.");
      return lines;
    case AboutLinkState::kNotConnected:
      lines.qlx_type = Tr("No QLX Connected.");
      return lines;
    case AboutLinkState::kConnectedWithIdentity:
    case AboutLinkState::kConnectedWithoutIdentity:
      break;
  }
  lines.qlx_type =
      (Tr("QLX Type: ") + config::ModelName(record.model_index)).left(kModelLineLength);
  if (state == AboutLinkState::kConnectedWithIdentity) {
    lines.serial_number = Tr("Serial Number: ") + QString::number(record.serial_number);
    lines.software_version =
        Tr("Software Version: ") + VersionNumberText(record.software_version_code);
    lines.dot_capable = Tr("Support for DOT-Protocol: Yes");
    lines.hardware_id = Tr("Hardware ID: ") + Hex4(record.hardware_id());
    // The identity has no separate hardware version: the hardware ID word read as a version.
    lines.hardware_version = Tr("Hardware Version: ") + VersionNumberText(record.hardware_id());
    lines.firmware_version = Tr("Firmware Version: ") + QString::number(record.firmware_version());
    lines.bios_version = Tr("BIOS Version: ") + VersionNumberText(record.bios_version());
    lines.extended_bios_id = Tr("Extended BIOS ID: ") + Hex4(record.extended_bios_id());
    lines.modules_visible = true;
    return lines;
  }
  lines.serial_number = Tr("Serial Number: ") + record.serial_text;
  lines.software_version = software_version == 1.0 ? Tr("Software Version: Unknown")
                                                   : Tr("Software Version: ") +
                                                         QString::number(software_version, 'f', 3);
  lines.dot_capable = Tr("Support for DOT-Protocol: No");
  return lines;
}

QString VersionNumberText(int value) {
  const auto two = [](int byte) {
    return QStringLiteral("%1").arg(byte & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
  };
  return two(value >> 8) + '.' + two(value);
}

QString FourPartVersion(const QString& version) {
  if (version.trimmed().isEmpty()) {
    return {};
  }
  QStringList parts = version.trimmed().split(QLatin1Char('.'));
  QStringList numbers;
  for (int i = 0; i < 4; ++i) {
    numbers << QString::number(i < parts.size() ? parts[i].toInt() : 0);
  }
  return numbers.join(QLatin1Char('.'));
}

QString ProgramFileVersion() { return FourPartVersion(QStringLiteral(ZIZARA_PROGRAM_VERSION)); }

QString BuildLine(const QString& file_version) { return Tr("Build: ") + file_version; }

QString UptimeText(std::int64_t milliseconds) {
  const std::int64_t days = milliseconds / 86400000;
  const std::int64_t rest = milliseconds % 86400000;
  const std::int64_t hours = rest / 3600000;
  const std::int64_t minutes = (rest % 3600000) / 60000;
  return Tr("Uptime: ") + QString::number(days) + Tr(" Days ") + QString::number(hours) +
         Tr(" Hours ") + QString::number(minutes) + Tr(" Minutes ");
}

QString CpuSpeedText(double mhz) {
  return Tr("The CPU speed is: %1 MHz").arg(QString::number(mhz, 'f', 2));
}

QString TotalMemoryText(std::uint64_t bytes) {
  return Tr("Total memory: ") + QString::number(bytes >> 20) + Tr(" MB");
}

std::optional<QString> AvailableMemoryText(std::uint64_t bytes) {
  if ((bytes >> 20) < 1) {
    return std::nullopt;
  }
  return Tr("Available memory: ") + QString::number(bytes >> 20) + Tr(" MB");
}

QString NetworkText(bool attached) {
  return attached ? Tr("The computer is attached to a network!")
                  : Tr("The computer is not attached to a network!");
}

QString InputModuleText(int code) {
  switch (code) {
    case 0:
      return Tr("Not installed.");
    case 0x11:
      return Tr("Analogue Input Module, 1-AES 2-ANA (11)");
    case 0x22:
      return Tr("2 Channel Digital Input Module, 2-AES (22)");
    case 0x24:
      return Tr("4 Channel Digital Input Module, 4-AES (24)");
    case 0x31:
      return Tr("96 KHz Analogue Input Module, 1-AES 2-ANA (31)");
    case 0x64:
      return Tr("8 Channel Analog Input Module, 8-ANA (64)");
    case 0xA2:
      return Tr("SDI DeEmbedder, SDI (A2)");
    case 0xE2:
      return Tr("HD-SDI DeEmbedder, HD-SDI (E2)");
    default:
      return UnknownModule(code);
  }
}

QString OutputModuleText(int code) {
  switch (code) {
    case 0:
      return Tr("Not installed.");
    case 0x10:
      return Tr("GPIO Module (10)");
    case 0x11:
      return Tr("Analogue Output Module, 1-AES 2-ANA (11)");
    default:
      return UnknownModule(code);
  }
}

QStringList InputModuleTexts(const link::InstrumentRecord& record) {
  QStringList texts;
  for (int slot = 0; slot < 4; ++slot) {
    texts << InputModuleText(record.identity[10 + slot]);
  }
  return texts;
}

QStringList OutputModuleTexts(const link::InstrumentRecord& record) {
  QStringList texts;
  for (int slot = 0; slot < 4; ++slot) {
    texts << OutputModuleText(record.identity[14 + slot]);
  }
  return texts;
}

ModuleLines ModuleLinesFor(const link::InstrumentRecord& record) {
  ModuleLines lines;
  lines.input_caption =
      Tr("Available number of input channels: ") + QString::number(record.identity[8]);
  lines.output_caption =
      Tr("Available number of output channels: ") + QString::number(record.identity[9]);
  const QStringList inputs = InputModuleTexts(record);
  const QStringList outputs = OutputModuleTexts(record);
  for (int slot = 0; slot < 4; ++slot) {
    const QString prefix = '#' + QString::number(slot + 1) + QStringLiteral(": ");
    lines.inputs << prefix + inputs[slot];
    lines.outputs << prefix + outputs[slot];
  }
  return lines;
}

QStringList SystemMemoLines(const SystemMemoFacts& f) {
  const QString separator = QString::fromLatin1(kMemoSeparator);
  QStringList lines;
  lines << Tr("Command line string: ") + f.command_line;
  const int count = static_cast<int>(f.arguments.size()) - 1;
  lines << Tr("Number of arguments: ") + QString::number(std::max(count, 0));
  for (int i = 1; i < f.arguments.size(); ++i) {
    lines << Tr("Argument #") + QString::number(i) + QStringLiteral(": ") + f.arguments[i];
  }
  lines << separator;
  lines << Tr("AdvancedMode.: ") +
               (f.advanced_mode ? QStringLiteral("True") : QStringLiteral("False"));
  lines << separator;
  lines << Tr("Help file.: ") + f.help_file;
  lines << separator;
  lines << Tr("Config Dir.: ") + f.config_dir;
  lines << Tr("   Temp Dir.: ") + f.temp_dir;
  lines << Tr(" System Dir.: ") + f.system_dir;
  lines << separator;
  lines << Tr("Operating system: ") + f.os_name;
  lines << Tr("Major Ver.: ") + QString::number(f.os_major);
  lines << Tr("Minor Ver.: ") + QString::number(f.os_minor);
  lines << Tr("Build No. : ") + QString::number(f.os_build);
  lines << separator;
  lines << Tr("Number of Serial Ports: ") + QString::number(f.serial_ports.size());
  for (int i = 0; i < f.serial_ports.size(); ++i) {
    lines << Tr("Serial Port #") + QString::number(i + 1) + ' ' + f.serial_ports[i];
  }
  return lines;
}

}  // namespace zizara::core::live

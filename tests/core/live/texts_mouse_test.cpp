#include <gtest/gtest.h>

#include "core/live/about_texts.h"
#include "core/live/mouse_pad.h"
#include "core/live/system_info.h"

namespace zizara::core::live {
namespace {

TEST(MousePadTest, ClickModeSendsOnlyThePressUpDownSendsBoth) {
  QList<QByteArray> sent;
  MousePad pad([&sent](const QByteArray& c) { sent << c; });
  pad.Move(12, 34);
  pad.Press(PadButton::kLeft);
  EXPECT_EQ(pad.ButtonText(PadButton::kLeft), QStringLiteral("Left Mouse Button: DOWN"));
  pad.Release(PadButton::kLeft);
  EXPECT_EQ(pad.ButtonText(PadButton::kLeft), QStringLiteral("Left Mouse Button: UP"));
  EXPECT_EQ(sent, (QList<QByteArray>{".Sa12,34\r\n"}));
  sent.clear();
  pad.SetClickMode(ClickMode::kUpDown);
  pad.Press(PadButton::kMiddle);
  pad.Release(PadButton::kMiddle);
  pad.Press(PadButton::kRight);
  pad.Release(PadButton::kRight);
  EXPECT_EQ(sent,
            (QList<QByteArray>{".Sc12,34\r\n", ".Sd12,34\r\n", ".Se12,34\r\n", ".Sf12,34\r\n"}));
}

TEST(MousePadTest, AtMostOneMovePerTickWithThePositionWhenSent) {
  QList<QByteArray> sent;
  MousePad pad([&sent](const QByteArray& c) { sent << c; });
  pad.Move(1, 1);  // no tick yet
  EXPECT_TRUE(sent.isEmpty());
  pad.Tick();
  pad.Move(5, 6);
  pad.Move(7, 8);
  pad.Move(9, 10);
  EXPECT_EQ(sent, (QList<QByteArray>{".Sm5,6\r\n"}));
  EXPECT_EQ(pad.PositionXText(), QStringLiteral("Position X: 9"));
  EXPECT_EQ(pad.PositionYText(), QStringLiteral("Y: 10"));
  pad.Tick();
  pad.Tick();
  pad.Move(11, 12);
  pad.Move(13, 14);
  EXPECT_EQ(sent.size(), 2);
  EXPECT_EQ(sent.last(), QByteArray(".Sm11,12\r\n"));
  // A release drops a pending move.
  pad.Tick();
  pad.Release(PadButton::kLeft);
  pad.Move(15, 16);
  EXPECT_EQ(sent.size(), 2);
}

TEST(MousePadTest, WheelBeforeAnyMoveSendsZeroZero) {
  QList<QByteArray> sent;
  MousePad pad([&sent](const QByteArray& c) { sent << c; });
  EXPECT_EQ(pad.WheelText(), QStringLiteral("Scroll Wheel: None"));
  pad.Wheel(true);
  EXPECT_EQ(pad.WheelText(), QStringLiteral("Scroll Wheel: UP"));
  pad.Wheel(false);
  EXPECT_EQ(pad.WheelText(), QStringLiteral("Scroll Wheel: DOWN"));
  EXPECT_EQ(sent, (QList<QByteArray>{".Sg0,0\r\n", ".Sh0,0\r\n"}));
}

TEST(MousePadTest, IntervalField) {
  EXPECT_EQ(ParseMouseInterval("150"), 150);
  EXPECT_EQ(ParseMouseInterval("9999"), 5000);
  EXPECT_EQ(ParseMouseInterval("0"), 1);
  EXPECT_FALSE(ParseMouseInterval("a"));
  EXPECT_FALSE(ParseMouseInterval("1.5"));
  EXPECT_FALSE(ParseMouseInterval(""));
}

link::InstrumentRecord ReportedRecord() {
  link::InstrumentRecord r;
  r.remote_capable = true;
  r.instrument_found = true;
  r.serial_number = 12345;
  r.serial_text = "12345";
  r.model_index = 5;  // QLX-A
  r.software_version_code = 0x0510;
  r.identity[3] = 258;
  r.identity[4] = 0x0003;
  r.identity[5] = 0x0104;
  r.identity[6] = 0x00AB;
  r.identity[8] = 88;
  r.identity[9] = 96;
  r.identity[10] = 0x11;
  r.identity[11] = 0x10;
  r.identity[14] = 0x11;
  r.identity[15] = 0xA2;
  return r;
}

TEST(AboutTextsTest, LinesInEachLinkState) {
  link::InstrumentRecord r = ReportedRecord();
  EXPECT_EQ(AboutStateOf(true, true, r), AboutLinkState::kBiosMode);
  EXPECT_EQ(AboutStateOf(false, false, r), AboutLinkState::kNotConnected);
  EXPECT_EQ(AboutStateOf(false, true, r), AboutLinkState::kConnectedWithIdentity);

  AboutInstrumentLines l = InstrumentLinesFor(AboutLinkState::kBiosMode, r, 5.1);
  EXPECT_EQ(l.qlx_type, QStringLiteral("The QLX is in BIOS-Mode."));
  EXPECT_TRUE(l.serial_number.isEmpty());
  EXPECT_TRUE(l.software_version.isEmpty());
  EXPECT_FALSE(l.modules_visible);

  l = InstrumentLinesFor(AboutLinkState::kNotConnected, r, 5.1);
  EXPECT_EQ(l.qlx_type, QStringLiteral("No QLX Connected."));
  EXPECT_TRUE(l.dot_capable.isEmpty());
  EXPECT_FALSE(l.modules_visible);

  l = InstrumentLinesFor(AboutLinkState::kConnectedWithIdentity, r, 5.1);
  EXPECT_EQ(l.qlx_type, QStringLiteral("QLX Type: QLX-A"));
  EXPECT_EQ(l.serial_number, QStringLiteral("Serial Number: 12345"));
  EXPECT_EQ(l.software_version, QStringLiteral("Software Version: 05.10"));
  EXPECT_EQ(l.dot_capable, QStringLiteral("Support for DOT-Protocol: Yes"));
  EXPECT_EQ(l.hardware_id, QStringLiteral("Hardware ID: 0003"));
  EXPECT_EQ(l.hardware_version, QStringLiteral("Hardware Version: 00.03"));
  EXPECT_EQ(l.firmware_version, QStringLiteral("Firmware Version: 258"));
  EXPECT_EQ(l.bios_version, QStringLiteral("BIOS Version: 01.04"));
  EXPECT_EQ(l.extended_bios_id, QStringLiteral("Extended BIOS ID: 00AB"));
  EXPECT_TRUE(l.modules_visible);

  r.remote_capable = false;
  r.serial_text = "-1";
  r.model_index = 0;
  EXPECT_EQ(AboutStateOf(false, true, r), AboutLinkState::kConnectedWithoutIdentity);
  l = InstrumentLinesFor(AboutLinkState::kConnectedWithoutIdentity, r, 1.0);
  EXPECT_EQ(l.qlx_type, QStringLiteral("QLX Type: Unknown"));
  EXPECT_EQ(l.serial_number, QStringLiteral("Serial Number: -1"));
  EXPECT_EQ(l.software_version, QStringLiteral("Software Version: Unknown"));
  EXPECT_EQ(l.dot_capable, QStringLiteral("Support for DOT-Protocol: No"));
  EXPECT_TRUE(l.hardware_id.isEmpty());
  EXPECT_TRUE(l.bios_version.isEmpty());
  EXPECT_FALSE(l.modules_visible);
  l = InstrumentLinesFor(AboutLinkState::kConnectedWithoutIdentity, r, 5.1);
  EXPECT_EQ(l.software_version, QStringLiteral("Software Version: 5.100"));
}

TEST(AboutTextsTest, TheModelLineStopsAt21Characters) {
  link::InstrumentRecord r = ReportedRecord();
  r.model_index = 4;  // "QLX-M+": 16 characters, fits
  EXPECT_EQ(InstrumentLinesFor(AboutLinkState::kConnectedWithIdentity, r, 1).qlx_type,
            QStringLiteral("QLX Type: QLX-M+"));
  for (int m = 0; m < 12; ++m) {
    r.model_index = m;
    EXPECT_LE(InstrumentLinesFor(AboutLinkState::kConnectedWithIdentity, r, 1).qlx_type.size(),
              kModelLineLength);
  }
}

TEST(AboutTextsTest, UptimeVersionsMemoryAndSpeed) {
  EXPECT_EQ(UptimeText(90061000), QStringLiteral("Uptime: 1 Days 1 Hours 1 Minutes "));
  EXPECT_EQ(UptimeText(59999), QStringLiteral("Uptime: 0 Days 0 Hours 0 Minutes "));
  EXPECT_EQ(UptimeText(int64_t{40} * 86400000 + 23 * 3600000 + 59 * 60000),
            QStringLiteral("Uptime: 40 Days 23 Hours 59 Minutes "));
  EXPECT_EQ(VersionNumberText(0x0512), QStringLiteral("05.12"));
  EXPECT_EQ(VersionNumberText(0xABCD), QStringLiteral("AB.CD"));
  EXPECT_EQ(FourPartVersion("1.2.0"), QStringLiteral("1.2.0.0"));
  EXPECT_EQ(FourPartVersion(""), QString());
  EXPECT_EQ(BuildLine(QString()), QStringLiteral("Build: "));
  EXPECT_EQ(BuildLine(ProgramFileVersion()).count(QLatin1Char('.')), 3);
  EXPECT_EQ(TotalMemoryText(uint64_t{16} << 30), QStringLiteral("Total memory: 16384 MB"));
  EXPECT_EQ(AvailableMemoryText((uint64_t{1} << 20) - 1), std::nullopt);
  EXPECT_EQ(AvailableMemoryText(uint64_t{3} << 20), QStringLiteral("Available memory: 3 MB"));
  EXPECT_EQ(CpuSpeedText(2993.456), QStringLiteral("The CPU speed is: 2993.46 MHz"));
  EXPECT_DOUBLE_EQ(CpuSpeedMhz(1'500'000'000, 500'000'000), 3000.0);
  EXPECT_EQ(NetworkText(false), QStringLiteral("The computer is not attached to a network!"));
}

TEST(ModuleTextsTest, KnownAndUnknownCodes) {
  EXPECT_EQ(InputModuleText(0x11), QStringLiteral("Analogue Input Module, 1-AES 2-ANA (11)"));
  EXPECT_EQ(OutputModuleText(0x11), QStringLiteral("Analogue Output Module, 1-AES 2-ANA (11)"));
  EXPECT_EQ(InputModuleText(0x10), QStringLiteral("Unknown Module (10)"));
  EXPECT_EQ(OutputModuleText(0xA2), QStringLiteral("Unknown Module (A2)"));
  EXPECT_EQ(InputModuleText(0x5), QStringLiteral("Unknown Module (5)"));
  EXPECT_EQ(InputModuleText(0), QStringLiteral("Not installed."));
  EXPECT_EQ(OutputModuleText(0x10), QStringLiteral("GPIO Module (10)"));
  EXPECT_EQ(InputModuleText(0xE2), QStringLiteral("HD-SDI DeEmbedder, HD-SDI (E2)"));

  const ModuleLines lines = ModuleLinesFor(ReportedRecord());
  EXPECT_EQ(lines.input_caption, QStringLiteral("Available number of input channels: 88"));
  EXPECT_EQ(lines.output_caption, QStringLiteral("Available number of output channels: 96"));
  EXPECT_EQ(lines.inputs,
            (QStringList{"#1: Analogue Input Module, 1-AES 2-ANA (11)", "#2: Unknown Module (10)",
                         "#3: Not installed.", "#4: Not installed."}));
  EXPECT_EQ(lines.outputs[1], QStringLiteral("#2: Unknown Module (A2)"));
}

TEST(SystemMemoTest, LinesInOrder) {
  SystemMemoFacts f;
  f.command_line = "vt-zizara /A";
  f.arguments = {"vt-zizara", "/A"};
  f.advanced_mode = true;
  f.serial_ports = {"ttyS0", "ttyUSB0"};
  f.os_name = "Debian";
  f.os_major = 6;
  const QStringList lines = SystemMemoLines(f);
  ASSERT_GE(lines.size(), 18);
  EXPECT_EQ(lines[0], QStringLiteral("Command line string: vt-zizara /A"));
  EXPECT_EQ(lines[1], QStringLiteral("Number of arguments: 1"));
  EXPECT_EQ(lines[2], QStringLiteral("Argument #1: /A"));
  EXPECT_EQ(lines[3], QString::fromLatin1(kMemoSeparator));
  EXPECT_EQ(QString::fromLatin1(kMemoSeparator).count(QLatin1Char('-')), 75);
  EXPECT_EQ(lines[4], QStringLiteral("AdvancedMode.: True"));
  EXPECT_EQ(lines.last(), QStringLiteral("Serial Port #2 ttyUSB0"));
  EXPECT_TRUE(lines.contains(QStringLiteral("Number of Serial Ports: 2")));
  EXPECT_TRUE(lines.contains(QStringLiteral("Major Ver.: 6")));
}

TEST(SystemInfoTest, FactsAreReadable) {
  const SystemFacts f = ReadSystemFacts();
  EXPECT_FALSE(f.os_name.isEmpty());
  EXPECT_GT(f.total_memory, 0u);
  EXPECT_GE(f.uptime_ms, 0);
}

}  // namespace
}  // namespace zizara::core::live

#include "core/settings/program_settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "core/settings/ini_file.h"
#include "core/settings/temp_settings_file.h"

namespace zizara::core::settings {
namespace {

using ProgramSettingsTest = TempSettingsFile;

ProgramSettings LoadOk(const QString& path, const QString& port = QStringLiteral("ttyS0")) {
  QString error;
  ProgramSettings s = LoadProgramSettings(path, port, &error);
  EXPECT_TRUE(error.isEmpty()) << error.toStdString();
  return s;
}

TEST_F(ProgramSettingsTest, MissingFileIsCreatedWithOnlyThePortLine) {
  const ProgramSettings s = LoadOk(Path(), QStringLiteral("ttyUSB0"));

  EXPECT_EQ(Read(), QByteArray("[Settings]\nComInterface=ttyUSB0\n"));
  EXPECT_EQ(s.com_interface, QStringLiteral("ttyUSB0"));
  EXPECT_FALSE(s.window.maximized);
  EXPECT_EQ(s.window.normal_bounds, QRect(10, 10, 656, 487));
  EXPECT_EQ(s.window.grid_pos_x, 0);
  EXPECT_EQ(s.window.grid_pos_y, 0);
  EXPECT_TRUE(s.double_click);
  EXPECT_EQ(s.cell_images.xpoint_from_file, 6);
  EXPECT_EQ(s.cell_images.illegal_xpoint_greyed, 2);
  EXPECT_EQ(s.cell_images.illegal_xpoint_highlight, 3);
  EXPECT_EQ(s.cell_images.local_xpoint, 13);
  EXPECT_EQ(s.cell_images.remote_xpoint, 8);
  EXPECT_EQ(s.cell_images.locked_xpoint, 4);
  EXPECT_FALSE(s.trace_mouse);
  EXPECT_EQ(s.trace_color, -16777201);
  EXPECT_FALSE(s.keyboard_window.visible);
  EXPECT_FALSE(s.keyboard_window.left.has_value());
  EXPECT_FALSE(s.keyboard_window.top.has_value());
  EXPECT_TRUE(s.ext_cmd.isEmpty());
  EXPECT_FALSE(s.global_hotkeys);
  EXPECT_TRUE(s.check_file_association);
  EXPECT_FALSE(s.debug);
  EXPECT_TRUE(s.last_scale_file.isEmpty());
}

TEST_F(ProgramSettingsTest, DefaultPortIsFirstListedOrTtyS0) {
  EXPECT_EQ(DefaultPortName({}), QStringLiteral("ttyS0"));
  EXPECT_EQ(DefaultPortName({QStringLiteral("ttyUSB1"), QStringLiteral("ttyS0")}),
            QStringLiteral("ttyUSB1"));

  LoadOk(Path(), QString());
  EXPECT_EQ(Read(), QByteArray("[Settings]\nComInterface=ttyS0\n"));
}

TEST_F(ProgramSettingsTest, UncreatableFileStillGivesUsableDefaults) {
  // The parent "folder" is a regular file, so nothing can be created below it.
  const QString blocker = QDir(DirPath()).filePath(QStringLiteral("blocker"));
  QFile f(blocker);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();

  QString error;
  const ProgramSettings s = LoadProgramSettings(blocker + QStringLiteral("/VT-Zizara.INI"),
                                                QStringLiteral("ttyACM0"), &error);
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(s.com_interface, QStringLiteral("ttyACM0"));
  EXPECT_EQ(s.window.normal_bounds, QRect(10, 10, 656, 487));
}

TEST_F(ProgramSettingsTest, ClosingMaximizedKeepsLastNormalBounds) {
  ProgramSettings s = LoadOk(Path());
  s.window.normal_bounds = QRect(100, 200, 800, 600);
  ASSERT_TRUE(SaveProgramSettings(Path(), s));

  s.window.maximized = true;
  s.window.normal_bounds = QRect(0, 0, 1920, 1080);
  s.window.grid_pos_x = 7;
  QString error;
  ASSERT_TRUE(SaveProgramSettings(Path(), s, &error)) << error.toStdString();

  const QByteArray text = Read();
  EXPECT_TRUE(text.contains("TraceColor=-16777201\n"));
  EXPECT_TRUE(text.contains("Maximized=1\n"));
  EXPECT_TRUE(text.contains("Left=100\n"));
  EXPECT_TRUE(text.contains("Width=800\n"));
  const ProgramSettings back = LoadOk(Path());
  EXPECT_TRUE(back.window.maximized);
  EXPECT_EQ(back.window.normal_bounds, QRect(100, 200, 800, 600));
  EXPECT_EQ(back.window.grid_pos_x, 7);
}

TEST_F(ProgramSettingsTest, MaximizedFirstCloseWritesNoBounds) {
  ProgramSettings s = LoadOk(Path());
  s.window.maximized = true;
  ASSERT_TRUE(SaveProgramSettings(Path(), s));
  const QByteArray text = Read();
  EXPECT_FALSE(text.contains("Left="));
  EXPECT_FALSE(text.contains("Height="));
  EXPECT_EQ(LoadOk(Path()).window.normal_bounds, QRect(10, 10, 656, 487));
}

TEST_F(ProgramSettingsTest, CellImageIndicesAreCheckedOnlyWhereRequired) {
  Write(
      "[Zizara]\nXpointFromFile=40\nIllegal_XpointGreyed=0\nIllegal_XpointHighlight=1\n"
      "LocalXpoint=-3\nRemoteXpoint=26\nLockedXpoint=40\n");
  CellImageSettings c = LoadOk(Path()).cell_images;
  EXPECT_EQ(c.xpoint_from_file, 6);
  EXPECT_EQ(c.illegal_xpoint_greyed, 2);
  EXPECT_EQ(c.illegal_xpoint_highlight, 3);
  EXPECT_EQ(c.local_xpoint, -3);
  EXPECT_EQ(c.remote_xpoint, 26);
  EXPECT_EQ(c.locked_xpoint, 40);

  // Limits: the lowest allowed values and the last image are accepted, 26 is not.
  Write("[Zizara]\nXpointFromFile=2\nIllegal_XpointGreyed=1\nIllegal_XpointHighlight=25\n");
  c = LoadOk(Path()).cell_images;
  EXPECT_EQ(c.xpoint_from_file, 2);
  EXPECT_EQ(c.illegal_xpoint_greyed, 1);
  EXPECT_EQ(c.illegal_xpoint_highlight, 25);
  Write("[Zizara]\nXpointFromFile=26\nIllegal_XpointGreyed=26\nIllegal_XpointHighlight=26\n");
  c = LoadOk(Path()).cell_images;
  EXPECT_EQ(c.xpoint_from_file, 6);
  EXPECT_EQ(c.illegal_xpoint_greyed, 2);
  EXPECT_EQ(c.illegal_xpoint_highlight, 3);
}

TEST(SafeCellImageIndexTest, ClampsIntoTheImageList) {
  EXPECT_EQ(SafeCellImageIndex(-3), 0);
  EXPECT_EQ(SafeCellImageIndex(0), 0);
  EXPECT_EQ(SafeCellImageIndex(13), 13);
  EXPECT_EQ(SafeCellImageIndex(25), 25);
  EXPECT_EQ(SafeCellImageIndex(40), 25);
}

TEST_F(ProgramSettingsTest, GarbageNumbersGiveDefaults) {
  Write(
      "[Window]\nMaximized=yes\nLeft=abc\nTop=\nWidth=12x\nHeight=0x20\nGridPosX=--1\n"
      "[Zizara]\nDoubleClick=no\nXpointFromFile=six\nLockedXpoint=4.5\nTraceColor=red\n"
      "[KeyboardWindow]\nVisible=?\nLeft=zz\nTop=1e3\n"
      "[Settings]\nCheckFileAssociation=off\n");
  const ProgramSettings s = LoadOk(Path());
  EXPECT_FALSE(s.window.maximized);
  EXPECT_EQ(s.window.normal_bounds, QRect(10, 10, 656, 487));
  EXPECT_EQ(s.window.grid_pos_x, 0);
  EXPECT_TRUE(s.double_click);
  EXPECT_EQ(s.cell_images.xpoint_from_file, 6);
  EXPECT_EQ(s.cell_images.locked_xpoint, 4);
  EXPECT_EQ(s.trace_color, kTraceColorButtonFace);
  EXPECT_FALSE(s.keyboard_window.visible);
  EXPECT_FALSE(s.keyboard_window.left.has_value());
  EXPECT_FALSE(s.keyboard_window.top.has_value());
  EXPECT_TRUE(s.check_file_association);
}

TEST_F(ProgramSettingsTest, AbsurdWindowSizesFallBackToDefaultBounds) {
  const QRect defaults(10, 10, 656, 487);
  Write("[Window]\nLeft=50\nTop=60\nWidth=0\nHeight=300\n");
  EXPECT_EQ(LoadOk(Path()).window.normal_bounds, defaults);
  Write("[Window]\nLeft=50\nTop=60\nWidth=300\nHeight=-5\n");
  EXPECT_EQ(LoadOk(Path()).window.normal_bounds, defaults);
  Write("[Window]\nLeft=50\nTop=60\nWidth=100001\nHeight=300\n");
  EXPECT_EQ(LoadOk(Path()).window.normal_bounds, defaults);

  // Large or off-screen but workable values are left for the GUI to fit.
  Write("[Window]\nLeft=-4000\nTop=9000\nWidth=100000\nHeight=1\n");
  EXPECT_EQ(LoadOk(Path()).window.normal_bounds, QRect(-4000, 9000, 100000, 1));
}

TEST_F(ProgramSettingsTest, SaveKeepsKeysItDoesNotWrite) {
  Write(
      "[Files]\nFile_1=/data/a.qlx\n"
      "[Settings]\nComInterface=ttyUSB0\nExtCMD=qlx-bridge --port 4\nDebug=1\n"
      "[MacroFiles]\nFile#1=/m/one.mac\nFile#0=/m/ten.mac\n"
      "[MyNotes]\nColour=teal\n");
  ProgramSettings s = LoadOk(Path());
  EXPECT_EQ(s.ext_cmd, QStringLiteral("qlx-bridge --port 4"));
  EXPECT_TRUE(s.debug);

  // Changes to the read-only fields must not reach the file.
  s.ext_cmd = QStringLiteral("changed");
  s.debug = false;
  s.com_interface = QStringLiteral("ttyUSB1");
  ASSERT_TRUE(SaveProgramSettings(Path(), s));

  const QByteArray text = Read();
  EXPECT_TRUE(text.contains("ExtCMD=qlx-bridge --port 4\n"));
  EXPECT_TRUE(text.contains("Debug=1\n"));
  EXPECT_TRUE(text.contains("ComInterface=ttyUSB1\n"));
  EXPECT_TRUE(text.contains("[Files]\nFile_1=/data/a.qlx\n"));
  EXPECT_TRUE(text.contains("File#1=/m/one.mac\n"));
  EXPECT_TRUE(text.contains("File#0=/m/ten.mac\n"));
  EXPECT_TRUE(text.contains("[MyNotes]\nColour=teal\n"));
}

TEST_F(ProgramSettingsTest, SaveRefusesAFileItCannotRead) {
  // A folder in the file's place: reading fails, and replacing it would lose data.
  ASSERT_TRUE(QDir().mkpath(Path()));
  QString error;
  EXPECT_FALSE(SaveProgramSettings(Path(), ProgramSettings{}, &error));
  EXPECT_FALSE(error.isEmpty());

  error.clear();
  const ProgramSettings s = LoadProgramSettings(Path(), QStringLiteral("ttyS1"), &error);
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(s.com_interface, QStringLiteral("ttyS1"));
}

TEST_F(ProgramSettingsTest, EverySavedValueRoundTrips) {
  ProgramSettings s = LoadOk(Path());
  s.window.normal_bounds = QRect(-20, 30, 900, 700);
  s.window.grid_pos_x = 3;
  s.window.grid_pos_y = 11;
  s.double_click = false;
  s.cell_images = {7, 1, 24, 0, 25, 9};
  s.trace_mouse = true;
  s.trace_color = 0x00FF8040;
  s.keyboard_window = {true, -5, 400};
  s.com_interface = QStringLiteral("/tmp/qlx");
  s.global_hotkeys = true;
  s.check_file_association = false;
  s.last_scale_file = QStringLiteral("/scales/dB 60.scl");
  ASSERT_TRUE(SaveProgramSettings(Path(), s));

  const QByteArray text = Read();
  EXPECT_TRUE(text.contains("DoubleClick=0\n"));
  EXPECT_TRUE(text.contains("TraceMouse=1\n"));
  EXPECT_TRUE(text.contains("[ZA-Dizod]\nLastScaleFile=/scales/dB 60.scl\n"));

  EXPECT_EQ(LoadOk(Path()), s);
}

TEST(KeyboardWindowTest, DefaultsFollowTheMainWindow) {
  const QRect main(10, 10, 656, 487);
  const QSize keyboard(300, 120);
  EXPECT_EQ(KeyboardWindowDefaultPosition(main, keyboard), QPoint(10 + 656 - 300 - 8, 10 + 120));

  KeyboardWindowSettings stored;
  stored.left = 5;
  EXPECT_EQ(KeyboardWindowPosition(stored, main, keyboard), QPoint(5, 130));
  stored.top = -40;
  EXPECT_EQ(KeyboardWindowPosition(stored, main, keyboard), QPoint(5, -40));
}

TEST(PortNameTest, OnlyWindowsStyleNamesAreReduced) {
  EXPECT_EQ(NormalizePortName(QStringLiteral("com 3")), QStringLiteral("COM3"));
  EXPECT_EQ(NormalizePortName(QStringLiteral("Com-12")), QStringLiteral("COM12"));
  EXPECT_EQ(NormalizePortName(QStringLiteral("ttyUSB0")), QStringLiteral("ttyUSB0"));
  EXPECT_EQ(NormalizePortName(QStringLiteral("/dev/pts/5")), QStringLiteral("/dev/pts/5"));
  EXPECT_EQ(NormalizePortName(QStringLiteral("/tmp/qlx")), QStringLiteral("/tmp/qlx"));
  EXPECT_EQ(NormalizePortName(QStringLiteral("ext")), QStringLiteral("EXT"));
  EXPECT_TRUE(IsExternalCommandPort(QStringLiteral("Ext")));
  EXPECT_FALSE(IsExternalCommandPort(QStringLiteral("ttyEXT")));
}

TEST_F(ProgramSettingsTest, PortIsNormalizedOnLoadAndDefaultedWhenBlank) {
  Write("[Settings]\nComInterface=com 3\n");
  EXPECT_EQ(LoadOk(Path()).com_interface, QStringLiteral("COM3"));
  Write("[Settings]\nComInterface=/dev/pts/5\n");
  EXPECT_EQ(LoadOk(Path()).com_interface, QStringLiteral("/dev/pts/5"));
  Write("[Settings]\nComInterface=\n");
  EXPECT_EQ(LoadOk(Path(), QStringLiteral("ttyUSB0")).com_interface, QStringLiteral("ttyUSB0"));
  // An existing file without the key is read, not rewritten.
  Write("[Window]\nGridPosX=2\n");
  EXPECT_EQ(LoadOk(Path(), QStringLiteral("ttyUSB0")).com_interface, QStringLiteral("ttyUSB0"));
  EXPECT_EQ(Read(), QByteArray("[Window]\nGridPosX=2\n"));
}

TEST_F(ProgramSettingsTest, MacroFilesRoundTripWithTheirHashKeys) {
  EXPECT_EQ(MacroFileKey(0), QStringLiteral("File#1"));
  EXPECT_EQ(MacroFileKey(8), QStringLiteral("File#9"));
  EXPECT_EQ(MacroFileKey(9), QStringLiteral("File#0"));

  Write("[Settings]\nDebug=1\n");
  ASSERT_TRUE(AssignMacroFile(Path(), 0, QStringLiteral("/m/first.mac")));
  ASSERT_TRUE(AssignMacroFile(Path(), 9, QStringLiteral("/m/tenth.mac")));
  const QByteArray text = Read();
  EXPECT_TRUE(text.contains("[MacroFiles]\nFile#1=/m/first.mac\nFile#0=/m/tenth.mac\n"));
  EXPECT_TRUE(text.contains("Debug=1\n"));

  const MacroAssignments macros = LoadOk(Path()).macro_files;
  EXPECT_EQ(macros.files[0], QStringLiteral("/m/first.mac"));
  EXPECT_EQ(macros.files[9], QStringLiteral("/m/tenth.mac"));
  EXPECT_TRUE(macros.files[4].isEmpty());

  QString error;
  EXPECT_FALSE(AssignMacroFile(Path(), 10, QStringLiteral("/m/x.mac"), &error));
  EXPECT_FALSE(error.isEmpty());
}

TEST_F(ProgramSettingsTest, NetworkPortsKeepTheLastFiveNewestFirst) {
  LoadOk(Path());
  EXPECT_TRUE(LoadOk(Path()).reconnect);  // on by default
  for (int i = 1; i <= 6; ++i) {
    RememberNetworkPort(Path(), QStringLiteral("tcp:rack%1:4001").arg(i));
  }
  // Choosing one again moves it to the top without a second entry.
  const QStringList list = RememberNetworkPort(Path(), QStringLiteral("tcp:rack4:4001"));
  EXPECT_EQ(list, QStringList({"tcp:rack4:4001", "tcp:rack6:4001", "tcp:rack5:4001",
                               "tcp:rack3:4001", "tcp:rack2:4001"}));
  EXPECT_EQ(LoadOk(Path()).network_ports, list);
  EXPECT_EQ(LoadOk(Path()).com_interface, "ttyS0");  // the port line is not touched
}

}  // namespace
}  // namespace zizara::core::settings

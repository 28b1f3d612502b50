#include "cli/cli.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "cli/cli_link.h"
#include "support/cli_runner.h"
#include "support/crafted_files.h"

namespace zizara::cli {
namespace {

using testing::CraftImage;
using testing::CraftPresetFile;
using testing::WriteFile;

using testing::CliRun;

CliRun RunWith(const QStringList& args) { return testing::RunCliCaptured(args); }

class CliTest : public ::testing::Test {
 protected:
  QTemporaryDir dir_;
  QString Write(const QString& name, const QByteArray& bytes) {
    return WriteFile(QDir(dir_.path()), name, bytes);
  }
};

TEST_F(CliTest, InfoJsonReportsTheFile) {
  const QByteArray file = CraftPresetFile(
      CraftImage(), {.serial = 8000, .model_index = 4, .version = 0x0510, .ext_bios = 0x00A1,
                     .hardware = 0x0B02, .spare0 = 0xBE, .spare1 = 0xEF});
  const CliRun r = RunWith({"info", Write("a.PRE", file), "--json"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_EQ(o["size"].toInt(), 16416);
  EXPECT_FALSE(o["bare"].toBool());
  EXPECT_EQ(o["magic"].toString(), "VTT_");
  EXPECT_EQ(o["format"].toString(), "P001");
  EXPECT_EQ(o["spare"].toString(), "BEEF");
  EXPECT_EQ(o["serial"].toInt(), 8000);
  EXPECT_EQ(o["model_index"].toInt(), 4);
  EXPECT_EQ(o["model"].toString(), "QLX-M+");
  EXPECT_EQ(o["software_version"].toString(), "05.10");
  EXPECT_EQ(o["software_version_code"].toInt(), 0x0510);
  EXPECT_EQ(o["extended_bios_id"].toString(), "00A1");
  EXPECT_EQ(o["hardware_id"].toString(), "0B02");
  const auto hex8 = [](std::uint32_t v) {
    return QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
  };
  EXPECT_EQ(o["checksum"].toString(), hex8(testing::Le32(file, 0x401C)));
  EXPECT_EQ(o["offset_standard"].toString(), "German Offset");
  EXPECT_EQ(o["lock_code"].toString(), "4711");
  EXPECT_EQ(o["startup_preset"].toInt(), 3);
  EXPECT_EQ(o["startup_application"].toInt(), 12);

  const QJsonArray presets = o["presets"].toArray();
  ASSERT_EQ(presets.size(), 11);
  const QJsonObject p1 = presets[0].toObject();
  EXPECT_EQ(p1["number"].toInt(), 1);
  EXPECT_EQ(p1["name"].toString(), "First One ");
  const QJsonArray routing = p1["routing"].toArray();
  ASSERT_EQ(routing.size(), 96);
  EXPECT_EQ(routing[0].toInt(), 5);
  EXPECT_EQ(routing[1].toInt(), 6);  // 0x85: bit 7 is not part of the input
  EXPECT_EQ(routing[2].toInt(), 1);
  EXPECT_EQ(routing[95].toInt(), 128);
  const QJsonArray in1 = p1["input_names"].toArray();
  ASSERT_EQ(in1.size(), 88);
  EXPECT_EQ(in1[0].toString(), "I001");
  EXPECT_EQ(in1[32].toString(), "P1IN");
  EXPECT_EQ(in1[56].toString(), "O065");  // inputs 57..88 share output names 65..96
  EXPECT_EQ(presets[1].toObject()["input_names"].toArray()[32].toString(), "P2IN");
  EXPECT_EQ(presets[10].toObject()["name"].toString(), "Last Elevn");
  const QJsonArray outputs = o["output_names"].toArray();
  ASSERT_EQ(outputs.size(), 96);
  EXPECT_EQ(outputs[95].toString(), "O096");
}

TEST_F(CliTest, InfoOnBareImage) {
  const CliRun r = RunWith({"info", "--json", Write("bare.bin", CraftImage())});
  ASSERT_EQ(r.code, 0);
  const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_TRUE(o["bare"].toBool());
  EXPECT_EQ(o["size"].toInt(), 16384);
  EXPECT_EQ(o["checksum"].toString(), "00000000");
  EXPECT_EQ(o["serial"].toInt(), 0);
  EXPECT_EQ(o["model"].toString(), "Unknown");
  EXPECT_EQ(o["software_version"].toString(), "00.00");
}

TEST_F(CliTest, InfoTextIsReadable) {
  const CliRun r = RunWith({"info", Write("a.PRE", CraftPresetFile(CraftImage()))});
  ASSERT_EQ(r.code, 0);
  EXPECT_TRUE(r.out.contains("QLX-A"));
  EXPECT_TRUE(r.out.contains("Preset 11 - Last Elevn"));
  EXPECT_TRUE(r.out.contains("ToneGenerator"));
}

TEST_F(CliTest, BadFilesFailWithTheMessages) {
  const CliRun missing = RunWith({"info", dir_.filePath("nope.PRE")});
  EXPECT_EQ(missing.code, 1);
  EXPECT_TRUE(missing.err.contains("was not found."));
  EXPECT_TRUE(missing.err.contains("This is not a valid configuration-file!"));
  EXPECT_TRUE(missing.out.isEmpty());

  QByteArray bad = CraftPresetFile(CraftImage());
  bad[5] = 'x';
  const CliRun crc = RunWith({"info", Write("bad.PRE", bad)});
  EXPECT_EQ(crc.code, 1);
  EXPECT_TRUE(crc.err.contains("CRC Error. "));

  const CliRun size = RunWith({"info", Write("short.PRE", QByteArray(100, 'x'))});
  EXPECT_EQ(size.code, 1);
  EXPECT_FALSE(size.err.contains("CRC"));
  EXPECT_TRUE(size.err.contains("This is not a valid configuration-file!"));
}

TEST_F(CliTest, UsageErrorsExitTwo) {
  EXPECT_EQ(RunWith({}).code, 2);
  EXPECT_EQ(RunWith({"frobnicate"}).code, 2);
  EXPECT_EQ(RunWith({"info"}).code, 2);
  EXPECT_EQ(RunWith({"info", "a", "b"}).code, 2);
  EXPECT_EQ(RunWith({"info", "a", "--xml"}).code, 2);
  EXPECT_EQ(RunWith({"upgrade", "only-one"}).code, 2);
  const CliRun help = RunWith({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(help.out.contains("upgrade IN OUT"));
  EXPECT_EQ(RunWith({"--version"}).out.trimmed(), "vt-zizara-cli 1.2");
}

TEST_F(CliTest, UpgradeKeepsTrailerAndSealsAFreshCrc) {
  const QByteArray in = CraftPresetFile(CraftImage(), {.serial = 31000, .model_index = 9,
                                                      .version = 0x0380});
  const QString out_path = dir_.filePath("up.PRE");
  const CliRun r = RunWith({"upgrade", Write("in.PRE", in), out_path});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  QFile f(out_path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray out = f.readAll();
  ASSERT_EQ(out.size(), 16416);
  EXPECT_EQ(out.mid(0x4000, 0x1C), in.mid(0x4000, 0x1C));  // trailer unchanged up to the CRC
  EXPECT_EQ(testing::Le32(out, 0x401C), testing::Crc(out.left(0x401C) + QByteArray(4, '\0')));
  EXPECT_EQ(static_cast<std::uint8_t>(out[0x3F9F]), '8');  // the upgrade happened
  EXPECT_EQ(static_cast<std::uint8_t>(out[0x1101]), 4);   // routing kept
  const CliRun again = RunWith({"info", "--json", out_path});
  EXPECT_EQ(again.code, 0);

  EXPECT_EQ(RunWith({"upgrade", dir_.filePath("missing.PRE"), out_path}).code, 1);
  EXPECT_EQ(RunWith({"upgrade", Write("in2.PRE", in), "/nonexistent-dir/x.PRE"}).code, 1);
}

TEST_F(CliTest, NeverSavesOverOrReadsFromAPipe) {
  const QString good = Write("good.PRE", CraftPresetFile(CraftImage()));
  const QString fifo = dir_.filePath("pipe");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const CliRun save = RunWith({"upgrade", good, fifo});
  EXPECT_EQ(save.code, 1);
  EXPECT_TRUE(save.err.contains(fifo + " is not a regular file.")) << save.err.toStdString();
  struct stat st {};
  ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  const CliRun read = RunWith({"info", fifo});
  EXPECT_EQ(read.code, 1);
  EXPECT_TRUE(read.err.contains("is not a regular file.")) << read.err.toStdString();
  EXPECT_EQ(RunWith({"info", "/dev/zero"}).code, 1);
  EXPECT_EQ(RunWith({"macro", "/dev/zero"}).code, 1);
}

TEST_F(CliTest, FoldersWrongSizesAndTrailersAreNamed) {
  const CliRun folder = RunWith({"info", dir_.path()});
  EXPECT_EQ(folder.code, 1);
  EXPECT_TRUE(folder.err.contains("is a folder")) << folder.err.toStdString();

  const CliRun size = RunWith({"info", Write("odd.PRE", QByteArray(16400, 'x'))});
  EXPECT_EQ(size.code, 1);
  EXPECT_TRUE(size.err.contains("16400 bytes")) << size.err.toStdString();

  QByteArray bad = CraftPresetFile(CraftImage());
  bad[0x4001] = 'X';  // the magic, not the data
  const CliRun trailer = RunWith({"info", Write("magic.PRE", bad)});
  EXPECT_EQ(trailer.code, 1);
  EXPECT_TRUE(trailer.err.contains("wrong trailer")) << trailer.err.toStdString();
  EXPECT_FALSE(trailer.err.contains("CRC"));
}

TEST_F(CliTest, StrayArgumentsAreUsageErrors) {
  EXPECT_EQ(RunWith({"--version", "extra"}).code, 2);
  EXPECT_EQ(RunWith({"/i", "extra"}).code, 2);
  EXPECT_EQ(RunWith({"--port", "", "identify"}).code, 2);
  const CliRun unknown = RunWith({"--frob", "info", "x"});
  EXPECT_EQ(unknown.code, 2);
  EXPECT_TRUE(unknown.err.contains("unknown option: --frob")) << unknown.err.toStdString();
}

TEST_F(CliTest, StartUpBytesOutsideTheListsAreShownAsTheyAre) {
  QByteArray image = CraftImage();
  image[0x3F93] = static_cast<char>(11);   // presets are 0..10
  image[0x3F81] = static_cast<char>(200);  // far past the last application
  const CliRun r = RunWith({"info", Write("odd.PRE", CraftPresetFile(image))});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains(QRegularExpression("Start-up preset:\\s+11 \\(out of range\\)\n")))
      << r.out.toStdString();
  EXPECT_TRUE(
      r.out.contains(QRegularExpression("Start-up application:\\s+200 \\(out of range\\)\n")))
      << r.out.toStdString();
  EXPECT_FALSE(r.out.contains("Preset 1)"));  // no name of the item it would fall back to
}

TEST_F(CliTest, AssociationsAreReportedAndRegisteredByType) {
  const QByteArray old_data = qgetenv("XDG_DATA_HOME");
  const QByteArray old_config = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.filePath("data")));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.filePath("config")));
  CliEnvironment env = DefaultEnvironment();
  env.gui_program = Write("vt-zizara", "#!/bin/sh\n");
  QFile::setPermissions(env.gui_program, QFile::permissions(env.gui_program) | QFile::ExeOwner);
  const auto run = [&](const QStringList& args) { return testing::RunCliCaptured(args, env); };
  const auto json = [&] {
    return QJsonDocument::fromJson(run({"associations", "--json"}).out.toUtf8()).object();
  };

  EXPECT_EQ(json(), QJsonObject({{"PRE", false}, {"MCR", false}, {"CDP", false}}));
  ASSERT_EQ(run({"associate", "PRE,cdp"}).code, 0);
  EXPECT_EQ(json(), QJsonObject({{"PRE", true}, {"MCR", false}, {"CDP", true}}));
  EXPECT_EQ(run({"associations"}).out, "PRE: true\nMCR: false\nCDP: true\n");
  ASSERT_EQ(run({"associate", "PRE", "--remove"}).code, 0);
  EXPECT_EQ(json(), QJsonObject({{"PRE", false}, {"MCR", false}, {"CDP", true}}));

  EXPECT_EQ(run({"associate", "PRE,TXT"}).code, 2);
  EXPECT_EQ(run({"associate"}).code, 2);
  env.gui_program = dir_.filePath("missing/vt-zizara");
  const CliRun missing = run({"associate", "MCR"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_TRUE(missing.err.contains("was not found")) << missing.err.toStdString();
  EXPECT_FALSE(json()["MCR"].toBool());

  for (const auto& [name, value] : {std::pair{"XDG_DATA_HOME", old_data},
                                    std::pair{"XDG_CONFIG_HOME", old_config}}) {
    value.isNull() ? qunsetenv(name) : qputenv(name, value);
  }
}

TEST(TerminalTextTest, ControlCharactersAreEscaped) {
  EXPECT_EQ(ForTerminal(QStringLiteral("a\x1b[2Jb\x7f")), "a\\x1b[2Jb\\x7f");
  EXPECT_EQ(ForTerminal(QStringLiteral("Preset 1 - ok")), "Preset 1 - ok");
}

}  // namespace
}  // namespace zizara::cli

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "cli/cli.h"
#include "sim/in_memory_transport.h"
#include "sim/qlx_instrument.h"
#include "support/cli_runner.h"
#include "support/crafted_files.h"

namespace zizara::cli {
namespace {

using testing::CliRun;
using testing::CraftImage;
using testing::CraftPresetFile;

// Preset 3's option section, laid out by hand.
constexpr int kPreset3 = 0x2500 + 0x180;

QByteArray OptionsImage() {
  QByteArray img = CraftImage();
  img[0x010D] = 5;                  // backlight
  img[0x3280] = 0x40;               // theme of preset 11
  img[kPreset3 + 0x2C + 8] = 0x00;  // PPM 5 byte 0: width field 0, underload Black
  img[kPreset3 + 0x2C + 9] = static_cast<char>(0xD6);  // bit 7, trace 5 (Aqua), colour 6 (White)
  img[kPreset3 + 0x2C + 10] = 0x70;                    // PPM 6: width field 3, space
  img[kPreset3 + 0x2C + 11] = 0x07;                    // colour past the list
  img[0x1400 + 2 * 0x80 + 0x0E] = 0;                   // Leq(m) sum code 0
  img[0x1400 + 2 * 0x80 + 0x0F] = 0;                   // graph code 0
  img[0x1400 + 2 * 0x80 + 0x11] = 94;                  // trip level out of range
  img[kPreset3 + 0x11] = 0x35;                         // scale number byte
  img[kPreset3 + 0x0F] = 0x48;                         // peak hold and dual
  img[0x0800] = 'Y';  // scale 4 name "XY12", first character in the low byte
  img[0x0801] = 'X';
  img[0x0802] = '2';
  img[0x0803] = '1';
  img[kPreset3] = 0x05;      // slow and compressor off
  img[kPreset3 + 0x21] = 3;  // scope colour Aqua
  return img;
}

class CliOptionsTest : public ::testing::Test {
 protected:
  QString Write(const QString& name, const QByteArray& bytes) {
    return testing::WriteFile(QDir(dir_.path()), name, bytes);
  }
  QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  CliRun Run(const QStringList& args) {
    CliEnvironment env;
    env.make_transport = [this](const QString&) {
      return std::make_unique<sim::InMemoryTransport>(instrument_.get());
    };
    env.working_dir = dir_.path();
    return testing::RunCliCaptured(args, env);
  }
  QTemporaryDir dir_;
  std::unique_ptr<sim::QlxInstrument> instrument_;
};

TEST_F(CliOptionsTest, OptionsJsonShowsWhatTheWindowsShow) {
  const QString path = Write("a.PRE", CraftPresetFile(OptionsImage(), {.version = 0x0500}));
  const CliRun r = Run({"options", path, "--preset", "3", "--json"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_EQ(o["preset"].toInt(), 3);
  EXPECT_EQ(o["preset_name"].toString(), QString(QByteArray(10, '\0')));
  EXPECT_EQ(o["startup_preset"].toInt(), 4);
  EXPECT_EQ(o["startup_application"].toString(), "ToneGenerator");
  EXPECT_TRUE(o["lock_code"].isNull());  // 5.00 has no lock code
  EXPECT_TRUE(o["write_protect"].isNull());
  EXPECT_EQ(o["lcd"].toObject()["backlight"].toInt(), 5);
  const QJsonArray theme = o["lcd"].toObject()["theme"].toArray();
  ASSERT_EQ(theme.size(), 11);
  EXPECT_FALSE(theme[0].toBool());
  EXPECT_TRUE(theme[10].toBool());
  const QJsonArray ppm = o["ppm"].toArray();
  ASSERT_EQ(ppm.size(), 32);
  const QJsonObject p5 = ppm[4].toObject();
  EXPECT_EQ(p5["channel"].toInt(), 5);
  EXPECT_EQ(p5["colour"].toString(), "White");
  EXPECT_EQ(p5["trace_colour"].toString(), "Aqua");
  EXPECT_EQ(p5["underload_colour"].toString(), "Black");
  EXPECT_EQ(p5["width"].toString(), "Wide");
  EXPECT_FALSE(p5["space"].toBool());
  const QJsonObject p6 = ppm[5].toObject();
  EXPECT_EQ(p6["width"].toString(), "Wide");
  EXPECT_TRUE(p6["space"].toBool());
  EXPECT_TRUE(p6["colour"].isNull());
  const QJsonObject leqm = o["leqm"].toObject();
  EXPECT_EQ(leqm["graph_colour"].toString(), "Green");
  EXPECT_EQ(leqm["sum_colour"].toString(), "Yellow");
  EXPECT_EQ(leqm["trip_level"].toInt(), 85);
  const QJsonObject scale = o["scale"].toObject();
  EXPECT_EQ(scale["number"].toInt(), 4);
  EXPECT_EQ(scale["name"].toString(), "XY12");
  EXPECT_TRUE(scale["peak_hold"].toBool());
  EXPECT_TRUE(scale["dual"].toBool());
  const QJsonObject phase = o["phase"].toObject();
  EXPECT_EQ(phase["integration"].toString(), "Slow");
  EXPECT_EQ(phase["scope_colour"].toString(), "Aqua");
  EXPECT_TRUE(phase["compressor_off"].toBool());
}

TEST_F(CliOptionsTest, OptionsByVersion) {
  const QString old_file = Write("old.PRE", CraftPresetFile(OptionsImage(), {.version = 0x04FF}));
  CliRun r = Run({"--json", "options", old_file, "--preset", "3"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_TRUE(o["startup_preset"].isNull());
  EXPECT_TRUE(o["startup_application"].isNull());
  EXPECT_EQ(o["scale"].toObject()["number"].toInt(), 6);  // low nibble before 5.00
  const QString new_file = Write("new.PRE", CraftPresetFile(OptionsImage()));
  r = Run({"options", new_file, "--json"});
  o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_EQ(o["preset"].toInt(), 1);
  EXPECT_EQ(o["preset_name"].toString(), "First One ");
  EXPECT_EQ(o["lock_code"].toString(), "4711");
  EXPECT_TRUE(o["write_protect"].toBool());
  r = Run({"options", new_file});
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(r.out.contains("4711 (write protection on)")) << r.out.toStdString();
  EXPECT_EQ(Run({"options", new_file, "--preset", "12"}).code, 2);
}

TEST_F(CliOptionsTest, SetWritesAFreshFile) {
  const QString in = Write("in.PRE", CraftPresetFile(OptionsImage()));
  const QString out = QDir(dir_.path()).filePath("out.PRE");
  const CliRun r =
      Run({"set", in, out, "--preset", "3", "ppm.1-8.width=X-Wide", "preset_name=Studio A",
           "write_protect=off", "leqm.trip_level=78", "phase.integration=Fast", "lcd.theme.1=on"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QByteArray f = Read(out);
  ASSERT_EQ(f.size(), 16416);
  QByteArray zeroed = f;
  testing::PutLe32(zeroed, 0x401C, 0);
  EXPECT_EQ(testing::Le32(f, 0x401C), testing::Crc(zeroed));
  for (int c = 0; c < 8; ++c) {
    EXPECT_EQ(static_cast<std::uint8_t>(f[kPreset3 + 0x2C + 2 * c]) & 0xE0, 0x20) << c;
  }
  EXPECT_EQ(static_cast<std::uint8_t>(f[kPreset3 + 0x2C + 16]), 0);  // channel 9 untouched
  EXPECT_EQ(f.mid(0x2480 + 20, 2), QByteArray("tS"));
  EXPECT_EQ(f[0x3F9F], '8');
  EXPECT_EQ(f[0x1400 + 2 * 0x80 + 0x11], 78);
  EXPECT_EQ(f[kPreset3], 0x06);
  EXPECT_EQ(f[0x0100], 0x40);
  EXPECT_EQ(f.mid(0x400C, 4), QByteArray("\x39\x30\0\0", 4));  // identity kept
}

TEST_F(CliOptionsTest, SetRefusesAndWritesNothing) {
  const QString in = Write("in.PRE", CraftPresetFile(OptionsImage(), {.version = 0x0500}));
  const QString out = QDir(dir_.path()).filePath("out.PRE");
  CliRun r = Run({"set", in, out, "preset_name=Bob's"});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("The text contains one or more illegal characters."));
  r = Run({"set", in, out, "ppm.1.width=Huge"});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("Normal, Wide, X-Wide")) << r.err.toStdString();
  r = Run({"set", in, out, "volume=3"});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("volume")) << r.err.toStdString();
  r = Run({"set", in, out, "lock_code=12345"});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("Please enter a four digit number."));
  r = Run({"set", in, out, "scale.dual=on", "lock_code=1234"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("05.00")) << r.err.toStdString();
  EXPECT_FALSE(QFileInfo::exists(out));
  EXPECT_EQ(Run({"set", in, out}).code, 2);
}

TEST_F(CliOptionsTest, DiffByMeaning) {
  QByteArray a_img = OptionsImage();
  const QString a = Write("a.PRE", CraftPresetFile(a_img));
  QByteArray b_img = a_img;
  b_img[0x3EFF] = 0x55;                                  // a byte no setting reads
  b_img[kPreset3 + 0x2C + 9] = static_cast<char>(0x56);  // only trace bit 7 changes
  const QString same = Write("same.PRE", CraftPresetFile(b_img));
  CliRun r = Run({"diff", a, same});
  EXPECT_EQ(r.code, 0) << r.out.toStdString();
  EXPECT_TRUE(r.out.isEmpty());

  b_img[kPreset3 + 0x100 + 5] = 6;  // preset 3: output 5 (element 4) from input 7
  b_img[0x1101] = 0x04;
  const QString b = Write("b.PRE", CraftPresetFile(b_img, {.serial = 777}));
  QByteArray a2 = a_img;
  a2[kPreset3 + 0x100 + 5] = 4;
  const QString a_routed = Write("a2.PRE", CraftPresetFile(a2));
  r = Run({"diff", a_routed, b});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out,
            "serial=777 (was 12345)\n"
            "Preset 3: output 5 \"O005\" from input 7 \"I007\" (was input 5 \"I005\")\n");
  r = Run({"diff", a_routed, b, "--json"});
  EXPECT_EQ(r.code, 1);
  const QJsonArray list = QJsonDocument::fromJson(r.out.toUtf8()).array();
  ASSERT_EQ(list.size(), 2);
  EXPECT_TRUE(list[0].toObject()["preset"].isNull());
  EXPECT_EQ(list[0].toObject()["setting"].toString(), "serial");
  EXPECT_EQ(list[1].toObject()["preset"].toInt(), 3);
  EXPECT_EQ(list[1].toObject()["setting"].toString(), "routing.5");
  EXPECT_EQ(list[1].toObject()["old"].toString(), "5");
  EXPECT_EQ(list[1].toObject()["new"].toString(), "7");

  EXPECT_EQ(Run({"diff", a, QDir(dir_.path()).filePath("missing.PRE")}).code, 2);
  EXPECT_EQ(Run({"diff", a}).code, 2);
}

TEST_F(CliOptionsTest, DiffAgainstTheInstrument) {
  instrument_ = std::make_unique<sim::QlxInstrument>();
  QByteArray img = instrument_->Image().ToByteArray();
  img[0x1101] = static_cast<char>(img[0x1101] ^ 0x01);
  const QString a = Write("a.PRE", CraftPresetFile(img));
  const CliRun r = Run({"--port", "sim", "diff", a, "--instrument", "--json"});
  EXPECT_EQ(r.code, 1) << r.err.toStdString();
  const QJsonArray list = QJsonDocument::fromJson(r.out.toUtf8()).array();
  bool routing = false;
  for (const auto& d : list) {
    routing |=
        d.toObject()["setting"].toString() == "routing.1" && d.toObject()["preset"].toInt() == 1;
  }
  EXPECT_TRUE(routing) << r.out.toStdString();
}

}  // namespace
}  // namespace zizara::cli

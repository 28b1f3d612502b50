#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <bitset>

#include "core/config/memory_map.h"
#include "core/config/preset_file.h"
#include "core/config/preset_options.h"
#include "sim/control_server.h"
#include "sim/qlx_instrument.h"
#include "sim/sim_app.h"
#include "sim/sim_test_util.h"

namespace zizara::sim {
namespace {

namespace cfg = core::config;
using testing::Bench;
using testing::Bytes;
using testing::WaitFor;

QByteArray Swapped(QByteArray text) {
  for (int i = 0; i + 1 < text.size(); i += 2) {
    std::swap(text[i], text[i + 1]);
  }
  return text;
}

TEST(InstrumentMemoryTest, HoldsSerialVersionTextAndImageWhereTheProgramLooks) {
  QlxInstrument sim;
  EXPECT_EQ(sim.ReadMemory(0x1F80, 2), Bytes({0x30, 0x39}));
  EXPECT_EQ(sim.ReadMemory(0x18010, 24), Swapped("SOFTWARE VERSION 5.10   "));
  EXPECT_EQ(sim.ReadMemory(0x1C002, 2), Bytes({0x30, 0x39}));
  EXPECT_EQ(sim.Image().ToByteArray(), sim.ReadMemory(0x1C000, 16384));
}

TEST(InstrumentMemoryTest, SoftwarePatternDependsOnlyOnTheSerialAndModel) {
  QlxOptions a;
  a.serial = 12345;
  QlxOptions b;
  b.serial = 12346;
  EXPECT_EQ(QlxInstrument(a).ReadMemory(0, 4096), QlxInstrument(a).ReadMemory(0, 4096));
  EXPECT_NE(QlxInstrument(a).ReadMemory(0, 4096), QlxInstrument(b).ReadMemory(0, 4096));

  // 1024 blocks for most models, 2048 for the QLX-M+.
  QlxInstrument plain(a);
  EXPECT_NE(plain.ReadMemory(0x1FF80, 128), QByteArray(128, '\0'));
  EXPECT_EQ(plain.ReadMemory(0x20000, 128), QByteArray(128, '\0'));
  QlxOptions m_plus;
  m_plus.model = QStringLiteral("QLX-M+");
  QlxInstrument big(m_plus);
  EXPECT_EQ(big.serial(), 8000);
  EXPECT_NE(big.ReadMemory(0x3FF80, 128), QByteArray(128, '\0'));
  EXPECT_EQ(big.ReadMemory(0x40000, 128), QByteArray(128, '\0'));
}

TEST(InstrumentMemoryTest, DefaultImageNamesChannelsAndPresets) {
  const cfg::ConfigurationImage image = DefaultImage(12345);
  EXPECT_EQ(image.Word(cfg::offsets::kSerialNumber), 12345);
  const cfg::ChannelNames names = cfg::ChannelNamesFromImage(image, cfg::MemoryMap::ForPreset(4));
  EXPECT_EQ(names.inputs[0], "IN01");
  EXPECT_EQ(names.inputs[40], "IN41");
  EXPECT_EQ(names.inputs[87], "IN88");
  EXPECT_EQ(names.outputs[63], "OU64");
  // Outputs 65..96 share their name words with inputs 57..88.
  EXPECT_EQ(names.outputs[95], "IN88");
  EXPECT_EQ(cfg::PresetName(image, 10), "PRESET 11 ");
  // Unroutable outputs hold the "nothing" byte rather than input 1.
  EXPECT_EQ(image.ArrayElement(cfg::MemoryMap::ForPreset(0).RoutingTable, 62), kNoRouting);
}

TEST(InstrumentMemoryTest, IllegalCrosspointTable) {
  EXPECT_FALSE(IsLegalCrosspoint(57, 65));
  EXPECT_FALSE(IsLegalCrosspoint(88, 96));
  EXPECT_TRUE(IsLegalCrosspoint(57, 66));
  EXPECT_FALSE(IsLegalCrosspoint(49, 1));
  EXPECT_FALSE(IsLegalCrosspoint(50, 96));
  EXPECT_FALSE(IsLegalCrosspoint(1, 63));
  EXPECT_FALSE(IsLegalCrosspoint(88, 64));
  EXPECT_FALSE(IsLegalCrosspoint(55, 49));
  EXPECT_FALSE(IsLegalCrosspoint(56, 50));
  EXPECT_TRUE(IsLegalCrosspoint(54, 49));
  EXPECT_FALSE(IsLegalCrosspoint(1, 55));
  EXPECT_FALSE(IsLegalCrosspoint(48, 62));
  EXPECT_FALSE(IsLegalCrosspoint(52, 58));
  EXPECT_FALSE(IsLegalCrosspoint(56, 56));
  EXPECT_TRUE(IsLegalCrosspoint(51, 55));
  EXPECT_TRUE(IsLegalCrosspoint(55, 62));
  EXPECT_TRUE(IsLegalCrosspoint(57, 55));
  EXPECT_FALSE(IsLegalCrosspoint(0, 1));
  EXPECT_FALSE(IsLegalCrosspoint(89, 1));
  EXPECT_FALSE(IsLegalCrosspoint(1, 97));
}

TEST(InstrumentMemoryTest, LoadsBareImagesAndPresetFilesAndKeepsItsOwnSerial) {
  QTemporaryDir dir;
  cfg::ConfigurationImage image = DefaultImage(999);
  image.SetByte(0x200, 0x42);
  const QString bare = dir.filePath(QStringLiteral("bare.bin"));
  const QString full = dir.filePath(QStringLiteral("full.PRE"));
  const QString broken = dir.filePath(QStringLiteral("broken.PRE"));
  const QString tiny = dir.filePath(QStringLiteral("tiny.bin"));
  cfg::PresetTrailer trailer;
  QByteArray file = cfg::BuildPresetFile(image, trailer);
  QString error;
  ASSERT_TRUE(WriteFileAtomically(bare, image.ToByteArray(), &error));
  ASSERT_TRUE(WriteFileAtomically(full, file, &error));
  file[0x300] = static_cast<char>(file[0x300] ^ 1);
  ASSERT_TRUE(WriteFileAtomically(broken, file, &error));
  ASSERT_TRUE(WriteFileAtomically(tiny, "abc", &error));

  for (const QString& path : {bare, full}) {
    QlxOptions options;
    options.image_file = path;
    const auto sim = QlxInstrument::Create(options, &error);
    ASSERT_NE(sim, nullptr) << error.toStdString();
    EXPECT_EQ(sim->Image().Byte(0x200), 0x42);
    EXPECT_EQ(sim->Image().Word(cfg::offsets::kSerialNumber), 12345);
  }
  // A device would be read for ever; it is refused before any byte is read.
  for (const QString& path : {broken, tiny, dir.filePath(QStringLiteral("missing")),
                              QStringLiteral("/dev/zero")}) {
    QlxOptions options;
    options.image_file = path;
    error.clear();
    EXPECT_EQ(QlxInstrument::Create(options, &error), nullptr);
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
  }
}

TEST(InstrumentMemoryTest, StatsJsonHasTheDocumentedShape) {
  QlxStats stats;
  stats.bytes_in = 7;
  stats.bytes_out = 9;
  stats.blocks_read = 2;
  stats.blocks_written = 1;
  stats.restarts = 3;
  stats.download_mode = true;
  stats.keys = {5, 1};
  EXPECT_EQ(StatsToJson(stats),
            "{\"bytes_in\":7,\"bytes_out\":9,\"blocks_read\":2,\"blocks_written\":1,"
            "\"restarts\":3,\"download_mode\":true,\"keys\":[5,1]}");
}

// Reads a few blocks through a faulty line and returns everything received.
QByteArray FaultyRun(std::uint32_t seed, double drop, double corrupt) {
  QlxOptions options;
  options.seed = seed;
  options.drop = drop;
  options.corrupt = corrupt;
  Bench bench(options);
  QByteArray all;
  for (int i = 0; i < 4; ++i) {
    all += bench.Exchange(Bytes({0xA6, 0x6D, 0x00, 0x00, 0x00, 0x07, 0x11, 0x80}));
  }
  return all;
}

TEST(FaultInjectionTest, SameSeedSameFaults) {
  const QByteArray clean = FaultyRun(1, 0.0, 0.0);
  ASSERT_EQ(clean.size(), 4 * (3 + 1 + 129));
  const QByteArray first = FaultyRun(42, 0.05, 0.05);
  EXPECT_EQ(first, FaultyRun(42, 0.05, 0.05));
  EXPECT_NE(first, FaultyRun(43, 0.05, 0.05));
  EXPECT_NE(first, clean);
  EXPECT_LT(first.size(), clean.size());
}

TEST(FaultInjectionTest, CertainFaultsDropAllOrFlipExactlyOneBitEach) {
  EXPECT_EQ(FaultyRun(7, 1.0, 0.0), QByteArray());
  const QByteArray clean = FaultyRun(7, 0.0, 0.0);
  const QByteArray flipped = FaultyRun(7, 0.0, 1.0);
  ASSERT_EQ(flipped.size(), clean.size());
  for (int i = 0; i < clean.size(); ++i) {
    const auto diff = static_cast<std::uint8_t>(clean[i] ^ flipped[i]);
    ASSERT_EQ(std::bitset<8>(diff).count(), 1U) << "byte " << i;
  }
}

TEST(FaultInjectionTest, HangUpClosesTheLineOnceAfterNBytes) {
  QlxOptions options;
  options.hangup_after_bytes = 3;
  Bench bench(options);
  int failed = 0;
  QObject::connect(&bench.line, &core::link::Transport::Failed, [&] { ++failed; });
  EXPECT_EQ(bench.line.Write(Bytes({0xA6, 0x6D, 0x00, 0x00, 0x00})), 5);
  EXPECT_FALSE(bench.line.IsOpen());
  EXPECT_EQ(bench.line.Write(Bytes({0x1A})), -1);
  EXPECT_EQ(bench.instrument.stats().bytes_in, 3);
  EXPECT_EQ(failed, 0);  // never from inside Write
  ASSERT_TRUE(WaitFor([&] { return failed > 0; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(failed, 1);
  EXPECT_FALSE(bench.line.Open(nullptr));
}

TEST(FaultInjectionTest, LatencyDelaysAnswersAndKeepsTheirOrder) {
  QlxOptions options;
  options.latency_ms = 30;
  Bench bench(options);
  QElapsedTimer clock;
  clock.start();
  bench.line.Write(Bytes({0xA6, 0x6D}));
  bench.line.Write(".LP9,-\r");
  EXPECT_EQ(bench.line.BytesAvailable(), 0);
  ASSERT_TRUE(WaitFor([&] { return bench.line.BytesAvailable() >= 9; }));
  EXPECT_GE(clock.elapsed(), 30);
  EXPECT_EQ(bench.line.Read(100), "\x05.AP9,1\r\n");
}

TEST(InMemoryTransportTest, ReadyReadIsQueuedAndCoalesced) {
  Bench bench;
  int ready = 0;
  QObject::connect(&bench.line, &core::link::Transport::ReadyRead, [&] { ++ready; });
  bench.line.Write(Bytes({0xA6, 0x6D}));
  bench.line.Write(Bytes({0x1A}));
  EXPECT_EQ(bench.line.BytesAvailable(), 2);
  EXPECT_EQ(ready, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(ready, 1);
  bench.line.Clear(true, true);
  EXPECT_EQ(bench.line.BytesAvailable(), 0);
}

TEST(InMemoryTransportTest, ClosedLineRefusesWritesAndHearsNothing) {
  QlxOptions options;
  options.boot_ms = 0;
  Bench bench(options);
  bench.line.Write(Bytes({0xA6, 0x6D, 0x0E}));
  bench.line.Close();
  EXPECT_EQ(bench.line.Write(Bytes({0x1A})), -1);
  EXPECT_TRUE(WaitFor([&] { return bench.instrument.EventLog().back().contains("powerup"); }));
  EXPECT_EQ(bench.line.BytesAvailable(), 0);
  ASSERT_TRUE(bench.line.Open(nullptr));
  EXPECT_EQ(bench.Exchange(Bytes({0x1A})), Bytes({0x00}));
}

TEST(ControlTest, CommandsAnswerOneLineEach) {
  QTemporaryDir dir;
  QlxInstrument sim;
  InMemoryTransport line(&sim);
  line.Open(nullptr);
  ControlServer control(&sim);

  EXPECT_EQ(control.Execute("route 7 2"), "ok");
  EXPECT_EQ(line.Read(100), ".AA7,2\r\n.U\r\n");
  EXPECT_EQ(sim.Routing(7), 2);
  EXPECT_FALSE(sim.RoutedRemotely(7));
  EXPECT_TRUE(control.Execute("route 63 1").startsWith("error: "));
  EXPECT_TRUE(control.Execute("route x 1").startsWith("error: "));
  EXPECT_EQ(line.BytesAvailable(), 0);

  EXPECT_EQ(control.Execute("update"), "ok");
  EXPECT_EQ(control.Execute("powerup"), "ok");
  EXPECT_EQ(line.Read(100), ".U\r\n.P\r\n");

  const QString dump = dir.filePath(QStringLiteral("my dump.bin"));
  EXPECT_EQ(control.Execute("dump " + dump.toUtf8()), "ok");
  QFile file(dump);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), sim.Image().ToByteArray());

  EXPECT_EQ(control.Execute("stats"), sim.StatsJson());
  EXPECT_TRUE(control.Execute("reboot").startsWith("error: "));
}

TEST(SimArgumentsTest, AcceptsEveryOption) {
  SimAppOptions options;
  QString error;
  const QStringList args = {"--link",
                            "/tmp/qlx",
                            "--model",
                            "QLX-BC",
                            "--version=5.00",
                            "--bios",
                            "--no-dot",
                            "--image",
                            "a.PRE",
                            "--baud",
                            "9600",
                            "--latency-ms",
                            "5",
                            "--boot-ms",
                            "0",
                            "--drop",
                            "0.25",
                            "--corrupt",
                            "1",
                            "--hangup-after-bytes",
                            "100",
                            "--seed",
                            "4294967295",
                            "--dump",
                            "d",
                            "--stats",
                            "s",
                            "--log",
                            "l",
                            "--control",
                            "c",
                            "--strict",
                            "w.txt"};
  ASSERT_EQ(ParseSimArguments(args, &options, &error), ParseOutcome::kRun) << error.toStdString();
  EXPECT_EQ(options.link, "/tmp/qlx");
  EXPECT_EQ(options.instrument.model, "QLX-BC");
  EXPECT_EQ(options.instrument.version, "5.00");
  EXPECT_TRUE(options.instrument.bios);
  EXPECT_TRUE(options.instrument.no_dot);
  EXPECT_EQ(options.instrument.image_file, "a.PRE");
  EXPECT_EQ(options.instrument.baud, 9600);
  EXPECT_EQ(options.instrument.latency_ms, 5);
  EXPECT_EQ(options.instrument.boot_ms, 0);
  EXPECT_DOUBLE_EQ(options.instrument.drop, 0.25);
  EXPECT_DOUBLE_EQ(options.instrument.corrupt, 1.0);
  EXPECT_EQ(options.instrument.hangup_after_bytes, 100);
  EXPECT_EQ(options.instrument.seed, 4294967295U);
  EXPECT_EQ(options.dump_file, "d");
  EXPECT_EQ(options.stats_file, "s");
  EXPECT_EQ(options.log_file, "l");
  EXPECT_EQ(options.control_path, "c");
  EXPECT_EQ(options.instrument.strict_file, "w.txt");
  // Every rule the witness knows is listed in the help.
  for (const QString& rule : StrictWitness::Rules()) {
    EXPECT_TRUE(SimUsage().contains(rule)) << rule.toStdString();
  }
}

TEST(SimArgumentsTest, DefaultsMatchTheDocumentedOnes) {
  SimAppOptions options;
  QString error;
  ASSERT_EQ(ParseSimArguments({"--link", "x"}, &options, &error), ParseOutcome::kRun);
  EXPECT_EQ(options.instrument.serial, 12345);
  EXPECT_EQ(options.instrument.version, "5.10");
  EXPECT_EQ(options.instrument.boot_ms, 300);
  EXPECT_EQ(options.instrument.baud, 0);
  EXPECT_EQ(options.instrument.hangup_after_bytes, -1);
  EXPECT_FALSE(options.instrument.seed.has_value());
  EXPECT_EQ(ParseSimArguments({"--help"}, &options, &error), ParseOutcome::kHelp);
}

TEST(SimArgumentsTest, RefusesBadValuesWithAReason) {
  const QList<QStringList> bad = {
      {},
      {"--serial", "5"},
      {"--link"},
      {"--link", "x", "--serial", "65536"},
      {"--link", "x", "--serial", "12a"},
      {"--link", "x", "--model", "QLX-Z"},
      {"--link", "x", "--serial", "1", "--model", "QLX-A"},
      {"--link", "x", "--version", "five"},
      {"--link", "x", "--baud", "-1"},
      {"--link", "x", "--drop", "1.5"},
      {"--link", "x", "--corrupt", "nan"},
      {"--link", "x", "--hangup-after-bytes", "-2"},
      {"--link", "x", "--seed", "4294967296"},
      {"--link", "x", "--bios=1"},
      {"--link", "x", "--frobnicate"},
      {"--link", "x", "--strict"},
      {"--link", "x", "--strict="},
      {"--link", "x", "stray"},
  };
  for (const QStringList& args : bad) {
    SimAppOptions options;
    QString error;
    EXPECT_EQ(ParseSimArguments(args, &options, &error), ParseOutcome::kError)
        << args.join(' ').toStdString();
    EXPECT_FALSE(error.isEmpty()) << args.join(' ').toStdString();
  }
}

}  // namespace
}  // namespace zizara::sim

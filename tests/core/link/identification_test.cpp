#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include "core/config/preset_options.h"
#include "core/link/serial_transport.h"
#include "sim/pty_server.h"
#include "support/link_fixture.h"

namespace zizara::core::link {
namespace {

using testing::LinkFixture;

sim::QlxOptions WithSerial(int serial) {
  sim::QlxOptions o;
  o.serial = serial;
  return o;
}

TEST(GetInstrumentIdTest, SerialSelectsModelAndBackupSize) {
  struct Case {
    int serial;
    int model;
    const char* blocks;
    const char* text;
  };
  for (const Case& c : {Case{8000, 4, "2048", "8000"}, Case{7999, 3, "1024", "7999"},
                        Case{27000, 0, "1024", "27000"}, Case{12345, 5, "1024", "12345"},
                        Case{0xFFFF, 0, "1024", "-1"}}) {
    LinkFixture f(WithSerial(c.serial));
    ASSERT_TRUE(f.engine.GetInstrumentID()) << c.serial;
    EXPECT_EQ(f.record.model_index, c.model) << c.serial;
    EXPECT_EQ(f.record.backup_block_count, c.blocks);
    EXPECT_EQ(f.record.serial_text, c.text);
    EXPECT_FALSE(f.record.bios_mode);
  }
}

TEST(GetInstrumentIdTest, OldLayoutReadsTheSerialFromTheImage) {
  LinkFixture f(WithSerial(12345));
  config::ConfigurationImage image = f.instrument.Image();
  image.SetByte(0x113, '0');
  image.SetWord(2, 31000);
  f.instrument.SetImage(image);
  ASSERT_TRUE(f.engine.GetInstrumentID());
  EXPECT_EQ(f.record.layout_marker, '0');
  EXPECT_EQ(f.record.serial_number, 31000);
  EXPECT_EQ(f.record.model_index, 9);
}

TEST(GetInstrumentIdTest, BiosModeStillCountsAsFound) {
  sim::QlxOptions o;
  o.bios = true;
  LinkFixture f(o);
  EXPECT_TRUE(f.engine.GetInstrumentID());
  EXPECT_TRUE(f.record.bios_mode);
  EXPECT_TRUE(f.state.bios_mode);
  EXPECT_TRUE(f.prompts.records().empty());
}

TEST(ProbeRemoteTest, IdentityRepliesFillTheRecord) {
  LinkFixture f;
  EXPECT_TRUE(f.identification.ProbeRemote());
  EXPECT_TRUE(f.record.remote_capable);
  EXPECT_EQ(f.record.software_version_code, 0x0510);
  EXPECT_EQ(f.record.identity[1], 12345);
  EXPECT_EQ(f.record.identity[8], 88);
  EXPECT_TRUE(f.state.handshake_active);  // stays set after a successful probe
}

TEST(ProbeRemoteTest, SilentTextProtocolMeansNotRemoteCapable) {
  sim::QlxOptions o;
  o.no_dot = true;
  LinkFixture f(o);
  EXPECT_FALSE(f.identification.ProbeRemote());
  EXPECT_FALSE(f.record.remote_capable);
  EXPECT_FALSE(f.state.handshake_active);
  EXPECT_EQ(f.transport.Sent().count(".LI"), 9);  // three attempts of three queries
}

TEST(ProbeRemoteTest, SkipFlags) {
  LinkFixture f;
  f.flags.skip_probe_once = true;
  EXPECT_FALSE(f.identification.ProbeRemote());
  EXPECT_FALSE(f.flags.skip_probe_once);
  f.flags.command_line = true;
  EXPECT_FALSE(f.identification.ProbeRemote());
  EXPECT_TRUE(f.transport.writes.isEmpty());
}

TEST(IdentityParseTest, IndexesAndRemoteFlag) {
  InstrumentRecord r;
  ParseIdentityValues(".AI1,31234.AI2,99.AI7,1280.AI18,5.AI6,-3", r);
  EXPECT_TRUE(r.remote_capable);
  EXPECT_EQ(r.serial_number, 31234);
  EXPECT_EQ(r.software_version_code, 0x0500);
  EXPECT_FALSE(r.identity_known[2]);
  EXPECT_EQ(r.identity[6], -3);
}

TEST(SoftwareVersionTest, SwappedTextIsFoundAndParsed) {
  QByteArray mem(64, '\0');
  const QByteArray text = "SOFTWARE VERSION 5.00      ";
  QByteArray swapped;
  for (int i = 0; i + 1 < text.size(); i += 2) swapped += text.mid(i + 1, 1) + text.mid(i, 1);
  mem.replace(10, swapped.size(), swapped);
  EXPECT_DOUBLE_EQ(ParseSoftwareVersionText(mem), 5.0);
  EXPECT_DOUBLE_EQ(ParseSoftwareVersionText(QByteArray(64, 'x')), 1.0);
}

TEST(SoftwareVersionTest, ReadFromMemoryWhenNotRemoteCapable) {
  sim::QlxOptions o;
  o.no_dot = true;
  o.version = "3.80";
  LinkFixture f(o);
  EXPECT_DOUBLE_EQ(f.identification.ReadSoftwareVersion(), 3.8);
  EXPECT_EQ(f.record.software_version_code, 256);
  EXPECT_EQ(f.engine_state.kind, TransferKind::kIdle);
}

TEST(ConnectTest, NormalInstrument) {
  LinkFixture f;
  const ConnectOutcome out = f.identification.Connect(false, false);
  EXPECT_EQ(out.result, ConnectResult::kConnected);
  EXPECT_EQ(out.connected_panel, "QLX-A");
  EXPECT_EQ(out.serial_panel, "Serial No.: 12345");
  EXPECT_TRUE(out.upload_enabled);
  EXPECT_TRUE(out.remote_enabled);
  EXPECT_TRUE(out.download_enabled);
  EXPECT_TRUE(f.prompts.records().empty());
  EXPECT_EQ(f.progress.shown, 0);  // identification runs quietly
}

TEST(ConnectTest, BiosModeSaysSoAndDisablesUpload) {
  sim::QlxOptions o;
  o.bios = true;
  LinkFixture f(o);
  const ConnectOutcome out = f.identification.Connect(false, false);
  EXPECT_EQ(out.result, ConnectResult::kBiosMode);
  EXPECT_EQ(out.connected_panel, "BIOS-mode");
  EXPECT_EQ(out.serial_panel, "Serial No.: Unknown");
  EXPECT_FALSE(out.upload_enabled);
  EXPECT_EQ(f.prompts.Texts(), QStringList{"The connected QLX is in BIOS mode.\rUpload is disabled."});
}

TEST(ConnectTest, UnsupportedModelBySerial) {
  LinkFixture f(WithSerial(20000));
  const ConnectOutcome out = f.identification.Connect(false, false);
  EXPECT_EQ(out.result, ConnectResult::kUnsupported);
  EXPECT_FALSE(out.upload_enabled || out.download_enabled || out.remote_enabled);
  EXPECT_EQ(f.prompts.Texts(),
            QStringList{QString::fromUtf8("The connected QLX-B is not supported by this program.\r"
                                          "Please see helpfile for suported QLX\u00b4s.")});
}

TEST(ConnectTest, NoInstrumentIsQuiet) {
  LinkFixture f;
  QObject::disconnect(&f.instrument, nullptr, &f.memory_transport, nullptr);
  const ConnectOutcome out = f.identification.Connect(false, false);
  EXPECT_EQ(out.result, ConnectResult::kNotConnected);
  EXPECT_EQ(out.connected_panel, "Not Connected");
  EXPECT_TRUE(f.prompts.records().empty());
}

TEST(RestartTest, SendsRestartAndReconnects) {
  LinkFixture f;
  f.identification.Connect(false, false);
  f.transport.writes.clear();
  const ConnectOutcome out = f.identification.RestartInstrument();
  EXPECT_EQ(f.instrument.stats().restarts, 1);
  EXPECT_TRUE(f.transport.Sent().startsWith(QByteArray("0\xA6\x6D\x0E", 4)));
  EXPECT_EQ(out.result, ConnectResult::kConnected);
}

// The serial port over a pseudo-terminal, noting when each write was made.
class TimedSerialTransport : public SerialTransport {
 public:
  using SerialTransport::SerialTransport;
  qint64 Write(const QByteArray& bytes) override {
    writes.append({clock.elapsed(), bytes});
    return SerialTransport::Write(bytes);
  }
  QElapsedTimer clock;
  QList<QPair<qint64, QByteArray>> writes;
};

TEST(RestartTest, OnARealLineTheZeroLeavesBeforeTheBreakAndThePausesHold) {
  // A real port keeps written bytes in buffers that the restart clears: the "0" used to be
  // thrown away there, and only a pseudo-terminal shows it.
  testing::StrictCheck strict;
  sim::QlxInstrument instrument(strict.Apply({}));
  sim::PtyServer server(&instrument);
  QTemporaryDir dir;
  QString error;
  ASSERT_TRUE(server.Start(dir.filePath("qlx"), &error)) << error.toStdString();
  TimedSerialTransport transport(dir.filePath("qlx"));
  transport.clock.start();
  LinkState state;
  InstrumentRecord record;
  EngineState engine_state;
  ConnectFlags flags;
  ui_port::ScriptedPrompts prompts;
  ui_port::NullProgress progress;
  InstrumentLink link(transport, state, prompts);
  DriverEngine engine(link, engine_state, record, progress);
  Identification identification(engine, flags);
  ASSERT_TRUE(link.OpenLink(&error)) << error.toStdString();
  ASSERT_EQ(identification.Connect(false, false).result, ConnectResult::kConnected);
  const qsizetype first = transport.writes.size();

  EXPECT_EQ(identification.RestartInstrument().result, ConnectResult::kConnected);
  EXPECT_EQ(instrument.stats().restarts, 1);

  // The program's side: "0", at least 100 ms, the break, the restart, at least 1500 ms.
  const auto& w = transport.writes;
  ASSERT_GE(w.size(), first + 4);
  EXPECT_EQ(w[first].second, "0");
  EXPECT_EQ(w[first + 1].second, QByteArray("\xA6\x6D", 2));
  EXPECT_EQ(w[first + 2].second, QByteArray(1, '\x0E'));
  EXPECT_GE(w[first + 1].first - w[first].first, 100);
  EXPECT_GE(w[first + 3].first - w[first + 2].first, 1500);

  // The instrument's side: the same bytes arrived, in this order, nothing between them.
  QByteArray seen;
  for (const auto& [ms, byte] : instrument.witness()->history()) {
    seen.append(static_cast<char>(byte));
  }
  EXPECT_TRUE(seen.contains(QByteArray("0\xA6\x6D\x0E", 4))) << seen.toHex(' ').toStdString();
  EXPECT_TRUE(instrument.witness()->deviations().isEmpty());
}

TEST(PortErrorTest, FirstLineFollowsTheCause) {
  EXPECT_EQ(PortProblemText("ttyX", DiagnosePort("/nonexistent/ttyX")),
            "ttyX cannot be opened: there is no such device.");
  EXPECT_EQ(DiagnosePort("/dev/null"), PortProblem::kNotSerial);
  EXPECT_EQ(PortProblemText("ttyX", PortProblem::kBusy),
            "ttyX is not available, it could be in use by another application.");
  EXPECT_EQ(PortProblemText("ttyX", PortProblem::kPermissionDenied),
            "ttyX cannot be opened: permission denied.");
}

TEST(PortErrorTest, JoiningAGroupIsSuggestedOnlyWhenItHelps) {
  const QString root_only = PermissionHintFor("/dev/ttyS9", 0600, 0);
  EXPECT_FALSE(root_only.contains("usermod")) << root_only.toStdString();
  EXPECT_TRUE(root_only.contains("udev rule"));
  EXPECT_FALSE(PermissionHintFor("/dev/ttyS9", 0660, 0).contains("usermod"));
  EXPECT_FALSE(PermissionHintFor("/dev/ttyS9", 0640, 20).contains("usermod"));
  EXPECT_TRUE(PermissionHintFor("/dev/ttyS9", 0660, 20).contains("usermod -aG"));
}

}  // namespace
}  // namespace zizara::core::link

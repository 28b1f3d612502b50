#include "core/remote/macro_runner.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimer>

#include "core/link/instrument_link.h"
#include "core/matrix/xpoint_cells.h"
#include "core/remote/remote_test_support.h"
#include "core/ui_port/prompts.h"
#include "sim/in_memory_transport.h"
#include "sim/qlx_instrument.h"
#include "support/strict_sim.h"

namespace zizara::core::remote {
namespace {

using testing::RecordingListener;
using testing::RecordingView;

// Passes bytes to the simulator but can lose some writes (so their replies never come) and
// can run a hook after each write, to act while the runner waits.
class LossyTransport : public link::Transport {
 public:
  explicit LossyTransport(link::Transport* inner) : inner_(inner) {
    connect(inner, &Transport::ReadyRead, this, &Transport::ReadyRead);
  }
  bool Open(QString* error) override { return inner_->Open(error); }
  void Close() override { inner_->Close(); }
  bool IsOpen() const override { return inner_->IsOpen(); }
  QString Name() const override { return inner_->Name(); }
  qint64 Write(const QByteArray& bytes) override {
    writes.append(bytes);
    if (after_write) QTimer::singleShot(0, this, after_write);
    if (lose > 0) {
      --lose;
      return bytes.size();
    }
    return inner_->Write(bytes);
  }
  QByteArray Read(qint64 max_bytes) override { return inner_->Read(max_bytes); }
  qint64 BytesAvailable() const override { return inner_->BytesAvailable(); }
  void Clear(bool input, bool output) override { inner_->Clear(input, output); }

  QList<QByteArray> writes;
  int lose = 0;
  std::function<void()> after_write;

 private:
  link::Transport* inner_;
};

struct RunnerFixture {
  RunnerFixture() {
    QString error;
    link.OpenLink(&error);
    remote.connected = true;
    // Outside a macro each received line is interpreted on its own, as in the program.
    QObject::connect(&link, &link::InstrumentLink::LineReceived,
                     [this](const QByteArray& text) { parser.Parse(text); });
    runner.set_timing({1, 40, 11});
  }

  MacroEnd Run(const QByteArray& text) { return runner.Run(ParseMacroText(text)); }

  testing::StrictCheck strict;
  sim::QlxInstrument instrument{strict.Apply({})};
  sim::InMemoryTransport memory{&instrument};
  LossyTransport transport{&memory};
  link::LinkState state;
  ui_port::ScriptedPrompts prompts;
  link::InstrumentLink link{transport, state, prompts};
  link::InstrumentRecord record;
  RemoteState remote;
  MacroState macro;
  RecordingListener listener;
  DotMessageParser parser{remote, macro, record, prompts, listener};
  RecordingView view;
  matrix::XPointCells cells;
  matrix::CellImages images;
  MacroRunner runner{link, remote, macro, parser, view, [this](const QByteArray& line) {
                       return matrix::IsRoutingLineAllowed(line, cells, images);
                     }};
};

TEST(MacroRunnerTest, LinesAreSentAndConfirmedByAFAndN) {
  RunnerFixture f;
  EXPECT_EQ(f.Run("MacroName=Mix\r\n; routes\r\n.SA5,12\r\n.SA5,49\r\n.SA200,1\n.SP9,3\n"),
            MacroEnd::kFinished);
  EXPECT_EQ(f.transport.writes,
            QList<QByteArray>({".SA5,12\r", ".SA5,49\r", ".SA200,1\r", ".SP9,3\r"}));
  EXPECT_EQ(f.view.outcomes,
            QStringList({".SA5,12 sends=1 confirmed", ".SA5,49 sends=1 confirmed",
                         ".SA200,1 sends=1 confirmed", ".SP9,3 sends=1 confirmed"}));
  // Routings a macro sets count as set by this program; the refusal flashes.
  EXPECT_EQ(f.listener.events, QStringList({"xpoint 5 12 remote", "flash 5 49", "preset 3"}));
  EXPECT_EQ(f.instrument.Routing(1, 5), 12);
  EXPECT_EQ(f.instrument.CurrentPreset(), 3);

  EXPECT_EQ(f.view.window, QStringList({"VT-Zizara is executing the macro called: Mix",
                                        "Press CTRL+F12 to stop the Macro.", "Macro Started..."}));
  EXPECT_EQ(f.view.panel, QStringList({"Macro Started... [Mix]", "Macro finished..."}));
  EXPECT_EQ(f.listener.third.first(), QStringLiteral("Executing: .AA5,12"));
  EXPECT_EQ(f.view.hidden, 1);
  EXPECT_FALSE(f.macro.running);
  EXPECT_FALSE(f.state.handshake_active);
}

TEST(MacroRunnerTest, FileWithoutCommandsFinishesAtOnce) {
  RunnerFixture f;
  EXPECT_EQ(f.Run("; nothing to send\r\nSA1,2\r\n"), MacroEnd::kFinished);
  EXPECT_TRUE(f.transport.writes.isEmpty());
  EXPECT_EQ(f.view.panel, QStringList({"Macro Started... [Unnamed Macro]", "Macro finished..."}));
  EXPECT_EQ(f.view.shown, 1);
}

TEST(MacroRunnerTest, LostRepliesAreRetriedUpToElevenSends) {
  RunnerFixture f;
  f.transport.lose = 2;
  f.Run(".SA1,3\r\n");
  EXPECT_EQ(f.view.outcomes, QStringList({".SA1,3 sends=3 confirmed"}));

  RunnerFixture g;
  g.transport.lose = 100;
  g.runner.set_timing({1, 3, 11});
  EXPECT_EQ(g.Run(".SA1,3\r\n.SA2,3\r\n"), MacroEnd::kFinished);  // it goes on by itself
  EXPECT_EQ(g.transport.writes.size(), 22);
  EXPECT_EQ(g.view.outcomes,
            QStringList({".SA1,3 sends=11 unconfirmed", ".SA2,3 sends=11 unconfirmed"}));
}

TEST(MacroRunnerTest, StopDuringAWaitSendsNothingMoreAndLeavesRepliesAlone) {
  RunnerFixture f;
  f.runner.set_timing({1, 200000, 11});  // only the stop can end this wait
  f.transport.lose = 1;
  f.transport.after_write = [&f] { f.macro.stop_requested = true; };
  EXPECT_EQ(f.Run(".SA1,3\r\n.SA2,3\r\n"), MacroEnd::kStopped);
  EXPECT_EQ(f.transport.writes, QList<QByteArray>({".SA1,3\r"}));
  EXPECT_EQ(f.view.panel.last(), QStringLiteral("Macro stopped by user..."));

  // A reply already collected when the stop comes is not interpreted.
  RunnerFixture g;
  g.transport.after_write = [&g] { g.macro.stop_requested = true; };
  g.Run(".SA1,3\r\n");
  EXPECT_TRUE(g.listener.events.isEmpty());
}

TEST(MacroRunnerTest, UpdateFromTheInstrumentStopsAfterTheCurrentLine) {
  RunnerFixture f;
  f.transport.after_write = [&f] {
    if (f.transport.writes.size() == 1) f.instrument.SendUpdate();
  };
  // The line's own reply is lost, so only the update joins the line buffer; interpreting it
  // asks and requests the stop.
  f.transport.lose = 1;
  f.runner.set_timing({1, 40, 1});
  EXPECT_EQ(f.Run(".SA1,3\r\n.SA2,3\r\n"), MacroEnd::kStopped);
  EXPECT_EQ(f.transport.writes.size(), 1);
  EXPECT_TRUE(f.macro.stop_requested);
  EXPECT_EQ(f.prompts.Texts(), QStringList({kUpdateQuestion}));
}

TEST(MacroRunnerTest, LockedRowsAreSkippedAndDisconnectionSendsOnce) {
  RunnerFixture f;
  matrix::SetReportedXPoint(f.cells, f.images, 4, 11, true);
  ASSERT_TRUE(matrix::ToggleLock(f.cells, f.images, 4));
  f.Run(".SA5,12\r\n.SA6,12\r\n");
  EXPECT_EQ(f.transport.writes, QList<QByteArray>({".SA6,12\r"}));
  EXPECT_EQ(f.view.outcomes,
            QStringList({".SA5,12 sends=0 unconfirmed", ".SA6,12 sends=1 confirmed"}));

  RunnerFixture g;
  g.remote.connected = false;
  g.transport.lose = 100;
  g.runner.set_timing({1, 200000, 11});
  EXPECT_EQ(g.Run(".SA1,3\r\n.SA2,3\r\n"), MacroEnd::kFinished);
  EXPECT_EQ(g.transport.writes.size(), 2);
}

TEST(MacroRunnerTest, WorkBetweenLinesMayTakeTheLineAndLaterLinesAreStillConfirmedOnce) {
  RunnerFixture f;
  int calls = 0;
  f.runner.set_between_lines([&f, &calls] {
    ++calls;
    // As the X-point reading after a preset change does: replies are interpreted one by one.
    f.state.handshake_active = false;
    f.link.SendText(".LA1,-\r");
    f.link.WaitForLine(100);
  });
  EXPECT_EQ(f.Run(".SP9,2\r\n.SA1,3\r\n.SA2,3\r\n"), MacroEnd::kFinished);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(f.view.outcomes, QStringList({".SP9,2 sends=1 confirmed", ".SA1,3 sends=1 confirmed",
                                          ".SA2,3 sends=1 confirmed"}));
  EXPECT_FALSE(f.state.handshake_active);

  // A stop ends the run without it.
  RunnerFixture g;
  int g_calls = 0;
  g.runner.set_between_lines([&g_calls] { ++g_calls; });
  g.transport.after_write = [&g] { g.macro.stop_requested = true; };
  g.Run(".SA1,3\r\n.SA2,3\r\n");
  EXPECT_EQ(g_calls, 0);
}

TEST(MacroRunnerTest, UnreadableFileIsReportedAndNothingRuns) {
  RunnerFixture f;
  QTemporaryDir dir;
  EXPECT_EQ(f.runner.RunFile(dir.filePath("gone.MCR")), MacroEnd::kNotRun);
  ASSERT_EQ(f.prompts.records().size(), 1u);
  EXPECT_EQ(f.prompts.records()[0].kind, ui_port::PromptKind::kError);
  EXPECT_FALSE(f.macro.running);
  EXPECT_EQ(f.view.shown, 0);
  EXPECT_TRUE(IsMacroFileName(QStringLiteral("/x/a.mcr")));
  EXPECT_FALSE(IsMacroFileName(QStringLiteral("/x/a.mcr.txt")));
}

}  // namespace
}  // namespace zizara::core::remote

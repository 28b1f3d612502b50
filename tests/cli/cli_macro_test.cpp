#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "cli/cli.h"
#include "sim/in_memory_transport.h"
#include "sim/qlx_instrument.h"
#include "support/cli_runner.h"
#include "support/strict_sim.h"

namespace zizara::cli {
namespace {

using testing::CliRun;

class CliMacroTest : public ::testing::Test {
 protected:
  CliRun Run(const QStringList& args) {
    CliEnvironment env;
    env.make_transport = [this](const QString&) {
      return std::make_unique<sim::InMemoryTransport>(&instrument_);
    };
    return testing::RunCliCaptured(args, env);
  }
  QString Write(const QByteArray& text) {
    const QString path = dir_.filePath("test.MCR");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return path;
  }

  QTemporaryDir dir_;
  testing::StrictCheck strict_;
  sim::QlxInstrument instrument_{strict_.Apply({})};
};

TEST_F(CliMacroTest, RunsEachLineAndPrintsItsOutcome) {
  const CliRun r = Run({"--port", "sim", "macro", Write("MacroName=Cli\r\n.SA5,12\r\n.SP9,2\r\n")});
  ASSERT_EQ(r.code, kExitOk) << r.err.toStdString();
  EXPECT_EQ(r.out, QStringLiteral(".SA5,12: done\n"
                                  ".SP9,2: done\n"));
  EXPECT_TRUE(r.err.contains("the macro called: Cli")) << r.err.toStdString();
  EXPECT_TRUE(r.err.endsWith("Macro finished...\n")) << r.err.toStdString();
  EXPECT_EQ(instrument_.Routing(1, 5), 12);
  EXPECT_EQ(instrument_.CurrentPreset(), 2);
}

TEST_F(CliMacroTest, EachReplyLetterIsReportedAndOnlyAllDoneExitsZero) {
  // CR-only line ends, as some editors write them.
  const CliRun r = Run({"--port", "sim", "macro", Write(".SA5,12\r.SA5,49\r.SA200,1\r")});
  EXPECT_EQ(r.code, kExitFailed);
  EXPECT_EQ(r.out, QStringLiteral(".SA5,12: done\n"
                                  ".SA5,49: refused (output 5, input 49)\n"
                                  ".SA200,1: not done\n"));
  EXPECT_TRUE(r.err.contains("3 lines: 1 done, 1 refused (.F), 1 not done (.N)"))
      << r.err.toStdString();
}

TEST_F(CliMacroTest, MissingOrUnreadableFileFails) {
  EXPECT_EQ(Run({"--port", "sim", "macro"}).code, kExitUsage);
  const CliRun missing = Run({"--port", "sim", "macro", dir_.filePath("none.MCR")});
  EXPECT_EQ(missing.code, kExitFailed);
  EXPECT_TRUE(missing.err.contains("none.MCR"));
}

}  // namespace
}  // namespace zizara::cli

#include <gtest/gtest.h>

#include "sim/module_codes.h"
#include "sim/qlx_instrument.h"
#include "sim/sim_app.h"
#include "sim/sim_test_util.h"

namespace zizara::sim {
namespace {

using testing::Bench;

TEST(LiveCommandsTest, GainIsStoredClampedAndReportedBack) {
  Bench bench;
  EXPECT_EQ(bench.Line(".LG5,-"), ".AG5,0\r\n");
  EXPECT_EQ(bench.Line(".SG5,-35"), ".AG5,-35\r\n");
  EXPECT_EQ(bench.Line(".LG5,-"), ".AG5,-35\r\n");
  EXPECT_EQ(bench.Line(".SG5,400"), ".AG5,210\r\n");
  EXPECT_EQ(bench.instrument.Gain(5), 210);
  EXPECT_EQ(bench.Line(".SG0,1"), ".NG0,1\r\n");
}

TEST(LiveCommandsTest, MouseCommandsAreLoggedWithTheirPosition) {
  Bench bench;
  EXPECT_EQ(bench.Line(".Sa12,34"), QByteArray());
  const QByteArray last = bench.instrument.EventLog().back();
  EXPECT_TRUE(last.contains("\"event\":\"mouse\"")) << last.constData();
  EXPECT_TRUE(last.contains("\"command\":\"Sa\""));
  EXPECT_TRUE(last.contains("\"x\":12"));
  EXPECT_TRUE(last.contains("\"y\":34"));
}

TEST(LiveCommandsTest, ModuleOptionSetsTheIdentityCodes) {
  SimAppOptions options;
  QString error;
  ASSERT_EQ(
      ParseSimArguments({"--link", "x", "--modules", "11,22,A2,0/10,11,0,ff"}, &options, &error),
      ParseOutcome::kRun)
      << error.toStdString();
  EXPECT_EQ(options.instrument.input_modules, (std::array<int, 4>{0x11, 0x22, 0xA2, 0}));
  EXPECT_EQ(options.instrument.output_modules, (std::array<int, 4>{0x10, 0x11, 0, 0xFF}));
  Bench bench(options.instrument);
  EXPECT_EQ(bench.Line(".LI11,-"), ".AI11,34.AI12,162.AI13,0.AI14,16.AI15,17.AI16,0.AI17,255\r\n");

  for (const QString bad : {"11,22,33/1,2,3,4", "11,22,33,44", "1,2,3,4/1,2,3,x",
                            "1,2,3,4/1,2,3,100", "1,2,3,4/1,2,3,-1", "1,2,3,4/1,2,3,4/5"}) {
    EXPECT_EQ(ParseSimArguments({"--link", "x", "--modules", bad}, &options, &error),
              ParseOutcome::kError)
        << bad.toStdString();
    EXPECT_TRUE(error.contains("--modules"));
  }
}

}  // namespace
}  // namespace zizara::sim

#include <gtest/gtest.h>

#include "core/config/memory_map.h"
#include "sim/qlx_instrument.h"
#include "sim/sim_test_util.h"

namespace zizara::sim {
namespace {

using testing::Bench;
using testing::Bytes;

TEST(TextProtocolTest, IdentityListsComeAsOneLineOfKnownValues) {
  Bench bench;
  // What a probe sends: a CR in front and after.
  EXPECT_EQ(bench.Exchange("\r.LI1,-\r"),
            ".AI1,12345.AI3,258.AI4,3.AI5,260.AI6,1.AI7,1296.AI8,88.AI9,96.AI10,17\r\n");
  EXPECT_EQ(bench.Exchange("\r.LI11,-\r"),
            ".AI11,17.AI12,18.AI13,0.AI14,33.AI15,33.AI16,34.AI17,0\r\n");
  EXPECT_EQ(bench.Exchange("\r.LI21,-\r"), "\r\n");
  EXPECT_EQ(bench.Line(".LI-5,-"), ".AI1,12345.AI3,258.AI4,3\r\n");
}

TEST(TextProtocolTest, IdentityFollowsTheOptions) {
  QlxOptions options;
  options.model = QStringLiteral("qlx-m+");
  options.version = QStringLiteral("5.00");
  options.hardware_id = 77;
  options.output_modules = {1, 2, 3, 4};
  Bench bench(options);
  EXPECT_EQ(bench.Line(".LI1,-"),
            ".AI1,8000.AI3,258.AI4,77.AI5,260.AI6,1.AI7,1280.AI8,88.AI9,96.AI10,17\r\n");
  EXPECT_EQ(bench.Line(".LI14,-"), ".AI14,1.AI15,2.AI16,3.AI17,4\r\n");
}

TEST(TextProtocolTest, PresetQueryAndSelection) {
  Bench bench;
  EXPECT_EQ(bench.Line(".LP9,-"), ".AP9,1\r\n");
  EXPECT_EQ(bench.Line(".SP9,11"), ".AP9,11\r\n");
  EXPECT_EQ(bench.Line(".LP9,-"), ".AP9,11\r\n");
  EXPECT_EQ(bench.Line(".SP9,12"), ".NP9,12\r\n");
  EXPECT_EQ(bench.Line(".SP9,0"), ".NP9,0\r\n");
  EXPECT_EQ(bench.instrument.CurrentPreset(), 11);
  // Other parameters of the same verbs are not understood.
  EXPECT_EQ(bench.Line(".LP1,-"), ".NP1,-\r\n");
  EXPECT_EQ(bench.Line(".SP3,1"), ".NP3,1\r\n");
}

TEST(TextProtocolTest, RoutingListShowsTheDefaultDiagonalWhereLegal) {
  Bench bench;
  EXPECT_EQ(bench.Line(".LA1,-"),
            ".AA1,1.AA2,2.AA3,3.AA4,4.AA5,5.AA6,6.AA7,7.AA8,8.AA9,9.AA10,10\r\n");
  EXPECT_EQ(bench.Line(".LA41,-"),
            ".AA41,41.AA42,42.AA43,43.AA44,44.AA45,45.AA46,46.AA47,47.AA48,48.AA49,0.AA50,0\r\n");
  EXPECT_EQ(bench.Line(".LA61,-"),
            ".AA61,61.AA62,62.AA63,0.AA64,0.AA65,65.AA66,66.AA67,67.AA68,68.AA69,69.AA70,70\r\n");
  EXPECT_EQ(bench.Line(".LA91,-"), ".AA91,0.AA92,0.AA93,0.AA94,0.AA95,0.AA96,0\r\n");
}

TEST(TextProtocolTest, SetRoutingKeepsTheStarAndTheListShowsIt) {
  Bench bench;
  EXPECT_EQ(bench.Line(".SA5,3*"), ".AA5,3*\r\n");
  EXPECT_EQ(bench.Line(".SA6,4"), ".AA6,4\r\n");
  EXPECT_EQ(bench.Line(".LA1,-"),
            ".AA1,1.AA2,2.AA3,3.AA4,4.AA5,3*.AA6,4.AA7,7.AA8,8.AA9,9.AA10,10\r\n");
  // Set again without the star: no longer marked as remote.
  EXPECT_EQ(bench.Line(".SA5,3"), ".AA5,3\r\n");
  EXPECT_FALSE(bench.instrument.RoutedRemotely(5));
}

TEST(TextProtocolTest, SetRoutingRefusesIllegalAndOutOfRangeCrosspoints) {
  Bench bench;
  EXPECT_EQ(bench.Line(".SA63,1*"), ".FA63,1\r\n");
  EXPECT_EQ(bench.Line(".SA65,57"), ".FA65,57\r\n");
  EXPECT_EQ(bench.Line(".SA1,49"), ".FA1,49\r\n");
  EXPECT_EQ(bench.Line(".SA97,1*"), ".NA97,1\r\n");
  EXPECT_EQ(bench.Line(".SA1,89"), ".NA1,89\r\n");
  EXPECT_EQ(bench.Line(".SA0,1"), ".NA0,1\r\n");
  EXPECT_EQ(bench.Line(".SA1"), ".NA1\r\n");
  EXPECT_EQ(bench.instrument.Routing(1), 1);
  EXPECT_EQ(bench.instrument.Routing(65), 65);
}

TEST(TextProtocolTest, RoutingLandsInTheCurrentPresetsTableWithSwappedBytes) {
  Bench bench;
  EXPECT_EQ(bench.Line(".SP9,3"), ".AP9,3\r\n");
  EXPECT_EQ(bench.Line(".SA2,7"), ".AA2,7\r\n");
  const int table = core::config::MemoryMap::ForPreset(2).RoutingTable;
  // Element k of a byte array lives at b + (k XOR 1): output 2 is at b + 0.
  EXPECT_EQ(bench.instrument.Image().Byte(table), 6);
  EXPECT_EQ(bench.instrument.Image().Byte(table + 1), 0);
  EXPECT_EQ(bench.instrument.Routing(3, 2), 7);
  EXPECT_EQ(bench.instrument.Routing(1, 2), 2);
}

TEST(TextProtocolTest, DownloadModeHandshake) {
  Bench bench;
  EXPECT_EQ(bench.Exchange("\r.SP15,20\r"), ".AP15,20\r\n");
  EXPECT_FALSE(bench.instrument.DownloadMode());
  EXPECT_EQ(bench.Exchange("\r.SP15,21\r"), ".AP15,20.AP15,21\r\n");
  EXPECT_TRUE(bench.instrument.DownloadMode());
  EXPECT_TRUE(bench.instrument.stats().download_mode);
}

TEST(TextProtocolTest, GainIsClampedToPlusMinus210) {
  Bench bench;
  EXPECT_EQ(bench.Line(".LG3,-"), ".AG3,0\r\n");
  EXPECT_EQ(bench.Line(".SG3,250"), ".AG3,210\r\n");
  EXPECT_EQ(bench.Line(".SG3,-300"), ".AG3,-210\r\n");
  EXPECT_EQ(bench.Line(".LG3,-"), ".AG3,-210\r\n");
  EXPECT_EQ(bench.Line(".SG96,-15"), ".AG96,-15\r\n");
  EXPECT_EQ(bench.Line(".SG97,1"), ".NG97,1\r\n");
  EXPECT_EQ(bench.instrument.Gain(96), -15);
}

TEST(TextProtocolTest, FrontKeyIsAnsweredAndLogged) {
  Bench bench;
  EXPECT_EQ(bench.Line(".SP1,6"), ".AP1,6\r\n");
  EXPECT_EQ(bench.instrument.stats().keys, std::vector<int>{6});
}

TEST(TextProtocolTest, UnknownLinesGetNPlusTheirTailAndOthersSilence) {
  Bench bench;
  EXPECT_EQ(bench.Line(".XYZ1,2"), ".NYZ1,2\r\n");
  EXPECT_EQ(bench.Line("."), ".N\r\n");
  EXPECT_EQ(bench.Line(".LI1"), ".NI1\r\n");
  EXPECT_EQ(bench.Line("hello"), QByteArray());
  EXPECT_EQ(bench.Line(".Sm320,240"), QByteArray());
  EXPECT_EQ(bench.Line(".Sh0,0"), QByteArray());
  EXPECT_TRUE(bench.instrument.EventLog().back().contains(".Sh0,0"));
  EXPECT_EQ(bench.Exchange("\r\n\r\n"), QByteArray());
}

TEST(TextProtocolTest, LinesEndInCrOrLfAndMayArriveInPieces) {
  Bench bench;
  EXPECT_EQ(bench.Exchange(".LP"), QByteArray());
  EXPECT_EQ(bench.Exchange("9,-\n"), ".AP9,1\r\n");
  EXPECT_EQ(bench.Exchange(".LP9,-\r.LG1,-\n"), ".AP9,1\r\n.AG1,0\r\n");
}

TEST(TextProtocolTest, NoDotInstrumentAnswersNoTextButStillTheByteProtocol) {
  QlxOptions options;
  options.no_dot = true;
  Bench bench(options);
  EXPECT_EQ(bench.Exchange("\r.LI1,-\r"), QByteArray());
  EXPECT_EQ(bench.Line(".XYZ"), QByteArray());
  EXPECT_EQ(bench.Exchange(Bytes({0xA6, 0x6D})), Bytes({0x05}));
}

}  // namespace
}  // namespace zizara::sim

#include "core/remote/dot_messages.h"

#include <gtest/gtest.h>

#include "core/remote/remote_test_support.h"
#include "core/ui_port/prompts.h"

namespace zizara::core::remote {
namespace {

using testing::RecordingListener;
using ui_port::Answer;

struct ParserFixture {
  ParserFixture() { remote.connected = true; }
  RemoteState remote;
  MacroState macro;
  link::InstrumentRecord record;
  ui_port::ScriptedPrompts prompts;
  RecordingListener listener;
  DotMessageParser parser{remote, macro, record, prompts, listener};
};

TEST(DotMessagesTest, StarCarriesOverWithinAndAcrossTexts) {
  ParserFixture f;
  f.parser.Parse(".AA1,2*.AA3,4");
  EXPECT_EQ(f.listener.events, QStringList({"xpoint 1 2 remote", "xpoint 3 4 remote"}));
  EXPECT_FALSE(f.remote.origin_remote);  // the text was used up
  EXPECT_EQ(f.listener.panel, QStringList({".AA1,2", "*.AA3,4"}));

  f.listener.events.clear();
  f.parser.Parse(".AA5,6*");
  EXPECT_TRUE(f.remote.origin_remote);  // the leftover star ends the interpretation
  f.parser.Parse(".AA7,8");
  f.parser.Parse(".AA9,10");
  EXPECT_EQ(f.listener.events,
            QStringList({"xpoint 5 6 remote", "xpoint 7 8 remote", "xpoint 9 10 local"}));
}

TEST(DotMessagesTest, InvalidCharactersAreNotedAndTheMessageStillCounts) {
  ParserFixture f;
  f.parser.Parse("12.AA5,12");
  EXPECT_EQ(f.listener.events, QStringList({"xpoint 5 12 local"}));
  EXPECT_EQ(f.listener.log, QStringList({"Invalid Chr. Detected."}));
  EXPECT_EQ(f.listener.panel, QStringList({"12.AA5,12"}));

  // A short remainder after invalid characters is dropped, so nothing is shown.
  ParserFixture g;
  g.remote.connected = false;
  g.parser.Parse("?P");
  EXPECT_EQ(g.listener.panel, QStringList({""}));
  g.parser.Parse(".P");
  EXPECT_EQ(g.listener.panel, QStringList({"", ".P"}));
  EXPECT_TRUE(g.prompts.records().empty());
}

TEST(DotMessagesTest, RepliesBySubject) {
  ParserFixture f;
  f.parser.Parse(".AP9,3");
  f.parser.Parse(".AP8,4");  // not the current-preset parameter
  f.parser.Parse(".FA5,49.NA6,1.FP9,2.AG3,-15");
  EXPECT_EQ(f.listener.events, QStringList({"preset 3", "flash 5 49", "flash 9 2"}));

  f.remote.connected = false;
  f.listener.events.clear();
  f.parser.Parse(".AP9,5");
  EXPECT_TRUE(f.listener.events.isEmpty());
}

TEST(DotMessagesTest, PresetOutsideTheElevenChangesNothing) {
  ParserFixture f;
  f.parser.Parse(".AP9,0");
  f.parser.Parse(".AP9,12");
  f.parser.Parse(".AP9,-1.AP9,11");
  EXPECT_EQ(f.listener.events, QStringList({"preset 11"}));
}

TEST(DotMessagesTest, InputZeroReportsAnUnroutedOutput) {
  // The instrument's answer for an output that shows nothing: a valid report, not an error.
  ParserFixture f;
  f.parser.Parse(".AA91,0.AA92,0*");
  EXPECT_EQ(f.listener.events, QStringList({"xpoint 91 0 local", "xpoint 92 0 remote"}));
  EXPECT_TRUE(f.listener.log.isEmpty());
  EXPECT_TRUE(f.prompts.records().empty());
}

TEST(DotMessagesTest, IdentityRepliesFillTheRecord) {
  ParserFixture f;
  f.remote.connected = false;
  f.parser.Parse(".AI7,1280.AI1,-1.AI2,99.AI18,5.AI9,96");
  EXPECT_EQ(f.record.software_version_code, 0x0500);
  EXPECT_EQ(f.record.serial_number, -1);
  EXPECT_EQ(f.record.identity[9], 96);
  EXPECT_FALSE(f.record.identity_known[2]);
  EXPECT_TRUE(f.record.remote_capable);
}

TEST(DotMessagesTest, UnreadableNumbersEndTheTextAndResetTheOrigin) {
  ParserFixture f;
  for (const char* text : {".AA1,2.AA,5", ".AA1,2.AA3,", ".AA1,2.AA1-2,3", ".AA1,2.AA-,3",
                           ".AA1,2.AA99999999999,1", ".AA1,2.A"}) {
    f.listener.events.clear();
    f.remote.origin_remote = true;
    f.parser.Parse(text);
    EXPECT_EQ(f.listener.events, QStringList({"xpoint 1 2 remote"})) << text;
    EXPECT_FALSE(f.remote.origin_remote) << text;
  }
  f.listener.events.clear();
  f.parser.Parse(".AA-3,-4");  // minus signs are part of a number
  EXPECT_EQ(f.listener.events, QStringList({"xpoint -3 -4 local"}));
}

TEST(DotMessagesTest, UpdatesAskOnceAndDropTheRestOfTheText) {
  ParserFixture f;
  f.prompts.Queue(Answer::kYes);
  f.parser.Parse(".AA1,2.U.AA3,4");
  f.parser.Parse(".U");
  EXPECT_EQ(f.prompts.Texts(), QStringList({kUpdateQuestion}));
  EXPECT_EQ(f.listener.events, QStringList({"xpoint 1 2 local", "reload", "clear buffers"}));
  EXPECT_EQ(f.listener.log, QStringList({kUpdateLogLine}));
  EXPECT_TRUE(f.remote.reload_pending);

  // Declined: nothing is pending, so the next one asks again.
  ParserFixture g;
  g.parser.Parse(".U");
  g.parser.Parse(".U");
  EXPECT_EQ(g.prompts.records().size(), 2u);
  EXPECT_EQ(g.listener.log, QStringList({kUpdateLogLine, kUpdateLogLine}));
  EXPECT_FALSE(g.remote.reload_pending);
}

TEST(DotMessagesTest, PowerUpAsksOnlyWhileConnected) {
  ParserFixture f;
  f.remote.connected = false;
  f.parser.Parse(".P.AA1,2");
  EXPECT_TRUE(f.prompts.records().empty());
  EXPECT_EQ(f.listener.events, QStringList({"xpoint 1 2 local"}));

  f.remote.connected = true;
  f.prompts.Queue(Answer::kYes);
  f.parser.Parse(".P");
  f.parser.Parse(".U");  // the reload is already pending
  EXPECT_EQ(f.prompts.Texts(), QStringList({kPowerUpQuestion}));
  EXPECT_EQ(f.listener.log, QStringList({kPowerUpLogLine}));
}

TEST(DotMessagesTest, RunningMacroIsStoppedAndShowsWhatIsExecuted) {
  ParserFixture f;
  f.macro.running = true;
  f.macro.window_visible = true;
  f.parser.Parse(".AA1,2.AA3,4");
  EXPECT_EQ(f.listener.third, QStringList({"Executing: .AA1,2", "Executing: .AA3,4"}));

  f.parser.Parse(".U");
  EXPECT_TRUE(f.macro.stop_requested);
  f.listener.events.clear();
  f.parser.Parse(".AA5,6.AA7,8");  // a stopped macro leaves the rest of a text alone
  EXPECT_EQ(f.listener.events, QStringList({"xpoint 5 6 local"}));
}

TEST(DotMessagesTest, ReportedPresetMovesOnlyThePresetOffset) {
  config::MemoryMap map = config::MemoryMap::ForPreset(4);
  const config::MemoryMap first = MapAfterPresetReport(map, 1);
  EXPECT_EQ(first.PresetOffset, 0x1080);
  EXPECT_EQ(first.RoutingTable, map.RoutingTable);
  EXPECT_EQ(MapAfterPresetReport(map, 11).PresetOffset, 0x3300);
}

}  // namespace
}  // namespace zizara::core::remote

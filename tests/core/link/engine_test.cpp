#include <gtest/gtest.h>

#include "support/link_fixture.h"

namespace zizara::core::link {
namespace {

using testing::Bytes;
using testing::LinkFixture;

QByteArray Pattern(int size, int seed) {
  QByteArray b(size, '\0');
  for (int i = 0; i < size; ++i) b[i] = static_cast<char>((i * 31 + seed) & 0xFF);
  return b;
}

int CountToggles(const testing::RecordingTransport& t) {
  int toggles = 0;
  for (int i = 1; i < t.writes.size(); ++i) {
    if (t.writes[i] == Bytes({0x0A}) && t.writes[i - 1] == Bytes({0x1A})) ++toggles;
  }
  return toggles;
}

TEST(WriteBlocksTest, WholeImageInConsecutiveBlocksWithProgress) {
  LinkFixture f;
  const QByteArray data = Pattern(16384, 7);
  ASSERT_TRUE(f.engine.WriteBlocks(0x1C000, data));
  EXPECT_EQ(f.instrument.ReadMemory(0x1C000, 16384), data);
  EXPECT_EQ(f.instrument.stats().blocks_written, 128);
  EXPECT_EQ(CountToggles(f.transport), 1);
  EXPECT_EQ(f.progress.maximum, 16384);
  ASSERT_EQ(f.progress.positions.size(), 129);
  for (int i = 0; i <= 128; ++i) {
    ASSERT_EQ(f.progress.positions[i], 128 * i);
  }
}

TEST(WriteBlocksTest, AlreadyUnprotectedIsNotToggled) {
  LinkFixture f;
  f.strict.Allow("protect-unread");  // the test unlocks by hand
  ASSERT_TRUE(f.link.SendBreak());
  ASSERT_TRUE(f.link.ToggleProtectFlag());
  f.transport.writes.clear();
  ASSERT_TRUE(f.engine.WriteBlocks(0x1C000, Pattern(256, 1)));
  EXPECT_EQ(CountToggles(f.transport), 0);
  EXPECT_TRUE(f.instrument.WriteProtectFlag());
}

TEST(WriteBlocksTest, AbortStopsAndStillReportsTrue) {
  LinkFixture f;
  f.engine.AddStepListener([&f](int done) {
    if (done == 128 * 3) f.engine_state.abort = true;
  });
  EXPECT_TRUE(f.engine.WriteBlocks(0x1C000, Pattern(16384, 3)));
  EXPECT_EQ(f.instrument.stats().blocks_written, 3);
}

TEST(WriteBlocksTest, SilentInstrumentEndsTheWriteAsFailed) {
  LinkFixture f;
  ASSERT_TRUE(f.link.SendBreak());
  QObject::disconnect(&f.instrument, nullptr, &f.memory_transport, nullptr);
  EXPECT_FALSE(f.engine.WriteBlocks(0x1C000, Pattern(16384, 3)));
  EXPECT_EQ(f.prompts.Texts(), QStringList{"RS232 Timeout"});
}

TEST(ReadBlocksTest, ReadsARunIntoTheBuffer) {
  LinkFixture f;
  std::vector<std::uint8_t> buffer(2048);
  ASSERT_TRUE(f.engine.ReadBlocks(Command::kReadBlock, 0x18000, 16, buffer.data()));
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(buffer.data()), 2048),
            f.instrument.ReadMemory(0x18000, 2048));
  EXPECT_EQ(f.progress.positions.back(), 2048);
}

TEST(ReadBlocksTest, StopsAtABlockThatFailsFourTimes) {
  sim::QlxOptions options;
  options.corrupt = 1.0;  // every answered byte damaged: nothing can be read
  options.seed = 5;
  LinkFixture f(options);
  std::vector<std::uint8_t> buffer(512, 0xEE);
  EXPECT_FALSE(f.engine.ReadBlocks(Command::kReadBlock, 0x1C000, 4, buffer.data()));
  EXPECT_EQ(f.progress.positions, QList<int>{0});  // never advanced
  EXPECT_LE(f.instrument.stats().blocks_read, 4);  // no endless retry of the same address
  EXPECT_EQ(buffer[0], 0xEE);
}

TEST(ModifyWordTest, ChangesTwoBytesOfTheBlock) {
  LinkFixture f;
  f.strict.Allow("protect-unread");  // the test unlocks by hand
  ASSERT_TRUE(f.link.SendBreak());
  ASSERT_TRUE(f.link.ToggleProtectFlag());  // the callers unlock the instrument first
  const QByteArray before = f.instrument.ReadMemory(0x1C000, 128);
  ASSERT_TRUE(f.engine.ModifyWord(0x1C00A, "$1234"));
  QByteArray expected = before;
  expected[10] = 0x12;
  expected[11] = 0x34;
  EXPECT_EQ(f.instrument.ReadMemory(0x1C000, 128), expected);
  EXPECT_TRUE(f.engine.caption().isEmpty());
}

TEST(ModifyWordTest, RefusesWhatItCannotDo) {
  LinkFixture f;
  EXPECT_FALSE(f.engine.ModifyWord(0x1C07F, "$1234"));  // would straddle two blocks
  EXPECT_FALSE(f.engine.ModifyWord(0x1C000, "$12G4"));
  EXPECT_EQ(f.instrument.stats().blocks_written, 0);
  int v = 0;
  EXPECT_TRUE(ParseIntegerNotation("$1c000", &v));
  EXPECT_EQ(v, 0x1C000);
  EXPECT_TRUE(ParseIntegerNotation("128", &v));
  EXPECT_EQ(v, 128);
}

TEST(PrepareTransferTest, ShowsUnlessQuietAndNeverLeavesBusySet) {
  LinkFixture f;
  EXPECT_TRUE(f.engine.PrepareTransfer(true));
  EXPECT_EQ(f.progress.shown, 1);
  EXPECT_FALSE(f.state.busy);
  f.engine_state.quiet = true;
  EXPECT_TRUE(f.engine.PrepareTransfer(false));
  EXPECT_EQ(f.progress.shown, 1);
  EXPECT_FALSE(f.engine_state.quiet);

  QObject::disconnect(&f.instrument, nullptr, &f.memory_transport, nullptr);
  EXPECT_FALSE(f.engine.PrepareTransfer(true));
  EXPECT_FALSE(f.state.busy);
  EXPECT_EQ(f.prompts.Texts(), QStringList{"No instrument found."});
}

}  // namespace
}  // namespace zizara::core::link

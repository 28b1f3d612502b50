#include "core/matrix/xpoint_macro.h"

#include <gtest/gtest.h>

#include "core/matrix/remote_sender.h"

namespace zizara::core::matrix {
namespace {

TEST(XPointMacroTest, OneLinePerSelectedRoutedOutput) {
  const CellImages images;
  XPointCells cells;
  MarkIllegalXPoints(cells, images);
  cells.Set(0, 2, images.xpoint_from_file);  // output 3 <- input 1
  cells.Set(9, 6, images.remote_xpoint);     // output 7 <- input 10
  cells.Set(11, 7, images.locked_xpoint);    // output 8: locked cells are not looked for
  cells.Set(4, 9, images.xpoint_from_file);  // output 10: the local cell wins ...
  cells.Set(5, 9, images.remote_xpoint);     // ... over remote ...
  cells.Set(6, 9, images.local_xpoint);      // ... and configuration routings
  cells.Set(3, 11, images.remote_xpoint);    // output 12 is not selected
  ChannelSelection s;
  for (int o : {2, 6, 7, 9, 95}) s.Set(Axis::kOutputs, o, true);
  EXPECT_EQ(XPointMacroText(cells, images, s, "Studio A"),
            QByteArray("MacroName=Studio A\r\n.SA3,1\r\n.SA7,10\r\n.SA10,7\r\n"));
  EXPECT_EQ(XPointMacroText(cells, images, s, QString()),
            QByteArray(".SA3,1\r\n.SA7,10\r\n.SA10,7\r\n"));
}

TEST(XPointMacroTest, FileNamesEndInMcr) {
  EXPECT_EQ(MacroFileNameForSave("/tmp/a"), "/tmp/a.MCR");
  EXPECT_EQ(MacroFileNameForSave("/tmp/a.mcr"), "/tmp/a.mcr");
  EXPECT_EQ(MacroFileNameForSave("/tmp/a.MCR"), "/tmp/a.MCR");
  EXPECT_EQ(MacroFileNameForSave("/tmp/a.txt"), "/tmp/a.txt.MCR");
}

class FakeSender : public RemoteSender {
 public:
  void SendDotCommand(const QByteArray& command) override { sent.push_back(command); }
  std::optional<QByteArray> QueryDotCommand(const QByteArray& command, int timeout) override {
    sent.push_back(command);
    timeout_ms = timeout;
    return reply;
  }
  std::vector<QByteArray> sent;
  std::optional<QByteArray> reply;
  int timeout_ms = 0;
};

TEST(OutputGainTest, RepliesInTenthsOfADecibel) {
  EXPECT_EQ(GainTextFromReply(".AG5,-15"), "-1,5");
  EXPECT_EQ(GainTextFromReply(".AG5,30\r"), "3,0");
  EXPECT_EQ(GainTextFromReply(".AG12,-5*"), "-0,5");
  EXPECT_EQ(GainTextFromReply(".AG1,0"), "0,0");
  EXPECT_EQ(GainTextFromReply(".XX5,30"), "0");  // not a gain reply
  EXPECT_EQ(GainTextFromReply(".AG5"), "0");
  EXPECT_EQ(GainTextFromReply(".AG5,abc"), "0");

  FakeSender sender;
  sender.reply = QByteArray(".AG7,-120");
  EXPECT_EQ(ReadOutputGain(&sender, 6), "-12,0");
  ASSERT_EQ(sender.sent.size(), 1u);
  EXPECT_EQ(sender.sent[0], QByteArray(".LG7,-\r"));
  EXPECT_EQ(sender.timeout_ms, 1000);
  sender.reply.reset();
  EXPECT_EQ(ReadOutputGain(&sender, 6), "0");  // no reply within the second
  EXPECT_EQ(ReadOutputGain(nullptr, 6), "0");
}

}  // namespace
}  // namespace zizara::core::matrix

#include "gui/app/command_line.h"

#include <gtest/gtest.h>

#include <QThread>
#include <QTest>

#include "gui/app/single_instance.h"
#include "gui/link/log_forms.h"

namespace zizara::gui::app {
namespace {

TEST(CommandLineTest, SwitchesInAnyCaseAreNeverPaths) {
  const CommandLine a = ParseCommandLine({"/dlm"});
  EXPECT_TRUE(a.download_mode);
  EXPECT_TRUE(a.file.isEmpty());
  EXPECT_FALSE(a.ForwardsToRunningInstance());
  EXPECT_TRUE(ParseCommandLine({"/a"}).advanced_mode);
  EXPECT_TRUE(ParseCommandLine({"/I"}).restart);
}

TEST(CommandLineTest, OnlyAbsolutePathsAreForwarded) {
  EXPECT_TRUE(ParseCommandLine({"/home/u/x.PRE"}).ForwardsToRunningInstance());
  EXPECT_FALSE(ParseCommandLine({"x.PRE"}).ForwardsToRunningInstance());
  EXPECT_FALSE(ParseCommandLine({"/A", "/home/u/x.PRE"}).ForwardsToRunningInstance());
  const CommandLine sim = ParseCommandLine({"--simulate", "--serial", "8000"});
  EXPECT_TRUE(sim.simulate);
  EXPECT_EQ(sim.simulator_options, QStringList({"--serial", "8000"}));
  EXPECT_FALSE(ParseCommandLine({"--bogus"}).error.isEmpty());
}

TEST(CommandLineTest, PortNamesAnyKindOfPort) {
  const CommandLine cl = ParseCommandLine({"--port", "tcp:rack3:4001", "/tmp/a.PRE"});
  EXPECT_EQ(cl.port, "tcp:rack3:4001");
  EXPECT_EQ(cl.file, "/tmp/a.PRE");
  EXPECT_TRUE(cl.error.isEmpty());
  EXPECT_FALSE(cl.ForwardsToRunningInstance());  // a port choice is for this start
  EXPECT_EQ(ParseCommandLine({"--port"}).error, "--port needs a port name");
}

TEST(CommandLineTest, FileKinds) {
  EXPECT_EQ(FileKind("a.pre"), ".PRE");
  EXPECT_EQ(FileKind("/x/y.Mcr"), ".MCR");
  EXPECT_EQ(FileKind("pkg.CDP"), ".CDP");
  EXPECT_EQ(FileKind("notes.txt"), "");
}

TEST(SingleInstanceTest, LongPathArrivesWhole) {
  const QString key = QStringLiteral("test-%1").arg(QCoreApplication::applicationPid());
  SingleInstance running(key);
  ASSERT_TRUE(running.Listen());
  QString received;
  QObject::connect(&running, &SingleInstance::PathReceived,
                   [&received](const QString& p) { received = p; });
  const QString path = "/" + QString(299, QLatin1Char('a')) + ".PRE";  // 300+ characters
  bool sent = false;
  QThread* sender = QThread::create([&] {
    SingleInstance second(key);
    sent = second.SendToRunning(path, 5000);
  });
  sender->start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return sender->isFinished(); }, 10000));
  sender->wait();
  delete sender;
  EXPECT_TRUE(sent);
  EXPECT_TRUE(QTest::qWaitFor([&received] { return !received.isEmpty(); }, 5000));
  EXPECT_EQ(received, path);
}

TEST(SingleInstanceTest, NobodyListening) {
  SingleInstance alone(QStringLiteral("nobody-%1").arg(QCoreApplication::applicationPid()));
  EXPECT_FALSE(alone.SendToRunning("/x.PRE", 200));
}

TEST(DebugFormTest, SumAddressesListedEveryPress) {
  link::TDebugForm form;
  form.Button1Click();
  form.Button1Click();
  ASSERT_EQ(form.DebugList()->count(), 22);
  EXPECT_EQ(form.DebugList()->item(0)->text(), "SUM: 0001D412");
  EXPECT_EQ(form.DebugList()->item(10)->text(), "SUM: 00020592");
  EXPECT_EQ(form.DebugList()->item(11)->text(), "SUM: 0001D412");
}

TEST(DotLogFormTest, LinesLoggedWhileHiddenAreKept) {
  link::TDotLogForm form;
  form.AppendLine(".AA1,2");
  form.AppendLine("Invalid Chr. Detected.");
  form.show();
  EXPECT_EQ(form.DotLines()->toPlainText(), ".AA1,2\nInvalid Chr. Detected.");
}

}  // namespace
}  // namespace zizara::gui::app

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "sim/sim_app.h"

namespace zizara::sim {
namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(MemoryDumpTest, CoversTheConfigurationOrTheLargerSoftware) {
  QTemporaryDir dir;
  SimAppOptions options;
  QString error;
  ASSERT_EQ(
      ParseSimArguments({"--link", "x", "--memory-dump", dir.filePath("m.bin")}, &options, &error),
      ParseOutcome::kRun)
      << error.toStdString();
  EXPECT_EQ(options.memory_dump_file, dir.filePath("m.bin"));

  QlxInstrument instrument;
  instrument.WriteMemory(0x1FFFE, QByteArray("\x12\x34", 2));
  instrument.WriteMemory(0x00010, QByteArray("\xAB", 1));
  ASSERT_TRUE(WriteExitFiles(instrument, options, &error)) << error.toStdString();
  const QByteArray dump = ReadAll(options.memory_dump_file);
  ASSERT_EQ(dump.size(), 0x20000);
  EXPECT_EQ(dump, instrument.ReadMemory(0, 0x20000));
  EXPECT_EQ(dump.right(2), QByteArray("\x12\x34", 2));
  EXPECT_EQ(dump[0x10], '\xAB');

  QlxOptions m_plus;
  m_plus.model = QStringLiteral("QLX-M+");
  QlxInstrument model4(m_plus);
  EXPECT_EQ(MemoryDump(model4).size(), 0x40000);
  // The software pattern depends on the serial number only.
  EXPECT_EQ(MemoryDump(model4).left(0x1F80), QlxInstrument(m_plus).ReadMemory(0, 0x1F80));
  EXPECT_NE(MemoryDump(model4).left(0x1000), instrument.ReadMemory(0, 0x1000));
}

}  // namespace
}  // namespace zizara::sim

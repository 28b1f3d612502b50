#include "core/io/file_access.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>

namespace zizara::core::io {
namespace {

class FileAccessTest : public ::testing::Test {
 protected:
  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
  }
  QString Fifo(const QString& name) {
    const QString path = dir_.filePath(name);
    EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    return path;
  }
  static bool IsFifo(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
  }
  QTemporaryDir dir_;
};

TEST_F(FileAccessTest, ReadsRegularFilesAndLinksToThem) {
  const QString path = Write("a.bin", "hello");
  ReadResult r = ReadRegularFile(path, 5);
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(r.data, "hello");
  const QString link = dir_.filePath("link");
  ASSERT_TRUE(QFile::link(path, link));
  r = ReadRegularFile(link, 100);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.data, "hello");
}

TEST_F(FileAccessTest, RefusesWhatIsNoRegularFileWithoutReadingIt) {
  const ReadResult missing = ReadRegularFile(dir_.filePath("none"), 10);
  EXPECT_EQ(missing.failure, ReadFailure::kMissing);
  EXPECT_TRUE(missing.error.contains("was not found."));

  const ReadResult folder = ReadRegularFile(dir_.path(), 10);
  EXPECT_EQ(folder.failure, ReadFailure::kFolder);
  EXPECT_EQ(folder.error, dir_.path() + " is a folder, not a file.");

  // A pipe would block for ever and a device never ends; both are refused at once.
  const QString fifo = Fifo("pipe");
  const ReadResult pipe = ReadRegularFile(fifo, 10);
  EXPECT_EQ(pipe.failure, ReadFailure::kNotRegular);
  EXPECT_EQ(pipe.error, fifo + " is not a regular file.");
  EXPECT_EQ(ReadRegularFile("/dev/zero", 16).failure, ReadFailure::kNotRegular);
}

TEST_F(FileAccessTest, SizesAreBounded) {
  const QString path = Write("big", QByteArray(11, 'x'));
  const ReadResult big = ReadRegularFile(path, 10);
  EXPECT_EQ(big.failure, ReadFailure::kTooLarge);
  EXPECT_EQ(big.size, 11);
  EXPECT_TRUE(big.data.isEmpty());
  const ReadResult wrong = ReadFileOfSize(Write("short", QByteArray(7, 'x')), 8);
  EXPECT_EQ(wrong.failure, ReadFailure::kWrongSize);
  EXPECT_TRUE(wrong.error.contains("7 bytes instead of 8")) << wrong.error.toStdString();
  EXPECT_TRUE(ReadFileOfSize(Write("exact", QByteArray(8, 'x')), 8).ok());
}

TEST_F(FileAccessTest, SaveTargetMustBeAbsentOrARegularFile) {
  QString error;
  EXPECT_TRUE(CheckSaveTarget(dir_.filePath("new.PRE"), &error));
  EXPECT_TRUE(CheckSaveTarget(Write("old.PRE", "x"), &error));
  EXPECT_FALSE(CheckSaveTarget(QString(), &error));
  EXPECT_FALSE(CheckSaveTarget(dir_.path(), &error));
  EXPECT_EQ(error, dir_.path() + " is a folder, not a file.");
  EXPECT_FALSE(CheckSaveTarget(dir_.filePath("no/such/folder.PRE"), &error));
  EXPECT_FALSE(CheckSaveTarget("/dev/null", &error));
  EXPECT_EQ(error, "/dev/null is not a regular file.");
}

TEST_F(FileAccessTest, SavingNeverReplacesAPipeAndFollowsLinks) {
  const QString fifo = Fifo("pipe");
  QString error;
  EXPECT_FALSE(SaveFileAtomically(fifo, "data", &error));
  EXPECT_EQ(error, fifo + " is not a regular file.");
  EXPECT_TRUE(IsFifo(fifo));

  const QString target = Write("target", "old");
  const QString link = dir_.filePath("link");
  ASSERT_TRUE(QFile::link(target, link));
  ASSERT_TRUE(SaveFileAtomically(link, "new", &error)) << error.toStdString();
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(ReadRegularFile(target, 10).data, "new");
}

TEST_F(FileAccessTest, FullDiskIsNamed) {
  EXPECT_EQ(SystemErrorText(ENOSPC), "No space left on device");
}

TEST_F(FileAccessTest, SavingOntoAFullDiskSaysSoAndKeepsTheOldFile) {
  // A real full disk: a 12 KiB file system cannot hold a second copy of a 10 KiB file.
  const QString mount_point = dir_.filePath("tiny");
  ASSERT_TRUE(QDir().mkpath(mount_point));
  const QByteArray where = QFile::encodeName(mount_point);
  if (::mount("tmpfs", where.constData(), "tmpfs", 0, "size=12k") != 0) {
    GTEST_SKIP() << "cannot mount a small file system here";
  }
  const QString target = mount_point + "/preset.PRE";
  const QByteArray old_bytes(10 * 1024, 'o');
  QString error;
  ASSERT_TRUE(SaveFileAtomically(target, old_bytes, &error)) << error.toStdString();
  EXPECT_FALSE(SaveFileAtomically(target, QByteArray(10 * 1024, 'n'), &error));
  EXPECT_TRUE(error.contains("No space left on device")) << error.toStdString();
  const ReadResult r = ReadRegularFile(target, old_bytes.size());
  EXPECT_TRUE(r.ok() && r.data == old_bytes) << "the old file was replaced";
  EXPECT_EQ(QDir(mount_point).entryList(QDir::Files), QStringList{"preset.PRE"});
  ::umount(where.constData());
}

}  // namespace
}  // namespace zizara::core::io

#include "core/settings/recent_files.h"

#include <gtest/gtest.h>

#include "core/settings/program_settings.h"
#include "core/settings/temp_settings_file.h"

namespace zizara::core::settings {
namespace {

using RecentFilesFileTest = TempSettingsFile;

RecentFiles List(QString a, QString b, QString c, QString d) {
  return RecentFiles{{std::move(a), std::move(b), std::move(c), std::move(d)}};
}

TEST(RecentFilesTest, ReopeningAListedFileKeepsTheOrder) {
  const RecentFiles list = List("/a.qlx", "/b.qlx", "/c.qlx", "/d.qlx");
  EXPECT_EQ(WithRecentFile(list, "/c.qlx"), list);
  EXPECT_EQ(WithRecentFile(list, "/d.qlx"), list);
}

TEST(RecentFilesTest, NewFileGoesOnTopAndPushesTheOldestOut) {
  const RecentFiles list = List("/a.qlx", "/b.qlx", "/c.qlx", "/d.qlx");
  EXPECT_EQ(WithRecentFile(list, "/e.qlx"), List("/e.qlx", "/a.qlx", "/b.qlx", "/c.qlx"));
  // Names differing only in case are different files here.
  EXPECT_EQ(WithRecentFile(list, "/A.qlx"), List("/A.qlx", "/a.qlx", "/b.qlx", "/c.qlx"));
  EXPECT_EQ(WithRecentFile(RecentFiles{}, "/a.qlx"), List("/a.qlx", "", "", ""));
  EXPECT_EQ(WithRecentFile(list, ""), list);
}

TEST_F(RecentFilesFileTest, AddWritesAtOnceFromTheFileAsItIsNow) {
  // Another instance changed the file: the list comes from disk, not from memory.
  Write(
      "[Files]\nFile_1=/a.qlx\nFile_2=/b.qlx\nFile_3=/c.qlx\nFile_4=/d.qlx\n"
      "[Settings]\nExtCMD=bridge\n");
  RecentFiles updated;
  QString error;
  ASSERT_TRUE(AddRecentFile(Path(), "/e.qlx", &updated, &error)) << error.toStdString();
  EXPECT_EQ(updated, List("/e.qlx", "/a.qlx", "/b.qlx", "/c.qlx"));
  const QByteArray text = Read();
  EXPECT_TRUE(
      text.startsWith("[Files]\nFile_1=/e.qlx\nFile_2=/a.qlx\nFile_3=/b.qlx\nFile_4=/c.qlx\n"));
  EXPECT_TRUE(text.contains("[Settings]\nExtCMD=bridge\n"));

  ASSERT_TRUE(AddRecentFile(Path(), "/b.qlx", &updated, &error));
  EXPECT_EQ(updated, List("/e.qlx", "/a.qlx", "/b.qlx", "/c.qlx"));
  EXPECT_EQ(LoadProgramSettings(Path(), "ttyS0").recent_files, updated);
}

TEST_F(RecentFilesFileTest, AddToMissingFileStartsTheList) {
  ASSERT_TRUE(AddRecentFile(Path(), "/x.qlx", nullptr, nullptr));
  EXPECT_EQ(Read(), QByteArray("[Files]\nFile_1=/x.qlx\nFile_2=\nFile_3=\nFile_4=\n"));
}

TEST(RecentFilesMenuTest, EmptyEntriesAreHidden) {
  const RecentFilesMenu menu = BuildRecentFilesMenu(List("/a.qlx", "", "/c.qlx", "/d.qlx"));
  EXPECT_EQ(menu.items[0].caption, QStringLiteral("1. /a.qlx"));
  EXPECT_EQ(menu.items[2].caption, QStringLiteral("3. /c.qlx"));
  EXPECT_EQ(menu.items[3].caption, QStringLiteral("4. /d.qlx"));
  EXPECT_TRUE(menu.items[0].visible);
  EXPECT_FALSE(menu.items[1].visible);
  EXPECT_TRUE(menu.items[2].visible);
  EXPECT_TRUE(menu.items[3].visible);
  EXPECT_TRUE(menu.submenu_enabled);
}

TEST(RecentFilesMenuTest, SubmenuEnabledExactlyWhenSomethingIsShown) {
  EXPECT_FALSE(BuildRecentFilesMenu(RecentFiles{}).submenu_enabled);
  EXPECT_TRUE(BuildRecentFilesMenu(List("", "", "", "/d.qlx")).submenu_enabled);
  EXPECT_TRUE(BuildRecentFilesMenu(List("", "/b.qlx", "", "")).submenu_enabled);
}

}  // namespace
}  // namespace zizara::core::settings

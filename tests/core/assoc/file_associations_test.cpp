#include "core/assoc/file_associations.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace zizara::core::assoc {
namespace {

class FileAssociationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    places_.data_home = dir_.filePath("data");
    places_.config_home = dir_.filePath("config");
    places_.executable = MakeProgram("bin/vt-zizara");
    places_.update_mime_database = DefaultPlaces({}).update_mime_database;
  }
  QString MakeProgram(const QString& name) {
    const QString path = dir_.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    return path;
  }
  QString Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }
  void WriteMimeApps(const QByteArray& text) {
    QDir().mkpath(places_.config_home);
    QFile f(places_.config_home + "/mimeapps.list");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
  }
  // What the desktop's own tools say, with our temporary folders as the user's.
  QString XdgMime(const QStringList& args) {
    const QString tool = QStandardPaths::findExecutable("xdg-mime");
    if (tool.isEmpty()) return "(no xdg-mime)";
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", places_.data_home);
    env.insert("XDG_CONFIG_HOME", places_.config_home);
    env.remove("XDG_CURRENT_DESKTOP");
    env.remove("DESKTOP_SESSION");
    p.setProcessEnvironment(env);
    p.start(tool, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
  }
  bool All(bool pre, bool mcr, bool cdp) {
    return IsFileTypeAssociated("PRE", places_) == pre &&
           IsFileTypeAssociated("MCR", places_) == mcr &&
           IsFileTypeAssociated("CDP", places_) == cdp;
  }

  QTemporaryDir dir_;
  Places places_;
};

TEST_F(FileAssociationsTest, RegisteredTypesOpenWithTheProgram) {
  EXPECT_TRUE(All(false, false, false));
  for (const char* ext : {"PRE", "mcr", "CDP"}) {
    ASSERT_TRUE(SetFileTypeAssociation(ext, true, places_));
  }
  EXPECT_TRUE(All(true, true, true));

  const QString entry = Read(places_.data_home + "/applications/vt-zizara.desktop");
  EXPECT_TRUE(entry.contains("\nExec=\"" + places_.executable + "\" %f\n")) << entry.toStdString();
  EXPECT_TRUE(entry.contains("\nMimeType=application/x-vt-zizara-preset;"
                             "application/x-vt-zizara-macro;application/x-vt-zizara-package;\n"));
  EXPECT_TRUE(entry.contains("[Desktop Action EditMacro]"));
  const QString package = Read(places_.data_home + "/mime/packages/vt-zizara.xml");
  EXPECT_TRUE(package.contains("<comment>VT-Zizara Compiled Distribution Package</comment>"));
  EXPECT_TRUE(package.contains("pattern=\"*.pre\""));
  EXPECT_TRUE(Read(places_.data_home +
                   "/icons/hicolor/scalable/mimetypes/application-x-vt-zizara-macro.svg")
                  .contains(">MCR</text>"));

  if (QStandardPaths::findExecutable("xdg-mime").isEmpty() ||
      QStandardPaths::findExecutable("update-mime-database").isEmpty()) {
    GTEST_SKIP() << "xdg-utils or shared-mime-info missing";
  }
  QDir().mkpath(dir_.filePath("files"));
  for (const char* name : {"a.PRE", "b.pre", "c.MCR", "d.CDP"}) {
    QFile f(dir_.filePath(QStringLiteral("files/") + name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not text\x01\x02", 10);
  }
  EXPECT_EQ(XdgMime({"query", "filetype", dir_.filePath("files/a.PRE")}),
            "application/x-vt-zizara-preset");
  EXPECT_EQ(XdgMime({"query", "filetype", dir_.filePath("files/b.pre")}),
            "application/x-vt-zizara-preset");
  EXPECT_EQ(XdgMime({"query", "filetype", dir_.filePath("files/c.MCR")}),
            "application/x-vt-zizara-macro");
  EXPECT_EQ(XdgMime({"query", "filetype", dir_.filePath("files/d.CDP")}),
            "application/x-vt-zizara-package");
  EXPECT_EQ(XdgMime({"query", "default", "application/x-vt-zizara-package"}), "vt-zizara.desktop");
}

TEST_F(FileAssociationsTest, RemovingOneTypeLeavesTheOthersAndForeignEntries) {
  WriteMimeApps(
      "[Default Applications]\ntext/plain=gedit.desktop;\n\n[Added Associations]\n"
      "application/x-vt-zizara-preset=other.desktop;\n");
  for (const char* ext : {"PRE", "MCR", "CDP"}) SetFileTypeAssociation(ext, true, places_);
  ASSERT_TRUE(SetFileTypeAssociation("PRE", false, places_));
  EXPECT_TRUE(All(false, true, true));
  const QString list = Read(places_.config_home + "/mimeapps.list");
  EXPECT_TRUE(list.contains("text/plain=gedit.desktop;\n"));
  EXPECT_TRUE(list.contains("application/x-vt-zizara-preset=other.desktop;\n"))
      << list.toStdString();
  EXPECT_FALSE(list.contains("application/x-vt-zizara-preset=vt-zizara.desktop"));
  EXPECT_TRUE(list.contains("application/x-vt-zizara-macro=vt-zizara.desktop;\n"));
  EXPECT_FALSE(Read(places_.data_home + "/mime/packages/vt-zizara.xml").contains("preset"));
  EXPECT_FALSE(Read(places_.data_home + "/applications/vt-zizara.desktop")
                   .contains("application/x-vt-zizara-preset"));

  for (const char* ext : {"MCR", "CDP"}) SetFileTypeAssociation(ext, false, places_);
  EXPECT_TRUE(All(false, false, false));
  EXPECT_FALSE(QFile::exists(places_.data_home + "/applications/vt-zizara.desktop"));
  EXPECT_FALSE(QFile::exists(places_.data_home + "/mime/packages/vt-zizara.xml"));
  EXPECT_TRUE(Read(places_.config_home + "/mimeapps.list").contains("text/plain=gedit.desktop;"));
}

TEST_F(FileAssociationsTest, AMovedProgramOrAnotherDefaultIsNotAssociated) {
  for (const char* ext : {"PRE", "MCR", "CDP"}) SetFileTypeAssociation(ext, true, places_);
  Places moved = places_;
  moved.executable = MakeProgram("elsewhere/vt-zizara");
  EXPECT_FALSE(IsFileTypeAssociated("PRE", moved));
  EXPECT_FALSE(IsFileTypeAssociated("MCR", moved));
  EXPECT_FALSE(IsFileTypeAssociated("CDP", moved));
  SetFileTypeAssociation("MCR", true, moved);  // repaired: the entry now names the new place
  EXPECT_TRUE(IsFileTypeAssociated("MCR", moved));

  const QString list = Read(places_.config_home + "/mimeapps.list");
  WriteMimeApps(SetKeyFileValue(list, "Default Applications", "application/x-vt-zizara-macro",
                                "kate.desktop;")
                    .toUtf8());
  EXPECT_FALSE(IsFileTypeAssociated("MCR", moved));
  EXPECT_FALSE(IsFileTypeAssociated("TXT", moved));
}

TEST(ExecLineTest, PathsAreQuotedForTheDesktopEntry) {
  EXPECT_EQ(ExecLine("/usr/bin/vt-zizara"), "\"/usr/bin/vt-zizara\" %f");
  EXPECT_EQ(ExecLine("/opt/my apps/vt-zizara"), "\"/opt/my apps/vt-zizara\" %f");
  // A dollar is escaped for the argument, that backslash again for the key file.
  EXPECT_EQ(ExecLine("/a$b/100%/x"), "\"/a\\\\$b/100%%/x\" %f");
}

TEST(KeyFileTest, EditsOnlyTheOneKey) {
  const QString text = "# mine\n[A]\nk=1\n\n[B]\nk=2\n";
  EXPECT_EQ(SetKeyFileValue(text, "B", "k", "3"), "# mine\n[A]\nk=1\n\n[B]\nk=3\n");
  EXPECT_EQ(SetKeyFileValue(text, "A", "n", "4"), "# mine\n[A]\nk=1\nn=4\n\n[B]\nk=2\n");
  EXPECT_EQ(SetKeyFileValue(text, "A", "k", ""), "# mine\n[A]\n\n[B]\nk=2\n");
  EXPECT_EQ(SetKeyFileValue(text, "C", "k", "5"), text + "\n[C]\nk=5\n");
  EXPECT_EQ(SetKeyFileValue("", "C", "k", "5"), "[C]\nk=5\n");
  EXPECT_EQ(KeyFileValue(text, "B", "k"), "2");
  EXPECT_TRUE(KeyFileValue(text, "B", "n").isNull());
}

}  // namespace
}  // namespace zizara::core::assoc

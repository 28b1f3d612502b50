#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <map>
#include <set>

#include "gui/help/help_topics.h"

namespace zizara::gui::help {
namespace {

const QDir kSource(QStringLiteral(ZIZARA_SOURCE_DIR));
const QDir kManual(kSource.filePath(QStringLiteral("docs/help")));

QString Read(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    return {};
  }
  return QString::fromUtf8(f.readAll());
}

// The ids a page defines, for its own and other pages' fragments.
std::set<QString> Anchors(const QString& page) {
  std::set<QString> ids;
  static const QRegularExpression id(QStringLiteral(R"(\sid="([^"]+)\")"));
  for (auto it = id.globalMatch(Read(kManual.filePath(page))); it.hasNext();) {
    ids.insert(it.next().captured(1));
  }
  return ids;
}

QStringList Pages() {
  QStringList pages;
  QDirIterator it(kManual.path(), {QStringLiteral("*.html")}, QDir::Files);
  while (it.hasNext()) {
    pages << kManual.relativeFilePath(it.next());
  }
  pages.sort();
  return pages;
}

// "page.html#anchor" exists, relative to `from`; says what is wrong otherwise.
QString Check(const QString& from, const QString& link) {
  const int hash = link.indexOf(QLatin1Char('#'));
  const QString file = QUrl::fromPercentEncoding(link.left(hash < 0 ? link.size() : hash).toUtf8());
  const QString page =
      file.isEmpty() ? from : QDir::cleanPath(QFileInfo(from).path() + QLatin1Char('/') + file);
  if (!QFileInfo(kManual.filePath(page)).isFile()) {
    return from + QStringLiteral(": no file ") + link;
  }
  if (hash >= 0 && Anchors(page).count(link.mid(hash + 1)) == 0) {
    return from + QStringLiteral(": no anchor ") + link;
  }
  return {};
}

TEST(HelpManualTest, EveryTopicInTheTableHasItsPageAndAnchor) {
  ASSERT_TRUE(QFileInfo(kManual.filePath(QStringLiteral("index.html"))).isFile());
  std::set<int> numbers;
  for (const HelpTopic& t : HelpTopics()) {
    EXPECT_EQ(Check(QStringLiteral("index.html"), QString::fromLatin1(t.target)), QString());
    if (t.context != 0) {
      EXPECT_TRUE(numbers.insert(t.context).second) << "context " << t.context << " twice";
    }
  }
  // The numbered topics the windows and messages carry.
  for (int context : {1, 6, 9, 15, 27, 39, 40, 41}) {
    EXPECT_EQ(numbers.count(context), 1u) << "context " << context;
  }
  EXPECT_TRUE(HelpTarget(2).isEmpty());
  EXPECT_EQ(HelpTargetForWindow(QStringLiteral("TInstallForm"), QStringLiteral("BackupFileName")),
            HelpTarget(41));
  EXPECT_EQ(HelpTargetForWindow(QStringLiteral("TInstallForm"), QStringLiteral("Other")),
            HelpTarget(39));
}

TEST(HelpManualTest, EveryContextTheCodeOpensIsInTheTable) {
  static const QRegularExpression use(
      QStringLiteral(R"((?:HelpRequested|OpenContext|HelpTarget)\((\d+)\))"));
  int uses = 0;
  QDirIterator it(kSource.filePath(QStringLiteral("src")),
                  {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    for (auto m = use.globalMatch(Read(path)); m.hasNext();) {
      const int context = m.next().captured(1).toInt();
      ++uses;
      EXPECT_FALSE(HelpTarget(context).isEmpty()) << path.toStdString() << ": context " << context;
    }
  }
  EXPECT_GE(uses, 1);  // the "Help!" button's topic 1
}

TEST(HelpManualTest, EveryLinkAndPictureResolves) {
  static const QRegularExpression ref(QStringLiteral(R"((?:href|src)="([^"]*)\")"));
  const QStringList pages = Pages();
  ASSERT_GE(pages.size(), 10);
  for (const QString& page : pages) {
    const QString text = Read(kManual.filePath(page));
    EXPECT_TRUE(text.contains(QStringLiteral("<title>"))) << page.toStdString();
    for (auto m = ref.globalMatch(text); m.hasNext();) {
      const QString link = m.next().captured(1);
      if (link.contains(QStringLiteral("://")) || link.startsWith(QStringLiteral("mailto:"))) {
        continue;
      }
      EXPECT_EQ(Check(page, link), QString()) << page.toStdString();
    }
  }
}

TEST(HelpManualTest, EveryPageIsReachableFromTheContents) {
  static const QRegularExpression href(QStringLiteral(R"(href="([^"#]+)[^"]*")"));
  std::set<QString> linked;
  for (auto m = href.globalMatch(Read(kManual.filePath(QStringLiteral("index.html"))));
       m.hasNext();) {
    linked.insert(m.next().captured(1));
  }
  for (const QString& page : Pages()) {
    if (page != QStringLiteral("index.html")) {
      EXPECT_EQ(linked.count(page), 1u) << page.toStdString();
    }
  }
}

TEST(HelpManualTest, FindsTheInstalledAndTheBuiltManual) {
  QTemporaryDir root;
  const QDir dir(root.path());
  dir.mkpath(QStringLiteral("usr/bin"));
  dir.mkpath(QStringLiteral("usr/share/doc/vt-zizara/help"));
  dir.mkpath(QStringLiteral("build/src/apps"));
  dir.mkpath(QStringLiteral("build/docs/help"));
  EXPECT_EQ(FindHelpIndex(dir.filePath(QStringLiteral("usr/bin"))), QString());
  for (const char* index :
       {"usr/share/doc/vt-zizara/help/index.html", "build/docs/help/index.html"}) {
    QFile f(dir.filePath(QString::fromLatin1(index)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  EXPECT_EQ(FindHelpIndex(dir.filePath(QStringLiteral("usr/bin"))),
            QFileInfo(dir.filePath(QStringLiteral("usr/share/doc/vt-zizara/help/index.html")))
                .canonicalFilePath());
  EXPECT_EQ(
      FindHelpIndex(dir.filePath(QStringLiteral("build/src/apps"))),
      QFileInfo(dir.filePath(QStringLiteral("build/docs/help/index.html"))).canonicalFilePath());
  const QUrl url = HelpUrl(QStringLiteral("/x/help/index.html"), HelpTarget(1));
  EXPECT_EQ(url.toLocalFile(), QStringLiteral("/x/help/transfer.html"));
  EXPECT_EQ(url.fragment(), QStringLiteral("download-terminated"));
  EXPECT_EQ(HelpUrl(QStringLiteral("/x/help/index.html"), QString()).toLocalFile(),
            QStringLiteral("/x/help/index.html"));
}

}  // namespace
}  // namespace zizara::gui::help

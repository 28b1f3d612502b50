#include "gui/help/help.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "core/ui_port/prompts.h"
#include "gui/app/app_context.h"
#include "gui/app/main_form.h"
#include "gui/ui/qt_prompts.h"

namespace zizara::gui::help {
namespace {

class RecordingBrowser : public HelpBrowser {
 public:
  bool Open(const QUrl& url) override {
    opened << url.fileName() + (url.hasFragment() ? "#" + url.fragment() : QString());
    return true;
  }
  QStringList opened;
};

class HelpTest : public ::testing::Test {
 protected:
  void SetUp() override { qApp->installEventFilter(&help_); }
  void TearDown() override { qApp->removeEventFilter(&help_); }

  void PressF1(QWidget* w, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(w, Qt::Key_F1, mods);
  }

  RecordingBrowser browser_;
  Help help_{QStringLiteral("/usr/share/doc/vt-zizara/help/index.html"), &browser_};
};

TEST_F(HelpTest, ContentsAndNumberedTopicsOpenTheirPages) {
  EXPECT_TRUE(help_.OpenContents());
  EXPECT_TRUE(help_.OpenContext(1));
  EXPECT_TRUE(help_.OpenContext(27));
  EXPECT_TRUE(help_.OpenContext(9999));  // unknown: the contents
  EXPECT_EQ(browser_.opened, QStringList({"index.html", "transfer.html#download-terminated",
                                          "presets.html#preset-options", "index.html"}));
}

TEST_F(HelpTest, F1OpensTheTopicOfTheWindowAndOfAFieldWithItsOwn) {
  QWidget install;
  install.setObjectName("TInstallForm");
  auto* layout = new QVBoxLayout(&install);
  auto* source = new QLineEdit(&install);
  source->setObjectName("SourceFileName");
  auto* backup = new QLineEdit(&install);
  backup->setObjectName("BackupFileName");
  auto* other = new QLineEdit(&install);
  layout->addWidget(source);
  layout->addWidget(backup);
  layout->addWidget(other);
  PressF1(source);
  PressF1(backup);
  PressF1(other);
  PressF1(&install, Qt::ShiftModifier);  // the instrument's preset keys, not help
  EXPECT_EQ(browser_.opened, QStringList({"software.html#package-file", "software.html#backup-file",
                                          "software.html#install-window"}));
}

TEST_F(HelpTest, F1InAWindowWithoutATopicOpensTheContentsAndTheKeypadKeepsF1) {
  QWidget plain;
  PressF1(&plain);
  QWidget keypad;
  keypad.setObjectName("TKeyboardForm");
  PressF1(&keypad);
  EXPECT_EQ(browser_.opened, QStringList({"index.html"}));
}

TEST(HelpWithoutManualTest, DoesNothing) {
  RecordingBrowser browser;
  Help help(QString(), &browser);
  EXPECT_FALSE(help.OpenContents());
  EXPECT_FALSE(help.OpenContext(1));
  EXPECT_TRUE(browser.opened.isEmpty());
}

TEST(HelpMainFormTest, HelpMenuAndF1OpenTheContents) {
  QTemporaryDir dir;
  RecordingBrowser browser;
  Help help(QStringLiteral("/m/index.html"), &browser);
  app::AppContext ctx;
  ctx.current_port = "ttyS0";
  ctx.help = &help;
  core::ui_port::ScriptedPrompts prompts;
  ui::ScriptedFileChooser files;
  app::TMainForm form(ctx, prompts, files, dir.filePath("VT-Zizara.INI"));
  form.FindAction("Help2")->trigger();
  QTest::keyClick(&form, Qt::Key_F1);
  EXPECT_EQ(browser.opened, QStringList({"index.html", "index.html"}));
}

}  // namespace
}  // namespace zizara::gui::help

#include "gui/app/main_form.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTemporaryDir>
#include <QTextDocument>

#include "core/settings/ini_file.h"
#include "gui/ui/qt_prompts.h"
#include "support/crafted_files.h"

namespace zizara::gui::app {
namespace {

using core::ui_port::Answer;

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_ = dir_.filePath("VT-Zizara.INI");
    ctx_.current_port = "ttyS0";
    form_ = std::make_unique<TMainForm>(ctx_, prompts_, files_, settings_);
    form_->LoadSettings();
  }
  QString Write(const QString& name, const QByteArray& bytes) {
    return testing::WriteFile(QDir(dir_.path()), name, bytes);
  }
  QString CraftedPreset(const QString& name = "a.PRE") {
    return Write(name, testing::CraftPresetFile(testing::CraftImage()));
  }
  bool Enabled(const char* action) {
    return form_->FindAction(QString::fromLatin1(action))->isEnabled();
  }
  QString IniValue(const char* section, const char* key) {
    core::settings::IniFile ini(settings_);
    ini.Load();
    return ini.GetString(section, key);
  }

  QTemporaryDir dir_;
  QString settings_;
  AppContext ctx_;
  core::ui_port::ScriptedPrompts prompts_;
  ui::ScriptedFileChooser files_;
  std::unique_ptr<TMainForm> form_;
};

// What a tooltip shows of its text: markup is rendered when the text looks like markup.
QString ShownToolTip(const QString& tip) {
  QTextDocument doc;
  if (Qt::mightBeRichText(tip)) {
    doc.setHtml(tip);
  } else {
    doc.setPlainText(tip);
  }
  return doc.toPlainText();
}

TEST_F(MainFormTest, FileNamesAndInstrumentTextsAreNeverMarkup) {
  const QString path = CraftedPreset("<b>bold.PRE");
  ASSERT_TRUE(form_->OpenPreset(path));
  EXPECT_EQ(form_->FilePanel()->text(), path);
  EXPECT_EQ(ShownToolTip(form_->FilePanel()->toolTip()), path);
  for (QLabel* panel : {form_->FilePanel(), form_->OffsetPanel(), form_->ConnectedPanel(),
                        form_->SerialPanel(), form_->PortPanel()}) {
    EXPECT_EQ(panel->textFormat(), Qt::PlainText) << panel->objectName().toStdString();
  }
  form_->HandleForwardedPath("/x/<i>it.CDP");
  EXPECT_EQ(ShownToolTip(form_->FilePanel()->toolTip()),
            "File executed from file explorer. (/x/<i>it.CDP)");
}

TEST_F(MainFormTest, StartsEmptyWithOnlyOpen) {
  EXPECT_EQ(form_->windowTitle(), "VT-Zizara v. 1.2");
  EXPECT_FALSE(form_->MatrixArea()->isVisibleTo(form_.get()));
  EXPECT_TRUE(Enabled("MenuOpen"));
  EXPECT_FALSE(Enabled("MenuSave"));
  EXPECT_FALSE(Enabled("MenuSaveAs"));
  EXPECT_FALSE(form_->PresetDropDown()->isEnabled());
  EXPECT_EQ(form_->ConnectedPanel()->text(), "Not Connected");
  EXPECT_EQ(form_->SerialPanel()->text(), "Serial No.: Unknown");
  EXPECT_TRUE(QFile::exists(settings_));  // created on first start
}

TEST_F(MainFormTest, OpenShowsTheFile) {
  const QString path = CraftedPreset();
  files_.open_names << path;
  ASSERT_TRUE(form_->OpenPreset());
  EXPECT_EQ(form_->FilePanel()->text(), path);
  EXPECT_EQ(form_->OffsetPanel()->text(), "German Offset");
  ASSERT_EQ(form_->PresetDropDown()->count(), 11);
  EXPECT_EQ(form_->PresetDropDown()->itemText(0), "Preset 1 - First One ");
  EXPECT_EQ(form_->PresetDropDown()->itemText(10), "Preset 11 - Last Elevn");
  EXPECT_TRUE(form_->MatrixArea()->isVisibleTo(form_.get()));
  EXPECT_TRUE(Enabled("MenuSaveAs"));
  EXPECT_FALSE(Enabled("MenuSave"));  // no name to save under yet
  EXPECT_FALSE(ctx_.config.modified);
  EXPECT_EQ(IniValue("Files", "File_1"), path);
  EXPECT_TRUE(form_->RecentItem(1)->isVisible());
  EXPECT_EQ(form_->RecentItem(1)->text(), "1. " + path);
  EXPECT_FALSE(form_->RecentItem(2)->isVisible());
}

TEST_F(MainFormTest, InvalidFileKeepsEverything) {
  ASSERT_TRUE(form_->OpenPreset(CraftedPreset()));
  QByteArray bad = testing::CraftPresetFile(testing::CraftImage());
  bad[0x400C] = 1;
  const core::config::ConfigurationImage before = ctx_.config.image;
  const QString text = form_->FilePanel()->text();
  EXPECT_FALSE(form_->OpenPreset(Write("bad.PRE", bad)));
  EXPECT_TRUE(prompts_.Texts().last() == "This is not a valid configuration-file!");
  EXPECT_TRUE(prompts_.Texts()[prompts_.Texts().size() - 2].startsWith("CRC Error. "));
  EXPECT_EQ(ctx_.config.image, before);
  EXPECT_EQ(form_->FilePanel()->text(), text);
  prompts_.Clear();
  EXPECT_FALSE(form_->OpenPreset(dir_.filePath("missing.PRE")));
  EXPECT_EQ(prompts_.Texts().size(), 2);  // not found, then not valid
}

TEST_F(MainFormTest, BacklightModifiesAndSaveAsNamesTheFile) {
  ASSERT_TRUE(form_->OpenPreset(CraftedPreset()));
  form_->BacklightTrackBar()->setValue(3);
  EXPECT_TRUE(ctx_.config.modified);
  EXPECT_EQ(ctx_.config.image.Byte(0x010D), 3);
  EXPECT_FALSE(Enabled("MenuSave"));
  files_.save_names << dir_.filePath("saved");
  EXPECT_EQ(form_->SaveAs(), core::config::SaveAsOutcome::kSaved);
  const QString saved = dir_.filePath("saved.PRE");
  EXPECT_TRUE(QFile::exists(saved));
  EXPECT_EQ(form_->FilePanel()->text(), saved);
  EXPECT_FALSE(ctx_.config.modified);
  form_->BacklightTrackBar()->setValue(5);
  EXPECT_TRUE(Enabled("MenuSave"));
  form_->Save();
  EXPECT_FALSE(Enabled("MenuSave"));
  EXPECT_EQ(IniValue("Files", "File_1"), saved);
}

TEST_F(MainFormTest, SaveAsOverExistingFileAsks) {
  ASSERT_TRUE(form_->OpenPreset(CraftedPreset()));
  const QString existing = Write("exists.pre", "old");
  files_.save_names << existing;
  prompts_.Queue(Answer::kNo);
  EXPECT_EQ(form_->SaveAs(), core::config::SaveAsOutcome::kCancelled);
  EXPECT_EQ(prompts_.Texts().last(), "The file " + existing +
                                         " allready exists.\r\rDo you wish to overwrite it?");
  QFile f(existing);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("old"));
}

TEST_F(MainFormTest, CloseAsksAboutChangesAndWritesSettings) {
  ASSERT_TRUE(form_->OpenPreset(CraftedPreset()));
  form_->BacklightTrackBar()->setValue(2);
  prompts_.Queue(Answer::kCancel);
  EXPECT_FALSE(form_->close());
  EXPECT_EQ(prompts_.Texts().last(), "Do you wish to save the changes?");
  prompts_.Queue(Answer::kNo);
  form_->BuildInterfaceMenu({"ttyS0", "ttyUSB7"});
  form_->InterfaceItemClick(form_->InterfaceMenu()->actions()[1]);
  EXPECT_TRUE(form_->close());
  EXPECT_EQ(IniValue("Settings", "ComInterface"), "ttyUSB7");
  EXPECT_EQ(IniValue("Window", "Width"), QString::number(form_->NormalBounds().width()));
}

TEST_F(MainFormTest, SimulatedPortIsNeverStored) {
  ctx_.simulated = true;
  ctx_.current_port = "/tmp/runtime/vt-zizara-qlx-1";
  EXPECT_TRUE(form_->close());
  EXPECT_EQ(IniValue("Settings", "ComInterface"), "ttyS0");
}

TEST_F(MainFormTest, RecentFilesReopenWithoutReordering) {
  const QString a = CraftedPreset("a.PRE");
  const QString b = CraftedPreset("b.PRE");
  ASSERT_TRUE(form_->OpenPreset(a));
  ASSERT_TRUE(form_->OpenPreset(b));
  ASSERT_TRUE(form_->OpenPreset(a));  // already listed: order stays
  EXPECT_EQ(IniValue("Files", "File_1"), b);
  EXPECT_EQ(IniValue("Files", "File_2"), a);
  form_->OpenRecentFile(2);
  EXPECT_EQ(form_->FilePanel()->text(), a);
  EXPECT_EQ(IniValue("Files", "File_1"), b);
}

TEST_F(MainFormTest, PresetDropDownSelectsThePreset) {
  ASSERT_TRUE(form_->OpenPreset(CraftedPreset()));
  form_->PresetDropDown()->setCurrentIndex(4);
  emit form_->PresetDropDown()->activated(4);
  EXPECT_EQ(ctx_.config.preset(), 4);
  EXPECT_EQ(form_->DebugForm()->DebugList()->item(0)->text(), "     PresetOffset: $002A00");
}

TEST_F(MainFormTest, InterfaceMenu) {
  form_->BuildInterfaceMenu({"ttyS0", "ttyUSB0"});
  QStringList captions;
  for (QAction* a : form_->InterfaceMenu()->actions()) captions << a->text();
  EXPECT_EQ(captions, QStringList({"ttyS0", "ttyUSB0"}));
  EXPECT_TRUE(form_->InterfaceMenu()->actions()[0]->isChecked());
  EXPECT_FALSE(ctx_.port_unavailable);

  ctx_.ext_cmd = "extcmd";
  ctx_.current_port = "ttyUSB9";
  form_->BuildInterfaceMenu({});
  captions.clear();
  for (QAction* a : form_->InterfaceMenu()->actions()) captions << a->text();
  EXPECT_EQ(captions, QStringList({"External Command"}));
  EXPECT_TRUE(ctx_.port_unavailable);
  EXPECT_EQ(prompts_.Texts().last(),
            "The previously used comport (ttyUSB9) is no longer available.\rPlease select a "
            "different port from the Interface menu.");

  ctx_.ext_cmd.clear();
  form_->BuildInterfaceMenu({});
  ASSERT_EQ(form_->InterfaceMenu()->actions().size(), 1);
  EXPECT_EQ(form_->InterfaceMenu()->actions()[0]->text(), "No ports installed.");
  EXPECT_FALSE(form_->InterfaceMenu()->actions()[0]->isEnabled());
}

TEST_F(MainFormTest, ChoosingAPortShowsIt) {
  ctx_.ext_cmd = "extcmd";
  form_->BuildInterfaceMenu({"ttyS0", "ttyUSB0"});
  form_->InterfaceItemClick(form_->InterfaceMenu()->actions()[1]);
  EXPECT_EQ(form_->PortPanel()->text(), "ttyUSB0");
  EXPECT_EQ(ctx_.current_port, "ttyUSB0");
  QAction* ext = form_->InterfaceMenu()->actions().last();
  form_->InterfaceItemClick(ext);
  EXPECT_EQ(form_->PortPanel()->text(), "EXT");
  EXPECT_TRUE(form_->ConnectedPanel()->text().isEmpty());
  EXPECT_TRUE(Enabled("MenuUpload"));
}

TEST_F(MainFormTest, ForwardedPresetOpensWithItsNote) {
  const QString path = CraftedPreset();
  form_->HandleForwardedPath(path);
  EXPECT_EQ(form_->FilePanel()->text(), "File executed from file explorer. (" + path + ")");
  EXPECT_EQ(ctx_.config.trailer.serial_number, 12345);
}

TEST_F(MainFormTest, CommandLinePreset) {
  const QString path = CraftedPreset();
  form_->HandleCommandLineFile(path);
  EXPECT_EQ(form_->FilePanel()->text(), "File executed from command-line. (" + path + ")");
  EXPECT_TRUE(Enabled("MenuSaveAs"));
  form_->HandleCommandLineFile(dir_.filePath("m.MCR"));
  EXPECT_EQ(ctx_.pending_macro, dir_.filePath("m.MCR"));
}

}  // namespace
}  // namespace zizara::gui::app

namespace zizara::gui::app {
namespace {

TEST_F(MainFormTest, GlobalShortcutsUnavailableIsSaidOnce) {
  QAction* global = form_->FindAction("MenuMacroGlobal");
  global->trigger();  // on: the offscreen desktop cannot grab keys
  EXPECT_TRUE(global->isChecked());
  EXPECT_EQ(prompts_.Texts(), QStringList{"Global shortcuts are not available on this desktop."});
  global->trigger();  // off
  global->trigger();  // on again: not said twice
  EXPECT_EQ(prompts_.records().size(), 1u);
}

TEST_F(MainFormTest, FirstStartIsCentredOnTheScreen) {
  const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(available.contains(form_->frameGeometry()));
  EXPECT_LE((form_->frameGeometry().center() - available.center()).manhattanLength(), 2);
  EXPECT_EQ(form_->size(), QSize(656, 487));
}

TEST_F(MainFormTest, AStoredPlaceIsKeptOrBroughtBackOnScreen) {
  core::settings::IniFile ini(settings_);
  ini.Load();
  ini.SetInt("Window", "Left", 40);
  ini.SetInt("Window", "Top", 30);
  ini.SetInt("Window", "Width", 700);
  ini.SetInt("Window", "Height", 500);
  ASSERT_TRUE(ini.Save());
  form_->LoadSettings();
  EXPECT_EQ(form_->geometry(), QRect(40, 30, 700, 500));
  ini.SetInt("Window", "Left", -5000);
  ASSERT_TRUE(ini.Save());
  form_->LoadSettings();
  const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(available.contains(form_->geometry()));
  EXPECT_EQ(form_->geometry().size(), QSize(700, 500));
}

// Prompts during whose first question another file is handed over.
class PromptsWithArrival : public core::ui_port::ScriptedPrompts {
 public:
  std::function<void()> arrival;
  int open = 0;
  int most_open = 0;
  Answer Ask(core::ui_port::PromptKind kind, const QString& text,
             core::ui_port::PromptButtons buttons) override {
    most_open = std::max(most_open, ++open);
    if (arrival) {
      const std::function<void()> now = std::move(arrival);
      arrival = nullptr;
      now();
    }
    --open;
    return ScriptedPrompts::Ask(kind, text, buttons);
  }
};

TEST(HandedOverFilesTest, AreHandledOneAtATimeInTheOrderTheyCame) {
  QTemporaryDir dir;
  AppContext ctx;
  ctx.current_port = "ttyS0";
  PromptsWithArrival prompts;
  ui::ScriptedFileChooser files;
  TMainForm form(ctx, prompts, files, dir.filePath("VT-Zizara.INI"));
  form.LoadSettings();
  const QString preset = testing::WriteFile(QDir(dir.path()), "b.PRE",
                                            testing::CraftPresetFile(testing::CraftImage()));
  const QString package = dir.filePath("a.CDP");  // asks a question of its own
  bool opened_too_early = false;
  prompts.arrival = [&] {
    form.HandleForwardedPath(preset);
    opened_too_early = form.commands().matrix_visible;
  };
  form.HandleForwardedPath(package);
  EXPECT_FALSE(opened_too_early);
  EXPECT_EQ(prompts.most_open, 1);
  EXPECT_TRUE(form.commands().matrix_visible);
  EXPECT_EQ(form.FilePanel()->text(), "File executed from file explorer. (" + preset + ")");
  // Another later is handled as usual.
  form.HandleForwardedPath(package);
  EXPECT_EQ(form.FilePanel()->text(), "File executed from file explorer. (" + package + ")");
}

TEST(QtPromptsTest, MessagesAreShownAsPlainText) {
  // A file name or instrument text with markup in it must show as typed.
  ui::QtPrompts prompts;
  Qt::TextFormat format = Qt::AutoText;
  QString text;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      format = box->textFormat();
      text = box->text();
      box->button(QMessageBox::Ok)->click();
    }
  });
  prompts.Ask(core::ui_port::PromptKind::kError, "<b>x.PRE</b>\rnext",
              core::ui_port::PromptButtons::kOk);
  EXPECT_EQ(format, Qt::PlainText);
  EXPECT_EQ(text, "<b>x.PRE</b>\nnext");
}

}  // namespace
}  // namespace zizara::gui::app

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSpinBox>
#include <QTemporaryDir>

#include "core/settings/ini_file.h"
#include "gui/app/main_form.h"
#include "gui/app/program_options_commands.h"
#include "gui/matrix/matrix_view.h"
#include "gui/program_options/options_form.h"
#include "gui/ui/qt_prompts.h"

namespace zizara::gui::app {
namespace {

using core::ui_port::Answer;
using program_options::TOptionsForm;

const QString kRestartNote = "You may need to log out and in again for all the changes to take effect.";

class ProgramOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_ = dir_.filePath("VT-Zizara.INI");
    form_ = std::make_unique<TMainForm>(ctx_, prompts_, files_, settings_);
    form_->LoadSettings();
    places_.data_home = dir_.filePath("data");
    places_.config_home = dir_.filePath("config");
    places_.executable = dir_.filePath("vt-zizara");
    commands().SetPlaces(places_);
  }
  ProgramOptionsCommands& commands() { return *form_->ProgramOptions(); }
  // Opens the window from the menu; `edit` plays the user and says whether OK was pressed.
  void OpenOptions(const std::function<void(TOptionsForm&)>& edit) {
    commands().SetDialogRunner([edit](TOptionsForm& dialog) {
      edit(dialog);
      return dialog.result() == QDialog::Accepted;
    });
    form_->FindAction("MenuOptions")->trigger();
  }
  static QSpinBox* Spin(TOptionsForm& d, const char* name) {
    return d.findChild<QSpinBox*>(QString::fromLatin1(name));
  }
  static QCheckBox* Check(TOptionsForm& d, const char* name) {
    return d.findChild<QCheckBox*>(QString::fromLatin1(name));
  }
  static void TickFileType(TOptionsForm& d, int row, bool on) {
    d.findChild<QListWidget*>("ListFileAsc")->item(row)->setCheckState(on ? Qt::Checked
                                                                           : Qt::Unchecked);
  }
  core::matrix::XPointCells& cells() { return form_->Matrix()->model().cells; }

  QTemporaryDir dir_;
  QString settings_;
  AppContext ctx_;
  core::ui_port::ScriptedPrompts prompts_;
  ui::ScriptedFileChooser files_;
  std::unique_ptr<TMainForm> form_;
  core::assoc::Places places_;
};

TEST_F(ProgramOptionsTest, OkIsRefusedWhileAKindSharesTheGreyedOrLockedImage) {
  bool stayed_open = false;
  OpenOptions([&](TOptionsForm& d) {
    Spin(d, "SpinXpoint")->setValue(2);  // the illegal-greyed image
    d.accept();
    stayed_open = d.result() != QDialog::Accepted;
    Spin(d, "SpinXpoint")->setValue(6);
    Spin(d, "SpinLocalXpoint")->setValue(4);  // the locked image
    d.accept();
  });
  EXPECT_TRUE(stayed_open);
  ASSERT_EQ(prompts_.records().size(), 2u);
  EXPECT_TRUE(prompts_.records()[0].text.contains("\"Illegal X-Point grayed\""));
  EXPECT_TRUE(prompts_.records()[1].text.contains("\"Locked X-Point\""));
  EXPECT_EQ(commands().Options(), core::settings::ProgramOptions{});  // nothing stored
}

TEST_F(ProgramOptionsTest, OkRewritesTheCellsAndTheSettingsKeepThemAtClose) {
  cells().Set(5, 7, 6);   // offline
  cells().Set(8, 9, 13);  // local
  bool changed = false;
  OpenOptions([&](TOptionsForm& d) {
    Spin(d, "SpinXpoint")->setValue(11);
    Spin(d, "SpinLocalXpoint")->setValue(14);
    Check(d, "CheckMatrixClick")->setChecked(false);
    changed = d.IconsChanged();
    d.accept();
  });
  EXPECT_TRUE(changed);
  EXPECT_EQ(cells().At(5, 7), 11);
  EXPECT_EQ(cells().At(8, 9), 14);
  EXPECT_EQ(form_->Matrix()->CellImages().xpoint_from_file, 11);
  EXPECT_TRUE(prompts_.records().empty());  // the file types were not touched

  form_->SaveSettings();
  core::settings::IniFile ini(settings_);
  ASSERT_TRUE(ini.Load());
  EXPECT_EQ(ini.GetInt("Zizara", "XpointFromFile", 0), 11);
  EXPECT_EQ(ini.GetInt("Zizara", "LocalXpoint", 0), 14);
  EXPECT_FALSE(ini.GetBool("Zizara", "DoubleClick", true));
}

TEST_F(ProgramOptionsTest, UpDownsStayInTheListAndTraceColourFollowsTracing) {
  bool changed = true;
  bool colour_enabled_before = true;
  bool colour_enabled_after = false;
  OpenOptions([&](TOptionsForm& d) {
    QSpinBox* locked = Spin(d, "SpinLockedXpoint");
    locked->setValue(25);
    changed = false;
    locked->stepUp();  // past the last image: nothing moves, nothing is marked
    changed = d.IconsChanged() && locked->value() != 25;
    EXPECT_EQ(Spin(d, "SpinIllegalGrayed")->minimum(), 1);
    EXPECT_EQ(Spin(d, "SpinIllegal")->minimum(), 2);
    auto* colour = d.findChild<QComboBox*>("ColorTrace");
    colour_enabled_before = colour->isEnabled();
    Check(d, "CheckMouseTrace")->click();
    colour_enabled_after = colour->isEnabled();
    d.reject();
  });
  EXPECT_FALSE(changed);
  EXPECT_FALSE(colour_enabled_before);
  EXPECT_TRUE(colour_enabled_after);
  EXPECT_EQ(commands().Options(), core::settings::ProgramOptions{});  // Cancel stores nothing
}

TEST_F(ProgramOptionsTest, TouchedFileTypesAreRegisteredThenTheNoteShows) {
  OpenOptions([](TOptionsForm& d) {
    TickFileType(d, 0, true);
    TickFileType(d, 2, true);
    d.accept();
  });
  EXPECT_TRUE(core::assoc::IsFileTypeAssociated("PRE", places_));
  EXPECT_FALSE(core::assoc::IsFileTypeAssociated("MCR", places_));
  EXPECT_TRUE(core::assoc::IsFileTypeAssociated("CDP", places_));
  EXPECT_EQ(prompts_.Texts(), QStringList{kRestartNote});

  bool pre_shown_checked = false;
  OpenOptions([&](TOptionsForm& d) {
    pre_shown_checked = d.FileTypesChecked()[0];
    TickFileType(d, 0, false);
    d.accept();
  });
  EXPECT_TRUE(pre_shown_checked);
  EXPECT_FALSE(core::assoc::IsFileTypeAssociated("PRE", places_));
  EXPECT_TRUE(core::assoc::IsFileTypeAssociated("CDP", places_));
}

TEST_F(ProgramOptionsTest, StartUpCheckOffersTheWindowWhenATypeIsNotOurs) {
  int shown = 0;
  commands().SetDialogRunner([&](TOptionsForm&) {
    ++shown;
    return false;
  });
  prompts_.Queue(Answer::kNo);
  commands().CheckAtStartUp();
  EXPECT_EQ(prompts_.Texts(),
            QStringList{"One or more filetypes is not associated with this version of "
                        "VT-Zizara, do you wish to correct this?"});
  EXPECT_EQ(shown, 0);
  prompts_.Queue(Answer::kYes);
  commands().CheckAtStartUp();
  EXPECT_EQ(shown, 1);

  for (const char* ext : {"PRE", "MCR", "CDP"}) {
    core::assoc::SetFileTypeAssociation(ext, true, places_);
  }
  prompts_.Clear();
  commands().CheckAtStartUp();
  EXPECT_TRUE(prompts_.records().empty());
}

}  // namespace
}  // namespace zizara::gui::app

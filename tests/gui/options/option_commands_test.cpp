#include "gui/app/option_commands.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>

#include "gui/app/main_form.h"
#include "gui/matrix/matrix_view.h"
#include "gui/options/compare_form.h"
#include "gui/options/lcd_options_form.h"
#include "gui/options/ppm_option_form.h"
#include "gui/options/preset_options_form.h"
#include "gui/ui/qt_prompts.h"
#include "support/crafted_files.h"

namespace zizara::gui::app {
namespace {

using core::matrix::Axis;

class OptionCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<TMainForm>(ctx_, prompts_, files_, dir_.filePath("VT-Zizara.INI"));
    form_->LoadSettings();
    commands_ = form_->Options();
    // Each modal window answers at once: `act` runs inside it, then OK is pressed.
    commands_->run_modal = [this](QDialog* d) {
      opened_ << d->objectName();
      d->setResult(QDialog::Rejected);
      if (act_) act_(d);
      if (press_ok_) d->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
      return d->result();
    };
  }
  QString Crafted(const QString& name, const QByteArray& image, int version = 0x0510) {
    return testing::WriteFile(QDir(dir_.path()), name,
                              testing::CraftPresetFile(image, {.version = version}));
  }
  void Open(const QByteArray& image) {
    files_.open_names << Crafted("open.PRE", image);
    ASSERT_TRUE(form_->OpenPreset());
  }

  QTemporaryDir dir_;
  AppContext ctx_;
  core::ui_port::ScriptedPrompts prompts_;
  ui::ScriptedFileChooser files_;
  std::unique_ptr<TMainForm> form_;
  OptionCommands* commands_ = nullptr;
  QStringList opened_;
  std::function<void(QDialog*)> act_;
  bool press_ok_ = true;
};

TEST_F(OptionCommandsTest, RenameButtonOpensPresetOptionsAndRefusedOkKeepsItOpen) {
  Open(testing::CraftImage());
  act_ = [](QDialog* d) {
    static_cast<options::TPresetOptionsForm*>(d)->PresetNameEdit()->setText("Bad'Name");
  };
  form_->FindToolButton("ToolButtonRename")->click();
  EXPECT_EQ(opened_, QStringList{"TPresetOptionsForm"});
  EXPECT_EQ(prompts_.Texts().last(), "The text contains one or more illegal characters.");
  EXPECT_FALSE(ctx_.config.modified);
  act_ = [](QDialog* d) {
    static_cast<options::TPresetOptionsForm*>(d)->PresetNameEdit()->setText("Renamed");
  };
  form_->FindAction("MenuPresetOptions")->trigger();
  EXPECT_TRUE(ctx_.config.modified);
  EXPECT_EQ(form_->PresetDropDown()->itemText(0), "Preset 1 - Renamed   ");
  EXPECT_TRUE(form_->FindAction("MenuSaveAs")->isEnabled());
}

TEST_F(OptionCommandsTest, LcdOptionsSetTheFlagOnlyThroughTheTrackBar) {
  QByteArray img = testing::CraftImage();
  img[0x010D] = 4;
  Open(img);
  act_ = [](QDialog* d) {
    static_cast<options::TLCDOptionsForm*>(d)->ThemeCheckList()->item(3)->setCheckState(
        Qt::Checked);
  };
  form_->FindAction("MenuLCDOptions")->trigger();
  EXPECT_TRUE(ctx_.config.image.Bit(0x2500 + 2 * 0x180, 6));  // preset 4
  EXPECT_FALSE(ctx_.config.modified);
  act_ = [](QDialog* d) { static_cast<options::TLCDOptionsForm*>(d)->BacklightBar()->setValue(6); };
  form_->FindAction("MenuLCDOptions")->trigger();
  EXPECT_EQ(form_->BacklightTrackBar()->value(), 6);
  EXPECT_EQ(ctx_.config.image.Byte(0x010D), 6);
  EXPECT_TRUE(ctx_.config.modified);
}

TEST_F(OptionCommandsTest, PpmPopupCountsItsChannelAsSelected) {
  QByteArray img = testing::CraftImage();
  img[0x12C + 2 * 4 + 1] = 0x03;  // channel 5 Blue
  Open(img);
  matrix::TMatrixView* view = form_->Matrix();
  view->model().selection.Set(Axis::kOutputs, 64 + 9, true);  // output 74, channel 10
  int colour_shown = -2;
  act_ = [&](QDialog* d) {
    auto* ppm = static_cast<options::TPPMOptionForm*>(d);
    colour_shown = ppm->ColorBox()->currentIndex();
    ppm->ColorBox()->setCurrentIndex(2);
    emit ppm->ColorBox()->activated(2);
  };
  view->ScrollBarX()->setValue(56);
  view->HandleLabelMouseDown(Axis::kInputs, 4, Qt::RightButton, {});  // input 61, channel 5
  view->PopupItem("PopInPPM")->trigger();
  EXPECT_EQ(opened_, QStringList{"TPPMOptionForm"});
  EXPECT_EQ(colour_shown, 3);
  EXPECT_EQ(ctx_.config.image.Byte(0x12C + 2 * 4 + 1), 0x02);  // input side only
  EXPECT_EQ(ctx_.config.image.Byte(0x12C + 2 * 9 + 1), 0x00);
  EXPECT_FALSE(view->model().selection.Selected(Axis::kInputs, 60));  // flag given back
  EXPECT_TRUE(ctx_.config.modified);
}

TEST_F(OptionCommandsTest, PhasePopupAndFileInformation) {
  QByteArray img = testing::CraftImage();
  img[0x0100] = 0x43;  // theme, slow and fast both set
  Open(img);
  form_->Matrix()->PopOutScopClick();
  EXPECT_EQ(opened_, QStringList{"TScopForm"});
  EXPECT_EQ(ctx_.config.image.Byte(0x0100), 0x41);  // shown as Slow; OK keeps only bit 0
  EXPECT_EQ(ctx_.config.image.Byte(0x0121), 2);
  EXPECT_TRUE(ctx_.config.modified);
  form_->UpdateMenuItems();
  form_->FindAction("MenuFileInfo")->trigger();
  EXPECT_EQ(opened_.last(), "TFileInfoForm");
}

TEST_F(OptionCommandsTest, CancelWritesNothing) {
  Open(testing::CraftImage());
  const core::config::ConfigurationImage before = ctx_.config.image;
  press_ok_ = false;
  form_->UpdateMenuItems();  // what opening the Tools menu does
  for (const char* item :
       {"MenuPresetOptions", "MenuLCDOptions", "ScaleOptions", "MenuWriteProtectLockCode"}) {
    form_->FindAction(item)->trigger();
  }
  EXPECT_EQ(opened_,
            (QStringList{"TPresetOptionsForm", "TLCDOptionsForm", "TScaleForm", "TLockForm"}));
  EXPECT_EQ(ctx_.config.image, before);
  EXPECT_FALSE(ctx_.config.modified);
}

TEST_F(OptionCommandsTest, CompareWithFileListsTheDifferences) {
  QByteArray img = testing::CraftImage();
  Open(img);
  QAction* compare = form_->FindAction("MenuCompareFile");
  ASSERT_NE(compare, nullptr);
  auto* file_menu = form_->findChild<QMenu*>("MenuFile");
  const QList<QAction*> items = file_menu->actions();
  EXPECT_EQ(items.indexOf(compare), items.indexOf(form_->FindAction("MenuFileInfo")) + 1);
  img[0x2480 + 10] = 'X';  // preset 2's name, first character sits in the low byte
  files_.open_names << Crafted("other.PRE", img);
  compare->trigger();
  options::TCompareForm* window = commands_->CompareForm();
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isModal());
  EXPECT_TRUE(window->DiffText()->toPlainText().startsWith("Preset 2: preset_name=\""))
      << window->DiffText()->toPlainText().toStdString();
  files_.open_names << testing::WriteFile(QDir(dir_.path()), "short.PRE", QByteArray(100, 'x'));
  compare->trigger();
  EXPECT_TRUE(prompts_.Texts().last().contains("wrong size"))
      << prompts_.Texts().last().toStdString();
}

}  // namespace
}  // namespace zizara::gui::app

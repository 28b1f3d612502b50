#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "core/config/configuration.h"
#include "core/config/preset_options.h"
#include "core/options/preset_settings.h"
#include "core/ui_port/prompts.h"
#include "gui/options/compare_form.h"
#include "gui/options/file_info_form.h"
#include "gui/options/lcd_options_form.h"
#include "gui/options/leqm_form.h"
#include "gui/options/lock_form.h"
#include "gui/options/ppm_option_form.h"
#include "gui/options/preset_options_form.h"
#include "gui/options/scale_form.h"
#include "gui/options/scop_form.h"

namespace zizara::gui::options {
namespace {

namespace opt = core::options;

constexpr int kPpm = 0x12C;  // preset 1

void Pick(QComboBox* box, int index) {
  box->setCurrentIndex(index);
  emit box->activated(index);  // what a user's choice sends
}

TEST(PpmOptionFormTest, DifferingChannelsShowUndeterminedAndKeepTheirValues) {
  core::config::Configuration config;
  config.image.SetByte(kPpm + 1, 0x01);         // channel 1 Green
  config.image.SetByte(kPpm + 3, 0x02);         // channel 2 Yellow
  config.image.SetByte(kPpm + 0, 0x40);         // channel 1 Normal
  config.image.SetByte(kPpm + 2, 0x40 | 0x10);  // channel 2 Normal, space
  TPPMOptionForm form(config);
  opt::PpmSelection sel;
  sel.inputs[0] = sel.inputs[1] = true;
  form.Load(0, sel);
  EXPECT_EQ(form.ColorBox()->currentIndex(), -1);
  EXPECT_EQ(form.ComboWidth()->currentText(), "Normal");
  EXPECT_EQ(form.CheckSpace()->checkState(), Qt::PartiallyChecked);
  Pick(form.ComboWidth(), 2);
  form.Button1Click();
  EXPECT_EQ(config.image.Byte(kPpm + 1), 0x01);  // colours untouched
  EXPECT_EQ(config.image.Byte(kPpm + 3), 0x02);
  EXPECT_EQ(config.image.Byte(kPpm + 0), 0x20);  // X-Wide is 0x20
  EXPECT_EQ(config.image.Byte(kPpm + 2), 0x30);  // space kept
  EXPECT_TRUE(config.modified);
}

TEST(PpmOptionFormTest, InputSideSelectionWins) {
  core::config::Configuration config;
  config.image.SetByte(kPpm + 2 * 5 + 1, 0x80 | 0x30);  // channel 6: trace bit 7, trace Blue
  TPPMOptionForm form(config);
  opt::PpmSelection sel;
  sel.inputs[5] = true;
  sel.outputs[7] = true;
  form.Load(2 * 7, sel);                             // popup on output 72 (channel 8)
  EXPECT_EQ(form.ColorTrace()->currentIndex(), -1);  // channel 6's Blue differs from 8's Black
  form.Load(2 * 5, sel);
  EXPECT_EQ(form.ColorTrace()->currentText(), "Blue");  // bit 7 dropped
  Pick(form.ColorTrace(), 6);
  form.Button1Click();
  EXPECT_EQ(config.image.Byte(kPpm + 2 * 5 + 1), 0x60);  // bit 7 cleared
  EXPECT_EQ(config.image.Byte(kPpm + 2 * 7 + 1), 0x00);  // output side untouched
}

TEST(PpmOptionFormTest, OddWidthOpensWideAndStaysUnlessPicked) {
  core::config::Configuration config;
  config.image.SetByte(kPpm, 0x60);  // width field 3
  TPPMOptionForm form(config);
  opt::PpmSelection sel;
  sel.outputs[0] = true;
  form.Load(0, sel);
  EXPECT_EQ(form.ComboWidth()->currentText(), "Wide");
  EXPECT_EQ(form.CheckSpace()->checkState(), Qt::Unchecked);
  form.Button1Click();
  EXPECT_EQ(config.image.Byte(kPpm), 0x60);
  form.Load(0, sel);
  form.CheckSpace()->click();
  form.Button1Click();
  EXPECT_EQ(config.image.Byte(kPpm), 0x70);
}

TEST(LockFormTest, RefusesAnythingButFourDigits) {
  core::config::Configuration config;
  core::ui_port::ScriptedPrompts prompts;
  opt::WriteLockCode(config.image, "4711");
  TLockForm form(config, prompts);
  form.Load();
  EXPECT_TRUE(form.LockEdit()->isEnabled());
  form.LockEdit()->setText("123");
  EXPECT_FALSE(form.Button1Click());
  EXPECT_EQ(prompts.Texts(), QStringList{"Please enter a four digit number."});
  EXPECT_EQ(config.image.Byte(0x3FA5), '1');
  form.WriteLockCheck()->click();
  EXPECT_FALSE(form.LockEdit()->isEnabled());
  EXPECT_EQ(form.LockEdit()->text(), "8246");
  EXPECT_TRUE(form.Button1Click());
  EXPECT_EQ(config.image.Word(0x3F9E), '8');
  form.Load();
  EXPECT_TRUE(form.WriteLockCheck()->isChecked());
  EXPECT_FALSE(form.LockEdit()->isEnabled());
}

TEST(LockFormTest, FullFieldOverwritesAndDropsOtherKeys) {
  core::config::Configuration config;
  core::ui_port::ScriptedPrompts prompts;
  opt::WriteLockCode(config.image, "1234");
  TLockForm form(config, prompts);
  form.Load();
  QLineEdit* edit = form.LockEdit();
  edit->setCursorPosition(1);
  QTest::keyClick(edit, Qt::Key_9);
  EXPECT_EQ(edit->text(), "1934");
  QTest::keyClick(edit, Qt::Key_A);
  EXPECT_EQ(edit->text(), "1934");
  edit->setCursorPosition(4);
  QTest::keyClick(edit, Qt::Key_5);
  EXPECT_EQ(edit->text(), "1934");
  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_EQ(edit->text(), "193");
}

TEST(PresetOptionsFormTest, NameChecksAndVersionRule) {
  core::config::Configuration config;
  core::ui_port::ScriptedPrompts prompts;
  config.trailer.software_version = 0x0380;
  config.image.SetByte(0x3F81, 7);
  TPresetOptionsForm form(config, prompts);
  const QStringList items = core::config::PresetDropDownItems(config.image);
  form.Load(2, items);
  EXPECT_FALSE(form.ComboStartupPreset()->isEnabled());
  EXPECT_EQ(form.ComboStartupApplication()->currentText(), "Full Feature Mode");
  form.PresetNameEdit()->setText("Bob's");
  EXPECT_FALSE(form.Button1Click());
  EXPECT_EQ(prompts.Texts(), QStringList{"The text contains one or more illegal characters."});
  EXPECT_FALSE(config.modified);
  form.PresetNameEdit()->setText("");
  EXPECT_TRUE(form.Button1Click());
  EXPECT_EQ(opt::ReadPresetName(config.image, 2), "          ");
  EXPECT_EQ(config.image.Byte(0x3F81), 7);  // untouched below 5.00
  EXPECT_TRUE(config.modified);

  config.trailer.software_version = 0x0500;
  config.image.SetByte(0x3F81, 12);
  form.Load(0, items);
  EXPECT_TRUE(form.ComboStartupApplication()->isEnabled());
  EXPECT_EQ(form.ComboStartupApplication()->currentText(), "ToneGenerator");
  // Never-named presets hold NULs, which the name check refuses like any illegal character.
  EXPECT_FALSE(form.Button1Click());
  form.PresetNameEdit()->setText("Main");
  form.ComboStartupPreset()->setCurrentIndex(10);
  EXPECT_TRUE(form.Button1Click());
  EXPECT_EQ(config.image.Byte(0x3F93), 10);
}

TEST(LcdOptionsFormTest, ThemeChangesDoNotSetTheModifiedFlag) {
  core::config::Configuration config;
  config.image.SetByte(0x10D, 3);
  TLCDOptionsForm form(config);
  form.Load();
  EXPECT_EQ(form.BacklightBar()->value(), 3);
  ASSERT_EQ(form.ThemeCheckList()->count(), 11);
  form.ThemeCheckList()->item(10)->setCheckState(Qt::Checked);
  form.Button1Click();
  EXPECT_EQ(config.image.Byte(0x3280), 0x40);
  EXPECT_FALSE(config.modified);
}

TEST(LeqmFormTest, ShowingRulesAndOk) {
  core::config::Configuration config;
  config.image.SetByte(0x1411, 77);
  TLeqmForm form(config);
  form.Load();
  EXPECT_EQ(form.ColorBox()->currentText(), "Green");
  EXPECT_EQ(form.ColorSumBox()->currentText(), "Yellow");
  EXPECT_EQ(form.LevelUpDown()->value(), 85);
  form.Button1Click();
  EXPECT_EQ(config.image.Byte(0x140F), 2);
  EXPECT_EQ(config.image.Byte(0x140E), 6);
  EXPECT_EQ(config.image.Byte(0x1411), 85);
  EXPECT_TRUE(config.modified);
}

TEST(ScaleFormTest, CaptionAndVersionRule) {
  core::config::Configuration config;
  config.trailer.software_version = 0x0500;
  config.image.SetByte(0x111, 0x35);
  TScaleForm form(config);
  form.Load("Preset 1 - Main      ");
  EXPECT_EQ(form.windowTitle(), "Preset 1 - Main      ");
  EXPECT_EQ(form.ScaleCombo()->currentIndex(), 3);
  form.ScaleCombo()->setCurrentIndex(0);
  form.DualCheck()->setChecked(true);
  form.Button1Click();
  EXPECT_EQ(config.image.Byte(0x111), 0x05);
  EXPECT_EQ(config.image.Byte(0x10F), 0x40);
}

TEST(ScopFormTest, FastClearsSlow) {
  core::config::Configuration config;
  config.image.SetByte(0x100, 0x03);
  TScopForm form(config);
  form.Load();
  EXPECT_TRUE(form.RadioSlow()->isChecked());
  form.RadioFast()->setChecked(true);
  form.Button1Click();
  EXPECT_EQ(config.image.Byte(0x100), 0x02);
  EXPECT_EQ(config.image.Byte(0x121), 2);  // Green
}

TEST(FileInfoFormTest, Rows) {
  core::config::PresetTrailer t;
  t.serial_number = 12345;
  t.model_index = 5;
  t.software_version = 0x0510;
  t.extended_bios_id = 0xA1;
  t.checksum = 0xDEADBEEF;
  TFileInfoForm form;
  form.Load(t);
  const auto cell = [&](int r, int c) { return form.InfoGrid()->item(r, c)->text(); };
  EXPECT_EQ(cell(0, 0), "Serial:");
  EXPECT_EQ(cell(0, 1), "12345");
  EXPECT_EQ(cell(1, 1), "QLX-A");
  EXPECT_EQ(cell(2, 1), "05.10");
  EXPECT_EQ(cell(3, 1), "00A1");
  EXPECT_EQ(cell(4, 1), "0000");
  EXPECT_EQ(cell(5, 0), "Checksum:");
  EXPECT_EQ(cell(5, 1), "DEADBEEF");
  EXPECT_EQ(cell(6, 0), "");
  EXPECT_EQ(form.windowTitle(), "File information.");
}

TEST(CompareFormTest, ListsAndCopies) {
  TCompareForm form;
  EXPECT_FALSE(form.isModal());
  form.ShowDifferences("/tmp/b.PRE", {});
  EXPECT_EQ(form.DiffText()->toPlainText(), "No differences.");
  core::options::Difference d;
  d.text = "Preset 2: scale.dual=on (was off)";
  form.ShowDifferences("/tmp/b.PRE", {d, d});
  form.CopyButton()->click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            "Preset 2: scale.dual=on (was off)\nPreset 2: scale.dual=on (was off)");
}

}  // namespace
}  // namespace zizara::gui::options

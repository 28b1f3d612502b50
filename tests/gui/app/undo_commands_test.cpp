#include "gui/app/undo_commands.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

#include "core/config/memory_map.h"
#include "gui/app/main_form.h"
#include "gui/app/option_commands.h"
#include "gui/matrix/matrix_view.h"
#include "gui/options/lcd_options_form.h"
#include "gui/options/preset_options_form.h"
#include "gui/ui/qt_prompts.h"
#include "support/crafted_files.h"

namespace zizara::gui::app {
namespace {

namespace cfg = core::config;
using core::matrix::Axis;

class UndoCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<TMainForm>(ctx_, prompts_, files_, dir_.filePath("VT-Zizara.INI"));
    form_->LoadSettings();
    form_->Options()->run_modal = [this](QDialog* d) {
      d->setResult(QDialog::Rejected);
      if (act_) act_(d);
      d->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
      return d->result();
    };
    files_.open_names << testing::WriteFile(QDir(dir_.path()), "a.PRE",
                                            testing::CraftPresetFile(testing::CraftImage()));
    ASSERT_TRUE(form_->OpenPreset());
  }
  // What the user picks: the Edit menu's item, as the menu shows it when opened.
  QAction* EditItem(const char* name) {
    auto* edit = form_->findChild<QMenu*>(QStringLiteral("MenuEdit"));
    emit edit->aboutToShow();
    for (QAction* a : edit->actions()) {
      if (a->objectName() == QLatin1String(name)) return a;
    }
    return nullptr;
  }
  // The user picks a preset in the drop-down.
  void Pick(int p) {
    form_->PresetDropDown()->setCurrentIndex(p);
    emit form_->PresetDropDown()->activated(p);
  }
  int Routed(int output, int preset = 0) {
    return ctx_.config.image.ArrayElement(cfg::MemoryMap::ForPreset(preset).RoutingTable,
                                          output - 1);
  }

  QTemporaryDir dir_;
  AppContext ctx_;
  core::ui_port::ScriptedPrompts prompts_;
  ui::ScriptedFileChooser files_;
  std::unique_ptr<TMainForm> form_;
  std::function<void(QDialog*)> act_;
};

TEST_F(UndoCommandsTest, UndoAndRedoThroughTheEditMenuRestoreGridImageAndModifiedFlag) {
  matrix::TMatrixView* view = form_->Matrix();
  QAction* undo = EditItem("MenuUndo");
  QAction* redo = EditItem("MenuRedo");
  ASSERT_NE(undo, nullptr);
  ASSERT_NE(redo, nullptr);
  EXPECT_FALSE(undo->isEnabled());
  EXPECT_EQ(undo->text(), "Undo");
  EXPECT_EQ(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
  EXPECT_EQ(redo->shortcuts(), QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                                    QKeySequence(Qt::CTRL | Qt::Key_Y)}));

  view->MatrixGridDblClick(6, 4);  // input 7 to output 5
  EXPECT_EQ(Routed(5), 6);
  EXPECT_TRUE(ctx_.config.modified);
  EXPECT_TRUE(EditItem("MenuUndo")->isEnabled());
  EXPECT_EQ(undo->text(), "Undo Set X-Point 7/5");

  undo->trigger();
  EXPECT_EQ(Routed(5), 0);
  EXPECT_TRUE(view->model().cells.RoutedInput(4, view->CellImages()) == 0);
  EXPECT_FALSE(ctx_.config.modified);  // back at the file as opened
  EXPECT_FALSE(form_->FindAction("MenuSave")->isEnabled());
  EXPECT_EQ(EditItem("MenuRedo")->text(), "Redo Set X-Point 7/5");
  EXPECT_FALSE(undo->isEnabled());

  redo->trigger();
  EXPECT_EQ(Routed(5), 6);
  EXPECT_EQ(view->model().cells.RoutedInput(4, view->CellImages()), 6);
  EXPECT_TRUE(ctx_.config.modified);
  EXPECT_EQ(view->model().Hint(Axis::kOutputs, 4), "Input #7 (I007) is routed to this output.");
}

TEST_F(UndoCommandsTest, StepsInAnotherPresetRenameAndOptionWindowsAreUndoneWhereTheyWereMade) {
  matrix::TMatrixView* view = form_->Matrix();
  const QString third = form_->PresetDropDown()->itemText(2);
  Pick(2);
  view->MatrixGridDblClick(9, 0);  // preset 3: input 10 to output 1
  view->SetEditDialog([](const matrix::EditRequest&) { return std::optional<QString>("NEW"); });
  view->PopInRenameClick();  // input 1
  EXPECT_EQ(view->model().Name(Axis::kInputs, 0), "NEW ");
  act_ = [](QDialog* d) {
    static_cast<options::TPresetOptionsForm*>(d)->PresetNameEdit()->setText("Renamed");
  };
  form_->FindAction("MenuPresetOptions")->trigger();
  EXPECT_EQ(EditItem("MenuUndo")->text(), "Undo Preset Options");

  Pick(0);
  EditItem("MenuUndo")->trigger();
  EXPECT_EQ(form_->PresetDropDown()->itemText(2), third);
  EXPECT_EQ(EditItem("MenuUndo")->text(), "Undo Rename Input 1");
  EditItem("MenuUndo")->trigger();
  EXPECT_EQ(view->model().Name(Axis::kInputs, 0), "I001");
  EXPECT_EQ(view->NameLabel(Axis::kInputs, 0)->text(), "I001   ");
  EditItem("MenuUndo")->trigger();
  // The preset the step was made in is shown again.
  EXPECT_EQ(form_->PresetDropDown()->currentIndex(), 2);
  EXPECT_EQ(ctx_.config.preset(), 2);
  EXPECT_EQ(Routed(1, 2), 0);
  EXPECT_FALSE(ctx_.config.modified);
}

TEST_F(UndoCommandsTest, SavingMovesTheUnmodifiedMarkAndOpeningStartsAfresh) {
  matrix::TMatrixView* view = form_->Matrix();
  view->MatrixGridDblClick(6, 4);
  files_.save_names << dir_.filePath("saved.PRE");
  ASSERT_EQ(form_->SaveAs(), cfg::SaveAsOutcome::kSaved);
  EXPECT_FALSE(ctx_.config.modified);
  EditItem("MenuUndo")->trigger();
  EXPECT_TRUE(ctx_.config.modified);  // the opened file is no longer what is saved
  EXPECT_TRUE(form_->FindAction("MenuSave")->isEnabled());
  EditItem("MenuRedo")->trigger();
  EXPECT_FALSE(ctx_.config.modified);

  view->MatrixGridDblClick(7, 4);
  files_.open_names << dir_.filePath("saved.PRE");
  prompts_.Queue(core::ui_port::Answer::kNo);  // do not save the changes
  ASSERT_TRUE(form_->OpenPreset());
  EXPECT_FALSE(EditItem("MenuUndo")->isEnabled());
  EXPECT_FALSE(EditItem("MenuRedo")->isEnabled());
  EXPECT_EQ(form_->Undo()->History().Steps(), 0);
}

TEST_F(UndoCommandsTest, EachKindOfEditNamesItsStep) {
  matrix::TMatrixView* view = form_->Matrix();
  const auto undo_text = [this] { return EditItem("MenuUndo")->text(); };
  view->SumClick(cfg::SumGain::kMinus3dB);
  EXPECT_EQ(undo_text(), "Undo SUM Gain");

  view->model().selection.Set(Axis::kOutputs, 0, true);
  view->MenuCopyXpointClick();
  Pick(3);
  view->MenuPasteXpointClick();
  EXPECT_EQ(undo_text(), "Undo Paste X-Points");
  EXPECT_EQ(Routed(1, 3), 4);

  // Dragging the track bar is one step when it is let go.
  QSlider* bar = form_->BacklightTrackBar();
  bar->setSliderDown(true);
  bar->setValue(3);
  bar->setValue(4);
  QCoreApplication::processEvents();
  bar->setSliderDown(false);
  QCoreApplication::processEvents();
  EXPECT_EQ(undo_text(), "Undo Backlight");
  EditItem("MenuUndo")->trigger();
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(undo_text(), "Undo Paste X-Points");

  // The LCD options' OK moves the track bar too, yet makes one step.
  act_ = [](QDialog* d) {
    static_cast<options::TLCDOptionsForm*>(d)->BacklightBar()->setValue(6);
    static_cast<options::TLCDOptionsForm*>(d)->ThemeCheckList()->item(3)->setCheckState(
        Qt::Checked);
  };
  const int steps = form_->Undo()->History().Steps();
  form_->Options()->LcdOptions();
  QCoreApplication::processEvents();
  EXPECT_EQ(undo_text(), "Undo LCD Options");
  EXPECT_EQ(form_->Undo()->History().Steps(), steps);  // replaced the undone Backlight step
  EXPECT_EQ(form_->Undo()->History().Position(), steps);
  EditItem("MenuUndo")->trigger();
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(ctx_.config.image.Byte(cfg::offsets::kBacklight), 0);
}

TEST_F(UndoCommandsTest, RemoteControlDisablesUndoAndRedo) {
  form_->Matrix()->MatrixGridDblClick(6, 4);
  EXPECT_TRUE(EditItem("MenuUndo")->isEnabled());
  ctx_.connected = true;
  form_->SetMenuState(MenuState::kRemoteConnect);
  EXPECT_FALSE(EditItem("MenuUndo")->isEnabled());
  form_->Undo()->Undo();  // the shortcut cannot reach it either
  EXPECT_EQ(Routed(5), 6);
}

TEST_F(UndoCommandsTest, ExportWritesTheShownPresetOrAllPresetsAndThePicture) {
  auto* file_menu = form_->findChild<QMenu*>(QStringLiteral("MenuFile"));
  emit file_menu->aboutToShow();
  auto* export_menu = form_->findChild<QMenu*>(QStringLiteral("MenuExport"));
  ASSERT_NE(export_menu, nullptr);
  EXPECT_EQ(export_menu->title(), "Export");
  EXPECT_TRUE(export_menu->menuAction()->isEnabled());

  Pick(1);
  files_.save_names << dir_.filePath("shown");
  form_->FindAction("MenuExportRoutings")->trigger();
  QFile shown(dir_.filePath("shown.csv"));
  ASSERT_TRUE(shown.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = shown.readAll().split('\n');
  EXPECT_EQ(lines.size(), 98);  // header, 96 rows, nothing after the last CR LF
  EXPECT_EQ(lines[1], "2,1,O001,1,I001\r");

  files_.save_choice = "All presets (*.csv)";
  files_.save_names << dir_.filePath("all.csv");
  form_->FindAction("MenuExportRoutings")->trigger();
  QFile all(dir_.filePath("all.csv"));
  ASSERT_TRUE(all.open(QIODevice::ReadOnly));
  EXPECT_EQ(all.readAll().count("\r\n"), 1 + 11 * 96);

  files_.save_names << dir_.filePath("matrix.png");
  form_->FindAction("MenuExportPicture")->trigger();
  const QImage picture(dir_.filePath("matrix.png"));
  EXPECT_EQ(picture.size(), QSize(80 + 88 * 17, 80 + 96 * 17 + 1));
  // The window's own grid was not scrolled or resized by drawing it.
  EXPECT_LT(form_->Matrix()->Geometry().columns, 88);

  // An existing file is replaced only when the user agrees.
  files_.save_names << dir_.filePath("matrix.png");
  prompts_.Queue(core::ui_port::Answer::kNo);
  QFile::resize(dir_.filePath("matrix.png"), 1);
  form_->FindAction("MenuExportPicture")->trigger();
  EXPECT_EQ(QFileInfo(dir_.filePath("matrix.png")).size(), 1);
  EXPECT_TRUE(prompts_.Texts().last().contains("allready exists."));
}

}  // namespace
}  // namespace zizara::gui::app

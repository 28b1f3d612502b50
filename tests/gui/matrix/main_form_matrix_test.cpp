#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMimeData>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "core/matrix/clipboard_blocks.h"
#include "core/settings/ini_file.h"
#include "gui/app/main_form.h"
#include "gui/matrix/matrix_view.h"
#include "gui/ui/qt_prompts.h"
#include "support/crafted_files.h"

namespace zizara::gui::app {
namespace {

using core::matrix::Axis;
using core::ui_port::Answer;

// The matrix inside the main window: rebuilt by preset changes, feeding the menus.
class MainFormMatrixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QGuiApplication::clipboard()->clear();
    settings_ = dir_.filePath("VT-Zizara.INI");
    ctx_.current_port = "ttyS0";
    form_ = std::make_unique<TMainForm>(ctx_, prompts_, files_, settings_);
    form_->LoadSettings();
    form_->show();
    files_.open_names << testing::WriteFile(QDir(dir_.path()), "a.PRE",
                                            testing::CraftPresetFile(testing::CraftImage()));
    ASSERT_TRUE(form_->OpenPreset());
  }
  bool Enabled(const char* action) {
    return form_->FindAction(QString::fromLatin1(action))->isEnabled();
  }
  matrix::TMatrixView* Matrix() { return form_->Matrix(); }

  QTemporaryDir dir_;
  QString settings_;
  AppContext ctx_;
  core::ui_port::ScriptedPrompts prompts_;
  ui::ScriptedFileChooser files_;
  std::unique_ptr<TMainForm> form_;
};

TEST_F(MainFormMatrixTest, OpeningAndSwitchingPresetsRebuildTheMatrix) {
  EXPECT_TRUE(Matrix()->isVisible());
  EXPECT_EQ(Matrix()->model().Name(Axis::kInputs, 32), "P1IN");
  EXPECT_EQ(Matrix()->model().cells.RoutedInput(0, Matrix()->CellImages()), 4);
  // The minimum window still shows whole cells and the scroll bars.
  form_->resize(656, 487);
  QTest::qWait(0);
  EXPECT_GE(Matrix()->Geometry().columns, 20);
  EXPECT_GE(Matrix()->Geometry().rows, 8);
  const QRect bar = Matrix()->ScrollBarX()->geometry();
  EXPECT_LE(bar.bottom(), Matrix()->height());

  form_->PresetDropDown()->setCurrentIndex(1);
  emit form_->PresetDropDown()->activated(1);
  EXPECT_EQ(Matrix()->model().Name(Axis::kInputs, 32), "P2IN");
  EXPECT_EQ(Matrix()->model().cells.RoutedInput(0, Matrix()->CellImages()), 0);
  EXPECT_FALSE(ctx_.config.modified);
}

TEST_F(MainFormMatrixTest, TheScrollBarSitsOnTheStatusBarAtEverySize) {
  for (const QSize size :
       {QSize(656, 487), QSize(700, 530), QSize(800, 600), QSize(753, 611), QSize(1000, 700)}) {
    SCOPED_TRACE(size.height());
    form_->resize(size);
    QTest::qWait(0);
    QScrollBar* bar = Matrix()->ScrollBarX();
    const int bar_bottom = bar->mapTo(form_.get(), QPoint(0, bar->height())).y();
    EXPECT_EQ(bar_bottom, form_->statusBar()->geometry().top());
    // Whole cells: the grid is the specified cell multiple, as many rows as fit.
    EXPECT_EQ(Matrix()->Grid()->height(), Matrix()->Geometry().rows * 17 + 1);
    EXPECT_EQ(Matrix()->Geometry().rows, (Matrix()->height() - 81 - bar->height()) / 17);
  }
  // The window steps by whole cells from a size where nothing is left over.
  EXPECT_EQ(form_->sizeIncrement(), QSize(17, 17));
  form_->resize(form_->baseSize() + QSize(17 * 40, 17 * 20));
  QTest::qWait(0);
  EXPECT_EQ(Matrix()->Geometry().columns, 40);
  EXPECT_EQ(Matrix()->Geometry().rows, 20);
  EXPECT_EQ(Matrix()->InputPanel()->y(), 0);  // no room left over above the labels either
}

TEST_F(MainFormMatrixTest, EditsEnterTheSaveState) {
  files_.save_names << dir_.filePath("b");
  ASSERT_EQ(form_->SaveAs(), core::config::SaveAsOutcome::kSaved);
  EXPECT_FALSE(Enabled("MenuSave"));
  Matrix()->MatrixGridDblClick(3, 3);
  EXPECT_TRUE(ctx_.config.modified);
  EXPECT_TRUE(Enabled("MenuSave"));
}

TEST_F(MainFormMatrixTest, PasteFollowsTheClipboard) {
  EXPECT_TRUE(Enabled("MenuCopyLabels"));
  EXPECT_TRUE(Enabled("MenuCopyXpoint"));
  EXPECT_FALSE(Enabled("MenuPasteLabels"));
  EXPECT_FALSE(Enabled("MenuPasteXpoint"));
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(core::matrix::kLabelsMimeType), QByteArray(740, '\0'));
  QGuiApplication::clipboard()->setMimeData(data);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Enabled("MenuPasteLabels"); }, 2000));
  EXPECT_FALSE(Enabled("MenuPasteXpoint"));

  // Copy X-Points through the Edit menu, then paste them back.
  Matrix()->HandleLabelMouseDown(Axis::kOutputs, 1, Qt::LeftButton, Qt::ControlModifier);
  form_->FindAction("MenuCopyXpoint")->trigger();
  EXPECT_TRUE(QTest::qWaitFor([&] { return Enabled("MenuPasteXpoint"); }, 2000));
  EXPECT_FALSE(Enabled("MenuPasteLabels"));
  ctx_.config.image.SetArrayElement(ctx_.config.map.RoutingTable, 1, 9);
  form_->FindAction("MenuPasteXpoint")->trigger();
  EXPECT_EQ(ctx_.config.image.ArrayElement(ctx_.config.map.RoutingTable, 1), 0x85);
  EXPECT_TRUE(ctx_.config.modified);
}

TEST_F(MainFormMatrixTest, SaveMacroNeedsASelectedOutput) {
  QMenu* macro = form_->findChild<QMenu*>("MenuMacro");
  emit macro->aboutToShow();
  EXPECT_FALSE(Enabled("MenuMacroSave"));
  Matrix()->HandleLabelMouseDown(Axis::kOutputs, 0, Qt::LeftButton, Qt::ControlModifier);
  emit macro->aboutToShow();
  EXPECT_TRUE(Enabled("MenuMacroSave"));
  ctx_.macro_running = true;
  emit macro->aboutToShow();
  EXPECT_FALSE(Enabled("MenuMacroSave"));
  ctx_.macro_running = false;
  emit macro->aboutToShow();
  EXPECT_TRUE(Enabled("MenuMacroSave"));
  // With the matrix gone the old selection writes nothing.
  form_->SetMenuState(MenuState::kUpLoad);
  EXPECT_FALSE(Matrix()->isVisible());
  emit macro->aboutToShow();
  EXPECT_FALSE(Enabled("MenuMacroSave"));
  const std::size_t asked = files_.asked;
  form_->FindAction("MenuMacroSave")->trigger();
  EXPECT_EQ(files_.asked, asked);
  form_->ShowMatrix(true);
  EXPECT_TRUE(Enabled("MenuMacroSave"));  // follows the matrix without the menu opening
  Matrix()->HandleLabelMouseDown(Axis::kOutputs, 0, Qt::LeftButton, Qt::NoModifier);
  Matrix()->model().selection.ClearAll();
  Matrix()->HandleLabelMouseDown(Axis::kInputs, 0, Qt::LeftButton, Qt::NoModifier);
  EXPECT_FALSE(Enabled("MenuMacroSave"));
}

TEST_F(MainFormMatrixTest, KeysReachTheGridAndTheScrollPositionIsKept) {
  form_->resize(700, 560);
  QTest::qWait(0);
  form_->activateWindow();
  QTest::keyClick(form_->BacklightTrackBar(), Qt::Key_Right);  // previewed: the grid scrolls
  EXPECT_EQ(Matrix()->GridPosX(), 2);
  EXPECT_EQ(form_->BacklightTrackBar()->value(), ctx_.config.image.Byte(0x010D));
  QTest::keyClick(Matrix()->Grid(), Qt::Key_Down);
  EXPECT_EQ(Matrix()->GridPosY(), 2);
  ctx_.config.modified = false;
  ASSERT_TRUE(form_->close());
  core::settings::IniFile ini(settings_);
  ini.Load();
  EXPECT_EQ(ini.GetString("Window", "GridPosX"), "2");
  EXPECT_EQ(ini.GetString("Window", "GridPosY"), "2");
}

}  // namespace
}  // namespace zizara::gui::app

#include "gui/link/driver_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "gui/common/placement.h"
#include "gui/link/log_forms.h"
#include "gui/ui/qt_prompts.h"

namespace zizara::gui::link {
namespace {

using core::link::TransferKind;

class TransferWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main_.setWindowTitle(QStringLiteral("VT-Zizara v. 1.2"));
    main_.setGeometry(100, 100, 700, 500);
    main_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main_));
    prompts_.SetParent(&main_);
  }

  QWidget main_;
  core::link::EngineState engine_;
  ui::QtPrompts prompts_;
};

// What the question box looked like while it was open.
struct SeenBox {
  bool found = false;
  bool stays_on_top = false;
  bool tied_to_transfer_window = false;
  bool active = false;
  QString text;
};

TEST_F(TransferWindowTest, StopQuestionOpensAboveTheTransferWindowAndTakesTheFocus) {
  main_.setEnabled(false);  // as during a transfer
  TRS232Driver driver(engine_, prompts_, &main_);
  engine_.kind = TransferKind::kUpload;
  driver.ShowProgress();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&driver));
  SeenBox seen;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen.found = true;
    seen.text = box->text();
    seen.stays_on_top = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    seen.tied_to_transfer_window = box->windowHandle() != nullptr &&
                                   box->windowHandle()->transientParent() == driver.windowHandle();
    seen.active = QTest::qWaitFor([box] { return QApplication::activeWindow() == box; });
    box->button(QMessageBox::No)->click();
  });
  EXPECT_FALSE(driver.close());  // No: the transfer goes on
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text,
            QStringLiteral("You are about to terminate the upload.\n\nDo you wish to proceed?"));
  EXPECT_TRUE(seen.stays_on_top);
  EXPECT_TRUE(seen.tied_to_transfer_window);
  EXPECT_TRUE(seen.active);
  EXPECT_FALSE(engine_.abort);
  EXPECT_TRUE(driver.isVisible());
}

TEST_F(TransferWindowTest, QuestionWithoutATransferIsCentredOnTheMainWindow) {
  main_.setEnabled(false);  // as while the splash shows: still centred on it
  QPoint centre;
  bool on_top = true;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    centre = box->frameGeometry().center();
    on_top = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    box->button(QMessageBox::Ok)->click();
  });
  prompts_.Information(QStringLiteral("Configuration is uploaded correctly..."));
  EXPECT_LE((centre - main_.frameGeometry().center()).manhattanLength(), 2);
  EXPECT_FALSE(on_top);  // nothing stays on top, so neither does the box
}

TEST_F(TransferWindowTest, KeepsADialogSizeOverALargeMainWindow) {
  main_.setGeometry(100, 100, 600, 500);
  TRS232Driver driver(engine_, prompts_, &main_);
  driver.ShowProgress();
  EXPECT_EQ(driver.width(), 580);  // the main window's width less 20
  EXPECT_EQ(driver.x(), 110);
  driver.HideProgress();

  main_.setGeometry(0, 0, 1800, 1000);
  driver.ShowProgress();
  EXPECT_LE(driver.width(), 640);
  EXPECT_EQ(driver.x(), main_.geometry().x() + (main_.width() - driver.width()) / 2);  // centred
  EXPECT_EQ(driver.y(), (1000 - driver.height()) / 2);
}

TEST(ToolWindowPlacementTest, BesideTheMainWindowOrClearOfItsMenuBar) {
  const QRect screen(0, 0, 1280, 900);
  // Room on the right: level with the main window's top, one title bar lower per slot.
  EXPECT_EQ(common::Beside({400, 300}, QRect(100, 100, 656, 500), screen, 0),
            QRect(756, 100, 400, 300));
  EXPECT_EQ(common::Beside({400, 300}, QRect(100, 100, 656, 500), screen, 1).top(), 128);
  // Room only on the left.
  EXPECT_EQ(common::Beside({400, 300}, QRect(600, 100, 656, 500), screen, 0),
            QRect(200, 100, 400, 300));
  // No room on either side (a maximized window): over its lower part, never its menu bar.
  const QRect main(0, 0, 1280, 900);
  const QRect placed = common::Beside({400, 300}, main, screen, 0);
  EXPECT_EQ(placed.bottom(), main.bottom());
  EXPECT_TRUE(screen.contains(placed));
  EXPECT_FALSE(placed.intersects(QRect(0, 0, 1280, 120)));
}

TEST(ToolWindowPlacementTest, FirstStartAndDialogsAreKeptOnScreen) {
  const QRect screen(0, 0, 1280, 900);
  EXPECT_EQ(common::CentredOn({656, 487}, screen, screen), QRect(312, 206, 656, 487));
  EXPECT_EQ(common::KeptInside(QRect(-50, -20, 656, 487), screen), QRect(0, 0, 656, 487));
  EXPECT_EQ(common::KeptInside(QRect(1000, 800, 656, 487), screen), QRect(624, 413, 656, 487));
  EXPECT_EQ(common::CentredOn({300, 200}, QRect(1100, 700, 180, 200), screen),
            QRect(980, 700, 300, 200));
}

TEST_F(TransferWindowTest, LogWindowsOpenBesideTheMainWindow) {
  main_.setGeometry(10, 10, 300, 300);
  TDotLogForm log(&main_);
  TDebugForm debug(&main_);
  log.show();
  debug.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&log));
  EXPECT_GT(log.frameGeometry().left(), main_.frameGeometry().right());
  EXPECT_GT(debug.frameGeometry().left(), main_.frameGeometry().right());
  EXPECT_GT(debug.frameGeometry().top(), log.frameGeometry().top());  // both title bars show
  // Where the user moves it, it opens again.
  log.hide();
  log.move(5, 400);
  log.show();
  EXPECT_EQ(log.pos(), QPoint(5, 400));
}

}  // namespace
}  // namespace zizara::gui::link

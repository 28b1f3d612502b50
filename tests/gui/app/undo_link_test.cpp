#include <gtest/gtest.h>

#include <QMenu>

#include "core/config/memory_map.h"
#include "gui/app/undo_commands.h"
#include "support/simulated_main_form.h"

namespace zizara::gui::app {
namespace {

using core::ui_port::Answer;

// Undo around the instrument commands, against the simulated instrument.
using UndoLinkTest = testing::SimulatedMainFormTest;

TEST_F(UndoLinkTest, AnUploadStartsAfreshAndTheUpgradeBeforeADownloadIsAStep) {
  form_->ConnectAtStartUp();
  Trigger("MenuUpload");
  ASSERT_TRUE(form_->MatrixArea()->isVisibleTo(form_.get()));
  UndoCommands* undo = form_->Undo();
  EXPECT_EQ(undo->History().Steps(), 0);
  EXPECT_FALSE(undo->History().AtSaved());  // an upload counts as unsaved

  // An old configuration for a version-5 instrument: the user accepts the upgrade.
  ctx_.config.trailer.software_version = 0x0400;
  ctx_.config.image.SetWord(0x0100 + 0x12, 0x1234);  // the layout word the upgrade rewrites
  undo->Record("Edit");
  const auto before = ctx_.config.image;
  prompts_.Queue(Answer::kYes);
  Trigger("MenuDownload");
  ASSERT_NE(ctx_.config.image, before);
  EXPECT_EQ(ctx_.config.image.Word(0x0100 + 0x12), 0x0050);

  emit form_->findChild<QMenu*>(QStringLiteral("MenuEdit"))->aboutToShow();
  EXPECT_EQ(undo->UndoAction()->text(), "Undo Upgrade to Version 5");
  undo->UndoAction()->trigger();
  EXPECT_EQ(ctx_.config.image, before);
  EXPECT_TRUE(ctx_.config.modified);
  // Without an upgrade a download is no step.
  const int steps = undo->History().Steps();
  Trigger("MenuDownload");  // the upgrade question is answered No
  EXPECT_EQ(undo->History().Steps(), steps);
}

}  // namespace
}  // namespace zizara::gui::app

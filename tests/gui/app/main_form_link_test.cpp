#include <gtest/gtest.h>

#include <QTest>

#include "support/simulated_main_form.h"

namespace zizara::gui::app {
namespace {

using core::ui_port::Answer;

// The window's instrument commands against the simulated instrument.
using MainFormLinkTest = testing::SimulatedMainFormTest;

TEST_F(MainFormLinkTest, StartUpConnectionFillsThePanels) {
  form_->ConnectAtStartUp();
  EXPECT_EQ(form_->ConnectedPanel()->text(), "QLX-A");
  EXPECT_EQ(form_->SerialPanel()->text(), "Serial No.: 12345");
  EXPECT_TRUE(form_->FindAction("MenuUpload")->isEnabled());
  EXPECT_TRUE(form_->FindAction("MenuRestart")->isEnabled());
  EXPECT_FALSE(form_->FindAction("MenuDownload")->isEnabled());  // nothing loaded yet
}

TEST_F(MainFormLinkTest, StoppingAnUploadSaysSoAtOnce) {
  form_->ConnectAtStartUp();
  link::TRS232Driver* driver = controller_->Driver();
  ASSERT_NE(driver, nullptr);
  // As in the middle of an upload: the user closes the transfer window and agrees.
  ctx_.engine.kind = core::link::TransferKind::kUpload;
  form_->SetFilePanelText("Uploading...");
  form_->OffsetPanel()->setText("International Offset");
  driver->show();
  prompts_.Queue(Answer::kYes);
  EXPECT_TRUE(driver->close());
  EXPECT_TRUE(ctx_.engine.abort);
  // Before "Upload is terminated..." is shown, not only after it has been answered.
  EXPECT_EQ(form_->FilePanel()->text(), "Upload terminated by the user...");
  EXPECT_TRUE(form_->OffsetPanel()->text().isEmpty());
  ctx_.engine.kind = core::link::TransferKind::kIdle;
  ctx_.engine.abort = false;
}

TEST_F(MainFormLinkTest, UploadEditDownloadRoundTrip) {
  form_->ConnectAtStartUp();
  Trigger("MenuUpload");
  EXPECT_EQ(ctx_.config.image, instrument_.Image());
  EXPECT_EQ(form_->FilePanel()->text(), "Configuration Uploaded from QLX...");
  EXPECT_TRUE(form_->MatrixArea()->isVisibleTo(form_.get()));
  EXPECT_TRUE(ctx_.config.modified);
  EXPECT_FALSE(form_->FindAction("MenuSave")->isEnabled());
  EXPECT_TRUE(form_->FindAction("MenuSaveAs")->isEnabled());
  EXPECT_TRUE(form_->FindAction("MenuDownload")->isEnabled());
  EXPECT_EQ(form_->PresetDropDown()->count(), 11);

  form_->BacklightTrackBar()->setValue(2);  // an edit
  Trigger("MenuDownload");
  EXPECT_EQ(instrument_.Image().Byte(0x010D), 2);
  EXPECT_EQ(instrument_.Image(), ctx_.config.image);
  EXPECT_EQ(prompts_.Texts().last(), "Download complete.");
  EXPECT_TRUE(form_->isEnabled());
}

TEST_F(MainFormLinkTest, FailedUploadShowsTheOldConfigurationAgain) {
  form_->ConnectAtStartUp();
  Trigger("MenuUpload");
  ASSERT_TRUE(form_->MatrixArea()->isVisibleTo(form_.get()));
  ctx_.config.modified = false;
  const auto before = ctx_.config.image;
  instrument_.blockSignals(true);  // falls silent
  prompts_.Clear();
  Trigger("MenuUpload");
  EXPECT_EQ(prompts_.Texts(), QStringList{"No instrument found."});
  EXPECT_EQ(ctx_.config.image, before);
  EXPECT_TRUE(form_->MatrixArea()->isVisibleTo(form_.get()));
  EXPECT_EQ(form_->PresetDropDown()->count(), 11);
  EXPECT_EQ(form_->ConnectedPanel()->text(), "Not Connected");
}

TEST_F(MainFormLinkTest, DownloadWithNobodyThereSaysSo) {
  form_->ConnectAtStartUp();
  Trigger("MenuUpload");
  instrument_.blockSignals(true);
  prompts_.Clear();
  Trigger("MenuDownload");
  EXPECT_EQ(prompts_.Texts(), QStringList{"No instrument found."});
  EXPECT_TRUE(form_->isEnabled());
}

TEST_F(MainFormLinkTest, AnEndlessLineIsLoggedAsInvalidCharacters) {
  form_->ConnectAtStartUp();
  emit instrument_.Transmit(QByteArray(70 * 1024, 'x'));
  EXPECT_TRUE(QTest::qWaitFor(
      [this] {
        return form_->DotLogForm()->DotLines()->toPlainText().contains("Invalid Chr. Detected.");
      },
      5000));
  EXPECT_LE(ctx_.link_state.line_buffer.size(), 64 * 1024);
}

TEST_F(MainFormLinkTest, ChoosingThePortAgainReconnects) {
  form_->InterfaceItemClick(form_->InterfaceMenu()->actions()[0]);
  EXPECT_EQ(form_->ConnectedPanel()->text(), "QLX-A");
  EXPECT_TRUE(controller_->HasDriver());
}

}  // namespace
}  // namespace zizara::gui::app

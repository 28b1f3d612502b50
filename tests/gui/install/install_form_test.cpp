#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include "core/install/package.h"
#include "core/io/file_access.h"
#include "gui/install/install_commands.h"
#include "support/simulated_main_form.h"

namespace zizara::gui::install {
namespace {

using core::install::BuildPackage;
using core::install::PackageItemSpec;
using core::ui_port::Answer;

class InstallFormTest : public testing::SimulatedMainFormTest {
 protected:
  void SetUp() override {
    SimulatedMainFormTest::SetUp();
    Hook();
  }
  void Hook() {
    commands_ = form_->Install();
    ASSERT_NE(commands_, nullptr);
    // Shown without blocking; the test then clicks.
    commands_->show_modal = [this](TInstallForm& w) {
      ++shown_;
      w.show();
    };
    Form().show_type_dialog = [this] { ++type_dialogs_; };
  }
  void TearDown() override {
    Form().hide();
    SimulatedMainFormTest::TearDown();
  }
  TInstallForm& Form() { return commands_->Form(); }
  QString Package(const QList<PackageItemSpec>& items, const QString& name = "p.CDP") {
    const QString path = dir_.filePath(name);
    QString error;
    EXPECT_TRUE(core::io::SaveFileAtomically(path, BuildPackage("Release 6", items), &error));
    return path;
  }
  static PackageItemSpec Write(std::uint32_t address, const QByteArray& data) {
    PackageItemSpec s;
    s.type = 0;
    s.address = address;
    s.data_size = static_cast<std::uint32_t>(data.size());
    s.data = data;
    s.description = "Writing.";
    return s;
  }

  std::unique_ptr<sim::QlxInstrument> bios_;
  InstallCommands* commands_ = nullptr;
  int shown_ = 0;
  int type_dialogs_ = 0;
};

TEST_F(InstallFormTest, TheMenuOpensTheWindowReadyForAPackage) {
  form_->ConnectAtStartUp();
  Trigger("InstallSoftware1");
  ASSERT_EQ(shown_, 1);
  EXPECT_EQ(Form().windowTitle(), "QLX-A");
  EXPECT_TRUE(Form().BackupCheck()->isEnabled());
  EXPECT_FALSE(Form().BackupButton()->isEnabled());
  EXPECT_FALSE(Form().BackupFileName()->isEnabled());
  Form().BackupCheck()->click();
  EXPECT_TRUE(Form().BackupButton()->isEnabled());
  EXPECT_TRUE(Form().BackupFileName()->isEnabled());
  EXPECT_EQ(Form().OverallPercent()->text(), "0 %");
  EXPECT_EQ(type_dialogs_, 0);
}

TEST_F(InstallFormTest, AnInstallationRunsClosesTheWindowAndReconnects) {
  form_->ConnectAtStartUp();
  Trigger("InstallSoftware1");
  Form().SourceFileName()->setText(Package({Write(0x30000, QByteArray(256, '\x66'))}));
  EXPECT_EQ(Form().SourceFileName()->toolTip(), Form().SourceFileName()->text());
  Form().ExecuteClick();
  EXPECT_EQ(instrument_.ReadMemory(0x30000, 256), QByteArray(256, '\x66'));
  EXPECT_EQ(prompts_.Texts().last(), "The software installation is complete.");
  EXPECT_FALSE(Form().isVisible());
  EXPECT_EQ(Form().windowTitle(), "Release 6");
  EXPECT_EQ(Form().OverallPercent()->text(), "100 %");
  EXPECT_EQ(Form().ItemPercent()->text(), "0 %");
  EXPECT_EQ(Form().OverallProgress()->value(), 0);
  EXPECT_FALSE(Form().Cancel()->isEnabled());
  EXPECT_EQ(form_->ConnectedPanel()->text(), "QLX-A");
}

TEST_F(InstallFormTest, ARefusedBackupNameKeepsTheWindowOpen) {
  form_->ConnectAtStartUp();
  Trigger("InstallSoftware1");
  Form().SourceFileName()->setText(Package({}));
  Form().BackupCheck()->click();
  Form().BackupFileName()->setText("backup");
  prompts_.Clear();
  Form().ExecuteClick();
  EXPECT_EQ(prompts_.Texts(), (QStringList{"Please specify a filename for the backup file.",
                                           "Please enter a valid filename for the backup file."}));
  EXPECT_TRUE(Form().isVisible());
  EXPECT_EQ(Form().BackupFileName()->text(), "backup.CDP");
  EXPECT_TRUE(Form().Execute()->isEnabled());
  EXPECT_TRUE(Form().BackupButton()->isEnabled());
  EXPECT_TRUE(Form().SourceFileName()->isEnabled());
}

TEST_F(InstallFormTest, TheSaveDialogAppendsTheExtensionAndAsksBeforeReplacing) {
  form_->ConnectAtStartUp();
  Trigger("InstallSoftware1");
  Form().BackupCheck()->click();
  files_.save_names = {dir_.filePath("first"), dir_.filePath("p")};
  Form().BackupButtonClick();
  EXPECT_EQ(Form().BackupFileName()->text(), dir_.filePath("first.CDP"));
  Package({});  // p.CDP exists now
  prompts_.Clear();
  Form().BackupButtonClick();  // No: the edit keeps its text
  EXPECT_EQ(prompts_.Texts(), QStringList{"The file '" + dir_.filePath("p.CDP") +
                                          "' allready exists.\r\rDo you wish to replace it?"});
  EXPECT_EQ(Form().BackupFileName()->text(), dir_.filePath("first.CDP"));
}

TEST_F(InstallFormTest, NoToTheStopQuestionLetsTheInstallationFinish) {
  form_->ConnectAtStartUp();
  Trigger("InstallSoftware1");
  Form().SourceFileName()->setText(Package({Write(0x30000, QByteArray(128 * 8, '\x5A'))}));
  bool asked = false;
  controller_->EngineLayer().AddStepListener([&](int) {
    if (!asked && Form().Running()) {
      asked = true;
      prompts_.Queue(Answer::kNo);
      Form().CancelClick();
    }
  });
  Form().ExecuteClick();
  ASSERT_TRUE(asked);
  EXPECT_TRUE(prompts_.Texts().contains(
      "You are about to terminate the software installation.\rTHIS IS NOT RECOMMENDED!!!\r\rDo "
      "you wish to proceed?"));
  EXPECT_EQ(prompts_.Texts().last(), "The software installation is complete.");
  EXPECT_EQ(instrument_.ReadMemory(0x30000, 128 * 8), QByteArray(128 * 8, '\x5A'));
}

TEST_F(InstallFormTest, YesToTheStopQuestionCancels) {
  form_->ConnectAtStartUp();
  Trigger("InstallSoftware1");
  Form().SourceFileName()->setText(Package({Write(0x30000, QByteArray(128 * 40, '\x5A'))}));
  bool asked = false;
  controller_->EngineLayer().AddStepListener([&](int) {
    if (!asked && Form().Running()) {
      asked = true;
      prompts_.Queue(Answer::kYes);
      Form().CancelClick();
    }
  });
  Form().ExecuteClick();
  EXPECT_EQ(prompts_.Texts().last(), "The software installation was cancelled by the user.");
  EXPECT_EQ(Form().LastResult().outcome, core::install::InstallOutcome::kCancelled);
  EXPECT_TRUE(instrument_.ReadMemory(0x30000, 128 * 40) != QByteArray(128 * 40, '\x5A'));
}

TEST_F(InstallFormTest, InBiosModeTheTypeDialogComesAndTheBackupIsOff) {
  instrument_.blockSignals(true);
  sim::QlxOptions o;
  o.bios = true;
  bios_ = std::make_unique<sim::QlxInstrument>(o);
  form_->SetLinkController(nullptr);
  controller_ = std::make_unique<link::LinkController>(
      ctx_, prompts_,
      [this](const QString&) { return std::make_unique<sim::InMemoryTransport>(bios_.get()); },
      form_.get());
  form_->SetLinkController(controller_.get());
  Hook();
  form_->ConnectAtStartUp();
  commands_->InstallSoftwareClick();
  EXPECT_EQ(type_dialogs_, 1);
  EXPECT_FALSE(Form().BackupCheck()->isEnabled());
  EXPECT_FALSE(Form().BackupCheck()->isChecked());
}

TEST_F(InstallFormTest, CommandLinePackageWithoutAnInstrumentStartsNormally) {
  instrument_.blockSignals(true);  // nobody answers
  form_->HandleCommandLineFile(dir_.filePath("new.CDP"));
  form_->ConnectAtStartUp();
  EXPECT_TRUE(prompts_.Texts().contains(
      "No QLX is detected on sim\r\rVT-Zizara will be started normally."));
  EXPECT_TRUE(form_->FilePanel()->text().isEmpty());
  EXPECT_EQ(shown_, 0);
}

TEST_F(InstallFormTest, CommandLinePackageAsksAndEndsTheProgramWhateverTheAnswer) {
  form_->ConnectAtStartUp();
  prompts_.Clear();
  EXPECT_TRUE(commands_->PackageFromCommandLine(dir_.filePath("new.CDP")));
  EXPECT_EQ(prompts_.Texts(),
            QStringList{"Do you wish to install new software on the QLX-A with the serial "
                        "number 12345 connected on sim?"});
  EXPECT_EQ(shown_, 0);
  EXPECT_TRUE(Form().StartedFromCommandLine());
  EXPECT_EQ(Form().SourceFileName()->text(), dir_.filePath("new.CDP"));
  prompts_.Queue(Answer::kYes);
  EXPECT_TRUE(commands_->PackageFromCommandLine(dir_.filePath("new.CDP")));
  EXPECT_EQ(shown_, 1);
}

TEST_F(InstallFormTest, ADroppedPackageNeedsAnInstrument) {
  EXPECT_TRUE(commands_->PackageDropped(dir_.filePath("new.CDP")));
  EXPECT_EQ(prompts_.Texts(), QStringList{"No QLX connected."});
  form_->ConnectAtStartUp();
  prompts_.Clear();
  prompts_.Queue(Answer::kYes);
  EXPECT_TRUE(commands_->PackageDropped(dir_.filePath("new.CDP")));
  EXPECT_EQ(shown_, 1);
  EXPECT_EQ(Form().SourceFileName()->text(), dir_.filePath("new.CDP"));
}

}  // namespace
}  // namespace zizara::gui::install

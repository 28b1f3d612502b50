#include "gui/link/link_controller.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/config/preset_file.h"
#include "core/config/upgrade.h"
#include "gui/link/dialog_form.h"
#include "gui/link/qlx_type_form.h"
#include "sim/in_memory_transport.h"
#include "sim/qlx_instrument.h"
#include "support/strict_sim.h"

namespace zizara::gui::link {
namespace {

using core::link::ConnectResult;
using core::link::TransferKind;
using core::link::TransferOutcome;
using core::ui_port::Answer;

class LinkControllerTest : public ::testing::Test {
 protected:
  void Start(const sim::QlxOptions& options = {}) {
    instrument_ = std::make_unique<sim::QlxInstrument>(strict_.Apply(options));
    ctx_.current_port = "sim";
    ctx_.link_mode = core::link::LinkMode::kCom;
    controller_ = std::make_unique<LinkController>(
        ctx_, prompts_,
        [this](const QString&) {
          return std::make_unique<sim::InMemoryTransport>(instrument_.get());
        },
        &main_window_);
  }
  // Closes the transfer window once the block transfer is under way (not by the clock, so a
  // slow machine cannot close it before the transfer starts).
  void CloseDriverSoon() {
    auto* poll = new QTimer(controller_.get());
    QObject::connect(poll, &QTimer::timeout, [this, poll] {
      TRS232Driver* d = controller_->Driver();
      if (d != nullptr && d->isVisible() && d->DSPProgressBar()->value() >= 1024) {
        poll->stop();
        d->close();
      }
    });
    poll->start(2);
  }

  testing::StrictCheck strict_;
  app::AppContext ctx_;
  core::ui_port::ScriptedPrompts prompts_;
  QWidget main_window_;
  std::unique_ptr<sim::QlxInstrument> instrument_;
  std::unique_ptr<LinkController> controller_;
};

TEST_F(LinkControllerTest, ConnectRecordsTheInstrument) {
  Start();
  const auto out = controller_->Connect();
  EXPECT_EQ(out.result, ConnectResult::kConnected);
  EXPECT_EQ(out.connected_panel, "QLX-A");
  EXPECT_TRUE(ctx_.instrument_detected);
  EXPECT_FALSE(ctx_.bios_mode);
  EXPECT_TRUE(controller_->HasDriver());
  controller_->DestroyDriver();
  EXPECT_FALSE(controller_->HasDriver());
}

TEST_F(LinkControllerTest, BiosModeAndNobody) {
  sim::QlxOptions bios;
  bios.bios = true;
  Start(bios);
  EXPECT_EQ(controller_->Connect().result, ConnectResult::kBiosMode);
  EXPECT_TRUE(ctx_.bios_mode);
  EXPECT_TRUE(ctx_.instrument_detected);

  Start();
  instrument_->blockSignals(true);
  prompts_.Clear();
  EXPECT_EQ(controller_->Connect().result, ConnectResult::kNotConnected);
  EXPECT_FALSE(ctx_.instrument_detected);
  EXPECT_TRUE(prompts_.records().empty());
}

TEST_F(LinkControllerTest, UnsupportedModelBySerialNumber) {
  sim::QlxOptions o;
  o.serial = 25500;  // a QLX-E
  Start(o);
  const auto out = controller_->Connect();
  EXPECT_EQ(out.result, ConnectResult::kUnsupported);
  EXPECT_FALSE(ctx_.model_supported);
  EXPECT_EQ(prompts_.Texts().last(),
            QString::fromUtf8("The connected QLX-E is not supported by this program.\rPlease see "
                              "helpfile for suported QLX\u00b4s."));
  const auto blocks_before = instrument_->stats().blocks_read;
  EXPECT_EQ(controller_->Upload(), TransferOutcome::kNoInstrument);
  EXPECT_LT(instrument_->stats().blocks_read, blocks_before + 10);  // identification only
  EXPECT_FALSE(ctx_.config.modified);
}

TEST_F(LinkControllerTest, DownloadAsksTheVersionQuestionOnlyWhenNeeded) {
  struct Case {
    const char* instrument;
    int trailer;
    bool asked;
  };
  for (const Case& c : {Case{"5.10", 0x0380, true}, Case{"5.10", 0x0500, false},
                        Case{"3.80", 0x0380, false}}) {
    sim::QlxOptions o;
    o.version = c.instrument;
    Start(o);
    prompts_.Clear();
    ctx_.config.trailer.software_version = c.trailer;
    prompts_.Queue(Answer::kNo);
    EXPECT_EQ(controller_->Download(false), TransferOutcome::kDone);
    const bool asked = prompts_.Texts().join("|").contains("upgrade the preset");
    EXPECT_EQ(asked, c.asked) << c.instrument << " " << c.trailer;
  }
}

TEST_F(LinkControllerTest, UploadFillsTheConfiguration) {
  Start();
  ctx_.config.file_name = "old.PRE";
  EXPECT_EQ(controller_->Upload(), TransferOutcome::kDone);
  EXPECT_EQ(ctx_.config.image, instrument_->Image());
  EXPECT_TRUE(ctx_.config.modified);
  EXPECT_TRUE(ctx_.config.file_name.isEmpty());
  EXPECT_TRUE(main_window_.isEnabled());
  EXPECT_FALSE(controller_->Driver()->isVisible());
}

TEST_F(LinkControllerTest, ClosingTheWindowDuringUploadAsks) {
  sim::QlxOptions slow;
  slow.latency_ms = 2;  // long enough to close the window in the middle
  Start(slow);
  ctx_.config.image.Fill(0x11);
  const auto before = ctx_.config.image;
  prompts_.Queue(Answer::kNo);  // keep going
  CloseDriverSoon();
  EXPECT_EQ(controller_->Upload(), TransferOutcome::kDone);
  EXPECT_EQ(prompts_.records()[0].text,
            "You are about to terminate the upload.\r\rDo you wish to proceed?");

  Start(slow);
  ctx_.config.image = before;
  ctx_.config.modified = false;
  prompts_.Clear();
  prompts_.Queue(Answer::kYes);
  CloseDriverSoon();
  EXPECT_EQ(controller_->Upload(), TransferOutcome::kAborted);
  EXPECT_EQ(ctx_.config.image, before);
  EXPECT_FALSE(ctx_.config.modified);
  EXPECT_EQ(prompts_.Texts().last(), "Upload is terminated...");
  EXPECT_TRUE(main_window_.isEnabled());
}

TEST_F(LinkControllerTest, DroppedLineDuringUpload) {
  sim::QlxOptions o;
  o.hangup_after_bytes = 400;
  Start(o);
  EXPECT_EQ(controller_->Upload(), TransferOutcome::kFailed);
  EXPECT_FALSE(ctx_.config.modified);
  EXPECT_TRUE(main_window_.isEnabled());
}

TEST_F(LinkControllerTest, DownloadRestartsAndReportsCompletion) {
  Start();
  for (int i = 0; i < 16384; ++i) ctx_.config.image.SetByte(i, static_cast<std::uint8_t>(i * 3));
  ctx_.config.trailer.software_version = 0x0510;
  EXPECT_EQ(controller_->Download(false), TransferOutcome::kDone);
  EXPECT_EQ(instrument_->Image(), ctx_.config.image);
  EXPECT_EQ(instrument_->stats().restarts, 1);
  EXPECT_EQ(prompts_.Texts().last(), "Download complete.");
}

TEST_F(LinkControllerTest, AbortedDownloadWarnsWithHelpAndRestarts) {
  sim::QlxOptions slow;
  slow.latency_ms = 2;
  Start(slow);
  ctx_.config.trailer.software_version = 0x0510;
  prompts_.Queue(Answer::kYes);  // terminate
  prompts_.Queue(Answer::kNo);   // "Help!"
  int help_topic = 0;
  QObject::connect(controller_.get(), &LinkController::HelpRequested,
                   [&help_topic](int t) { help_topic = t; });
  CloseDriverSoon();
  EXPECT_EQ(controller_->Download(false), TransferOutcome::kAborted);
  ASSERT_GE(prompts_.records().size(), 2u);
  EXPECT_TRUE(prompts_.records()[0].look.alarm);
  EXPECT_TRUE(prompts_.records()[0].text.startsWith("You are about to terminate the download."));
  EXPECT_TRUE(prompts_.records()[1].text.startsWith("Download terminated by the user."));
  EXPECT_EQ(prompts_.records()[1].look.no_caption, "Help!");
  EXPECT_EQ(help_topic, 1);
  EXPECT_EQ(instrument_->stats().restarts, 1);
  EXPECT_FALSE(prompts_.Texts().contains("Download complete."));
}

TEST_F(LinkControllerTest, RestartWithoutAPort) {
  Start();
  ctx_.link_mode = core::link::LinkMode::kNone;
  ctx_.current_port = "ttyUSB3";
  controller_->Restart();
  EXPECT_EQ(prompts_.Texts().last(),
            "The previously used comport (ttyUSB3) is no longer available.\rPlease select a "
            "different port from the Interface menu.");
}

TEST_F(LinkControllerTest, CommandLineSwitches) {
  Start();
  EXPECT_TRUE(controller_->DownloadModeFromCommandLine());
  EXPECT_TRUE(ctx_.link_state.command_line);
  EXPECT_TRUE(QTest::qWaitFor([this] { return instrument_->DownloadMode(); }, 2000));
  controller_->DestroyDriver();
  strict_.Allow("restart-zero");  // "/I" restarts with the bare primitive
  Start();
  EXPECT_TRUE(controller_->RestartFromCommandLine());
  EXPECT_EQ(instrument_->stats().restarts, 1);
}

TEST_F(LinkControllerTest, ExternalCommand) {
  Start();
  QTemporaryDir bin;
  QTemporaryDir temp;
  const auto script = [&bin](const QByteArray& body) {
    QFile f(QDir(bin.path()).filePath("ext.sh"));
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\n" + body + "\n");
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
  };
  ctx_.link_mode = core::link::LinkMode::kExt;
  ctx_.ext_cmd = "ext.sh";
  controller_->SetExternalCommandDirs(bin.path(), temp.path());

  script("[ \"$1\" = /d ] && exit 0; exit 9");
  prompts_.Queue(Answer::kNo);  // do not reset
  EXPECT_EQ(controller_->Download(false), TransferOutcome::kDone);
  EXPECT_EQ(prompts_.Texts().last(), "Download complete.\r\rDo you wish to reset the QLX?");

  script("exit 4");
  prompts_.Clear();
  EXPECT_EQ(controller_->Download(false), TransferOutcome::kFailed);
  EXPECT_FALSE(prompts_.Texts().join("|").contains("Download complete."));

  script("exit 0");  // leaves no memory.cod
  prompts_.Clear();
  EXPECT_EQ(controller_->Upload(), TransferOutcome::kFailed);
  EXPECT_TRUE(prompts_.Texts().last().startsWith("Error in uploading configuration..."));
}

TEST_F(LinkControllerTest, ExternalDownloadOffersTheUpgradeFirst) {
  Start();
  QTemporaryDir bin;
  QTemporaryDir temp;
  {
    QFile f(QDir(bin.path()).filePath("ext.sh"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n[ \"$1\" = /d ] && cp \"$2\" handed.380\nexit 0\n");
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
  }
  ctx_.link_mode = core::link::LinkMode::kExt;
  ctx_.ext_cmd = "ext.sh";
  controller_->SetExternalCommandDirs(bin.path(), temp.path());
  ctx_.instrument.software_version_code = 0x0510;
  ctx_.config.trailer.software_version = 0x0380;
  core::config::ConfigurationImage upgraded = ctx_.config.image;
  core::config::UpgradeToV5(upgraded);
  ASSERT_NE(upgraded, ctx_.config.image);

  prompts_.Queue(Answer::kYes);  // upgrade
  prompts_.Queue(Answer::kNo);   // do not reset
  EXPECT_EQ(controller_->Download(false), TransferOutcome::kDone);
  ASSERT_EQ(prompts_.Texts().size(), 2);
  EXPECT_TRUE(prompts_.Texts()[0].contains("Do you wish to upgrade the preset."));
  EXPECT_EQ(ctx_.config.image, upgraded);
  core::config::ConfigurationImage handed;
  core::config::PresetTrailer trailer;
  ASSERT_TRUE(core::config::LoadPresetFile(QDir(temp.path()).filePath("handed.380"), prompts_,
                                           handed, trailer));
  EXPECT_EQ(handed, upgraded);  // what the external program got
  EXPECT_EQ(trailer.software_version, 0x0380);

  // "Force V5 Preset Upgrade." upgrades without a question.
  ctx_.instrument.software_version_code = 0;
  ctx_.config.image = core::config::ConfigurationImage();
  prompts_.Clear();
  prompts_.Queue(Answer::kNo);
  EXPECT_EQ(controller_->Download(true), TransferOutcome::kDone);
  core::config::ConfigurationImage forced;
  core::config::UpgradeToV5(forced);
  EXPECT_EQ(ctx_.config.image, forced);
  EXPECT_EQ(prompts_.Texts(), QStringList{"Download complete.\r\rDo you wish to reset the QLX?"});
}

TEST_F(LinkControllerTest, TransfersWithNobodyThereSaySo) {
  Start();
  instrument_->blockSignals(true);
  ctx_.config.trailer.software_version = 0x0510;
  EXPECT_EQ(controller_->Upload(), TransferOutcome::kNoInstrument);
  EXPECT_EQ(prompts_.Texts(), QStringList{"No instrument found."});
  prompts_.Clear();
  EXPECT_EQ(controller_->Download(false), TransferOutcome::kNoInstrument);
  EXPECT_EQ(prompts_.Texts(), QStringList{"No instrument found."});
  EXPECT_EQ(instrument_->stats().blocks_written, 0);
  EXPECT_TRUE(main_window_.isEnabled());
}

TEST(DriverFormTest, CloseQuestionsByTransferKind) {
  core::link::EngineState engine;
  core::ui_port::ScriptedPrompts prompts;
  QWidget main_window;
  TRS232Driver driver(engine, prompts, &main_window);
  engine.kind = TransferKind::kReading;
  EXPECT_FALSE(driver.FormCloseQuery());
  EXPECT_TRUE(prompts.records().empty());
  engine.kind = TransferKind::kIdle;
  EXPECT_TRUE(driver.FormCloseQuery());
  engine.kind = TransferKind::kDownload;
  prompts.Queue(Answer::kNo);
  EXPECT_FALSE(driver.FormCloseQuery());
  EXPECT_TRUE(prompts.records().back().look.alarm);
  engine.kind = TransferKind::kInstallation;
  prompts.Queue(Answer::kYes);
  EXPECT_TRUE(driver.FormCloseQuery());
  EXPECT_TRUE(prompts.records().back().text.startsWith(
      "You are about to terminate the software installation."));
  driver.ShowProgress();
  EXPECT_FALSE(engine.abort);
  engine.kind = TransferKind::kIdle;
  driver.close();
  EXPECT_TRUE(engine.abort);
}

TEST(DriverFormTest, TextsFromTheInstrumentAreNotMarkup) {
  core::link::EngineState engine;
  core::ui_port::ScriptedPrompts prompts;
  QWidget main_window;
  TRS232Driver driver(engine, prompts, &main_window);
  driver.SetCaption("Connecting to <b>QLX</b> Reading Text Block.");
  EXPECT_EQ(driver.DSPProgressFileName()->textFormat(), Qt::PlainText);
  TDialogForm dialog(&main_window);
  EXPECT_EQ(dialog.Label1()->textFormat(), Qt::PlainText);
}

TEST(WaitFormTest, CentredFramelessOnTopAndNested) {
  QWidget main_window;
  main_window.setGeometry(100, 100, 600, 400);
  TWaitForm wait(&main_window);
  EXPECT_EQ(wait.Panel1()->text(), "Please Wait...");
  EXPECT_TRUE(wait.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(wait.windowFlags() & Qt::WindowStaysOnTopHint);
  wait.ShowWait();
  EXPECT_TRUE(wait.isVisible());
  EXPECT_EQ(wait.geometry().center(), main_window.geometry().center());
  wait.ShowWait();  // the probe inside a restart
  wait.HideWait();
  EXPECT_TRUE(wait.isVisible());
  wait.HideWait();
  EXPECT_FALSE(wait.isVisible());

  wait.SetBusyCursor(true);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  wait.SetBusyCursor(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  wait.SetBusyCursor(false);  // an extra off does not take anybody else's cursor
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  QWidget splash;
  splash.show();
  wait.SetSplash(&splash);
  wait.ShowWait();
  EXPECT_FALSE(wait.isVisible());  // the splash shows the progress
  wait.HideWait();
}

// What the user sees at each answer of the instrument.
struct Sightings {
  int answers = 0;
  int with_wait_window = 0;
  int with_busy_cursor = 0;
  int with_disabled_main_window = 0;
};

void Watch(sim::QlxInstrument& instrument, LinkController& controller, QWidget& main_window,
           Sightings& seen) {
  QObject::connect(&instrument, &sim::QlxInstrument::Transmit, &instrument, [&](const QByteArray&) {
    ++seen.answers;
    seen.with_wait_window += controller.WaitForm()->isVisible() ? 1 : 0;
    const QCursor* c = QApplication::overrideCursor();
    seen.with_busy_cursor += c != nullptr && c->shape() == Qt::WaitCursor ? 1 : 0;
    seen.with_disabled_main_window += main_window.isEnabled() ? 0 : 1;
  });
}

TEST_F(LinkControllerTest, WaitWindowAndHourglassWhileTheInstrumentIsAsked) {
  Start();
  Sightings seen;
  Watch(*instrument_, *controller_, main_window_, seen);
  // The window must stay live meanwhile: a timer keeps firing while the wait window shows.
  int ticks_while_waiting = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    ticks_while_waiting += controller_->WaitForm()->isVisible() ? 1 : 0;
  });
  ticker.start(0);
  EXPECT_EQ(controller_->Connect().result, ConnectResult::kConnected);
  ticker.stop();
  EXPECT_GT(seen.answers, 0);
  EXPECT_EQ(seen.with_busy_cursor, seen.answers);  // identification and probe alike
  EXPECT_GT(seen.with_wait_window, 0);             // the probe
  EXPECT_LT(seen.with_wait_window, seen.answers);  // not during identification
  EXPECT_GT(ticks_while_waiting, 0);
  EXPECT_FALSE(controller_->WaitForm()->isVisible());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(LinkControllerTest, WaitWindowWhileTheVersionIsReadFromMemory) {
  sim::QlxOptions o;
  o.no_dot = true;  // no text protocol: the version comes from memory
  Start(o);
  Sightings seen;
  Watch(*instrument_, *controller_, main_window_, seen);
  EXPECT_EQ(controller_->Connect().result, ConnectResult::kConnected);
  EXPECT_GE(seen.with_wait_window, 16);  // the 16 blocks of the version text
  EXPECT_EQ(seen.with_busy_cursor, seen.answers);
  EXPECT_FALSE(controller_->WaitForm()->isVisible());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(LinkControllerTest, WaitWindowThroughTheWholeRestart) {
  Start();
  controller_->Connect();
  Sightings seen;
  Watch(*instrument_, *controller_, main_window_, seen);
  controller_->Restart();
  EXPECT_GT(seen.answers, 0);
  EXPECT_EQ(seen.with_wait_window, seen.answers);
  EXPECT_EQ(seen.with_busy_cursor, seen.answers);
  EXPECT_EQ(seen.with_disabled_main_window, seen.answers);
  EXPECT_EQ(instrument_->stats().restarts, 1);
  EXPECT_FALSE(controller_->WaitForm()->isVisible());
  EXPECT_TRUE(main_window_.isEnabled());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QlxTypeFormTest, ConfirmedChoiceSetsTheModel) {
  core::link::InstrumentRecord record;
  core::ui_port::ScriptedPrompts prompts;
  TQLXTypeForm form(record, prompts);
  EXPECT_EQ(form.ComboBox1()->count(), 17);
  EXPECT_EQ(form.ComboBox1()->currentText(), "QLX-M");
  form.ComboBox1()->setCurrentIndex(5);
  prompts.Queue(Answer::kNo);
  form.Button1Click();
  EXPECT_EQ(record.model_index, 0);
  EXPECT_EQ(prompts.Texts().last(), "Are you sure that your QLX is a QP-MX?");
  prompts.Queue(Answer::kYes);
  form.Button1Click();
  EXPECT_EQ(record.model_index, 4);
  EXPECT_EQ(form.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace zizara::gui::link

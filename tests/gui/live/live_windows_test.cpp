#include <gtest/gtest.h>

#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "core/settings/ini_file.h"
#include "gui/app/live_commands.h"
#include "gui/live/up_down.h"
#include "gui/matrix/matrix_view.h"
#include "support/simulated_main_form.h"

namespace zizara::gui::app {
namespace {

using core::matrix::Axis;

class LiveWindowsTest : public testing::SimulatedMainFormTest {
 protected:
  LiveCommands& Live() { return *form_->Live(); }
  // The lines the instrument received of one kind ("text", "mouse"), in order.
  QStringList Events(const char* kind) const {
    QStringList lines;
    for (const QByteArray& e : instrument_.EventLog()) {
      const QJsonObject o = QJsonDocument::fromJson(e).object();
      if (o["event"].toString() == kind) lines << o["line"].toString();
    }
    return lines;
  }
  QStringList GainLines() const { return Events("text").filter(QRegularExpression("^\\.SG")); }
  bool ConnectRemote() {
    form_->ConnectAtStartUp();
    form_->FindAction("SubMenuConnect")->trigger();
    return QTest::qWaitFor([this] { return form_->commands().remote_button_down; }, 10000);
  }
  void Wheel(QWidget* target, int dy) {
    QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, dy), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &event);
  }
  void Mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button) {
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
  }
};

TEST_F(LiveWindowsTest, GainFromTheMatrixPopupGoesToSelectedOutputsInOrder) {
  ASSERT_TRUE(ConnectRemote());
  matrix::TMatrixView* matrix = form_->Matrix();
  matrix->SetShowPopups(false);
  matrix->model().selection.Set(Axis::kOutputs, 2, true);  // output 3
  ASSERT_EQ(instrument_.Gain(7), 0);
  QString shown;
  // Reading the gain waits too: act only once the window is up.
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    if (!Live().GainForm()->isVisible()) return;
    driver.stop();
    shown = Live().GainForm()->Edit1()->text();
    Live().GainForm()->Edit1()->setText("25");
    Live().GainForm()->ButtonGainOK()->click();
  });
  driver.start(10);
  matrix->PopUpMatrix(0, 6, QPoint());  // the cell of output 7
  matrix->PopMatOutGainClick();
  EXPECT_EQ(shown, "0,0");
  EXPECT_EQ(GainLines(), (QStringList{".SG3,210", ".SG7,210"}));
  EXPECT_EQ(instrument_.Gain(3), 210);
  EXPECT_EQ(instrument_.Gain(7), 210);
  EXPECT_FALSE(Live().GainForm()->isVisible());
  // The clicked output counted as selected only while the window was open.
  EXPECT_FALSE(matrix->model().selection.Selected(Axis::kOutputs, 6));
  EXPECT_FALSE(ctx_.link_state.busy);
}

TEST_F(LiveWindowsTest, GainTextsSpinningAndAutoUpdate) {
  form_->ConnectAtStartUp();
  form_->Matrix()->model().selection.Set(Axis::kOutputs, 4, true);  // output 5
  live::TGainForm* gain = Live().GainForm();
  gain->Edit1()->setText("abc");
  EXPECT_FALSE(gain->SendGain(true));
  EXPECT_EQ(prompts_.Texts().last(),
            "The entered gain-value is not valid,\rthe gain-value must be between +21,0 and -21,0");
  EXPECT_TRUE(GainLines().isEmpty());
  gain->Spin(+1);  // not a number: nothing happens
  EXPECT_EQ(gain->Edit1()->text(), "abc");

  gain->Edit1()->setText("20,95");
  gain->SpinButton1()->UpButton()->click();
  EXPECT_EQ(gain->Edit1()->text(), "21,0");
  Wheel(gain, -120);
  EXPECT_EQ(gain->Edit1()->text(), "20,9");
  EXPECT_FALSE(gain->Timer1()->isActive());

  gain->CheckBox1()->click();
  EXPECT_FALSE(gain->ButtonGainCancel()->isEnabled());
  gain->Edit1()->setText("-3,6");
  gain->Spin(+1);
  EXPECT_EQ(gain->Edit1()->text(), "-3,5");
  ASSERT_TRUE(gain->Timer1()->isActive());  // the gain goes 500 ms after the last step
  ASSERT_TRUE(QTest::qWaitFor([&] { return !GainLines().isEmpty(); }, 5000));
  EXPECT_EQ(GainLines(), QStringList{".SG5,-35"});
  EXPECT_FALSE(gain->Timer1()->isActive());
  gain->CheckBox1()->click();
  EXPECT_TRUE(gain->ButtonGainCancel()->isEnabled());
}

TEST_F(LiveWindowsTest, KeypadPressesKeysWithAPauseAfterClicks) {
  form_->ConnectAtStartUp();
  live::TKeyboardForm* keys = Live().KeyboardForm();
  EXPECT_EQ(keys->windowTitle(), "QLX Keys.");
  EXPECT_TRUE(keys->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(keys->isModal());
  // Ctrl+K before the Tools menu was ever opened.
  EXPECT_FALSE(form_->FindAction("MenuKeyboard")->isEnabled());
  auto* shortcut = form_->findChild<QShortcut*>("KeyboardShortcut");
  ASSERT_NE(shortcut, nullptr);
  ASSERT_TRUE(shortcut->isEnabled());
  emit shortcut->activated();
  EXPECT_TRUE(keys->isVisible());
  EXPECT_TRUE(form_->FindAction("MenuKeyboard")->isEnabled());
  EXPECT_FALSE(shortcut->isEnabled());  // the item's own shortcut takes over
  form_->FindAction("MenuKeyboard")->trigger();
  EXPECT_FALSE(keys->isVisible());
  form_->FindAction("MenuKeyboard")->trigger();
  EXPECT_TRUE(keys->isVisible());

  QTest::mouseClick(keys->ImageKey(2), Qt::LeftButton);
  EXPECT_EQ(instrument_.stats().keys, std::vector<int>{2});
  ASSERT_TRUE(keys->Pausing());
  EXPECT_EQ(keys->PauseTimer()->interval(), 2000);
  QTest::mouseClick(keys->ImageKey(3), Qt::LeftButton);  // ignored during the pause
  QTest::keyClick(keys, Qt::Key_F4);
  EXPECT_EQ(instrument_.stats().keys, std::vector<int>{2});
  keys->PauseTimer()->stop();

  QTest::keyClick(keys, Qt::Key_F5);
  QTest::keyClick(keys, Qt::Key_F8);
  EXPECT_FALSE(keys->Pausing());  // function keys do not pause
  keys->KeyClicked(6);
  EXPECT_EQ(keys->PauseTimer()->interval(), 1000);
  EXPECT_EQ(instrument_.stats().keys, (std::vector<int>{2, 5, 8, 6}));

  QTest::keyClick(keys, Qt::Key_Escape);
  EXPECT_FALSE(keys->isVisible());
  form_->FindAction("MenuKeyboard")->trigger();
  form_->FindAction("MenuKeyboard")->trigger();
  EXPECT_FALSE(keys->isVisible());
}

TEST_F(LiveWindowsTest, KeypadPlacementAndVisibilityGoThroughTheSettings) {
  Live().KeyboardForm()->show();
  Live().KeyboardForm()->move(123, 234);
  form_->SaveSettings();
  core::settings::IniFile ini(form_->SettingsPath());
  ASSERT_TRUE(ini.Load());
  EXPECT_TRUE(ini.GetBool("KeyboardWindow", "Visible", false));
  Live().KeyboardForm()->hide();
  Live().KeyboardForm()->move(0, 0);
  form_->LoadSettings();
  EXPECT_TRUE(Live().KeyboardForm()->isVisible());
  const auto s = Live().KeyboardSettings();
  EXPECT_EQ(s.left, Live().KeyboardForm()->x());
  ini.Load();
  EXPECT_EQ(ini.GetString("KeyboardWindow", "Left"), QString::number(*s.left));
}

TEST_F(LiveWindowsTest, MousePadSendsByClickModeAndThrottle) {
  form_->ConnectAtStartUp();
  live::TMousePadForm* pad = Live().MousePadForm();
  EXPECT_EQ(pad->windowTitle(), "Mouse Pad.");
  EXPECT_EQ(pad->PadPanel()->size(), QSize(640, 480));
  EXPECT_TRUE(pad->RadioMclick()->isChecked());
  EXPECT_EQ(pad->TimerEdit()->text(), "150");

  // A wheel turn before any move carries 0,0.
  Wheel(pad, 120);
  EXPECT_EQ(pad->Label("ScrollWheelLabel")->text(), "Scroll Wheel: UP");

  QWidget* area = pad->PadPanel();
  Mouse(area, QEvent::MouseMove, {10, 20}, Qt::NoButton);  // no tick yet: not sent
  pad->Pad().Tick();
  Mouse(area, QEvent::MouseMove, {30, 40}, Qt::NoButton);
  Mouse(area, QEvent::MouseMove, {50, 60}, Qt::NoButton);
  EXPECT_EQ(pad->Label("PositionLabelX")->text(), "Position X: 50");
  EXPECT_EQ(pad->Label("PositionLabelY")->text(), "Y: 60");
  Mouse(area, QEvent::MouseButtonPress, {50, 60}, Qt::LeftButton);
  EXPECT_EQ(pad->Label("LeftMouseLabel")->text(), "Left Mouse Button: DOWN");
  Mouse(area, QEvent::MouseButtonRelease, {50, 60}, Qt::LeftButton);
  EXPECT_EQ(pad->Label("LeftMouseLabel")->text(), "Left Mouse Button: UP");
  pad->RadioMUD()->click();
  Mouse(area, QEvent::MouseButtonPress, {50, 60}, Qt::RightButton);
  Mouse(area, QEvent::MouseButtonRelease, {50, 60}, Qt::RightButton);
  Wheel(pad, -120);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Events("mouse").size() >= 6; }, 3000));
  EXPECT_EQ(Events("mouse"),
            (QStringList{".Sg0,0", ".Sm30,40", ".Sa50,60", ".Se50,60", ".Sf50,60", ".Sh50,60"}));
}

TEST_F(LiveWindowsTest, MousePadIntervalAndInfo) {
  live::TMousePadForm* pad = Live().MousePadForm();
  pad->TimerEdit()->setText("a");
  pad->TimerEditChange();
  EXPECT_EQ(prompts_.Texts().last(), "Invalid Entry.");
  EXPECT_EQ(pad->Timer()->interval(), 150);
  pad->TimerEdit()->setText("40");
  pad->TimerEditChange();
  EXPECT_EQ(pad->Timer()->interval(), 40);
  pad->findChild<live::TUpDown*>("UpDown1")->UpButton()->click();
  EXPECT_EQ(pad->TimerEdit()->text(), "41");
  EXPECT_EQ(pad->Timer()->interval(), 41);
  pad->ShowInfo();
  EXPECT_TRUE(prompts_.Texts().last().startsWith("Mouse move (No buttons): .SmXXX,YYY\r\r"));
  EXPECT_TRUE(prompts_.Texts().last().endsWith("Scroll wheel (Scroll) Down : .ShXXX,YYY"));
  pad->show();
  EXPECT_TRUE(pad->Timer()->isActive());
  pad->hide();
  EXPECT_FALSE(pad->Timer()->isActive());
}

// What the about window shows, read without running it modally.
QString Line(info::TAboutForm* about, const char* name) { return about->Line(name)->text(); }

TEST_F(LiveWindowsTest, AboutLinesByLinkState) {
  info::TAboutForm* about = Live().AboutForm();
  EXPECT_EQ(about->windowTitle(), "About...");
  EXPECT_EQ(Line(about, "ProductName"), "VT-Zizara.");
  EXPECT_EQ(Line(about, "Version"), "Software Version  v. 1.2");
  EXPECT_TRUE(Line(about, "BuildLabel").startsWith("Build: 1.2."));
  about->RefreshInstrumentLines();
  EXPECT_EQ(Line(about, "QLXType"), "No QLX Connected.");
  EXPECT_EQ(Line(about, "SerialNumber"), "");
  EXPECT_FALSE(about->ModulesButton()->isVisibleTo(about));

  form_->ConnectAtStartUp();
  about->RefreshInstrumentLines();
  EXPECT_EQ(Line(about, "QLXType"), "QLX Type: QLX-A");
  EXPECT_EQ(Line(about, "SerialNumber"), "Serial Number: 12345");
  EXPECT_EQ(Line(about, "SWVer"), "Software Version: 05.10");
  EXPECT_EQ(Line(about, "DotCapable"), "Support for DOT-Protocol: Yes");
  EXPECT_EQ(Line(about, "HWID"), "Hardware ID: 0003");
  EXPECT_EQ(Line(about, "FWVer"), "Firmware Version: 258");
  EXPECT_EQ(Line(about, "BiosVer"), "BIOS Version: 01.04");
  EXPECT_EQ(Line(about, "ExtBiosID"), "Extended BIOS ID: 0001");
  EXPECT_TRUE(about->ModulesButton()->isVisibleTo(about));

  QTimer::singleShot(0, [&] {
    info::TModuleForm* modules = Live().ModuleForm();
    EXPECT_TRUE(modules->isVisible());
    EXPECT_EQ(modules->windowTitle(), "Installed modules.");
    EXPECT_EQ(modules->InputGroup()->title(), "Available number of input channels: 88");
    EXPECT_EQ(modules->OutputLabel(1)->text(), "#1: Unknown Module (21)");
    EXPECT_EQ(modules->InputLabel(4)->text(), "#4: Not installed.");
    modules->accept();
  });
  about->ModulesButton()->click();

  EXPECT_GT(Line(about, "UptimeLabel").size(), 0);
  EXPECT_TRUE(Line(about, "OSLabel").startsWith("Operating System: "));
  EXPECT_TRUE(Line(about, "NetworkLabel").startsWith("The computer is"));
}

TEST_F(LiveWindowsTest, AboutWithoutTheDotProtocolAndInBiosMode) {
  sim::QlxOptions options;
  options.no_dot = true;
  sim::QlxInstrument quiet(options);
  form_->SetLinkController(nullptr);
  controller_ = std::make_unique<link::LinkController>(
      ctx_, prompts_,
      [&quiet](const QString&) { return std::make_unique<sim::InMemoryTransport>(&quiet); },
      form_.get());
  form_->SetLinkController(controller_.get());
  form_->ConnectAtStartUp();
  info::TAboutForm* about = Live().AboutForm();
  about->RefreshInstrumentLines();
  EXPECT_EQ(Line(about, "QLXType"), "QLX Type: QLX-A");
  EXPECT_EQ(Line(about, "SerialNumber"), "Serial Number: 12345");
  EXPECT_EQ(Line(about, "SWVer"), "Software Version: 5.100");
  EXPECT_EQ(Line(about, "DotCapable"), "Support for DOT-Protocol: No");
  EXPECT_EQ(Line(about, "HWID"), "");
  EXPECT_FALSE(about->ModulesButton()->isVisibleTo(about));
  ctx_.bios_mode = true;
  about->RefreshInstrumentLines();
  EXPECT_EQ(Line(about, "QLXType"), "The QLX is in BIOS-Mode.");
  EXPECT_EQ(Line(about, "SerialNumber"), "");
  form_->SetLinkController(nullptr);
  controller_.reset();
}

TEST_F(LiveWindowsTest, LogoDoubleClickWithoutDebugShowsMemoAndForceV5Only) {
  info::TAboutForm* about = Live().AboutForm();
  EXPECT_FALSE(about->Memo1()->isVisibleTo(about));
  QTest::mouseDClick(about->Logo(), Qt::LeftButton);
  EXPECT_TRUE(about->Memo1()->isVisibleTo(about));
  EXPECT_TRUE(about->ChkForceV5()->isVisibleTo(about));
  EXPECT_FALSE(about->CheckBox1()->isVisibleTo(about));
  EXPECT_FALSE(form_->FindAction("MenuMousePad")->isVisible());
  const QStringList memo = about->Memo1()->toPlainText().split('\n');
  EXPECT_TRUE(memo.first().startsWith("Command line string: "));
  EXPECT_TRUE(memo.contains("AdvancedMode.: False"));
  about->OkButton()->click();
  EXPECT_FALSE(about->Memo1()->isVisibleTo(about));
}

TEST_F(LiveWindowsTest, TheDebugSwitchNeedsTheSettingsKey) {
  // The settings file alone no longer turns debug mode on at start.
  {
    core::settings::IniFile ini(form_->SettingsPath());
    ini.Load();
    ini.SetBool("Settings", "Debug", true);
    ASSERT_TRUE(ini.Save());
  }
  form_->LoadSettings();
  EXPECT_FALSE(ctx_.debug_mode);
  EXPECT_FALSE(form_->FindAction("MenuMousePad")->isVisible());

  info::TAboutForm* about = Live().AboutForm();
  about->LogoDoubleClick();
  EXPECT_TRUE(about->CheckBox1()->isVisibleTo(about));
  EXPECT_FALSE(ctx_.debug_mode);
  EXPECT_FALSE(about->SetDlmButton()->isVisibleTo(about));
  about->CheckBox1()->click();
  EXPECT_TRUE(ctx_.debug_mode);
  EXPECT_TRUE(about->SetDlmButton()->isVisibleTo(about));
  EXPECT_TRUE(form_->FindAction("MenuMousePad")->isVisible());
  EXPECT_TRUE(form_->FindAction("DebugButtonAction")->isVisible());
  about->CheckBox1()->click();
  EXPECT_FALSE(ctx_.debug_mode);
  EXPECT_FALSE(form_->FindAction("DebugButtonAction")->isVisible());
  EXPECT_TRUE(form_->FindAction("MenuMousePad")->isVisible());  // once shown, it stays
  form_->FindAction("MenuMousePad")->trigger();
  EXPECT_TRUE(Live().MousePadForm()->isVisible());
  Live().MousePadForm()->hide();
}

TEST_F(LiveWindowsTest, SetDlmRunsTheDownloadModeHandshake) {
  form_->ConnectAtStartUp();
  {
    core::settings::IniFile ini(form_->SettingsPath());
    ini.Load();
    ini.SetBool("Settings", "Debug", true);
    ASSERT_TRUE(ini.Save());
  }
  info::TAboutForm* about = Live().AboutForm();
  about->LogoDoubleClick();
  about->CheckBox1()->click();
  about->SetDlmButton()->click();
  EXPECT_TRUE(instrument_.DownloadMode());
}

TEST_F(LiveWindowsTest, ForceV5UpgradesBeforeEveryDownload) {
  form_->ConnectAtStartUp();
  form_->FindAction("MenuUpload")->trigger();
  ASSERT_EQ(ctx_.config.image.Byte(0x0113), 0x50);
  ctx_.config.image.SetByte(0x0113, 0);  // as an old preset has it
  form_->FindAction("MenuDownload")->trigger();
  EXPECT_EQ(instrument_.Image().Byte(0x0113), 0);

  info::TAboutForm* about = Live().AboutForm();
  about->LogoDoubleClick();
  about->ChkForceV5()->click();
  ctx_.config.image.SetByte(0x0113, 0);
  form_->FindAction("MenuDownload")->trigger();
  EXPECT_EQ(instrument_.Image().Byte(0x0113), 0x50);
}

TEST(AboutFormTest, LiveLinesFollowTheSystemFacts) {
  info::TAboutForm::Hooks hooks;
  core::live::SystemFacts facts;
  facts.os_name = "Debian GNU/Linux 12 (bookworm) (Kernel: 6.1.0)";
  facts.computer_name = "studio";
  facts.user_name = "mixer";
  facts.network = true;
  facts.uptime_ms = 90061000;
  facts.total_memory = std::uint64_t{8} << 30;
  facts.available_memory = 512 * 1024;
  hooks.system_facts = [&facts] { return facts; };
  info::TAboutForm about(hooks);
  EXPECT_EQ(about.Line("UptimeLabel")->text(), "Uptime: 1 Days 1 Hours 1 Minutes ");
  EXPECT_EQ(about.Line("OSLabel")->text(),
            "Operating System: Debian GNU/Linux 12 (bookworm) (Kernel: 6.1.0)");
  EXPECT_EQ(about.Line("NameLabel")->text(), "The Computer Name is: studio");
  EXPECT_EQ(about.Line("CurrentUserLabel")->text(), "Current User is: mixer");
  EXPECT_EQ(about.Line("NetworkLabel")->text(), "The computer is attached to a network!");
  EXPECT_EQ(about.Line("TotalMemLabel")->text(), "Total memory: 8192 MB");
  EXPECT_FALSE(about.Line("AvailMemLabel")->isVisibleTo(&about));
  facts.available_memory = std::uint64_t{300} << 20;
  facts.uptime_ms = 60000;
  about.RefreshLiveLines();
  EXPECT_EQ(about.Line("AvailMemLabel")->text(), "Available memory: 300 MB");
  EXPECT_TRUE(about.Line("AvailMemLabel")->isVisibleTo(&about));
  EXPECT_EQ(about.Line("UptimeLabel")->text(), "Uptime: 0 Days 0 Hours 1 Minutes ");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !about.Line("SpeedLabel")->text().isEmpty(); }, 3000));
  EXPECT_TRUE(about.Line("SpeedLabel")->text().startsWith("The CPU speed is: "));
  about.show();
  EXPECT_TRUE(about.Timer1()->isActive());
  about.hide();
  EXPECT_FALSE(about.Timer1()->isActive());
}

}  // namespace
}  // namespace zizara::gui::app

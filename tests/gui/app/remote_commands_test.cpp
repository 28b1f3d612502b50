#include "gui/app/remote_commands.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/settings/ini_file.h"
#include "core/config/memory_map.h"
#include "core/settings/program_settings.h"
#include "gui/matrix/matrix_view.h"
#include "support/simulated_main_form.h"

namespace zizara::gui::app {
namespace {

using core::ui_port::Answer;

// Remote control from the main window against the simulated instrument.
class RemoteCommandsTest : public testing::SimulatedMainFormTest {
 protected:
  void SetUp() override {
    SimulatedMainFormTest::SetUp();
    form_->ConnectAtStartUp();
  }
  std::uint8_t Cell(int input, int output) {
    return form_->Matrix()->model().cells.At(input, output);
  }
  const core::matrix::CellImages& Images() { return form_->Matrix()->CellImages(); }
  bool Connect() {
    form_->FindAction("SubMenuConnect")->trigger();
    return QTest::qWaitFor([this] { return form_->commands().remote_button_down; }, 10000);
  }

};

TEST_F(RemoteCommandsTest, ConnectReadsTheInstrumentsRoutings) {
  ASSERT_TRUE(Connect());
  EXPECT_TRUE(ctx_.connected);
  EXPECT_TRUE(form_->MatrixArea()->isVisibleTo(form_.get()));
  EXPECT_EQ(Cell(0, 0), Images().remote_xpoint);    // output 1 <- input 1
  EXPECT_EQ(Cell(10, 10), Images().remote_xpoint);  // output 11 <- input 11
  EXPECT_EQ(Cell(48, 0), Images().illegal_xpoint_greyed);  // input 49 can never be routed
  EXPECT_EQ(Cell(1, 0), 0);  // nothing of the image's own routing table
  EXPECT_FALSE(form_->FindAction("MenuUpload")->isEnabled());
  EXPECT_FALSE(form_->FindAction("MenuSaveAs")->isEnabled());
  EXPECT_EQ(form_->PresetDropDown()->count(), 11);
}

TEST_F(RemoteCommandsTest, RoutingGoesThroughTheInstrument) {
  ASSERT_TRUE(Connect());
  form_->Matrix()->MatrixGridDblClick(4, 1);  // input 5 to output 2
  EXPECT_TRUE(QTest::qWaitFor([this] { return Cell(4, 1) == Images().remote_xpoint; }, 3000));
  EXPECT_EQ(instrument_.Routing(2), 5);
  EXPECT_EQ(Cell(1, 1), 0);  // the old routing of that output is gone
  EXPECT_FALSE(ctx_.config.modified);  // the image is not edited while connected

  prompts_.Queue(Answer::kNo);  // do not reload
  instrument_.RouteLocal(3, 7);
  // The star of the last reply carries over, so this report also counts as ours.
  EXPECT_TRUE(QTest::qWaitFor([this] { return Cell(6, 2) == Images().remote_xpoint; }, 3000));
  EXPECT_TRUE(QTest::qWaitFor(
      [this] {
        return prompts_.Texts().join("|").contains(
            "Some of the X-points on the QLX has been updated");
      },
      3000));
}

TEST_F(RemoteCommandsTest, AnOutputRoutedToNothingShowsUnrouted) {
  ASSERT_TRUE(Connect());
  prompts_.Queue(Answer::kNo);  // do not reload yet
  instrument_.RouteLocal(91, 5);
  ASSERT_TRUE(QTest::qWaitFor([this] { return Cell(4, 90) != 0; }, 3000));

  // At the instrument the output now shows nothing (a stored routing of 88..127); the
  // reload's ".LA91,-" answers ".AA91,0".
  const int offset = core::config::MemoryMap::ForPreset(0).RoutingTable + (90 ^ 1);
  instrument_.WriteMemory(sim::kImageAddress + offset, QByteArray(1, '\x7F'));
  ASSERT_EQ(instrument_.Routing(91), 0);
  prompts_.Queue(Answer::kYes);  // reload
  instrument_.SendUpdate();
  EXPECT_TRUE(QTest::qWaitFor([this] { return Cell(4, 90) == 0; }, 5000));
  for (int input = 0; input < core::matrix::kInputs; ++input) {
    const std::uint8_t cell = Cell(input, 90);
    EXPECT_TRUE(cell == 0 || cell == Images().illegal_xpoint_greyed) << input;
  }
  EXPECT_EQ(Cell(0, 0), Images().remote_xpoint);  // the other outputs as before
  // The only questions were the two reloads; no error of any kind.
  for (const QString& text : prompts_.Texts()) {
    EXPECT_TRUE(text.startsWith("Some of the X-points on the QLX has been updated"))
        << text.toStdString();
  }
}

TEST_F(RemoteCommandsTest, PresetDropDownSwitchesTheInstrument) {
  ASSERT_TRUE(Connect());
  form_->PresetDropDown()->setCurrentIndex(3);
  emit form_->PresetDropDown()->activated(3);
  EXPECT_TRUE(QTest::qWaitFor([this] { return instrument_.CurrentPreset() == 4; }, 3000));
  EXPECT_TRUE(QTest::qWaitFor([this] { return ctx_.config.map.PresetOffset == 0x2880; }, 3000));
}

TEST_F(RemoteCommandsTest, DisconnectAsksAndReturnsToTheStart) {
  ASSERT_TRUE(Connect());
  prompts_.Queue(Answer::kNo);
  form_->FindAction("SubMenuDisconnect")->trigger();
  EXPECT_TRUE(ctx_.connected);
  EXPECT_TRUE(form_->commands().remote_button_down);
  EXPECT_EQ(prompts_.Texts().last(),
            "The remote connection to the QLX-A will be disconnected.\rDo you wish to proceed?");
  prompts_.Queue(Answer::kYes);
  form_->FindAction("SubMenuDisconnect")->trigger();
  EXPECT_FALSE(ctx_.connected);
  EXPECT_FALSE(form_->MatrixArea()->isVisibleTo(form_.get()));
  EXPECT_TRUE(form_->FindAction("MenuUpload")->isEnabled());
}

TEST_F(RemoteCommandsTest, ConnectAndDisconnectCarryTheirCheckMarks) {
  QAction* connect_item = form_->FindAction("SubMenuConnect");
  QAction* disconnect_item = form_->FindAction("SubMenuDisconnect");
  EXPECT_FALSE(connect_item->isChecked());
  EXPECT_TRUE(disconnect_item->isChecked());
  ASSERT_TRUE(Connect());
  EXPECT_TRUE(connect_item->isChecked());
  EXPECT_FALSE(disconnect_item->isChecked());
  prompts_.Queue(Answer::kNo);  // stay connected: the click alone changes no mark
  disconnect_item->trigger();
  EXPECT_TRUE(connect_item->isChecked());
  EXPECT_FALSE(disconnect_item->isChecked());
  prompts_.Queue(Answer::kYes);
  disconnect_item->trigger();
  EXPECT_FALSE(connect_item->isChecked());
  EXPECT_TRUE(disconnect_item->isChecked());
  // A connection attempt that finds no remote-capable instrument leaves the marks alone.
  instrument_.blockSignals(true);
  connect_item->trigger();
  EXPECT_FALSE(ctx_.connected);
  EXPECT_FALSE(connect_item->isChecked());
  EXPECT_TRUE(disconnect_item->isChecked());
}

QString WriteMacro(const QTemporaryDir& dir, const QString& name, const QByteArray& text) {
  const QString path = dir.filePath(name);
  QFile f(path);
  f.open(QIODevice::WriteOnly);
  f.write(text);
  return path;
}

TEST_F(RemoteCommandsTest, AssignRunAndUnassignAMacroItem) {
  const QString path = WriteMacro(dir_, "route.MCR", "MacroName=Route three\r\n.SA3,9\r\n");
  files_.open_names << path;
  prompts_.Queue(Answer::kYes);  // assign a new macro?
  form_->MacroItemClick(10);     // unassigned: offers to assign
  EXPECT_EQ(form_->MacroItemCaption(10), "Route three");
  core::settings::IniFile ini(dir_.filePath("VT-Zizara.INI"));
  ini.Load();
  EXPECT_EQ(ini.GetString("MacroFiles", "File#0"), path);

  ASSERT_TRUE(Connect());
  form_->MacroItemClick(10);
  EXPECT_EQ(instrument_.Routing(3), 9);
  EXPECT_EQ(form_->FilePanel()->text(), "Macro finished...");
  EXPECT_FALSE(ctx_.macro_running);

  prompts_.Queue(Answer::kYes);  // unassign?
  form_->Remote()->MacroItemClick(10, false, true);
  EXPECT_EQ(form_->MacroItemCaption(10), "<Unassigned>");
  ini.Load();
  EXPECT_TRUE(ini.GetString("MacroFiles", "File#0").isEmpty());
}

TEST_F(RemoteCommandsTest, DroppedMacroConnectsFirstThenRuns) {
  const QString path = WriteMacro(dir_, "p.MCR", ".SP9,2\n.SA4,6\n");
  prompts_.Queue(Answer::kYes);  // connect?
  form_->RunMacroFile(path);
  EXPECT_EQ(prompts_.records().front().text, "The QLX is not connected, do you wish to connect?");
  EXPECT_TRUE(QTest::qWaitFor([this] { return instrument_.Routing(2, 4) == 6; }, 10000));
  EXPECT_TRUE(ctx_.connected);
}

TEST_F(RemoteCommandsTest, AHandedOverMacroDeclinedLeavesTheStatusAsItWas) {
  form_->SetFilePanelText("before");
  const QString path = WriteMacro(dir_, "p.MCR", ".SA4,6\n");
  prompts_.Queue(Answer::kNo);  // connect? no
  form_->HandleForwardedPath(path);
  EXPECT_EQ(prompts_.records().back().text, "The QLX is not connected, do you wish to connect?");
  EXPECT_EQ(form_->FilePanel()->text(), "before");
  EXPECT_FALSE(ctx_.connected);
  // Accepted, it says where the macro came from.
  prompts_.Queue(Answer::kYes);
  form_->HandleForwardedPath(path);
  EXPECT_EQ(form_->FilePanel()->text(), "File executed from file explorer. (" + path + ")");
  EXPECT_TRUE(QTest::qWaitFor([this] { return instrument_.Routing(4) == 6; }, 10000));
}

void Assign(const QTemporaryDir& dir, int item, const QString& path) {
  ASSERT_TRUE(core::settings::AssignMacroFile(dir.filePath("VT-Zizara.INI"), item - 1, path));
}

int TextLinesSeen(const sim::QlxInstrument& instrument, const QString& line) {
  int n = 0;
  for (const QByteArray& event : instrument.EventLog()) {
    n += event.contains("\"line\":\"" + line.toLatin1() + "\"") ? 1 : 0;
  }
  return n;
}

TEST_F(RemoteCommandsTest, WhileAMacroRunsOnlyStopIsOfferedAndNothingElseStarts) {
  QByteArray text = "MacroName=Long\r\n";
  for (int i = 0; i < 20; ++i) text += ".SA1,1\r\n";
  Assign(dir_, 1, WriteMacro(dir_, "long.MCR", text));
  Assign(dir_, 2, WriteMacro(dir_, "other.MCR", "MacroName=Other\r\n.SA2,5\r\n"));
  form_->Remote()->RefreshMacroCaptions();
  ASSERT_TRUE(Connect());
  form_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));

  bool stop_enabled = false;
  bool items_enabled = true;
  bool macro_window_in_front = false;
  QTimer::singleShot(0, form_.get(), [&] {
    // Disabled actions swallow their shortcuts: Ctrl+F12 needs Stop enabled right now.
    stop_enabled = form_->FindAction("MenuMacroStop")->isEnabled();
    items_enabled = form_->FindAction("MenuMacroItem2")->isEnabled() ||
                    form_->FindAction("MenuMacroLoad")->isEnabled();
    form_->activateWindow();
    form_->GlobalHotkeyPressed(2);  // would start a second macro inside this one
    form_->MacroItemClick(11);      // Ctrl+F11 likewise
    macro_window_in_front = QTest::qWaitFor(
        [&] { return QApplication::activeWindow() == form_->Remote()->MacroWindow(); }, 2000);
    form_->FindAction("MenuMacroStop")->trigger();
  });
  form_->MacroItemClick(1);
  EXPECT_TRUE(stop_enabled);
  EXPECT_FALSE(items_enabled);
  EXPECT_TRUE(macro_window_in_front);
  EXPECT_EQ(form_->FilePanel()->text(), "Macro stopped by user...");
  EXPECT_LT(TextLinesSeen(instrument_, ".SA1,1"), 20);
  EXPECT_EQ(TextLinesSeen(instrument_, ".SA2,5"), 0);
  EXPECT_EQ(files_.asked, 0);  // Run Macro... did not open its dialog
  EXPECT_TRUE(prompts_.records().empty());
  // Afterwards the menu offers the macros again and Stop is off.
  EXPECT_FALSE(form_->FindAction("MenuMacroStop")->isEnabled());
  EXPECT_TRUE(form_->FindAction("MenuMacroItem2")->isEnabled());
  EXPECT_FALSE(ctx_.macro_running);
  EXPECT_FALSE(ctx_.link_state.handshake_active);
}

TEST_F(RemoteCommandsTest, PresetChangeInsideAMacroKeepsEveryLaterLineConfirmedOnce) {
  form_->Remote()->SetMacroTiming({1, 150, 11});
  QByteArray text = ".SP9,2\r\n";
  for (int o = 1; o <= 8; ++o) {
    ASSERT_TRUE(sim::IsLegalCrosspoint(9 - o, o));
    text += ".SA" + QByteArray::number(o) + "," + QByteArray::number(9 - o) + "\r\n";
  }
  const QString path = WriteMacro(dir_, "preset.MCR", text);
  ASSERT_TRUE(Connect());
  const int reads_before = TextLinesSeen(instrument_, ".LA91,-");
  form_->RunMacroFile(path);
  EXPECT_EQ(form_->FilePanel()->text(), "Macro finished...");
  EXPECT_EQ(instrument_.CurrentPreset(), 2);
  for (int o = 1; o <= 8; ++o) {
    const QString line = QStringLiteral(".SA%1,%2").arg(o).arg(9 - o);
    EXPECT_EQ(TextLinesSeen(instrument_, line), 1) << line.toStdString();
    EXPECT_EQ(instrument_.Routing(2, o), 9 - o);
  }
  // The switch was followed by one reading of the new preset's X-points, and what the macro
  // routed afterwards shows on top of it.
  EXPECT_EQ(TextLinesSeen(instrument_, ".LA91,-"), reads_before + 1);
  EXPECT_EQ(ctx_.config.map.PresetOffset, core::config::MemoryMap::ForPreset(1).PresetOffset);
  EXPECT_EQ(Cell(6, 1), Images().remote_xpoint);  // output 2 <- input 7
  EXPECT_FALSE(ctx_.link_state.handshake_active);
}

TEST_F(RemoteCommandsTest, CopyIsOffWhileConnected) {
  ASSERT_TRUE(Connect());
  for (const char* item :
       {"MenuCopyLabels", "MenuCopyXpoint", "MenuPasteLabels", "MenuPasteXpoint"}) {
    EXPECT_FALSE(form_->FindAction(item)->isEnabled()) << item;
  }
  // Even reached directly, copying would hand out the image's table, not the instrument's.
  QApplication::clipboard()->clear();
  form_->Matrix()->MenuCopyXpointClick();
  form_->Matrix()->MenuCopyClick();
  EXPECT_FALSE(form_->Matrix()->ClipboardHasXPoints());
  EXPECT_FALSE(form_->Matrix()->ClipboardHasLabels());
}

TEST_F(RemoteCommandsTest, EveryUpdateAfterAnAcceptedReloadAsksAgain) {
  ASSERT_TRUE(Connect());
  const int reads = TextLinesSeen(instrument_, ".LA91,-");
  const auto questions = [this] {
    return prompts_.Texts().filter("Some of the X-points on the QLX has been updated").size();
  };
  prompts_.Queue(Answer::kYes);
  instrument_.SendUpdate();
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return TextLinesSeen(instrument_, ".LA91,-") == reads + 1; }, 5000));
  EXPECT_FALSE(form_->Remote()->state().reload_pending);
  prompts_.Queue(Answer::kNo);
  instrument_.SendUpdate();
  EXPECT_TRUE(QTest::qWaitFor([&] { return questions() == 2; }, 3000));
  // Declined: nothing is pending, so the next one asks as well.
  prompts_.Queue(Answer::kNo);
  instrument_.SendUpdate();
  EXPECT_TRUE(QTest::qWaitFor([&] { return questions() == 3; }, 3000));
}

TEST_F(RemoteCommandsTest, MacroWithAnEmptyNameIsCaptionedByItsFileAndRuns) {
  Assign(dir_, 4, WriteMacro(dir_, "blank.MCR", "MacroName=\r\n.SA3,9\r\n"));
  Assign(dir_, 5, WriteMacro(dir_, "amp.MCR", "MacroName=Bass & Drums\r\n"));
  form_->Remote()->RefreshMacroCaptions();
  EXPECT_EQ(form_->MacroItemCaption(4), "blank.MCR");
  EXPECT_EQ(form_->FindAction("MenuMacroItem5")->iconText(), "Bass & Drums");
  ASSERT_TRUE(Connect());
  form_->MacroItemClick(4);
  EXPECT_EQ(instrument_.Routing(3), 9);
  EXPECT_TRUE(prompts_.records().empty());  // not offered for assignment
}

TEST_F(RemoteCommandsTest, CaptionOfAHugeMacroCostsLittleMemory) {
  // The largest macro accepted, in the shortest lines, with its name at the very end.
  const QByteArray tail = "MacroName=Big\r\n";
  QByteArray text = QByteArray(".\n").repeated((16 * 1024 * 1024 - tail.size()) / 2) + tail;
  Assign(dir_, 3, WriteMacro(dir_, "big.MCR", text));
  text.clear();
  text.squeeze();
  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  EXPECT_EQ(form_->Remote()->MacroCaption(3), "Big");
  rusage after{};
  getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024);  // kB: far below the file's lines
}

TEST_F(RemoteCommandsTest, MacroWindowShowsTextAsItStands) {
  remote::TRunMacrosForm* window = form_->Remote()->MacroWindow();
  window->ShowWindow("VT-Zizara is executing the macro called: <b>x</b>", "", "");
  for (QLabel* label : {window->Label1(), window->Label2(), window->Label3()}) {
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
  }
  window->HideWindow();
}

TEST_F(RemoteCommandsTest, ClosingStopsTheRunningMacro) {
  QByteArray text;
  for (int i = 0; i < 20; ++i) text += ".SA1,1\r\n";
  const QString path = WriteMacro(dir_, "long.MCR", text);
  ASSERT_TRUE(Connect());
  QTimer::singleShot(0, form_.get(), [&] {
    prompts_.Queue(Answer::kYes);  // disconnect?
    form_->close();
  });
  form_->RunMacroFile(path);
  EXPECT_TRUE(ctx_.closing);
  EXPECT_EQ(form_->FilePanel()->text(), "Macro stopped by user...");
  EXPECT_LT(TextLinesSeen(instrument_, ".SA1,1"), 20);
}

// The first port answers no remote probe; the second is the working instrument.
class FailedConnectionTest : public RemoteCommandsTest {
 protected:
  void SetUp() override {
    SimulatedMainFormTest::SetUp();
    form_->SetLinkController(nullptr);
    controller_ = std::make_unique<link::LinkController>(
        ctx_, prompts_,
        [this](const QString& port) {
          return std::make_unique<sim::InMemoryTransport>(port == "mute" ? &mute_ : &instrument_);
        },
        form_.get());
    form_->SetLinkController(controller_.get());
    form_->ConnectAtStartUp();
  }
  sim::QlxInstrument mute_{[] {
    sim::QlxOptions o;
    o.no_dot = true;
    return o;
  }()};
};

TEST_F(FailedConnectionTest, MacroIsDroppedWhenTheConnectionDoesNotComeUp) {
  ASSERT_TRUE(form_->commands().remote_menu);
  controller_->DestroyDriver();
  ctx_.current_port = "mute";
  prompts_.Queue(Answer::kYes);  // connect?
  form_->RunMacroFile(WriteMacro(dir_, "p.MCR", ".SA4,6\n"));
  EXPECT_FALSE(ctx_.connected);
  EXPECT_FALSE(ctx_.macro_running);
  EXPECT_EQ(form_->FilePanel()->text(), "Macro not run: the QLX did not connect.");
  EXPECT_FALSE(form_->FindAction("MenuMacroStop")->isEnabled());

  // Much later the user connects by hand: nothing runs then.
  controller_->DestroyDriver();
  ctx_.current_port = "sim";
  ASSERT_TRUE(Connect());
  EXPECT_EQ(TextLinesSeen(instrument_, ".SA4,6"), 0);
  EXPECT_NE(instrument_.Routing(4), 6);
}

}  // namespace
}  // namespace zizara::gui::app

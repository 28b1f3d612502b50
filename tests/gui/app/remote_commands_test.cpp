#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/settings/ini_file.h"
#include <QTest>

#include "gui/app/remote_commands.h"
#include "core/config/memory_map.h"
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

}  // namespace
}  // namespace zizara::gui::app

#include "gui/app/scale_commands.h"

#include <gtest/gtest.h>

#include <QFile>

#include "core/scale/scale_image.h"
#include "core/settings/ini_file.h"
#include "support/simulated_main_form.h"

namespace zizara::gui::app {
namespace {

namespace sc = core::scale;
using core::ui_port::Answer;

class ScaleCommandsTest : public testing::SimulatedMainFormTest {};

TEST_F(ScaleCommandsTest, ToolsEntryOpensTheEditorOverTheDisabledMainWindow) {
  form_->show();
  Trigger("MenuVTScale");
  scale::TVTScaleForm* editor = form_->Scales()->Form();
  EXPECT_TRUE(editor->isVisible());
  EXPECT_FALSE(form_->isEnabled());
  EXPECT_TRUE(editor->isEnabled());
  EXPECT_TRUE(editor->close());
  EXPECT_TRUE(form_->isEnabled());
}

TEST_F(ScaleCommandsTest, OpenRemembersTheLastScaleFile) {
  sc::ScaleLibrary library;
  const QString path = dir_.filePath("lib.dat");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(library.Serialize());
  f.close();
  files_.open_names << path;
  form_->Scales()->Form()->OpenClick();
  core::settings::IniFile ini(form_->SettingsPath());
  ini.Load();
  EXPECT_EQ(ini.GetString("ZA-Dizod", "LastScaleFile"), path);
}

TEST_F(ScaleCommandsTest, DownloadWritesTheScaleIntoTheSimulator) {
  form_->ConnectAtStartUp();
  ASSERT_TRUE(ctx_.instrument_detected);
  Trigger("MenuVTScale");
  scale::TVTScaleForm* editor = form_->Scales()->Form();
  editor->KeyNoBox()->setCurrentIndex(8);  // "1630 I"
  editor->StyleBox(0)->setCurrentIndex(1);
  editor->LabelEdit(0)->setText("0");
  editor->Action("DownloadAction")->trigger();
  EXPECT_EQ(instrument_.ReadMemory(0x1DA00, 256), sc::ImageBytes(editor->image()));
  EXPECT_EQ(static_cast<std::uint8_t>(instrument_.MemoryByte(0x1DA00 + 16)), 0xD2);
  EXPECT_FALSE(form_->isEnabled());  // still under the editor after the reconnection
  editor->close();
}

}  // namespace
}  // namespace zizara::gui::app

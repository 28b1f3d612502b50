// The main window with the German catalogue of the build tree, as LANGUAGE=de starts it.

#include <gtest/gtest.h>

#include <QFile>

#include "core/i18n/tr.h"
#include "core/remote/macro_file.h"
#include "support/simulated_main_form.h"

namespace zizara::gui::app {
namespace {

using core::ui_port::Answer;

class GermanWindowTest : public testing::SimulatedMainFormTest {
 protected:
  void SetUp() override {
    // The test runs with LC_ALL=C, where gettext would ignore LANGUAGE.
    qputenv("LANGUAGE", "de");
    core::i18n::InitTranslations(QStringLiteral(ZIZARA_PROGRAM_DIR));
    ASSERT_EQ(core::i18n::Tr("Cancel"), "Abbrechen") << "no German catalogue beside the programs";
    SimulatedMainFormTest::SetUp();
  }
};

TEST_F(GermanWindowTest, MenusAndListsSpeakGerman) {
  EXPECT_EQ(form_->FindAction("MenuOpen")->text(), "Öffnen...");
  EXPECT_EQ(form_->MacroItemCaption(10), "<Unbelegt>");
  // Texts kept in tables are translated where they are shown.
  EXPECT_EQ(core::i18n::Tr(core::remote::kUnnamedMacro), "Unbenanntes Makro");
}

TEST_F(GermanWindowTest, AnUnassignedItemStillOffersAssignment) {
  // The item is recognised as unassigned by its (translated) caption.
  const QString path = dir_.filePath("route.MCR");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("MacroName=Route three\r\n.SA3,9\r\n");
  f.close();
  files_.open_names << path;
  prompts_.Queue(Answer::kYes);
  form_->MacroItemClick(10);
  ASSERT_EQ(prompts_.records().size(), 1U);
  EXPECT_EQ(prompts_.records().front().text,
            "Möchten Sie diesem Eintrag ein neues Makro zuweisen?");
  EXPECT_EQ(form_->MacroItemCaption(10), "Route three");
}

}  // namespace
}  // namespace zizara::gui::app

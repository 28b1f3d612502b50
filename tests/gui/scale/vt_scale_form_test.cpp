#include "gui/scale/vt_scale_form.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/scale/scale_image.h"
#include "gui/ui/qt_prompts.h"

namespace zizara::gui::scale {
namespace {

namespace sc = core::scale;
using core::ui_port::Answer;

class ScaleFormTest : public ::testing::Test {
 protected:
  void SetUp() override { Make(); }
  void Make(const QString& last_file = {}) {
    ScaleFormServices s;
    s.prompts = &prompts_;
    s.files = &files_;
    s.last_scale_file = last_file;
    s.last_scale_file_changed = [this](const QString& name) { stored_last_ = name; };
    s.instrument_connected = [this] { return connected_; };
    s.download = [this](const sc::ScaleImage& image, int key) {
      downloads_.push_back({image, key});
    };
    form_ = std::make_unique<TVTScaleForm>(std::move(s));
    form_->setLocale(QLocale::c());
  }
  QString WriteLibrary(const sc::ScaleLibrary& library, const QString& name = "lib.dat") {
    const QString path = dir_.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(library.Serialize());
    return path;
  }
  static sc::ScaleLibrary Sample() {
    sc::ScaleLibrary library;
    for (int i = 0; i < sc::kScaleCount; ++i) {
      library.records[i].SetShortName(QByteArray::number(i + 1) + "S");
    }
    sc::ScaleRecord& r = library.records[0];
    r.SetKeyNumber(3);
    r.SetDynamicsPosition(3);
    r.SetReference(18.0);
    r.SetLineLevel(0, 0.0);
    r.SetLineStyle(0, 1);
    r.SetLineLabel(0, "0");
    r.SetLineLevel(1, -20.0);
    r.SetLineStyle(1, 3);
    r.SetNote("one\r\ntwo\r\n");
    return library;
  }
  void Leave(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    emit edit->editingFinished();
  }
  bool Enabled(const char* name) { return form_->Action(QString::fromLatin1(name))->isEnabled(); }

  QTemporaryDir dir_;
  core::ui_port::ScriptedPrompts prompts_;
  ui::ScriptedFileChooser files_;
  std::unique_ptr<TVTScaleForm> form_;
  QString stored_last_;
  bool connected_ = false;
  std::vector<std::pair<sc::ScaleImage, int>> downloads_;
};

TEST_F(ScaleFormTest, StartsWithScaleOneOfTwentyEmptyScales) {
  EXPECT_EQ(form_->windowTitle(), "ZA-Dizod V.2.40");
  ASSERT_EQ(form_->ScaleNoEdit()->count(), 20);
  EXPECT_EQ(form_->ScaleNoEdit()->itemText(0), "Scale #1 - ");
  EXPECT_EQ(form_->ScaleNoEdit()->itemText(19), "Scale #20 - ");
  EXPECT_EQ(form_->ScaleNoEdit()->maxVisibleItems(), 9);
  EXPECT_EQ(form_->current_scale(), 1);
  EXPECT_FALSE(Enabled("PreviousAction"));
  EXPECT_TRUE(Enabled("NextAction"));
  EXPECT_FALSE(Enabled("SaveAction"));
  EXPECT_FALSE(form_->modified());
  EXPECT_EQ(form_->KeyNoBox()->count(), 10);
  EXPECT_EQ(form_->DynamicsBox()->count(), 14);
  EXPECT_EQ(form_->StyleBox(27)->count(), 9);
  EXPECT_EQ(form_->LevelEdit(0)->maxLength(), 5);
  EXPECT_EQ(form_->LabelEdit(0)->maxLength(), 4);
  EXPECT_TRUE(form_->Scaleflag()->isChecked());  // flag byte 0 is a digital scale
  EXPECT_EQ(form_->ReferenceEdit()->text(), "0.0");
  EXPECT_TRUE(form_->DescriptionEdit()->isHidden());
}

TEST_F(ScaleFormTest, ReloadQuestionLoadsTheLastFile) {
  const QString path = WriteLibrary(Sample());
  Make(path);
  prompts_.Queue(Answer::kYes);
  form_->ShowEditor();
  ASSERT_EQ(prompts_.Texts(),
            QStringList{"Do you wish to reload the scalefile \"" + path + "\" ?"});
  EXPECT_EQ(form_->StatusPanel()->text(), "File: " + path);
  EXPECT_EQ(form_->ScaleNoEdit()->itemText(1), "Scale #2 - 2S");
  EXPECT_EQ(form_->ShortNameEdit()->text(), "1S");
  EXPECT_EQ(form_->KeyNoBox()->currentText(), "Key 4");
  EXPECT_EQ(form_->DynamicsBox()->currentText(), "IEC 268-17 VU");
  EXPECT_EQ(form_->ReferenceEdit()->text(), "18.0");
  EXPECT_EQ(form_->StyleBox(1)->currentText(), "Solid Red");
  EXPECT_EQ(form_->LevelEdit(1)->text(), "-20.0");
  EXPECT_EQ(form_->Note()->toPlainText(), "one\ntwo");
  EXPECT_FALSE(Enabled("SaveAction"));
  EXPECT_FALSE(form_->modified());
  form_->hide();

  // No keeps the empty library; a last file that is gone asks nothing.
  Make(path);
  prompts_.Clear();
  prompts_.Queue(Answer::kNo);
  form_->ShowEditor();
  EXPECT_EQ(form_->ShortNameEdit()->text(), "");
  form_->hide();
  Make(dir_.filePath("gone.dat"));
  prompts_.Clear();
  form_->ShowEditor();
  EXPECT_TRUE(prompts_.Texts().isEmpty());
  form_->hide();
}

TEST_F(ScaleFormTest, OpenRefusesAWrongSizeAndKeepsEverything) {
  form_->ShortNameEdit()->setText("KEEP");
  const QString bad = dir_.filePath("bad.dat");
  QFile f(bad);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(49061, '\0'));
  f.close();
  files_.open_names << bad;
  form_->OpenClick();
  EXPECT_EQ(prompts_.Texts(), QStringList{"The file " + bad + " is NOT a valid Scale Library"});
  EXPECT_EQ(form_->ShortNameEdit()->text(), "KEEP");
  EXPECT_EQ(form_->library().records[0].ShortName(), "KEEP");
  EXPECT_EQ(stored_last_, bad);  // the choice is remembered, as the last file
  EXPECT_TRUE(form_->StatusPanel()->text().isEmpty());
}

TEST_F(ScaleFormTest, NumberFieldsShowOneDecimalAndStoreWhatWasTyped) {
  Leave(form_->LevelEdit(0), "1.27");
  EXPECT_EQ(form_->LevelEdit(0)->text(), "1.3");
  EXPECT_NEAR(form_->library().records[0].LineLevel(0), 1.27, 1e-9);  // 39-bit fraction
  EXPECT_TRUE(form_->modified());
  EXPECT_TRUE(Enabled("SaveAction"));
  // The value survives a later store, even though the field shows 1.3.
  form_->NextClick();
  form_->PreviousClick();
  EXPECT_NEAR(form_->library().records[0].LineLevel(0), 1.27, 1e-9);
  Leave(form_->LevelEdit(2), "-0,5");
  EXPECT_DOUBLE_EQ(form_->library().records[0].LineLevel(2), -0.5);
  Leave(form_->LevelEdit(3), "");
  EXPECT_EQ(form_->LevelEdit(3)->text(), "0.0");
  EXPECT_TRUE(prompts_.Texts().isEmpty());
  Leave(form_->ReferenceEdit(), "1x");
  EXPECT_EQ(prompts_.Texts(), QStringList{"'1x' is not a valid integer value ConversionError"});
  EXPECT_EQ(form_->ReferenceEdit()->text(), "0.0");
  form_->setLocale(QLocale(QLocale::German));
  Leave(form_->ReferenceEdit(), "-3.5");
  EXPECT_EQ(form_->ReferenceEdit()->text(), "-3,5");
}

TEST_F(ScaleFormTest, SecondOverloadIsSetBackToNone) {
  form_->StyleBox(0)->setCurrentIndex(sc::kStyleOverload);
  form_->StyleBox(1)->setCurrentIndex(sc::kStyleUnderLoad);
  EXPECT_TRUE(prompts_.Texts().isEmpty());
  form_->StyleBox(4)->setCurrentIndex(sc::kStyleOverload);
  EXPECT_EQ(prompts_.Texts(),
            QStringList{"There can only be one Overload Marker and one Underload Marker"});
  EXPECT_EQ(form_->StyleBox(4)->currentText(), "None");
  EXPECT_EQ(form_->library().records[0].LineStyle(4), 0);
  EXPECT_EQ(form_->library().records[0].LineStyle(0), sc::kStyleOverload);
  EXPECT_TRUE(form_->modified());
}

TEST_F(ScaleFormTest, PreviousAndNextStoreAndMove) {
  form_->ShortNameEdit()->setText("AB");
  EXPECT_EQ(form_->ScaleNoEdit()->itemText(0), "Scale #1 - AB");
  form_->NextClick();
  EXPECT_EQ(form_->current_scale(), 2);
  EXPECT_TRUE(Enabled("PreviousAction"));
  EXPECT_EQ(form_->library().records[0].ShortName(), "AB");
  for (int i = 0; i < 30; ++i) form_->NextClick();
  EXPECT_EQ(form_->current_scale(), 20);
  EXPECT_FALSE(Enabled("NextAction"));
  // The selector moves without storing first.
  form_->ShortNameEdit()->setText("ZZ");
  form_->ScaleNoEdit()->setCurrentIndex(0);
  emit form_->ScaleNoEdit()->activated(0);
  EXPECT_EQ(form_->current_scale(), 1);
  EXPECT_EQ(form_->ShortNameEdit()->text(), "AB");
  EXPECT_FALSE(Enabled("PreviousAction"));
}

TEST_F(ScaleFormTest, PositionsOffTheListShowNoSelectionAndAreKept) {
  sc::ScaleLibrary library = Sample();
  auto& b = library.records[0].bytes();
  b[sc::record_offsets::kKeyNumber] = 12;
  b[sc::record_offsets::kDynamics] = 99;
  b[sc::record_offsets::kLines + 13 * 5 + 11] = 9;
  b[sc::record_offsets::kShortName] = 200;
  ASSERT_TRUE(form_->LoadFile(WriteLibrary(library)));
  EXPECT_EQ(form_->KeyNoBox()->currentIndex(), -1);
  EXPECT_EQ(form_->DynamicsBox()->currentIndex(), -1);
  EXPECT_EQ(form_->StyleBox(5)->currentIndex(), -1);
  EXPECT_EQ(form_->ShortNameEdit()->text(), "1S  ");
  form_->DrawPreview();  // stores the window
  EXPECT_EQ(form_->library().records[0].KeyNumber(), 12);
  EXPECT_EQ(form_->library().records[0].DynamicsPosition(), 99);
  EXPECT_EQ(form_->library().records[0].LineStyle(5), 9);
}

TEST_F(ScaleFormTest, SaveAsAsksBeforeReplacing) {
  form_->ShortNameEdit()->setText("AB");
  const QString existing = WriteLibrary(sc::ScaleLibrary{}, "old.dat");
  files_.save_names << dir_.filePath("old");
  prompts_.Queue(Answer::kNo);
  form_->SaveAsClick();
  EXPECT_EQ(prompts_.Texts(),
            QStringList{"The file " + existing +
                        " already exists. Do you want to replace the existing file?"});
  EXPECT_TRUE(form_->modified());
  files_.save_names << existing;
  prompts_.Queue(Answer::kYes);
  form_->SaveAsClick();
  EXPECT_FALSE(form_->modified());
  EXPECT_FALSE(Enabled("SaveAction"));
  EXPECT_EQ(form_->StatusPanel()->text(), "File: " + existing);
  QFile f(existing);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  ASSERT_EQ(bytes.size(), sc::kLibrarySize);
  EXPECT_EQ(bytes.left(5), QByteArray("\x02"
                                      "AB  "));
  EXPECT_EQ(bytes.mid(sc::record_offsets::kNote, 2), QByteArray(2, '\0'));
}

TEST_F(ScaleFormTest, CloseAsksWhileChangesAreUnsaved) {
  bool closed = false;
  QObject::connect(form_.get(), &TVTScaleForm::Closed, [&closed] { closed = true; });
  form_->show();
  form_->ShortNameEdit()->setText("X");
  prompts_.Queue(Answer::kCancel);
  EXPECT_FALSE(form_->close());
  EXPECT_FALSE(closed);
  EXPECT_EQ(prompts_.Texts(),
            QStringList{"Do you wish to save the changes to the scalefile \"\" ?"});
  // Yes runs Save As; a cancelled dialog leaves the mark, so the question comes again.
  prompts_.Queue(Answer::kYes);
  prompts_.Queue(Answer::kNo);
  EXPECT_TRUE(form_->close());
  EXPECT_EQ(prompts_.Texts().size(), 3);
  EXPECT_EQ(files_.asked, 1);
  EXPECT_TRUE(closed);
}

TEST_F(ScaleFormTest, NoteIsStoredWithCrLf) {
  form_->Note()->setPlainText("first\nsecond");
  EXPECT_EQ(form_->library().records[0].Note(), "first\r\nsecond\r\n");
  form_->Note()->setPlainText(QString(2100, 'n'));
  EXPECT_EQ(form_->Note()->toPlainText().size(), 2048);
  // A full note without a terminating zero is shown whole, in pieces of 128 bytes.
  sc::ScaleLibrary library;
  library.records[0].SetNote(QByteArray(2048, 'f'));
  ASSERT_TRUE(form_->LoadFile(WriteLibrary(library)));
  const QStringList lines = form_->Note()->toPlainText().split('\n');
  ASSERT_EQ(lines.size(), 16);
  EXPECT_EQ(lines[15], QString(128, 'f'));
}

TEST_F(ScaleFormTest, DownloadSendsTheCurrentImageAndF2WorksWhileDisabled) {
  form_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
  form_->ScaleViewPanel()->repaint();
  EXPECT_FALSE(Enabled("DownloadAction"));
  connected_ = true;
  form_->ScaleViewPanel()->repaint();
  EXPECT_TRUE(Enabled("DownloadAction"));
  connected_ = false;
  form_->ScaleViewPanel()->repaint();
  form_->KeyNoBox()->setCurrentIndex(2);
  form_->LabelEdit(0)->setText("AB ");
  form_->StyleBox(0)->setCurrentIndex(1);
  QTest::keyClick(form_->KeyNoBox(), Qt::Key_F2);
  ASSERT_EQ(downloads_.size(), 1u);
  EXPECT_EQ(downloads_[0].second, 2);
  EXPECT_EQ(downloads_[0].first, form_->image());
  EXPECT_EQ(downloads_[0].first[sc::image_words::kGroupCount], 1);
  EXPECT_EQ(form_->library().records[0].LineLabel(0), "AB");  // trimmed and stored back
  form_->hide();
}

TEST_F(ScaleFormTest, DigitalFlagRebuildsWithoutMarkingModified) {
  form_->Scaleflag()->click();
  EXPECT_FALSE(form_->modified());
  EXPECT_FALSE(form_->library().records[0].IsDigital());
  EXPECT_EQ(form_->image()[sc::image_words::kDigital], 0);
}

TEST_F(ScaleFormTest, PreviewAndMarkerHints) {
  ASSERT_TRUE(form_->LoadFile(WriteLibrary(Sample())));
  const QImage& picture = form_->ScaleViewPanel()->picture();
  EXPECT_EQ(picture.pixelColor(60, 30), QColor(Qt::white));
  EXPECT_EQ(picture.pixelColor(60, 430), QColor(Qt::red));
  form_->StyleBox(2)->setCurrentIndex(sc::kStyleOverload);
  Leave(form_->LevelEdit(2), "-3");
  EXPECT_EQ(form_->ScaleViewPanel()->HintAt({95, 31}), "Overload");
  EXPECT_EQ(form_->ScaleViewPanel()->HintAt({95, 400}), "");
  // One styled line leaves the previous drawing in place.
  form_->StyleBox(1)->setCurrentIndex(0);
  const QImage before = form_->ScaleViewPanel()->picture();
  form_->StyleBox(2)->setCurrentIndex(0);
  EXPECT_EQ(form_->image()[sc::image_words::kLargest], form_->image()[sc::image_words::kSmallest]);
  EXPECT_EQ(form_->ScaleViewPanel()->picture(), before);
}

}  // namespace
}  // namespace zizara::gui::scale

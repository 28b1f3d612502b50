#include "gui/matrix/matrix_view.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QWheelEvent>

#include "gui/matrix/channel_label.h"

#include "core/config/preset_options.h"
#include "core/matrix/clipboard_blocks.h"
#include "gui/ui/qt_prompts.h"
#include "support/crafted_files.h"

namespace zizara::gui::matrix {
namespace {

namespace mx = core::matrix;
using Axis = mx::Axis;
using core::ui_port::Answer;

class FakeSender : public mx::RemoteSender {
 public:
  void SendDotCommand(const QByteArray& command) override { sent << command; }
  std::optional<QByteArray> QueryDotCommand(const QByteArray& command, int) override {
    sent << command;
    return reply;
  }
  QList<QByteArray> sent;
  std::optional<QByteArray> reply;
};

// A mouse move straight to the grid; QTest's moves depend on where the last test left the
// pointer.
void MoveMouse(QWidget* widget, QPoint position) {
  QMouseEvent move(QEvent::MouseMove, position, widget->mapToGlobal(position), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &move);
}

// One running program's matrix: its own configuration, flags and dialogs.
struct Program {
  explicit Program(int preset = 0) {
    config.image.AssignFrom(testing::CraftImage());
    config.SelectPreset(preset);
    view = std::make_unique<TMatrixView>(
        MatrixContext{config, connected, macro_running, prompts, files});
    view->SetShowPopups(false);
    view->SetRemoteSender(&sender);
    view->SetEditDialog([this](const EditRequest& request) {
      requests.push_back(request);
      std::optional<QString> answer;
      if (!edit_answers.isEmpty()) answer = edit_answers.takeFirst();
      return answer;
    });
    view->resize(700, 500);  // 34 columns, 19 rows
    view->show();
    view->RebuildFromImage();
  }
  QPoint CellCentre(int column, int row) const { return mx::CellRect({column, row}).center(); }
  int Element(int output) const {
    return config.image.ArrayElement(config.map.RoutingTable, output);
  }
  QAction* Item(const char* name) const { return view->PopupItem(QString::fromLatin1(name)); }

  core::config::Configuration config;
  bool connected = false;
  bool macro_running = false;
  core::ui_port::ScriptedPrompts prompts;
  ui::ScriptedFileChooser files;
  FakeSender sender;
  std::vector<EditRequest> requests;
  QStringList edit_answers;  // a missing answer is Cancel
  std::unique_ptr<TMatrixView> view;
};

TEST(ChannelLabelTest, HintShowsANameAsWritten) {
  TChannelLabel label(0, Qt::AlignLeft, nullptr);
  label.SetHint(QStringLiteral("<b>Mic</b> 1"));
  const QString tip = label.toolTip();
  QTextDocument doc;
  if (Qt::mightBeRichText(tip)) {
    doc.setHtml(tip);
  } else {
    doc.setPlainText(tip);
  }
  EXPECT_EQ(doc.toPlainText(), "<b>Mic</b> 1");
  label.SetHint(QString());
  EXPECT_TRUE(label.toolTip().isEmpty());
}

TEST(MatrixViewTest, LaysOutFromTheWindowSize) {
  Program p;
  EXPECT_EQ(p.view->Geometry().columns, 34);  // (700 - 80 - 28) / 17
  EXPECT_EQ(p.view->Geometry().rows, 19);     // (500 - 80 - 92) / 17
  EXPECT_EQ(p.view->Grid()->size(), QSize(34 * 17, 19 * 17 + 1));
  EXPECT_EQ(p.view->ScrollBarX()->maximum(), 88 - 34);
  EXPECT_EQ(p.view->ScrollBarY()->maximum(), 96 - 19);
  EXPECT_EQ(p.view->ScrollBarX()->singleStep(), 1);
  EXPECT_EQ(p.view->ScrollBarY()->singleStep(), 2);
  // The handles show the visible part; a page click moves 1 column or 8 rows.
  EXPECT_EQ(p.view->ScrollBarX()->pageStep(), 34);
  EXPECT_EQ(p.view->ScrollBarY()->pageStep(), 19);
  p.view->ScrollBarX()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  p.view->ScrollBarY()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  p.view->ScrollBarY()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(p.view->ScrollBarX()->value(), 1);
  EXPECT_EQ(p.view->ScrollBarY()->value(), 16);
  p.view->ScrollBarY()->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(p.view->ScrollBarY()->value(), 8);
  EXPECT_EQ(p.view->Grid()->FirstOutput(), 8);
  p.view->ScrollBarX()->setValue(0);
  p.view->ScrollBarY()->setValue(0);
  p.view->resize(2000, 2000);
  EXPECT_EQ(p.view->Geometry().columns, 88);
  EXPECT_EQ(p.view->Geometry().rows, 96);
  EXPECT_EQ(p.view->ScrollBarX()->maximum(), 0);
  EXPECT_EQ(p.view->ScrollBarY()->maximum(), 0);
}

TEST(MatrixViewTest, LabelsAreMadeOnceAndFollowTheScroll) {
  Program p;
  EXPECT_EQ(p.view->InputPanel()->findChildren<TChannelLabel*>().size(), 176);
  EXPECT_EQ(p.view->OutputPanel()->findChildren<TChannelLabel*>().size(), 192);
  TChannelLabel* name = p.view->NameLabel(Axis::kInputs, 0);
  EXPECT_EQ(name->text(), "I001   ");
  EXPECT_EQ(name->angle(), 90);
  EXPECT_EQ(name->geometry(), QRect(1, 18, 16, 61));
  EXPECT_EQ(p.view->NumberLabel(Axis::kOutputs, 2)->geometry(), QRect(1, 35, 16, 16));
  EXPECT_EQ(p.view->NameLabel(Axis::kOutputs, 1)->text(), "   O002");
  EXPECT_EQ(p.view->NameLabel(Axis::kOutputs, 1)->toolTip(),
            "Input #6 (I006) is routed to this output.");
  p.view->ScrollBarX()->setValue(5);
  EXPECT_EQ(p.view->NameLabel(Axis::kInputs, 0), name);
  EXPECT_EQ(name->text(), "I006   ");
  EXPECT_EQ(p.view->NumberLabel(Axis::kInputs, 0)->text(), "6");
  EXPECT_EQ(name->toolTip(), "Input #6");
  EXPECT_EQ(p.view->Grid()->FirstInput(), 5);
  EXPECT_EQ(p.view->InputPanel()->findChildren<TChannelLabel*>().size(), 176);
}

TEST(MatrixViewTest, ArrowKeysScrollAndStopAtTheBounds) {
  Program p;
  p.view->InstallKeyPreview(p.view.get(), nullptr);
  QScrollBar* x = p.view->ScrollBarX();
  QScrollBar* y = p.view->ScrollBarY();
  QTest::keyClick(p.view->Grid(), Qt::Key_Right);
  EXPECT_EQ(x->value(), 2);
  QTest::keyClick(p.view->Grid(), Qt::Key_Down);
  QTest::keyClick(p.view->Grid(), Qt::Key_Down);
  EXPECT_EQ(y->value(), 4);
  QTest::keyClick(p.view->Grid(), Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(x->value(), x->maximum());
  QTest::keyClick(p.view->Grid(), Qt::Key_Right);
  EXPECT_EQ(x->value(), x->maximum());
  QTest::keyClick(p.view->Grid(), Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(y->value(), 96 - 19);
  QTest::keyClick(p.view->Grid(), Qt::Key_Left, Qt::ControlModifier);
  QTest::keyClick(p.view->Grid(), Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(x->value(), 0);
  EXPECT_EQ(y->value(), 0);
  QTest::keyClick(p.view->Grid(), Qt::Key_Left);
  QTest::keyClick(p.view->Grid(), Qt::Key_Up);
  EXPECT_EQ(x->value(), 0);
  EXPECT_EQ(y->value(), 0);
  // Ctrl with Shift is not "exactly Ctrl": a plain step.
  QTest::keyClick(p.view->Grid(), Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(x->value(), 2);
}

// One wheel event on `widget` at its centre.
void Wheel(QWidget* widget, QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
  QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(widget, &wheel);
}

TEST(MatrixViewTest, WheelScrollsLikeTheArrowKeys) {
  Program p;
  QScrollBar* x = p.view->ScrollBarX();
  QScrollBar* y = p.view->ScrollBarY();
  Wheel(p.view->Grid(), {0, -120});  // one notch towards the user: down
  EXPECT_EQ(y->value(), 2);
  EXPECT_EQ(p.view->Grid()->FirstOutput(), 2);
  EXPECT_EQ(p.view->NumberLabel(Axis::kOutputs, 0)->text(), "3");
  Wheel(p.view->Grid(), {0, -240});
  EXPECT_EQ(y->value(), 6);
  Wheel(p.view->Grid(), {0, 120});
  EXPECT_EQ(y->value(), 4);
  EXPECT_EQ(x->value(), 0);
  // Shift turns the wheel sideways; a horizontal wheel scrolls sideways by itself.
  Wheel(p.view->Grid(), {0, -120}, Qt::ShiftModifier);
  EXPECT_EQ(x->value(), 2);
  EXPECT_EQ(p.view->Grid()->FirstInput(), 2);
  EXPECT_EQ(p.view->NumberLabel(Axis::kInputs, 0)->text(), "3");
  Wheel(p.view->Grid(), {-120, 0});
  EXPECT_EQ(x->value(), 4);
  Wheel(p.view->Grid(), {120, 0});
  EXPECT_EQ(x->value(), 2);
  EXPECT_EQ(y->value(), 4);
  // Half notches add up; over the labels (passed on to the view) the wheel scrolls too.
  Wheel(p.view->Grid(), {0, -60});
  EXPECT_EQ(y->value(), 4);
  Wheel(p.view.get(), {0, -60});
  EXPECT_EQ(y->value(), 6);
  // At the ends the bars stop.
  Wheel(p.view->Grid(), {0, 120 * 50});
  EXPECT_EQ(y->value(), 0);
}

TEST(MatrixViewTest, DoubleClickRoutesOffline) {
  Program p;
  QSignalSpy edited(p.view.get(), &TMatrixView::Edited);
  QTest::mouseDClick(p.view->Grid(), Qt::LeftButton, {}, p.CellCentre(9, 3));
  EXPECT_EQ(p.Element(3), 9);
  EXPECT_TRUE(p.config.modified);
  EXPECT_EQ(edited.count(), 1);
  EXPECT_EQ(p.view->model().cells.At(9, 3), p.view->CellImages().xpoint_from_file);
  EXPECT_EQ(p.view->NameLabel(Axis::kOutputs, 3)->toolTip(),
            "Input #10 (I010) is routed to this output.");
  EXPECT_TRUE(p.sender.sent.isEmpty());
  // A single click does nothing in double-click mode.
  QTest::mouseClick(p.view->Grid(), Qt::LeftButton, {}, p.CellCentre(12, 3));
  EXPECT_EQ(p.Element(3), 9);
}

TEST(MatrixViewTest, SingleClickModeRoutesOnRelease) {
  Program p;
  core::settings::ProgramSettings s;
  s.double_click = false;
  p.view->ApplySettings(s);
  p.view->ScrollBarX()->setValue(20);
  QTest::mouseClick(p.view->Grid(), Qt::LeftButton, {}, p.CellCentre(1, 0));
  EXPECT_EQ(p.Element(0), 21);
  EXPECT_TRUE(p.config.modified);
}

TEST(MatrixViewTest, IllegalCellsFlashBriefly) {
  Program p;
  p.view->ScrollBarY()->setValue(50);  // output 55 is row 4
  const auto before = p.config.image.bytes();
  QTest::mouseDClick(p.view->Grid(), Qt::LeftButton, {}, p.CellCentre(0, 4));
  EXPECT_TRUE(p.view->Grid()->Flashing(0, 54));
  EXPECT_EQ(p.config.image.bytes(), before);
  EXPECT_FALSE(p.config.modified);
  EXPECT_EQ(p.view->model().cells.At(0, 54), p.view->CellImages().illegal_xpoint_greyed);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !p.view->Grid()->Flashing(0, 54); }, 3000));
  // Input 51 to output 55 is allowed.
  p.view->MatrixGridDblClick(50, 54);
  EXPECT_EQ(p.Element(54), 50);
  // While a macro runs a refusal shows nothing.
  p.macro_running = true;
  p.view->FlashXPoint(0, 54);
  EXPECT_FALSE(p.view->Grid()->Flashing(0, 54));
}

TEST(MatrixViewTest, ConnectedRoutingSendsAndLocksRefuse) {
  Program p;
  p.connected = true;
  p.view->MatrixGridDblClick(2, 4);
  ASSERT_EQ(p.sender.sent.size(), 1);
  EXPECT_EQ(p.sender.sent[0], QByteArray(".SA5,3*\r"));
  EXPECT_FALSE(p.config.modified);
  EXPECT_EQ(p.Element(4), 0);
  // The report sets the cell; locking it from the output popup refuses the next routing.
  p.view->SetReportedXPoint(4, 2, true);
  EXPECT_EQ(p.view->model().cells.At(2, 4), p.view->CellImages().remote_xpoint);
  p.sender.reply = QByteArray(".AG5,-15");
  p.view->HandleLabelMouseDown(Axis::kOutputs, 4, Qt::RightButton, {});
  EXPECT_EQ(p.Item("PopOutGain")->text(), "Set Gain... [-1,5 dB]");
  EXPECT_TRUE(p.Item("PopOutLock")->isEnabled());
  EXPECT_FALSE(p.Item("PopOutRename")->isEnabled());
  p.Item("PopOutLock")->trigger();
  EXPECT_EQ(p.view->model().cells.At(2, 4), p.view->CellImages().locked_xpoint);
  EXPECT_FALSE(p.view->IsRoutingLineAllowed(".SA5,9"));
  p.sender.sent.clear();
  p.view->MatrixGridDblClick(7, 4);
  EXPECT_TRUE(p.sender.sent.isEmpty());
  EXPECT_TRUE(p.view->Grid()->Flashing(7, 4));
  p.Item("PopOutLock")->trigger();  // unlock
  EXPECT_EQ(p.view->model().cells.At(2, 4), p.view->CellImages().remote_xpoint);
  EXPECT_TRUE(p.view->IsRoutingLineAllowed(".SA5,9"));
}

TEST(MatrixViewTest, TraceOnlyWhenSwitchedOn) {
  Program p;
  MoveMouse(p.view->Grid(), p.CellCentre(3, 4));
  EXPECT_FALSE(p.view->Grid()->Trace().valid());
  core::settings::ProgramSettings s;
  s.trace_mouse = true;
  s.trace_color = 0x0000FF;  // red, as the settings store it
  p.view->ApplySettings(s);
  EXPECT_EQ(p.view->Grid()->TraceColor(), QColor(255, 0, 0));
  MoveMouse(p.view->Grid(), p.CellCentre(5, 6));
  EXPECT_EQ(p.view->Grid()->Trace(), (mx::GridCell{5, 6}));
  EXPECT_EQ(p.view->CurrentInput(), 5);
  EXPECT_EQ(p.view->CurrentOutput(), 6);
  // The grid paints the trace colour on the traced cells only.
  QImage image(p.view->Grid()->size(), QImage::Format_RGB32);
  QPainter painter(&image);
  p.view->Grid()->PaintArea(painter, image.rect());
  painter.end();
  EXPECT_EQ(image.pixelColor(mx::CellRect({5, 0}).topLeft()), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(mx::CellRect({1, 6}).topLeft()), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(mx::CellRect({6, 6}).topLeft()), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(mx::CellRect({5, 7}).topLeft()), QColor(Qt::white));
  p.view->PaintTrace(5, 6, true);
  EXPECT_FALSE(p.view->Grid()->Trace().valid());
}

TEST(MatrixViewTest, LeavingTheGridOrTheLabelsClearsTheHighlight) {
  Program p;
  core::settings::ProgramSettings s;
  s.trace_mouse = true;
  p.view->ApplySettings(s);
  p.view->model().selection.Set(Axis::kInputs, 2, true);
  const QColor normal = p.view->palette().color(QPalette::Button);
  const QColor current = p.view->palette().color(QPalette::Highlight);
  MoveMouse(p.view->Grid(), p.CellCentre(5, 6));
  ASSERT_EQ(p.view->NameLabel(Axis::kInputs, 5)->Background(), current);
  ASSERT_EQ(p.view->NameLabel(Axis::kOutputs, 6)->Background(), current);
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(p.view->Grid(), &leave);
  EXPECT_FALSE(p.view->Grid()->Trace().valid());
  EXPECT_EQ(p.view->NameLabel(Axis::kInputs, 5)->Background(), normal);
  EXPECT_EQ(p.view->NameLabel(Axis::kOutputs, 6)->Background(), normal);
  EXPECT_NE(p.view->NameLabel(Axis::kInputs, 2)->Background(), normal);  // still selected
  // The same when the mouse leaves the labels.
  p.view->HighlightChannelLabels(Axis::kOutputs, 3);
  ASSERT_EQ(p.view->NameLabel(Axis::kOutputs, 3)->Background(), current);
  QCoreApplication::sendEvent(p.view->OutputPanel(), &leave);
  EXPECT_EQ(p.view->NameLabel(Axis::kOutputs, 3)->Background(), normal);
}

TEST(MatrixViewTest, HighlightLooks) {
  Program p;
  const QPalette pal = p.view->palette();
  p.view->model().selection.Set(Axis::kInputs, 2, true);
  p.view->HighlightChannelLabels(Axis::kInputs, 4);
  const auto look = [&](int i) { return p.view->NameLabel(Axis::kInputs, i); };
  EXPECT_EQ(look(4)->Background(), pal.color(QPalette::Highlight));
  EXPECT_TRUE(look(4)->LabelFont().bold());
  EXPECT_EQ(look(4)->LabelFont().pointSize(), 11);
  EXPECT_EQ(look(2)->TextColor(), pal.color(QPalette::HighlightedText));
  EXPECT_NE(look(2)->Background(), pal.color(QPalette::Button));
  EXPECT_EQ(look(0)->Background(), pal.color(QPalette::Button));
  EXPECT_EQ(look(0)->LabelFont().pointSize(), 10);
  EXPECT_FALSE(look(0)->LabelFont().bold());
  EXPECT_EQ(p.view->NumberLabel(Axis::kInputs, 0)->LabelFont().pointSize(), 8);
  p.view->HighlightChannelLabels(Axis::kInputs, 2);
  EXPECT_EQ(look(2)->Background(), pal.color(QPalette::ToolTipBase));
  EXPECT_EQ(look(4)->Background(), pal.color(QPalette::Button));
}

TEST(MatrixViewTest, PanModeScrollsWhileTheSpaceBarIsHeld) {
  Program p;
  p.view->ScrollMatrix({100, 100});
  ASSERT_TRUE(p.view->Panning());
  QLabel* marker = p.view->Grid()->PanMarker();
  EXPECT_TRUE(marker->isVisible());
  EXPECT_EQ(marker->geometry(), QRect(77, 77, 46, 46));
  EXPECT_TRUE(p.view->FormKeyDown(Qt::Key_Space, {}, false));
  p.view->ScrollMatrix({10, 10});  // already running: the start stays
  EXPECT_EQ(marker->pos(), QPoint(77, 77));
  MoveMouse(p.view->Grid(), {160, 100});
  EXPECT_TRUE(QTest::qWaitFor([&] { return p.view->ScrollBarX()->value() >= 4; }, 3000));
  EXPECT_EQ(p.view->ScrollBarY()->value(), 0);
  EXPECT_FALSE(p.view->Grid()->Trace().valid());
  p.view->FormKeyUp(Qt::Key_Space, true);  // auto-repeat release: still held
  EXPECT_TRUE(p.view->Panning());
  p.view->FormKeyUp(Qt::Key_Space, false);
  EXPECT_FALSE(p.view->Panning());
  EXPECT_FALSE(marker->isVisible());
  EXPECT_FALSE(p.view->Grid()->testAttribute(Qt::WA_SetCursor));
}

TEST(MatrixViewTest, PanModeWithTheMiddleButton) {
  Program p;
  QTest::mousePress(p.view->Grid(), Qt::MiddleButton, {}, {200, 150});
  ASSERT_TRUE(p.view->Panning());
  EXPECT_EQ(p.view->Grid()->PanMarker()->pos(), QPoint(177, 127));
  MoveMouse(p.view->Grid(), {200, 200});
  EXPECT_TRUE(QTest::qWaitFor([&] { return p.view->ScrollBarY()->value() >= 2; }, 3000));
  QTest::mouseRelease(p.view->Grid(), Qt::MiddleButton, {}, {200, 200});
  EXPECT_FALSE(p.view->Panning());
  // Without the button or the space bar the next tick ends the pan by itself.
  p.view->ScrollMatrix({50, 50});
  p.view->MouseMoveTimerTimer();
  EXPECT_FALSE(p.view->Panning());
}

TEST(MatrixViewTest, LabelPopupsFollowTheSelection) {
  Program p;
  p.config.trailer.software_version = 0x0500;
  p.config.image.SetWord(p.config.map.SumGainExtBaseAdr, 0xFFF1);
  p.config.image.SetWord(p.config.map.SumGainExtBaseAdr + 2, 0xFFF1);
  p.view->ScrollBarX()->setValue(40);                                    // inputs 41.. visible
  p.view->HandleLabelMouseDown(Axis::kInputs, 14, Qt::RightButton, {});  // input 55
  EXPECT_EQ(p.Item("PopInHeadline")->text(),
            "#55 [ " + p.view->model().Name(Axis::kInputs, 54) + " ]");
  EXPECT_TRUE(p.Item("PopInSum")->isEnabled());
  EXPECT_FALSE(p.Item("PopInPPM")->isEnabled());
  EXPECT_TRUE(p.Item("PopInSumSum3")->isChecked());
  EXPECT_FALSE(p.Item("PopInSumSum0")->isChecked());
  p.Item("PopInSumSum0")->trigger();
  EXPECT_EQ(p.config.image.Word(p.config.map.SumGainExtBaseAdr), 0);
  EXPECT_EQ(p.config.image.Word(p.config.map.SumGainExtBaseAdr + 2), 0);
  EXPECT_TRUE(p.config.modified);

  p.view->HandleLabelMouseDown(Axis::kInputs, 16, Qt::RightButton, {});  // input 57
  EXPECT_TRUE(p.Item("PopInPPM")->isEnabled());
  EXPECT_FALSE(p.Item("PopInSum")->isEnabled());  // input 55 was given back its flag
  p.Item("PopInPPM")->trigger();                  // the window is not there yet
  EXPECT_EQ(p.prompts.Texts().last(), "This function is not available in this version yet.");
  int offset = -1;
  bool counted = false;
  MatrixWindows windows;
  windows.ppm_options = [&](int o) {
    offset = o;
    counted = p.view->model().selection.Selected(Axis::kInputs, 56);
  };
  p.view->SetWindows(windows);
  p.view->HandleLabelMouseDown(Axis::kInputs, 20, Qt::RightButton, {});  // input 61
  p.Item("PopInPPM")->trigger();
  EXPECT_EQ(offset, 2 * 4);
  EXPECT_FALSE(counted);  // input 57's earlier press was undone by this one
}

TEST(MatrixViewTest, MatrixPopupActsOnTheCell) {
  Program p;
  p.config.trailer.software_version = 0x0380;
  p.config.image.SetByte(core::config::offsets::kSumGain, 1);
  p.view->ScrollBarX()->setValue(40);
  p.view->ScrollBarY()->setValue(60);
  QTest::mouseClick(p.view->Grid(), Qt::RightButton, {}, p.CellCentre(14, 10));  // 55 -> 71
  EXPECT_EQ(p.Item("PopMatOutHeadline")->text(), "#71 [ O071 ]");
  EXPECT_TRUE(p.Item("PopMatSum")->isEnabled());
  EXPECT_TRUE(p.Item("PopMatSumSum0")->isChecked());
  EXPECT_TRUE(p.Item("PopMatPPM")->isEnabled());
  EXPECT_FALSE(p.Item("PopMatOutScop")->isEnabled());
  EXPECT_FALSE(p.Item("PopMatOutGain")->isEnabled());
  EXPECT_EQ(p.Item("PopMatOutGain")->text(), "Set Gain [Disconnected]");
  EXPECT_FALSE(p.Item("PopMatOutLock")->isEnabled());
  EXPECT_FALSE(p.view->MatrixPopup()->StatusLinesDark());
  p.Item("PopMatSumSum3")->trigger();
  EXPECT_EQ(p.config.image.Byte(core::config::offsets::kSumGain), 0);
  int offset = -1;
  MatrixWindows windows;
  windows.ppm_options = [&](int o) { offset = o; };
  p.view->SetWindows(windows);
  p.Item("PopMatPPM")->trigger();
  EXPECT_EQ(offset, 2 * (71 - 65));  // input 55: the output's PPM channel
  p.edit_answers << "CELL";
  p.Item("PopMatInRename")->trigger();
  EXPECT_EQ(p.requests.back().caption, "Input #55");
  EXPECT_EQ(p.view->model().Name(Axis::kInputs, 54), "CELL");
  EXPECT_EQ(p.view->model().Name(Axis::kOutputs, 70), "O071");
}

TEST(MatrixViewTest, RenamingAnInputRenamesItsOutputTwin) {
  Program p;
  p.view->ScrollBarX()->setValue(40);
  p.view->ScrollBarY()->setValue(60);
  QSignalSpy edited(p.view.get(), &TMatrixView::Edited);
  p.edit_answers << "NEW";
  p.view->HandleLabelMouseDown(Axis::kInputs, 19, Qt::RightButton, {});  // input 60
  p.Item("PopInRename")->trigger();
  ASSERT_EQ(p.requests.size(), 1u);
  EXPECT_EQ(p.requests[0].caption, "Input #60");
  EXPECT_EQ(p.requests[0].group, "Input Name");
  EXPECT_EQ(p.requests[0].text, "O068");
  EXPECT_EQ(p.requests[0].max_length, 4);
  EXPECT_EQ(p.view->NameLabel(Axis::kOutputs, 7)->text(), "   NEW ");  // output 68
  EXPECT_EQ(p.view->NameLabel(Axis::kInputs, 19)->text(), "NEW    ");
  EXPECT_EQ(edited.count(), 1);
  // Cancel writes nothing.
  p.view->HandleLabelMouseDown(Axis::kInputs, 19, Qt::RightButton, {});
  p.Item("PopInRename")->trigger();
  EXPECT_EQ(edited.count(), 1);
}

TEST(MatrixViewTest, RenameIncludesTheSelectionAndGivesThePressedFlagBack) {
  Program p;
  p.view->HandleLabelMouseDown(Axis::kOutputs, 2, Qt::LeftButton, Qt::ControlModifier);
  p.view->HandleLabelMouseDown(Axis::kOutputs, 3, Qt::LeftButton, Qt::ControlModifier);
  p.view->HandleLabelMouseDown(Axis::kOutputs, 8, Qt::RightButton, {});
  p.edit_answers << "X";
  p.Item("PopOutRename")->trigger();
  const auto names = core::config::ChannelNamesFromImage(p.config.image, p.config.map);
  EXPECT_EQ(names.outputs[2], "X   ");
  EXPECT_EQ(names.outputs[3], "X   ");
  EXPECT_EQ(names.outputs[8], "X   ");
  EXPECT_EQ(names.outputs[7], "O008");
  EXPECT_FALSE(p.view->model().selection.Selected(Axis::kOutputs, 8));
  EXPECT_TRUE(p.view->model().selection.Selected(Axis::kOutputs, 3));
}

TEST(MatrixViewTest, ShiftAndCtrlOnLabels) {
  Program p;
  p.view->HandleLabelMouseDown(Axis::kOutputs, 9, Qt::LeftButton, Qt::ShiftModifier);
  p.view->HandleLabelMouseDown(Axis::kOutputs, 4, Qt::LeftButton, Qt::ShiftModifier);
  for (int o = 0; o < 12; ++o) {
    EXPECT_EQ(p.view->model().selection.Selected(Axis::kOutputs, o), o >= 4 && o <= 9) << o;
  }
  p.view->ScrollBarX()->setValue(50);
  p.view->HandleLabelMouseDown(Axis::kInputs, 6, Qt::LeftButton, Qt::ControlModifier);  // 57
  EXPECT_TRUE(p.view->model().selection.Selected(Axis::kOutputs, 64));
  // A press on the grid clears both axes.
  QTest::mousePress(p.view->Grid(), Qt::LeftButton, {}, p.CellCentre(0, 0));
  EXPECT_FALSE(p.view->model().selection.Any(Axis::kOutputs));
  EXPECT_FALSE(p.view->model().selection.Any(Axis::kInputs));
}

TEST(MatrixViewTest, ClipboardBetweenTwoPrograms) {
  Program a(0);
  Program b(2);
  a.view->HandleLabelMouseDown(Axis::kOutputs, 1, Qt::LeftButton, Qt::ControlModifier);
  a.view->HandleLabelMouseDown(Axis::kOutputs, 4, Qt::LeftButton, Qt::ControlModifier);
  a.view->MenuCopyXpointClick();
  ASSERT_TRUE(TMatrixView::ClipboardHasXPoints());
  const QByteArray block =
      QGuiApplication::clipboard()->mimeData()->data(QString::fromLatin1(mx::kXPointsMimeType));
  ASSERT_EQ(block.size(), 97);
  EXPECT_EQ(static_cast<std::uint8_t>(block[1]), 0x85);
  EXPECT_EQ(static_cast<std::uint8_t>(block[0]), 0xFF);

  const auto before = b.config.image.bytes();
  b.view->MenuPasteXpointClick();
  EXPECT_TRUE(b.config.modified);
  int changed = 0;
  for (std::size_t i = 0; i < before.size(); ++i) changed += before[i] != b.config.image.bytes()[i];
  EXPECT_EQ(changed, 1);  // output 5 already held input 1's zero; output 2 took 0x85
  EXPECT_EQ(b.Element(1), 0x85);
  EXPECT_EQ(b.view->model().cells.RoutedInput(1, b.view->CellImages()), 5);

  a.view->HandleLabelMouseDown(Axis::kInputs, 0, Qt::LeftButton, Qt::ControlModifier);
  a.view->MenuCopyClick();
  EXPECT_TRUE(TMatrixView::ClipboardHasLabels());
  EXPECT_FALSE(TMatrixView::ClipboardHasXPoints());
  b.config.image.SetText(0x1000, "ZZZZ");
  b.view->ChannelNamesFromImage();
  b.connected = true;
  b.view->MenuPasteClick();  // not while connected
  EXPECT_EQ(b.view->model().Name(Axis::kInputs, 0), "ZZZZ");
  b.connected = false;
  b.view->MenuPasteClick();
  EXPECT_EQ(b.view->model().Name(Axis::kInputs, 0), "I001");
  EXPECT_EQ(b.view->NameLabel(Axis::kInputs, 0)->text(), "I001   ");
  EXPECT_EQ(b.view->model().Name(Axis::kOutputs, 1), "O002");
}

TEST(MatrixViewTest, SaveMacroFlow) {
  QTemporaryDir dir;
  Program p;
  p.view->HandleLabelMouseDown(Axis::kOutputs, 0, Qt::LeftButton, Qt::ControlModifier);
  p.edit_answers << "Desk";
  p.files.save_names << dir.filePath("desk");
  p.view->MenuMacroSaveClick();
  ASSERT_EQ(p.requests.size(), 1u);
  EXPECT_EQ(p.requests[0].caption, "Macro Name");
  EXPECT_EQ(p.requests[0].group, "Enter a name for the macro.");
  EXPECT_EQ(p.requests[0].max_length, 25);
  EXPECT_EQ(p.requests[0].text, QString());
  QFile f(dir.filePath("desk.MCR"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("MacroName=Desk\r\n.SA1,5\r\n"));
  f.close();

  // Over an existing file: No keeps it; the cancelled name leaves no MacroName line.
  p.files.save_names << dir.filePath("desk.MCR");
  p.view->MenuMacroSaveClick();
  EXPECT_EQ(p.prompts.Texts().last(), "The file " + dir.filePath("desk.MCR") +
                                          " allready exists.\r\rDo you wish to overwrite it?");
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("MacroName=Desk\r\n.SA1,5\r\n"));
  f.close();
  EXPECT_EQ(p.view->model().macro_name, QString());
  p.prompts.Queue(Answer::kYes);
  p.files.save_names << dir.filePath("desk.MCR");
  p.view->MenuMacroSaveClick();
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray(".SA1,5\r\n"));
  f.close();

  // A cancelled save dialog writes nothing; no selected output asks nothing.
  p.view->MenuMacroSaveClick();
  p.view->model().selection.ClearAll();
  const std::size_t asked = p.requests.size();
  p.view->MenuMacroSaveClick();
  EXPECT_EQ(p.requests.size(), asked);
}

TEST(EditFormTest, RefusesIllegalCharactersAndStaysOpen) {
  core::ui_port::ScriptedPrompts prompts;
  TEditForm form(prompts);
  form.Setup({"Output #9", "Output Name", "O009", 4});
  EXPECT_EQ(form.windowTitle(), "Output #9");
  EXPECT_EQ(form.EditGroup()->title(), "Output Name");
  EXPECT_EQ(form.Edit1()->maxLength(), 4);
  form.show();
  EXPECT_EQ(form.Edit1()->selectedText(), "O009");
  form.Edit1()->setText("Bo'b");
  form.Button1()->click();
  EXPECT_EQ(prompts.Texts().last(), "The text contains one or more illegal characters.");
  EXPECT_TRUE(form.isVisible());
  form.Edit1()->setText("Bob");
  form.Button1()->click();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(form.Text(), "Bob");
  form.Edit1()->setText("ABCDEFG");
  EXPECT_EQ(form.Text(), "ABCD");
  // Typed or pasted, the field takes no more than a name holds.
  form.show();
  QTest::keyClicks(form.Edit1(), "ABCDEFGHIJKLMN");
  EXPECT_EQ(form.Edit1()->text(), "ABCD");
  form.Edit1()->clear();
  form.Edit1()->insert("WXYZ1234");
  EXPECT_EQ(form.Edit1()->text(), "WXYZ");
}

TEST(OwnerDrawnMenuTest, ItemsAndStrip) {
  Program p;
  TOwnerDrawnMenu* menu = p.view->MatrixPopup();
  EXPECT_EQ(TOwnerDrawnMenu::KindOf(p.Item("PopMatInHeadline")),
            TOwnerDrawnMenu::ItemKind::kHeadline);
  EXPECT_EQ(TOwnerDrawnMenu::KindOf(p.Item("CHStatLine2")), TOwnerDrawnMenu::ItemKind::kStatusLine);
  EXPECT_FALSE(p.Item("CHStatLine1")->isEnabled());
  EXPECT_EQ(menu->StripWords(), QStringList({"Input", "Output", ""}));
  EXPECT_GE(menu->sizeHint().width(), TOwnerDrawnMenu::kItemWidth);
  EXPECT_LE(p.view->InputPopup()->sizeHint().width(), TOwnerDrawnMenu::kItemWidth + 4);
  // The strip's caption colour runs down the left edge beside the items (the third part has
  // no word on it).
  menu->adjustSize();
  const QImage picture = menu->grab().toImage();
  ASSERT_FALSE(picture.isNull());
  const int y = menu->actionGeometry(p.Item("PopMatOutLock")).center().y();
  EXPECT_EQ(picture.pixelColor(10, y).name(),
            menu->palette().color(QPalette::Highlight).darker(150).name());
}

}  // namespace
}  // namespace zizara::gui::matrix

#include "gui/matrix/matrix_view.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QStyle>
#include <QWheelEvent>

#include "core/config/preset_options.h"
#include "core/i18n/tr.h"
#include "core/matrix/clipboard_blocks.h"
#include "core/matrix/xpoint_macro.h"
#include "gui/common/icons.h"
#include "gui/common/trace_colour.h"

namespace zizara::gui::matrix {

using core::i18n::Tr;
namespace mx = core::matrix;

namespace {

constexpr int kInputs = mx::kInputs;
constexpr int kOutputs = mx::kOutputs;
// The system's "hot-light" colour, which the palette has no role for.
const QColor kHotLight(0x00, 0x66, 0xCC);
const QPoint kInputCaptionPos(58, 2);
const QPoint kOutputCaptionPos(2, 60);

QFont LabelFont(int points, bool bold) {
  QFont f(QStringLiteral("Arial"));
  f.setPointSize(points);
  f.setBold(bold);
  return f;
}

common::PanDirection ToDirection(mx::PanCursor cursor) {
  switch (cursor) {
    case mx::PanCursor::kLeft:
      return common::PanDirection::kLeft;
    case mx::PanCursor::kUp:
      return common::PanDirection::kUp;
    case mx::PanCursor::kRight:
      return common::PanDirection::kRight;
    case mx::PanCursor::kDown:
      return common::PanDirection::kDown;
    case mx::PanCursor::kNone:
      break;
  }
  return common::PanDirection::kNone;
}

}  // namespace

TMatrixView::TMatrixView(MatrixContext ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  setObjectName(QStringLiteral("MatrixView"));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  const QFont caption_font = LabelFont(9, true);
  input_caption_ = new TChannelLabel(90, Qt::AlignCenter, this);
  input_caption_->setObjectName(QStringLiteral("InputLabel"));
  input_caption_->SetText(Tr("Inputs"));
  input_caption_->SetLook(caption_font, palette().color(QPalette::WindowText),
                          palette().color(QPalette::Window));
  input_caption_->setGeometry(QRect(kInputCaptionPos, QSize(18, 60)));
  output_caption_ = new TChannelLabel(0, Qt::AlignLeft | Qt::AlignVCenter, this);
  output_caption_->setObjectName(QStringLiteral("OutputLabel"));
  output_caption_->SetText(Tr("Outputs"));
  output_caption_->SetLook(caption_font, palette().color(QPalette::WindowText),
                           palette().color(QPalette::Window));
  output_caption_->setGeometry(QRect(kOutputCaptionPos, QSize(56, 18)));

  for (QWidget** panel : {&input_panel_, &output_panel_}) {
    *panel = new QWidget(this);
    (*panel)->setAutoFillBackground(true);
    QPalette pal = (*panel)->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    (*panel)->setPalette(pal);
  }
  input_panel_->setObjectName(QStringLiteral("InputPanel"));
  output_panel_->setObjectName(QStringLiteral("OutputPanel"));
  input_panel_->installEventFilter(this);  // to notice the mouse leaving the labels
  output_panel_->installEventFilter(this);
  CreateChannelLabels();

  grid_ = new TMatrixGrid(model_.cells, this);
  connect(grid_, &TMatrixGrid::MouseMoved, this, &TMatrixView::GridMouseMove);
  connect(grid_, &TMatrixGrid::MousePressed, this, &TMatrixView::GridMousePress);
  connect(grid_, &TMatrixGrid::MouseReleased, this, &TMatrixView::GridMouseRelease);
  connect(grid_, &TMatrixGrid::MouseDoubleClicked, this, &TMatrixView::GridMouseDoubleClick);
  connect(grid_, &TMatrixGrid::WheelTurned, this, &TMatrixView::MatrixWheel);
  connect(grid_, &TMatrixGrid::MouseLeft, this, &TMatrixView::MouseLeftMatrix);

  scroll_x_ = new QScrollBar(Qt::Horizontal, this);
  scroll_x_->setObjectName(QStringLiteral("ScrollBarX"));
  scroll_x_->setSingleStep(mx::kScrollXSingleStep);
  scroll_x_->setPageStep(mx::kScrollXPageStep);
  scroll_y_ = new QScrollBar(Qt::Vertical, this);
  scroll_y_->setObjectName(QStringLiteral("ScrollBarY"));
  scroll_y_->setSingleStep(mx::kScrollYSingleStep);
  scroll_y_->setPageStep(mx::kScrollYPageStep);
  for (QScrollBar* bar : {scroll_x_, scroll_y_}) bar->setFocusPolicy(Qt::NoFocus);
  // The page step sizes the handle; a click beside it moves by these pages.
  for (const auto& [bar, page] :
       {std::pair{scroll_x_, mx::kScrollXPageStep}, std::pair{scroll_y_, mx::kScrollYPageStep}}) {
    connect(bar, &QAbstractSlider::actionTriggered, this, [bar = bar, page = page](int action) {
      if (action == QAbstractSlider::SliderPageStepAdd) {
        bar->setSliderPosition(bar->value() + page);
      } else if (action == QAbstractSlider::SliderPageStepSub) {
        bar->setSliderPosition(bar->value() - page);
      }
    });
  }
  connect(scroll_x_, &QScrollBar::valueChanged, this, &TMatrixView::ScrollBarXChange);
  connect(scroll_y_, &QScrollBar::valueChanged, this, &TMatrixView::ScrollBarYChange);

  pan_timer_.setInterval(mx::kPanTimerMs);
  connect(&pan_timer_, &QTimer::timeout, this, &TMatrixView::MouseMoveTimerTimer);

  CreatePopups();
  edit_dialog_ = [this](const EditRequest& request) {
    return TEditForm::Run(ctx_.prompts, this, request);
  };
  grid_->SetTraceColor(common::TraceColour(core::settings::kTraceColorButtonFace, palette()));
  FormCanResize();
  UpdateChannelLabels(Axis::kInputs);
  UpdateChannelLabels(Axis::kOutputs);
}

TMatrixView::~TMatrixView() {
  if (preview_window_ != nullptr) qApp->removeEventFilter(this);
}

void TMatrixView::CreateChannelLabels() {
  const QFont name_font = LabelFont(10, false);
  const QFont number_font = LabelFont(8, true);
  for (int axis = 0; axis < 2; ++axis) {
    const Axis a = static_cast<Axis>(axis);
    QWidget* panel = a == Axis::kInputs ? input_panel_ : output_panel_;
    for (int i = 0; i < mx::ChannelCount(a); ++i) {
      auto* name =
          new TChannelLabel(a == Axis::kInputs ? 90 : 0, Qt::AlignLeft | Qt::AlignVCenter, panel);
      auto* number = new TChannelLabel(0, Qt::AlignCenter, panel);
      if (a == Axis::kInputs) {
        name->setGeometry(mx::kCellPitch * i + 1, 18, mx::kCellSize, 61);
        number->setGeometry(mx::kCellPitch * i + 1, 1, mx::kCellSize, mx::kCellSize);
      } else {
        number->setGeometry(1, mx::kCellPitch * i + 1, mx::kCellSize, mx::kCellSize);
        name->setGeometry(18, mx::kCellPitch * i + 1, 61, mx::kCellSize);
      }
      name->SetLook(name_font, Qt::black, palette().color(QPalette::Button));
      number->SetLook(number_font, Qt::black, palette().color(QPalette::Button));
      for (TChannelLabel* label : {name, number}) {
        connect(label, &TChannelLabel::MouseMoved, this,
                [this, a, i] { HighlightChannelLabels(a, i); });
        connect(label, &TChannelLabel::MousePressed, this,
                [this, a, i](Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
                  HandleLabelMouseDown(a, i, button, modifiers);
                });
      }
      names_[axis][i] = name;
      numbers_[axis][i] = number;
      looks_[axis][i] = LabelLook::kNormal;
    }
  }
}

void TMatrixView::CreatePopups() {
  const auto on = [this](QAction* action, void (TMatrixView::*slot)()) {
    connect(action, &QAction::triggered, this, slot);
  };
  input_popup_ = new TOwnerDrawnMenu(QStringLiteral("PopupInput"), TOwnerDrawnMenu::kItemWidth,
                                     {Tr("Input")}, this);
  input_popup_->AddHeadline("PopInHeadline");
  on(input_popup_->AddItem("PopInRename", Tr("Rename Item...")), &TMatrixView::PopInRenameClick);
  on(input_popup_->AddItem("PopInPPM", Tr("PPM Options...")), &TMatrixView::PopInPPMClick);
  input_sum_menu_ = input_popup_->AddSubMenu("PopInSum", Tr("SUM"), "PopInSumMenu");

  output_popup_ = new TOwnerDrawnMenu(QStringLiteral("PopupOutput"), TOwnerDrawnMenu::kItemWidth,
                                      {Tr("Output")}, this);
  output_popup_->AddHeadline("PopOutHeadline");
  on(output_popup_->AddItem("PopOutRename", Tr("Rename Item...")), &TMatrixView::PopOutRenameClick);
  on(output_popup_->AddItem("PopOutScop", Tr("Phase Options...")), &TMatrixView::PopOutScopClick);
  on(output_popup_->AddItem("PopOutPPM", Tr("PPM Options...")), &TMatrixView::PopOutPPMClick);
  on(output_popup_->AddItem("PopOutGain", Tr("Set Gain...")), &TMatrixView::PopOutGainClick);
  on(output_popup_->AddItem("PopOutLock", Tr("Lock/Unlock X-Point")),
     &TMatrixView::PopOutLockClick);

  matrix_popup_ = new TOwnerDrawnMenu(QStringLiteral("PopUpMatrix"), TOwnerDrawnMenu::kItemWidth,
                                      {Tr("Input"), Tr("Output"), QString()}, this);
  matrix_popup_->AddHeadline("PopMatInHeadline");
  on(matrix_popup_->AddItem("PopMatInRename", Tr("Rename Item...")),
     &TMatrixView::PopMatInRenameClick);
  matrix_sum_menu_ = matrix_popup_->AddSubMenu("PopMatSum", Tr("SUM"), "PopMatSumMenu");
  matrix_popup_->addSeparator();
  matrix_popup_->AddHeadline("PopMatOutHeadline");
  on(matrix_popup_->AddItem("PopMatOutRename", Tr("Rename Item...")),
     &TMatrixView::PopMatOutRenameClick);
  on(matrix_popup_->AddItem("PopMatOutScop", Tr("Phase options...")),
     &TMatrixView::PopOutScopClick);
  matrix_popup_->addSeparator();
  on(matrix_popup_->AddItem("PopMatPPM", Tr("PPM Options")), &TMatrixView::PopMatPPMClick);
  on(matrix_popup_->AddItem("PopMatOutGain", Tr("Set Gain [Disconnected]")),
     &TMatrixView::PopMatOutGainClick);
  on(matrix_popup_->AddItem("PopMatOutLock", Tr("Lock/Unlock X-Point")),
     &TMatrixView::PopMatOutLockClick);
  matrix_popup_->AddStatusLine("CHStatLine1");
  matrix_popup_->AddStatusLine("CHStatLine2");

  const std::pair<TOwnerDrawnMenu*, std::array<std::pair<const char*, QString>, 2>> sums[] = {
      {input_sum_menu_, {{{"PopInSumSum3", Tr("- 3 dB")}, {"PopInSumSum0", Tr("+ 0 dB")}}}},
      {matrix_sum_menu_, {{{"PopMatSumSum3", Tr("-3 dB")}, {"PopMatSumSum0", Tr("0 dB")}}}},
  };
  for (const auto& [menu, items] : sums) {
    QAction* minus3 = menu->AddItem(items[0].first, items[0].second);
    QAction* plus0 = menu->AddItem(items[1].first, items[1].second);
    minus3->setCheckable(true);
    plus0->setCheckable(true);
    connect(minus3, &QAction::triggered, this,
            [this] { SumClick(core::config::SumGain::kMinus3dB); });
    connect(plus0, &QAction::triggered, this,
            [this] { SumClick(core::config::SumGain::kPlus0dB); });
  }
}

QAction* TMatrixView::PopupItem(const QString& object_name) const {
  return findChild<QAction*>(object_name);
}

// --- Settings ---------------------------------------------------------------------------------

void TMatrixView::ApplySettings(const core::settings::ProgramSettings& settings) {
  images_ = settings.cell_images;
  double_click_ = settings.double_click;
  trace_mouse_ = settings.trace_mouse;
  grid_->SetTraceColor(common::TraceColour(settings.trace_color, palette()));
  if (!trace_mouse_) grid_->SetTrace({});
}

void TMatrixView::SetGridPosition(int x, int y) {
  pending_position_ = QPoint(x, y);
  scroll_x_->setValue(x);
  scroll_y_->setValue(y);
}

// --- Rebuild ----------------------------------------------------------------------------------

void TMatrixView::ChannelNamesFromImage() {
  mx::ChannelNamesFromImage(model_, ctx_.config);
  UpdateChannelLabels(Axis::kInputs);
  UpdateChannelLabels(Axis::kOutputs);
}

void TMatrixView::RebuildFromImage() {
  mx::RebuildMatrix(model_, ctx_.config, images_);
  DrawAllXPoints();
  UpdateChannelLabels(Axis::kInputs);
  UpdateChannelLabels(Axis::kOutputs);
}

// --- Cells ------------------------------------------------------------------------------------

void TMatrixView::DrawAllXPoints() { grid_->update(); }

void TMatrixView::DrawXPoint(int input, int output) { grid_->RepaintXPoint(input, output); }

void TMatrixView::EraseXPoint(int input, int output) {
  model_.cells.Set(input, output, mx::kEmptyCell);
  grid_->RepaintXPoint(input, output);
}

void TMatrixView::FlashXPoint(int input, int output) {
  if (ctx_.macro_running) return;
  grid_->BeginFlash(input, output, images_.illegal_xpoint_highlight);
  QTimer::singleShot(mx::kFlashMs, grid_,
                     [grid = grid_, input, output] { grid->EndFlash(input, output); });
}

void TMatrixView::MatrixGridDblClick(int input, int output) {
  const mx::RouteResult result =
      mx::RouteXPoint(model_, ctx_.config, images_, input, output, ctx_.connected);
  switch (result.outcome) {
    case mx::RouteOutcome::kRefused:
      FlashXPoint(input, output);
      return;
    case mx::RouteOutcome::kSend:
      if (sender_ != nullptr) sender_->SendDotCommand(result.command);
      break;
    case mx::RouteOutcome::kRouted:
      grid_->RepaintRow(output);
      MarkEdited(Tr("Set X-Point %1/%2").arg(input + 1).arg(output + 1));
      break;
  }
  UpdateChannelLabels(Axis::kInputs);
  UpdateChannelLabels(Axis::kOutputs);
}

void TMatrixView::SetReportedXPoint(int output, int input, bool set_by_remote) {
  mx::SetReportedXPoint(model_.cells, images_, output, input, set_by_remote);
  grid_->RepaintRow(output);
}

bool TMatrixView::IsRoutingLineAllowed(const QByteArray& line) const {
  return mx::IsRoutingLineAllowed(line, model_.cells, images_);
}

// --- Labels -----------------------------------------------------------------------------------

int TMatrixView::FirstVisible(Axis axis) const {
  return axis == Axis::kInputs ? scroll_x_->value() : scroll_y_->value();
}

int TMatrixView::VisibleCount(Axis axis) const {
  return axis == Axis::kInputs ? geometry_.columns : geometry_.rows;
}

void TMatrixView::UpdateChannelLabels(Axis axis) {
  const int first = FirstVisible(axis);
  const int a = Index(axis);
  for (int i = 0; i < mx::ChannelCount(axis); ++i) {
    const int channel = first + i;
    if (channel >= mx::ChannelCount(axis)) {
      names_[a][i]->SetText(QString());
      numbers_[a][i]->SetText(QString());
      continue;
    }
    const QString& name = model_.Name(axis, channel);
    names_[a][i]->SetText(axis == Axis::kInputs ? mx::InputNameLabelText(name)
                                                : mx::OutputNameLabelText(name));
    numbers_[a][i]->SetText(QString::number(channel + 1));
    const QString& hint = model_.Hint(axis, channel);
    names_[a][i]->SetHint(hint);
    numbers_[a][i]->SetHint(hint);
  }
}

void TMatrixView::SetLabelLook(Axis axis, int i, LabelLook look) {
  const int a = Index(axis);
  looks_[a][i] = look;
  const QPalette& pal = palette();
  QColor text = Qt::black;
  QColor background = pal.color(QPalette::Button);
  switch (look) {
    case LabelLook::kCurrent:
      text = pal.color(QPalette::HighlightedText);
      background = pal.color(QPalette::Highlight);
      break;
    case LabelLook::kCurrentSelected:
      text = pal.color(QPalette::ToolTipText);
      background = pal.color(QPalette::ToolTipBase);
      break;
    case LabelLook::kSelected:
      text = pal.color(QPalette::HighlightedText);
      background = kHotLight;
      break;
    case LabelLook::kNormal:
      break;
  }
  const bool normal = look == LabelLook::kNormal;
  names_[a][i]->SetLook(normal ? LabelFont(10, false) : LabelFont(11, true), text, background);
  // Number labels stay bold in every look; only their size changes.
  numbers_[a][i]->SetLook(LabelFont(normal ? 8 : 11, true), text, background);
}

void TMatrixView::ResetLabelLooks() {
  for (int axis = 0; axis < 2; ++axis) {
    const Axis a = static_cast<Axis>(axis);
    for (int i = 0; i < mx::ChannelCount(a); ++i) {
      if (looks_[axis][i] != LabelLook::kNormal) SetLabelLook(a, i, LabelLook::kNormal);
    }
  }
}

void TMatrixView::HighlightChannelLabels(Axis axis, int current) {
  const int first = FirstVisible(axis);
  for (int i = 0; i < VisibleCount(axis); ++i) {
    const bool selected = model_.selection.Selected(axis, first + i);
    LabelLook look = selected ? LabelLook::kSelected : LabelLook::kNormal;
    if (i == current) look = selected ? LabelLook::kCurrentSelected : LabelLook::kCurrent;
    if (look != looks_[Index(axis)][i]) SetLabelLook(axis, i, look);
  }
}

void TMatrixView::HandleLabelMouseDown(Axis axis, int label, Qt::MouseButton button,
                                       Qt::KeyboardModifiers modifiers) {
  const int n = FirstVisible(axis) + label;
  if (n < 0 || n >= mx::ChannelCount(axis)) return;
  mx::LabelPress press;
  press.axis = axis;
  press.channel = n;
  press.shift = modifiers.testFlag(Qt::ShiftModifier);
  press.ctrl = modifiers.testFlag(Qt::ControlModifier);
  press.button = button == Qt::RightButton    ? mx::MouseButton::kRight
                 : button == Qt::MiddleButton ? mx::MouseButton::kMiddle
                                              : mx::MouseButton::kLeft;
  model_.selection.BeginLabelPress(press);
  HighlightChannelLabels(axis, label);
  if (press.button == mx::MouseButton::kRight) {
    TOwnerDrawnMenu* menu = nullptr;
    if (axis == Axis::kInputs) {
      popup_input_ = n;
      const mx::InputPopupState s = mx::InputPopupRules(
          model_, model_.selection, n, ctx_.config.trailer.software_version, ctx_.connected);
      PopupItem(QStringLiteral("PopInHeadline"))->setText(s.headline);
      PopupItem(QStringLiteral("PopInRename"))->setEnabled(s.rename);
      PopupItem(QStringLiteral("PopInPPM"))->setEnabled(s.ppm);
      input_sum_menu_->menuAction()->setEnabled(s.sum);
      sum_checks_ = mx::SumGainChecks(ctx_.config, sum_checks_);
      PopupItem(QStringLiteral("PopInSumSum3"))->setChecked(sum_checks_.minus3);
      PopupItem(QStringLiteral("PopInSumSum0"))->setChecked(sum_checks_.plus0);
      menu = input_popup_;
    } else {
      popup_output_ = n;
      const QString gain = ctx_.connected ? mx::ReadOutputGain(sender_, n) : QString();
      const mx::OutputPopupState s =
          mx::OutputPopupRules(model_, model_.selection, n, ctx_.connected, gain);
      PopupItem(QStringLiteral("PopOutHeadline"))->setText(s.headline);
      PopupItem(QStringLiteral("PopOutRename"))->setEnabled(s.rename);
      PopupItem(QStringLiteral("PopOutScop"))->setEnabled(s.phase);
      PopupItem(QStringLiteral("PopOutPPM"))->setEnabled(s.ppm);
      PopupItem(QStringLiteral("PopOutGain"))->setEnabled(s.gain);
      PopupItem(QStringLiteral("PopOutGain"))->setText(s.gain_caption);
      PopupItem(QStringLiteral("PopOutLock"))->setEnabled(s.lock);
      menu = output_popup_;
    }
    model_.selection.FinishLabelPress(press);
    HighlightChannelLabels(axis, label);
    HighlightChannelLabels(mx::OtherAxis(axis), -1);
    emit SelectionChanged();
    ShowPopup(menu, QCursor::pos());
    return;
  }
  model_.selection.FinishLabelPress(press);
  HighlightChannelLabels(axis, label);
  HighlightChannelLabels(mx::OtherAxis(axis), -1);
  emit SelectionChanged();
}

// --- Layout and scrolling ---------------------------------------------------------------------

void TMatrixView::FormCanResize() {
  QWidget* window = this->window();
  const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll_x_);
  // Inside a window the matrix gets exactly the room between the toolbar and the status bar
  // (window frames and bars differ between desktops), with the scroll bar on the status bar.
  const mx::GridGeometry g =
      window == this ? mx::FormCanResize(size(), {mx::kPanelExtent, mx::kPanelExtent}, extent)
                     : mx::FitGrid(size(), extent);
  geometry_ = g;
  const int spare = g.grid.top() - mx::kPanelExtent;
  input_caption_->move(kInputCaptionPos + QPoint(0, spare));
  output_caption_->move(kOutputCaptionPos + QPoint(0, spare));
  input_panel_->setGeometry(g.input_panel);
  output_panel_->setGeometry(g.output_panel);
  grid_->move(g.grid.topLeft());
  grid_->SetDimensions(g.columns, g.rows);
  scroll_x_->setGeometry(g.scroll_bar_x);
  scroll_y_->setGeometry(g.scroll_bar_y);
  {
    const QSignalBlocker block_x(scroll_x_);
    const QSignalBlocker block_y(scroll_y_);
    scroll_x_->setRange(0, g.scroll_x_max);
    scroll_y_->setRange(0, g.scroll_y_max);
    // The handles show the visible part of the matrix; a page click still moves by the
    // bars' own page (see the constructor).
    scroll_x_->setPageStep(g.columns);
    scroll_y_->setPageStep(g.rows);
    if (pending_position_ && isVisible()) {
      scroll_x_->setValue(pending_position_->x());
      scroll_y_->setValue(pending_position_->y());
      pending_position_.reset();
    }
  }
  grid_->SetOrigin(scroll_x_->value(), scroll_y_->value());
  current_input_ = std::min(current_input_, g.columns - 1);
  current_output_ = std::min(current_output_, g.rows - 1);
  PaintTrace(-1, -1, true);
  ResetLabelLooks();
  DrawAllXPoints();
  UpdateChannelLabels(Axis::kInputs);
  UpdateChannelLabels(Axis::kOutputs);
}

void TMatrixView::MatrixWheel(QPoint angle_delta, Qt::KeyboardModifiers modifiers) {
  // Wheel notches move the bars like the arrow keys; Shift turns a vertical wheel sideways.
  const bool sideways =
      modifiers.testFlag(Qt::ShiftModifier) || (angle_delta.x() != 0 && angle_delta.y() == 0);
  const int amount = angle_delta.y() != 0 ? angle_delta.y() : angle_delta.x();
  int& rest = sideways ? wheel_rest_x_ : wheel_rest_y_;
  rest += amount;
  const int notches = rest / QWheelEvent::DefaultDeltasPerStep;
  rest -= notches * QWheelEvent::DefaultDeltasPerStep;
  if (notches == 0) return;
  QScrollBar* bar = sideways ? scroll_x_ : scroll_y_;
  bar->setValue(bar->value() - notches * mx::kKeyScrollStep);
}

void TMatrixView::wheelEvent(QWheelEvent* event) {
  // Turned over the labels or the panels.
  MatrixWheel(event->angleDelta(), event->modifiers());
  event->accept();
}

void TMatrixView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormCanResize();
}

void TMatrixView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormCanResize();
}

void TMatrixView::ScrollBarXChange() {
  grid_->SetOrigin(scroll_x_->value(), scroll_y_->value());
  DrawAllXPoints();
  UpdateChannelLabels(Axis::kInputs);
  HighlightChannelLabels(Axis::kInputs, current_input_);
}

void TMatrixView::ScrollBarYChange() {
  grid_->SetOrigin(scroll_x_->value(), scroll_y_->value());
  DrawAllXPoints();
  UpdateChannelLabels(Axis::kOutputs);
  HighlightChannelLabels(Axis::kOutputs, current_output_);
}

bool TMatrixView::FormKeyDown(int key, Qt::KeyboardModifiers modifiers, bool /*auto_repeat*/) {
  if (!isVisible()) return false;
  const bool ctrl = (modifiers & ~Qt::KeypadModifier) == Qt::ControlModifier;
  QScrollBar* bar = nullptr;
  int step = 0;
  switch (key) {
    case Qt::Key_Left:
      bar = scroll_x_;
      step = -mx::kKeyScrollStep;
      break;
    case Qt::Key_Right:
      bar = scroll_x_;
      step = mx::kKeyScrollStep;
      break;
    case Qt::Key_Up:
      bar = scroll_y_;
      step = -mx::kKeyScrollStep;
      break;
    case Qt::Key_Down:
      bar = scroll_y_;
      step = mx::kKeyScrollStep;
      break;
    case Qt::Key_Space:
      grid_->setFocus();
      space_down_ = true;
      ScrollMatrix(grid_->mapFromGlobal(QCursor::pos()));
      return true;
    default:
      if (space_down_) ScrollMatrix(grid_->mapFromGlobal(QCursor::pos()));
      return false;
  }
  grid_->setFocus();
  if (ctrl) {
    bar->setValue(step < 0 ? bar->minimum() : bar->maximum());
  } else {
    bar->setValue(bar->value() + step);
  }
  return true;
}

bool TMatrixView::FormKeyUp(int key, bool auto_repeat) {
  if (auto_repeat) return key == Qt::Key_Space;
  if (key == Qt::Key_Space) space_down_ = false;
  if (!space_down_ && !middle_down_ && Panning()) StopPan();
  return key == Qt::Key_Space;
}

void TMatrixView::ScrollMatrix(QPoint start) {
  if (pan_timer_.isActive()) return;
  QLabel* marker = grid_->PanMarker();
  marker->move(start - QPoint(mx::kPanMarkerSize / 2, mx::kPanMarkerSize / 2));
  marker->show();
  marker->raise();
  pan_start_ = start;
  pan_current_ = start;
  SetPanCursor(mx::PanCursor::kNone);
  PaintTrace(-1, -1, true);
  pan_timer_.start();
}

void TMatrixView::MouseMoveTimerTimer() {
  if (!PanKeysDown()) {
    StopPan();
    return;
  }
  const mx::PanMove move = mx::PanTick(pan_cursor_, pan_start_, pan_current_);
  if (move.columns != 0) scroll_x_->setValue(scroll_x_->value() + move.columns);
  if (move.rows != 0) scroll_y_->setValue(scroll_y_->value() + move.rows);
  if (move.cursor != pan_cursor_) SetPanCursor(move.cursor);
}

void TMatrixView::SetPanCursor(mx::PanCursor cursor) {
  pan_cursor_ = cursor;
  grid_->setCursor(common::PanCursor(ToDirection(cursor)));
}

void TMatrixView::StopPan() {
  pan_timer_.stop();
  pan_cursor_ = mx::PanCursor::kNone;
  grid_->unsetCursor();
  QLabel* marker = grid_->PanMarker();
  if (marker->isVisible()) {
    marker->hide();
    grid_->update(marker->geometry());  // the cells under the arrow
  }
  PaintTrace(current_input_, current_output_, false);
}

void TMatrixView::PaintTrace(int column, int row, bool clear) {
  mx::GridCell target{column, row};
  if (!trace_mouse_ || clear || PanKeysDown()) target = {};
  grid_->SetTrace(target);
}

void TMatrixView::MouseLeftMatrix() {
  // Nothing stays highlighted for a mouse that has gone elsewhere; selected labels keep
  // their selected look.
  PaintTrace(-1, -1, true);
  HighlightChannelLabels(Axis::kInputs, -1);
  HighlightChannelLabels(Axis::kOutputs, -1);
}

void TMatrixView::GridMouseMove(QPoint position) {
  if (PanKeysDown()) pan_current_ = position;
  const mx::GridCell cell = mx::CellAt(position);
  if (!cell.valid() || cell.column >= geometry_.columns || cell.row >= geometry_.rows) return;
  current_input_ = cell.column;
  current_output_ = cell.row;
  HighlightChannelLabels(Axis::kInputs, current_input_);
  HighlightChannelLabels(Axis::kOutputs, current_output_);
  PaintTrace(cell.column, cell.row, false);
}

void TMatrixView::GridMousePress(QPoint position, Qt::MouseButton button) {
  model_.selection.ClearAll();
  HighlightChannelLabels(Axis::kInputs, current_input_);
  HighlightChannelLabels(Axis::kOutputs, current_output_);
  emit SelectionChanged();
  if (button == Qt::MiddleButton) {
    middle_down_ = true;
    ScrollMatrix(position);
  }
  PaintTrace(current_input_, current_output_, false);
}

void TMatrixView::GridMouseRelease(QPoint position, Qt::MouseButton button) {
  const mx::GridCell cell = mx::CellAt(position);
  const bool on_cell = cell.valid() && cell.column < geometry_.columns && cell.row < geometry_.rows;
  switch (button) {
    case Qt::RightButton:
      if (on_cell) PopUpMatrix(cell.column, cell.row, grid_->mapToGlobal(position));
      break;
    case Qt::MiddleButton:
      middle_down_ = false;
      StopPan();
      break;
    case Qt::LeftButton:
      if (!double_click_ && on_cell) {
        MatrixGridDblClick(scroll_x_->value() + cell.column, scroll_y_->value() + cell.row);
      }
      break;
    default:
      break;
  }
}

void TMatrixView::GridMouseDoubleClick(QPoint position, Qt::MouseButton button) {
  const mx::GridCell cell = mx::CellAt(position);
  if (button != Qt::LeftButton || !double_click_ || !cell.valid() ||
      cell.column >= geometry_.columns || cell.row >= geometry_.rows) {
    return;
  }
  MatrixGridDblClick(scroll_x_->value() + cell.column, scroll_y_->value() + cell.row);
}

// --- Key preview ------------------------------------------------------------------------------

void TMatrixView::InstallKeyPreview(QWidget* window, QWidget* except) {
  if (preview_window_ == nullptr) qApp->installEventFilter(this);
  preview_window_ = window;
  preview_except_ = except;
}

bool TMatrixView::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == input_panel_ || watched == output_panel_) && event->type() == QEvent::Leave) {
    MouseLeftMatrix();
    return false;
  }
  if (preview_window_ == nullptr) return QWidget::eventFilter(watched, event);
  const QEvent::Type type = event->type();
  if (type == QEvent::WindowDeactivate && watched == preview_window_) {
    space_down_ = false;  // the release goes to another window
    return false;
  }
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != preview_window_ || !isVisible()) return false;
  if (preview_except_ != nullptr &&
      (widget == preview_except_ || preview_except_->isAncestorOf(widget))) {
    return false;
  }
  auto* key = static_cast<QKeyEvent*>(event);
  return type == QEvent::KeyPress ? FormKeyDown(key->key(), key->modifiers(), key->isAutoRepeat())
                                  : FormKeyUp(key->key(), key->isAutoRepeat());
}

}  // namespace zizara::gui::matrix

#include "gui/live/mouse_pad_form.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <optional>

#include "core/i18n/tr.h"
#include "gui/live/up_down.h"

namespace zizara::gui::live {

using core::i18n::Tr;
namespace lv = core::live;

namespace {

std::optional<lv::PadButton> PadButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return lv::PadButton::kLeft;
    case Qt::MiddleButton:
      return lv::PadButton::kMiddle;
    case Qt::RightButton:
      return lv::PadButton::kRight;
    default:
      return std::nullopt;
  }
}

}  // namespace

TPadArea::TPadArea(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PadPanel"));
  setFixedSize(lv::kPadWidth, lv::kPadHeight);
  setMouseTracking(true);
  setCursor(Qt::CrossCursor);
}

void TPadArea::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  p.fillRect(rect(), QColor(24, 28, 34));
  // A faint grid every 80 pixels helps to aim at the instrument's screen.
  p.setPen(QColor(48, 54, 64));
  for (int x = 80; x < width(); x += 80) p.drawLine(x, 0, x, height());
  for (int y = 80; y < height(); y += 80) p.drawLine(0, y, width(), y);
  p.setPen(QColor(90, 98, 110));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TPadArea::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  emit Moved(at.x(), at.y());
}

void TPadArea::mousePressEvent(QMouseEvent* event) {
  if (const auto b = PadButtonOf(event->button())) emit Pressed(*b);
}

void TPadArea::mouseReleaseEvent(QMouseEvent* event) {
  if (const auto b = PadButtonOf(event->button())) emit Released(*b);
}

TMousePadForm::TMousePadForm(Send send, core::ui_port::Prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      prompts_(prompts),
      pad_(std::move(send)),
      area_(new TPadArea(this)),
      left_(new QLabel(this)),
      middle_(new QLabel(this)),
      right_(new QLabel(this)),
      position_x_(new QLabel(this)),
      position_y_(new QLabel(this)),
      wheel_(new QLabel(this)),
      radio_click_(new QRadioButton(Tr("Send Mouse Click."), this)),
      radio_up_down_(new QRadioButton(Tr("Send Mouse Up/Down"), this)),
      timer_edit_(new QLineEdit(QString::number(lv::kDefaultMouseIntervalMs), this)),
      up_down_(new TUpDown(this)) {
  setObjectName(QStringLiteral("TMousePadForm"));
  setWindowTitle(Tr("Mouse Pad."));
  left_->setObjectName(QStringLiteral("LeftMouseLabel"));
  middle_->setObjectName(QStringLiteral("MidMouseLabel"));
  right_->setObjectName(QStringLiteral("RightMouseLabel"));
  position_x_->setObjectName(QStringLiteral("PositionLabelX"));
  position_y_->setObjectName(QStringLiteral("PositionLabelY"));
  wheel_->setObjectName(QStringLiteral("ScrollWheelLabel"));
  radio_click_->setObjectName(QStringLiteral("RadioMclick"));
  radio_up_down_->setObjectName(QStringLiteral("RadioMUD"));
  timer_edit_->setObjectName(QStringLiteral("TimerEdit"));
  timer_edit_->setFixedWidth(60);
  up_down_->setObjectName(QStringLiteral("UpDown1"));
  radio_click_->setChecked(true);

  auto* status = new QGroupBox(Tr("Mouse Status."), this);
  auto* status_layout = new QVBoxLayout(status);
  for (QLabel* l : {left_, middle_, right_}) status_layout->addWidget(l);
  auto* position = new QHBoxLayout;
  position->addWidget(position_x_);
  position->addWidget(position_y_);
  position->addStretch();
  status_layout->addLayout(position);
  status_layout->addWidget(wheel_);

  auto* click = new QGroupBox(Tr("Mouse Click."), this);
  auto* click_layout = new QVBoxLayout(click);
  click_layout->addWidget(radio_click_);
  click_layout->addWidget(radio_up_down_);

  auto* interval = new QGroupBox(Tr("Mouse Timer Interval (mS)"), this);
  auto* interval_layout = new QHBoxLayout(interval);
  interval_layout->addWidget(timer_edit_);
  interval_layout->addWidget(up_down_);
  interval_layout->addStretch();

  auto* dot = new QGroupBox(Tr("DOT Commands."), this);
  auto* dot_layout = new QHBoxLayout(dot);
  auto* info = new QPushButton(Tr("Info"), dot);
  info->setObjectName(QStringLiteral("InfoButton"));
  dot_layout->addWidget(info);
  dot_layout->addStretch();

  auto* close = new QPushButton(Tr("Close"), this);
  close->setObjectName(QStringLiteral("CloseButton"));

  auto* side = new QVBoxLayout;
  side->addWidget(status);
  side->addWidget(click);
  side->addWidget(interval);
  side->addWidget(dot);
  side->addStretch();
  side->addWidget(close);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(area_);
  layout->addLayout(side);
  setFixedSize(sizeHint());

  throttle_.setInterval(lv::kDefaultMouseIntervalMs);
  connect(&throttle_, &QTimer::timeout, this, [this] { pad_.Tick(); });
  connect(area_, &TPadArea::Moved, this, [this](int x, int y) {
    pad_.Move(x, y);
    RefreshLabels();
  });
  connect(area_, &TPadArea::Pressed, this, [this](lv::PadButton b) {
    pad_.Press(b);
    RefreshLabels();
  });
  connect(area_, &TPadArea::Released, this, [this](lv::PadButton b) {
    pad_.Release(b);
    RefreshLabels();
  });
  connect(radio_click_, &QRadioButton::toggled, this, [this](bool on) {
    pad_.SetClickMode(on ? lv::ClickMode::kClick : lv::ClickMode::kUpDown);
  });
  connect(timer_edit_, &QLineEdit::textEdited, this, &TMousePadForm::TimerEditChange);
  connect(up_down_, &TUpDown::Up, this, [this] { StepInterval(+1); });
  connect(up_down_, &TUpDown::Down, this, [this] { StepInterval(-1); });
  connect(info, &QPushButton::clicked, this, &TMousePadForm::ShowInfo);
  connect(close, &QPushButton::clicked, this, &QWidget::hide);
  RefreshLabels();
}

QLabel* TMousePadForm::Label(const char* object_name) const {
  return findChild<QLabel*>(QString::fromLatin1(object_name));
}

void TMousePadForm::RefreshLabels() {
  left_->setText(pad_.ButtonText(lv::PadButton::kLeft));
  middle_->setText(pad_.ButtonText(lv::PadButton::kMiddle));
  right_->setText(pad_.ButtonText(lv::PadButton::kRight));
  position_x_->setText(pad_.PositionXText());
  position_y_->setText(pad_.PositionYText());
  wheel_->setText(pad_.WheelText());
}

void TMousePadForm::TimerEditChange() {
  const std::optional<int> interval = lv::ParseMouseInterval(timer_edit_->text());
  if (!interval) {
    prompts_.Error(Tr(lv::kInvalidEntryText));
    return;
  }
  throttle_.setInterval(*interval);
}

void TMousePadForm::StepInterval(int delta) {
  const int now = lv::ParseMouseInterval(timer_edit_->text()).value_or(throttle_.interval());
  const int next = std::clamp(now + delta, lv::kMinMouseIntervalMs, lv::kMaxMouseIntervalMs);
  timer_edit_->setText(QString::number(next));
  TimerEditChange();
}

void TMousePadForm::ShowInfo() { prompts_.Information(Tr(lv::kMousePadInfoText)); }

void TMousePadForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  throttle_.start();
}

void TMousePadForm::hideEvent(QHideEvent* event) {
  throttle_.stop();
  QWidget::hideEvent(event);
}

void TMousePadForm::wheelEvent(QWheelEvent* event) {
  const int dy = event->angleDelta().y();
  if (dy != 0) {
    pad_.Wheel(dy > 0);
    RefreshLabels();
  }
  event->accept();
}

}  // namespace zizara::gui::live

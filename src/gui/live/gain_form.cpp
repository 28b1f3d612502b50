#include "gui/live/gain_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "core/i18n/tr.h"
#include "core/live/gain.h"
#include "gui/live/up_down.h"

namespace zizara::gui::live {

using core::i18n::Tr;
namespace lv = core::live;

TGainForm::TGainForm(Hooks hooks, core::ui_port::Prompts& prompts, QWidget* parent)
    : QDialog(parent),
      hooks_(std::move(hooks)),
      prompts_(prompts),
      edit_(new QLineEdit(QStringLiteral("0"), this)),
      spin_(new TUpDown(this)),
      auto_update_(new QCheckBox(Tr("Auto update."), this)),
      ok_(new QPushButton(Tr("OK"), this)),
      cancel_(new QPushButton(Tr("Cancel"), this)) {
  setObjectName(QStringLiteral("TGainForm"));
  setWindowTitle(Tr("Set Gain."));
  setModal(true);
  edit_->setObjectName(QStringLiteral("Edit1"));
  edit_->setMaxLength(5);
  edit_->setFixedWidth(70);
  spin_->setObjectName(QStringLiteral("SpinButton1"));
  auto_update_->setObjectName(QStringLiteral("CheckBox1"));
  ok_->setObjectName(QStringLiteral("ButtonGainOK"));
  cancel_->setObjectName(QStringLiteral("ButtonGainCancel"));
  ok_->setDefault(true);

  auto* group = new QGroupBox(Tr("Set Output Gain. (dB)"), this);
  auto* row = new QHBoxLayout(group);
  row->addWidget(edit_);
  row->addWidget(spin_);
  row->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(auto_update_);
  layout->addLayout(buttons);
  setFixedSize(sizeHint());

  timer_.setObjectName(QStringLiteral("Timer1"));
  timer_.setInterval(lv::kGainAutoUpdateMs);
  connect(&timer_, &QTimer::timeout, this, &TGainForm::TimerFired);
  connect(spin_, &TUpDown::Up, this, [this] { Spin(+1); });
  connect(spin_, &TUpDown::Down, this, [this] { Spin(-1); });
  connect(auto_update_, &QCheckBox::clicked, this, &TGainForm::ApplyAutoUpdate);
  connect(ok_, &QPushButton::clicked, this, [this] { SendGain(true); });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

int TGainForm::ShowFor(const QString& gain_text) {
  edit_->setText(gain_text);
  const int result = exec();
  timer_.stop();
  return result;
}

void TGainForm::ApplyAutoUpdate() { cancel_->setEnabled(!auto_update_->isChecked()); }

void TGainForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ApplyAutoUpdate();
}

bool TGainForm::SendGain(bool from_ok) {
  if (sending_) {
    return true;  // the sends under way carry the value; a second run would interleave
  }
  const std::optional<double> value = lv::ParseGainText(edit_->text());
  if (!value) {
    prompts_.Error(Tr(lv::kInvalidGainText));
    return false;
  }
  const int tenths = lv::GainTenths(*value);
  QPointer<TGainForm> alive(this);
  sending_ = true;
  if (core::link::InstrumentLink* link = hooks_.link ? hooks_.link() : nullptr) {
    lv::SendGain(*link, hooks_.selected_outputs ? hooks_.selected_outputs() : std::vector<int>{},
                 tenths);
  }
  if (alive == nullptr) {
    return true;
  }
  sending_ = false;
  if (from_ok) {
    accept();
  }
  return true;
}

void TGainForm::Spin(int direction) {
  const std::optional<QString> stepped = lv::StepGainText(edit_->text(), direction);
  if (!stepped) {
    return;
  }
  const bool automatic = auto_update_->isChecked();
  if (automatic) {
    timer_.stop();
  }
  edit_->setText(*stepped);
  if (automatic) {
    timer_.start();
  }
}

void TGainForm::TimerFired() {
  timer_.stop();
  if (auto_update_->isChecked()) {
    SendGain(false);
  }
}

void TGainForm::wheelEvent(QWheelEvent* event) {
  const int dy = event->angleDelta().y();
  if (dy != 0) {
    Spin(dy > 0 ? +1 : -1);
  }
  event->accept();
}

}  // namespace zizara::gui::live

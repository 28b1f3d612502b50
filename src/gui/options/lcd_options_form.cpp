#include "gui/options/lcd_options_form.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/i18n/tr.h"
#include "core/options/lcd_options.h"
#include "core/options/preset_settings.h"
#include "gui/options/dialog_parts.h"

namespace zizara::gui::options {

using core::i18n::Tr;
namespace opt = core::options;

TLCDOptionsForm::TLCDOptionsForm(core::config::Configuration& config, QWidget* parent)
    : QDialog(parent), config_(config) {
  setObjectName(QStringLiteral("TLCDOptionsForm"));
  setWindowTitle(Tr("LCD Options"));
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(Tr("LCD"), this);
  auto* inner = new QVBoxLayout(group);
  inner->addWidget(new QLabel(Tr("Backlight intensity."), group));
  auto* bar_row = new QHBoxLayout;
  bar_row->addWidget(new QLabel(Tr("Min."), group));
  bar_ = new QSlider(Qt::Horizontal, group);
  bar_->setObjectName(QStringLiteral("BacklightBar"));
  bar_->setRange(0, opt::kBacklightMax);
  bar_->setTickPosition(QSlider::TicksBelow);
  bar_row->addWidget(bar_);
  bar_row->addWidget(new QLabel(Tr("Max."), group));
  inner->addLayout(bar_row);
  inner->addWidget(new QLabel(Tr("Theme."), group));
  themes_ = new QListWidget(group);
  themes_->setObjectName(QStringLiteral("ThemeCheckList"));
  inner->addWidget(themes_);
  layout->addWidget(group);
  const OkCancel b = AddOkCancel(this, layout);
  connect(b.ok, &QPushButton::clicked, this, [this] {
    Button1Click();
    accept();
  });
}

void TLCDOptionsForm::Load() {
  const opt::LcdSettings lcd = opt::ReadLcd(config_.image);
  bar_->setValue(lcd.backlight);
  themes_->clear();
  for (int p = 0; p < core::config::kPresetCount; ++p) {
    auto* item = new QListWidgetItem(
        Tr("Preset %1 - ").arg(p + 1) + opt::ReadPresetName(config_.image, p), themes_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(lcd.theme[p] ? Qt::Checked : Qt::Unchecked);
  }
}

void TLCDOptionsForm::Button1Click() {
  opt::LcdSettings lcd;
  lcd.backlight = bar_->value();
  for (int p = 0; p < core::config::kPresetCount; ++p) {
    lcd.theme[p] = themes_->item(p)->checkState() == Qt::Checked;
  }
  opt::WriteLcd(config_.image, lcd);
}

}  // namespace zizara::gui::options

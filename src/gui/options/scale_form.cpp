#include "gui/options/scale_form.h"

#include <QGroupBox>
#include <QVBoxLayout>

#include "core/i18n/tr.h"
#include "core/options/scale_options.h"
#include "gui/options/dialog_parts.h"

namespace zizara::gui::options {

using core::i18n::Tr;
namespace opt = core::options;

TScaleForm::TScaleForm(core::config::Configuration& config, QWidget* parent)
    : QDialog(parent), config_(config) {
  setObjectName(QStringLiteral("TScaleForm"));
  setWindowTitle(Tr("Scale Options."));
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(Tr("PPM Scale."), this);
  auto* inner = new QVBoxLayout(group);
  combo_ = new QComboBox(group);
  combo_->setObjectName(QStringLiteral("ScaleCombo"));
  inner->addWidget(combo_);
  peak_ = new QCheckBox(Tr("Peak Hold."), group);
  peak_->setObjectName(QStringLiteral("PeakCheck"));
  dual_ = new QCheckBox(Tr("Dual."), group);
  dual_->setObjectName(QStringLiteral("DualCheck"));
  inner->addWidget(peak_);
  inner->addWidget(dual_);
  layout->addWidget(group);
  const OkCancel b = AddOkCancel(this, layout);
  connect(b.ok, &QPushButton::clicked, this, [this] {
    Button1Click();
    accept();
  });
}

void TScaleForm::Load(const QString& caption) {
  setWindowTitle(caption);
  const int version = config_.trailer.software_version;
  const opt::ScaleSettings s = opt::ReadScale(config_.image, config_.map, version);
  peak_->setChecked(s.peak_hold);
  dual_->setChecked(s.dual);
  combo_->clear();
  combo_->addItems(opt::ScaleListItems(config_.image));
  combo_->setCurrentIndex(s.position < combo_->count() ? s.position : -1);
}

void TScaleForm::Button1Click() {
  const int version = config_.trailer.software_version;
  opt::ScaleSettings s = opt::ReadScale(config_.image, config_.map, version);
  // With nothing selected the stored number stays as it is.
  if (combo_->currentIndex() >= 0) {
    s.position = combo_->currentIndex();
  }
  s.peak_hold = peak_->isChecked();
  s.dual = dual_->isChecked();
  opt::WriteScale(config_.image, config_.map, version, s);
  config_.modified = true;
}

}  // namespace zizara::gui::options

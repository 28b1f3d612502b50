#include "gui/options/scop_form.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/i18n/tr.h"
#include "core/options/phase_options.h"
#include "gui/options/colour_lists.h"
#include "gui/options/dialog_parts.h"

namespace zizara::gui::options {

using core::i18n::Tr;
namespace opt = core::options;

TScopForm::TScopForm(core::config::Configuration& config, QWidget* parent)
    : QDialog(parent), config_(config) {
  setObjectName(QStringLiteral("TScopForm"));
  setWindowTitle(Tr("Phase Options"));
  auto* layout = new QVBoxLayout(this);
  auto* options = new QGroupBox(Tr("Options"), this);
  auto* inner = new QVBoxLayout(options);
  auto* integration = new QGroupBox(Tr("Phasemeter Integration Time"), options);
  auto* radios = new QHBoxLayout(integration);
  slow_ = new QRadioButton(Tr("Slow"), integration);
  slow_->setObjectName(QStringLiteral("RadioSlow"));
  fast_ = new QRadioButton(Tr("Fast"), integration);
  fast_->setObjectName(QStringLiteral("RadioFast"));
  radios->addWidget(slow_);
  radios->addWidget(fast_);
  inner->addWidget(integration);
  auto* scope = new QGroupBox(Tr("Oscilloscope Colour"), options);
  auto* scope_layout = new QVBoxLayout(scope);
  colour_ = new QComboBox(scope);
  colour_->setObjectName(QStringLiteral("ColorBox"));
  FillRgbColourList(colour_);
  scope_layout->addWidget(colour_);
  inner->addWidget(scope);
  auto* compression = new QGroupBox(Tr("Meter Compression"), options);
  auto* compression_layout = new QVBoxLayout(compression);
  compressor_ = new QCheckBox(Tr("Compressor Off."), compression);
  compressor_->setObjectName(QStringLiteral("CheckCompressor"));
  compression_layout->addWidget(compressor_);
  inner->addWidget(compression);
  layout->addWidget(options);
  const OkCancel b = AddOkCancel(this, layout);
  connect(b.ok, &QPushButton::clicked, this, [this] {
    Button1Click();
    accept();
  });
}

void TScopForm::Load() {
  const opt::PhaseSettings s = opt::ReadPhase(config_.image, config_.map);
  (s.slow ? slow_ : fast_)->setChecked(true);
  colour_->setCurrentIndex(s.scope_colour);
  compressor_->setChecked(s.compressor_off);
}

void TScopForm::Button1Click() {
  opt::WritePhase(config_.image, config_.map,
                  {slow_->isChecked(), colour_->currentIndex(), compressor_->isChecked()});
  config_.modified = true;
}

}  // namespace zizara::gui::options

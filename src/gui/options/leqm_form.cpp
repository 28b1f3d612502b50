#include "gui/options/leqm_form.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "core/i18n/tr.h"
#include "core/options/leqm_options.h"
#include "gui/options/colour_lists.h"
#include "gui/options/dialog_parts.h"

namespace zizara::gui::options {

using core::i18n::Tr;
namespace opt = core::options;

TLeqmForm::TLeqmForm(core::config::Configuration& config, QWidget* parent)
    : QDialog(parent), config_(config) {
  setObjectName(QStringLiteral("TLeqmForm"));
  setWindowTitle(Tr("Graphic Leq(m) Options."));
  auto* layout = new QVBoxLayout(this);
  auto* colours = new QGroupBox(Tr("Leq(m) Graph Colours."), this);
  auto* colour_form = new QFormLayout(colours);
  graph_ = new QComboBox(colours);
  graph_->setObjectName(QStringLiteral("ColorBox"));
  sum_ = new QComboBox(colours);
  sum_->setObjectName(QStringLiteral("ColorSumBox"));
  FillRgbColourList(graph_);
  FillRgbColourList(sum_);
  colour_form->addRow(Tr("Leq(m) Graph."), graph_);
  colour_form->addRow(Tr("Leq(m) Sum."), sum_);
  layout->addWidget(colours);
  auto* trip = new QGroupBox(Tr("Trip Level."), this);
  auto* trip_layout = new QVBoxLayout(trip);
  level_ = new QSpinBox(trip);
  level_->setObjectName(QStringLiteral("LevelUpDown"));
  level_->setRange(opt::kTripLevelMin, opt::kTripLevelMax);
  level_->setValue(opt::kTripLevelDefault);
  trip_layout->addWidget(level_);
  layout->addWidget(trip);
  const OkCancel b = AddOkCancel(this, layout);
  connect(b.ok, &QPushButton::clicked, this, [this] {
    Button1Click();
    accept();
  });
}

void TLeqmForm::Load() {
  const opt::LeqmSettings leqm = opt::ReadLeqm(config_.image, config_.map);
  graph_->setCurrentIndex(leqm.graph_colour);
  sum_->setCurrentIndex(leqm.sum_colour);
  level_->setValue(leqm.trip_level);
}

void TLeqmForm::Button1Click() {
  opt::WriteLeqm(config_.image, config_.map,
                 {graph_->currentIndex(), sum_->currentIndex(), level_->value()});
  config_.modified = true;
  emit Committed();
}

}  // namespace zizara::gui::options

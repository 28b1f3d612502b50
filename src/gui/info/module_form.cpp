#include "gui/info/module_form.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/i18n/tr.h"
#include "core/live/about_texts.h"

namespace zizara::gui::info {

using core::i18n::Tr;

TModuleForm::TModuleForm(QWidget* parent)
    : QDialog(parent), input_group_(new QGroupBox(this)), output_group_(new QGroupBox(this)) {
  setObjectName(QStringLiteral("TModuleForm"));
  setWindowTitle(Tr("Installed modules."));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  for (int side = 0; side < 2; ++side) {
    QGroupBox* group = side == 0 ? input_group_ : output_group_;
    group->setObjectName(side == 0 ? QStringLiteral("InputGroup") : QStringLiteral("OutputGroup"));
    auto* lines = new QVBoxLayout(group);
    for (int slot = 1; slot <= 4; ++slot) {
      auto* label = new QLabel(group);
      label->setObjectName(
          (side == 0 ? QStringLiteral("InputLabel%1") : QStringLiteral("OutputLabel%1")).arg(slot));
      label->setMinimumWidth(360);
      lines->addWidget(label);
      (side == 0 ? inputs_ : outputs_)[static_cast<std::size_t>(slot - 1)] = label;
    }
    layout->addWidget(group);
  }
  auto* ok = new QPushButton(Tr("OK"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TModuleForm::ShowRecord(const core::link::InstrumentRecord& record) {
  const core::live::ModuleLines lines = core::live::ModuleLinesFor(record);
  input_group_->setTitle(lines.input_caption);
  output_group_->setTitle(lines.output_caption);
  for (int i = 0; i < 4; ++i) {
    inputs_[static_cast<std::size_t>(i)]->setText(lines.inputs[i]);
    outputs_[static_cast<std::size_t>(i)]->setText(lines.outputs[i]);
  }
}

}  // namespace zizara::gui::info

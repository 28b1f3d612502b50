#include "gui/link/qlx_type_form.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/config/model_table.h"
#include "core/i18n/tr.h"

namespace zizara::gui::link {

using core::i18n::Tr;

TQLXTypeForm::TQLXTypeForm(core::link::InstrumentRecord& record, core::ui_port::Prompts& prompts,
                           QWidget* parent)
    : QDialog(parent), record_(record), prompts_(prompts), combo_(new QComboBox(this)) {
  setObjectName(QStringLiteral("TQLXTypeForm"));
  setWindowTitle(Tr("QLXType."));
  auto* group = new QGroupBox(Tr("Select QLX-Type."), this);
  auto* label = new QLabel(
      Tr("The QLX is in BIOS-Mode, it therefore is not possible\r to automatically identify the "
         "QLX-Type.\r\rPlease select the correct QLX-Type from the dropdownbox below.")
          .replace(QLatin1Char('\r'), QLatin1Char('\n')),
      group);
  label->setObjectName(QStringLiteral("Label1"));
  combo_->setObjectName(QStringLiteral("ComboBox1"));
  for (const auto& choice : core::config::kModelTypeChoices) {
    combo_->addItem(QString::fromLatin1(choice.name));
  }
  combo_->setCurrentIndex(2);  // "QLX-M"
  auto* group_layout = new QVBoxLayout(group);
  group_layout->addWidget(label);
  group_layout->addWidget(combo_);
  auto* ok = new QPushButton(Tr("OK"), this);
  ok->setObjectName(QStringLiteral("Button1"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &TQLXTypeForm::Button1Click);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

void TQLXTypeForm::Button1Click() {
  const int row = combo_->currentIndex();
  if (row < 0) {
    return;
  }
  if (!prompts_.Confirm(Tr("Are you sure that your QLX is a ") + combo_->currentText() +
                        QLatin1Char('?'))) {
    return;
  }
  record_.model_index = core::config::kModelTypeChoices[static_cast<std::size_t>(row)].model_index;
  accept();
}

}  // namespace zizara::gui::link

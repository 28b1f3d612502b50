#include "gui/matrix/edit_form.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/config/preset_options.h"
#include "core/i18n/tr.h"

namespace zizara::gui::matrix {

using core::i18n::Tr;

TEditForm::TEditForm(core::ui_port::Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setObjectName(QStringLiteral("TEditForm"));
  auto* layout = new QVBoxLayout(this);
  group_ = new QGroupBox(this);
  group_->setObjectName(QStringLiteral("EditGroup"));
  auto* group_layout = new QVBoxLayout(group_);
  edit_ = new QLineEdit(group_);
  edit_->setObjectName(QStringLiteral("Edit1"));
  edit_->setMinimumWidth(220);
  group_layout->addWidget(edit_);
  layout->addWidget(group_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  ok_ = new QPushButton(Tr("OK"), this);
  ok_->setObjectName(QStringLiteral("Button1"));
  ok_->setDefault(true);
  cancel_ = new QPushButton(Tr("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("Button2"));
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  layout->addLayout(buttons);
  connect(ok_, &QPushButton::clicked, this, &TEditForm::Button1Click);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TEditForm::Setup(const EditRequest& request) {
  setWindowTitle(request.caption);
  group_->setTitle(request.group);
  edit_->setMaxLength(request.max_length);
  edit_->setText(request.text);
}

void TEditForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  edit_->setFocus();
  edit_->selectAll();
}

void TEditForm::Button1Click() {
  if (!core::config::IsLegalNameText(edit_->text())) {
    prompts_.Error(Tr("The text contains one or more illegal characters."));
    return;
  }
  accept();
}

std::optional<QString> TEditForm::Run(core::ui_port::Prompts& prompts, QWidget* parent,
                                      const EditRequest& request) {
  TEditForm form(prompts, parent);
  form.Setup(request);
  if (form.exec() != QDialog::Accepted) return std::nullopt;
  return form.Text();
}

}  // namespace zizara::gui::matrix

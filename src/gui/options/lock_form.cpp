#include "gui/options/lock_form.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "core/config/preset_options.h"
#include "core/i18n/tr.h"
#include "core/options/preset_settings.h"
#include "gui/options/dialog_parts.h"

namespace zizara::gui::options {

using core::i18n::Tr;
namespace opt = core::options;

TLockForm::TLockForm(core::config::Configuration& config, core::ui_port::Prompts& prompts,
                     QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      config_(config),
      prompts_(prompts) {
  setObjectName(QStringLiteral("TLockForm"));
  setWindowTitle(Tr("Write Protect Lock Code."));
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(Tr("Write Protect Lock Code."), this);
  auto* inner = new QVBoxLayout(group);
  edit_ = new QLineEdit(group);
  edit_->setObjectName(QStringLiteral("LockEdit"));
  edit_->setMaxLength(4);
  edit_->installEventFilter(this);
  inner->addWidget(edit_);
  layout->addWidget(group);
  check_ = new QCheckBox(Tr("Disable Write Protect Lock Code."), this);
  check_->setObjectName(QStringLiteral("WriteLockCheck"));
  layout->addWidget(check_);
  connect(check_, &QCheckBox::clicked, this, &TLockForm::WriteLockCheckClick);
  const OkCancel b = AddOkCancel(this, layout);
  connect(b.ok, &QPushButton::clicked, this, [this] {
    if (Button1Click()) accept();
  });
}

void TLockForm::Load() {
  // Words an image never upgraded to version 5 holds are shown as their low bytes; OK then
  // accepts only four digits, so nothing else is ever written back.
  const QString code = QString::fromLatin1(core::config::LockCode(config_.image));
  edit_->setText(code);
  check_->setChecked(opt::IsWriteProtectOff(code));
  edit_->setEnabled(!check_->isChecked());
}

void TLockForm::WriteLockCheckClick() {
  edit_->setEnabled(!check_->isChecked());
  if (check_->isChecked()) {
    edit_->setText(QString::fromLatin1(core::config::kDisabledLockCode));
  }
}

bool TLockForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Backspace) {
      return false;
    }
    const QString text = key->text();
    if (text.size() != 1 || !text[0].isDigit() || text[0].unicode() > '9') {
      // Navigation and editing keys stay; every other character is dropped.
      return !text.isEmpty() && text[0].isPrint();
    }
    if (edit_->text().size() >= edit_->maxLength() && !edit_->hasSelectedText()) {
      // A full field overwrites the character after the caret instead of refusing the key.
      const int at = edit_->cursorPosition();
      edit_->setSelection(at, 1);
    }
  }
  return QDialog::eventFilter(watched, event);
}

bool TLockForm::Button1Click() {
  if (!opt::IsFourDigitCode(edit_->text())) {
    prompts_.Error(Tr("Please enter a four digit number."));
    return false;
  }
  opt::WriteLockCode(config_.image, edit_->text());
  // The change would otherwise be lost silently on closing; it is saved like the others.
  config_.modified = true;
  return true;
}

}  // namespace zizara::gui::options

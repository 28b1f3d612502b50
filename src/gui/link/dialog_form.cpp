#include "gui/link/dialog_form.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QStyle>

#include "core/i18n/tr.h"

namespace zizara::gui::link {

using core::i18n::Tr;

TDialogForm::TDialogForm(QWidget* main_window)
    : QWidget(main_window, Qt::Dialog | Qt::WindowStaysOnTopHint),
      icon_(new QLabel(this)),
      label_(new QLabel(this)) {
  setObjectName(QStringLiteral("TDialogForm"));
  setWindowTitle(Tr("Download..."));
  label_->setObjectName(QStringLiteral("Label1"));
  label_->setTextFormat(Qt::PlainText);
  label_->setText(Tr("Please wait while downloading..."));
  icon_->setObjectName(QStringLiteral("ImgI"));
  icon_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(icon_);
  layout->addWidget(label_, 1, Qt::AlignCenter);
  resize(320, 90);
}

void TDialogForm::ShowWaiting(const QString& caption, const QString& text) {
  setWindowTitle(caption);
  label_->setText(text);
  if (parentWidget() != nullptr) {
    move(parentWidget()->geometry().center() - rect().center());
  }
  show();
  raise();
}

}  // namespace zizara::gui::link

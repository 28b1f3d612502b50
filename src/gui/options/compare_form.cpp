#include "gui/options/compare_form.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/i18n/tr.h"

namespace zizara::gui::options {

using core::i18n::Tr;

TCompareForm::TCompareForm(QWidget* parent) : QDialog(parent, Qt::Window) {
  setObjectName(QStringLiteral("TCompareForm"));
  setModal(false);
  setSizeGripEnabled(true);
  resize(560, 360);
  auto* layout = new QVBoxLayout(this);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("DiffText"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(text_);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  copy_ = new QPushButton(Tr("Copy"), this);
  copy_->setObjectName(QStringLiteral("CopyButton"));
  auto* close = new QPushButton(Tr("Close"), this);
  close->setObjectName(QStringLiteral("CloseButton"));
  row->addWidget(copy_);
  row->addWidget(close);
  layout->addLayout(row);
  connect(copy_, &QPushButton::clicked, this, &TCompareForm::CopyClick);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void TCompareForm::ShowDifferences(const QString& file_name,
                                   const QList<core::options::Difference>& list) {
  setWindowTitle(Tr("Compare with ") + QFileInfo(file_name).fileName());
  QStringList lines;
  for (const core::options::Difference& d : list) {
    lines << d.text;
  }
  text_->setPlainText(lines.isEmpty() ? Tr("No differences.") : lines.join(QLatin1Char('\n')));
}

void TCompareForm::CopyClick() { QGuiApplication::clipboard()->setText(text_->toPlainText()); }

}  // namespace zizara::gui::options

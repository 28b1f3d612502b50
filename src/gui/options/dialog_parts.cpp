#include "gui/options/dialog_parts.h"

#include <QApplication>
#include <QFontMetrics>

#include "core/i18n/tr.h"

namespace zizara::gui::options {

OkCancel AddOkCancel(QDialog* dialog, QBoxLayout* layout) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  OkCancel b;
  b.ok = new QPushButton(core::i18n::Tr("OK"), dialog);
  b.ok->setObjectName(QStringLiteral("Button1"));
  b.ok->setDefault(true);
  b.cancel = new QPushButton(core::i18n::Tr("Cancel"), dialog);
  b.cancel->setObjectName(QStringLiteral("Button2"));
  row->addWidget(b.ok);
  row->addWidget(b.cancel);
  layout->addLayout(row);
  QObject::connect(b.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  // Small dialogs are as narrow as their controls; keep the (often longer, translated) title
  // readable in the title bar, which also shows the program name and three buttons.
  QFont title_font = dialog->font();
  title_font.setBold(true);
  const QString shown_title =
      dialog->windowTitle() + QStringLiteral(" \u2014 ") + QApplication::applicationDisplayName();
  dialog->setMinimumWidth(QFontMetrics(title_font).horizontalAdvance(shown_title) + 110);
  return b;
}

}  // namespace zizara::gui::options

#include "gui/remote/run_macros_form.h"

#include <QFrame>
#include <QVBoxLayout>

namespace zizara::gui::remote {

TRunMacrosForm::TRunMacrosForm(std::function<void(const QString&)> file_panel,
                               QWidget* main_window)
    : QWidget(main_window, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      file_panel_(std::move(file_panel)),
      label1_(new QLabel(this)),
      label2_(new QLabel(this)),
      label3_(new QLabel(this)) {
  setObjectName(QStringLiteral("TRunMacrosForm"));
  auto* panel = new QFrame(this);
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Sunken);
  auto* inner = new QVBoxLayout(panel);
  int n = 1;
  for (QLabel* l : {label1_, label2_, label3_}) {
    l->setObjectName(QStringLiteral("Label%1").arg(n++));
    l->setAlignment(Qt::AlignCenter);
    l->setTextFormat(Qt::PlainText);  // names and messages come from files and the instrument
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    inner->addWidget(l);
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(panel);
  resize(420, 90);
}

void TRunMacrosForm::FilePanel(const QString& text) {
  if (file_panel_) {
    file_panel_(text);
  }
}

void TRunMacrosForm::ShowWindow(const QString& line1, const QString& line2,
                                const QString& line3) {
  label1_->setText(line1);
  label2_->setText(line2);
  label3_->setText(line3);
  if (parentWidget() != nullptr) {
    move(parentWidget()->geometry().center() - rect().center());
  }
  show();
  raise();
}

void TRunMacrosForm::HideWindow() { hide(); }

}  // namespace zizara::gui::remote

#include "gui/link/wait_form.h"

#include <QApplication>
#include <QVBoxLayout>

#include "core/i18n/tr.h"

namespace zizara::gui::link {

using core::i18n::Tr;

TWaitForm::TWaitForm(QWidget* main_window)
    // A window of its own, so that disabling the main window leaves it alone.
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      main_window_(main_window),
      panel_(new QLabel(Tr("Please Wait..."), this)) {
  setObjectName(QStringLiteral("TWaitForm"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  panel_->setObjectName(QStringLiteral("Panel1"));
  panel_->setAlignment(Qt::AlignCenter);
  panel_->setFrameShape(QFrame::Panel);
  panel_->setFrameShadow(QFrame::Raised);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(panel_);
  setFixedSize(180, 48);
}

TWaitForm::~TWaitForm() {
  while (cursor_depth_ > 0) {
    SetBusyCursor(false);
  }
}

void TWaitForm::SetBusyCursor(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++cursor_depth_;
  } else if (cursor_depth_ > 0) {
    QApplication::restoreOverrideCursor();
    --cursor_depth_;
  }
}

void TWaitForm::ShowWait() {
  ++wait_depth_;
  if (splash_ != nullptr && splash_->isVisible()) {
    return;  // the splash has its own progress
  }
  if (main_window_ != nullptr) {
    move(main_window_->geometry().center() - rect().center());
  }
  show();
  raise();
}

void TWaitForm::HideWait() {
  if (wait_depth_ > 0 && --wait_depth_ == 0) {
    hide();
  }
}

}  // namespace zizara::gui::link

#include "gui/ui/qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

#include "gui/common/placement.h"

#include "core/i18n/tr.h"

namespace zizara::gui::ui {

namespace {
// Qt's standard captions would stay English; the program's catalogue names them.
void CaptionButtons(QMessageBox& box, bool keep_no) {
  using core::i18n::Tr;
  if (QAbstractButton* b = box.button(QMessageBox::Ok)) b->setText(Tr("OK"));
  if (QAbstractButton* b = box.button(QMessageBox::Yes)) b->setText(Tr("&Yes"));
  if (QAbstractButton* b = box.button(QMessageBox::No); b != nullptr && !keep_no) {
    b->setText(Tr("&No"));
  }
  if (QAbstractButton* b = box.button(QMessageBox::Cancel)) b->setText(Tr("Cancel"));
}
}  // namespace

using core::ui_port::Answer;
using core::ui_port::PromptButtons;
using core::ui_port::PromptKind;

namespace {

// A visible window of ours that stays on top of the others (the transfer window, a tool
// window). A question asked while one is up must not open underneath it.
QWidget* StayOnTopWindow() {
  QWidget* tool = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!w->isVisible() || !w->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) continue;
    const Qt::WindowType type = w->windowType();
    if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen) continue;
    if (type != Qt::Tool) return w;  // the transfer window comes first
    if (tool == nullptr) tool = w;
  }
  return tool;
}

}  // namespace

Answer QtPrompts::Ask(PromptKind kind, const QString& text, PromptButtons buttons) {
  return AskWithLook(kind, text, buttons, {});
}

Answer QtPrompts::AskWithLook(PromptKind kind, const QString& text, PromptButtons buttons,
                              const core::ui_port::PromptLook& look) {
  // A box parented to a window that is disabled during a transfer would be disabled too, and
  // nobody could answer it.
  QWidget* parent = parent_ != nullptr && parent_->isEnabled() ? parent_.data() : nullptr;
  QMessageBox box(parent);
  box.setWindowModality(Qt::ApplicationModal);
  QWidget* above = StayOnTopWindow();
  if (above != nullptr) {
    // Above the window that stays on top, tied to it so that the window manager keeps it there.
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.winId();
    if (box.windowHandle() != nullptr && above->windowHandle() != nullptr) {
      box.windowHandle()->setTransientParent(above->windowHandle());
    }
  }
  if (look.alarm) {
    box.setStyleSheet(
        QStringLiteral("QMessageBox { background-color: #ffff00; }"
                       "QLabel { color: #ff0000; font-weight: bold; }"));
  }
  box.setWindowTitle(QApplication::applicationDisplayName());
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  box.setTextFormat(Qt::PlainText);  // texts carry file names and instrument text
  box.setText(shown);
  switch (kind) {
    case PromptKind::kWarning:
      box.setIcon(QMessageBox::Warning);
      break;
    case PromptKind::kError:
      box.setIcon(QMessageBox::Critical);
      break;
    case PromptKind::kInformation:
      box.setIcon(QMessageBox::Information);
      break;
    case PromptKind::kConfirmation:
      box.setIcon(QMessageBox::Question);
      break;
  }
  switch (buttons) {
    case PromptButtons::kOk:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case PromptButtons::kYesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(kind == PromptKind::kWarning || look.no_is_default ? QMessageBox::No
                                                                              : QMessageBox::Yes);
      if (!look.no_caption.isEmpty()) {
        box.button(QMessageBox::No)->setText(look.no_caption);
      }
      break;
    case PromptButtons::kYesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  CaptionButtons(box, !look.no_caption.isEmpty());
  // Shown first so that it has its real size when it is centred on the main window.
  box.show();
  if (parent_ != nullptr && parent_->isVisible()) {
    common::CentreOnWindow(&box, parent_);
  }
  box.raise();
  box.activateWindow();
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    case QMessageBox::Cancel:
      return Answer::kCancel;
    default:
      return buttons == PromptButtons::kOk      ? Answer::kOk
             : buttons == PromptButtons::kYesNo ? Answer::kNo
                                                : Answer::kCancel;
  }
}

QString QtFileChooser::OpenFileName(const QString& title, const QString& filter) {
  return QFileDialog::getOpenFileName(parent_, title, QString(), filter);
}

QString QtFileChooser::SaveFileName(const QString& title, const QString& filter,
                                    const QString& suggested) {
  // Our own overwrite question follows, with its own wording.
  return QFileDialog::getSaveFileName(parent_, title, suggested, filter, nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

QString QtFileChooser::SaveFileNameWithChoice(const QString& title, const QString& filter,
                                              const QString& suggested, QString* selected) {
  return QFileDialog::getSaveFileName(parent_, title, suggested, filter, selected,
                                      QFileDialog::DontConfirmOverwrite);
}

}  // namespace zizara::gui::ui

#include "gui/link/driver_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "core/i18n/tr.h"

namespace zizara::gui::link {

using core::i18n::Tr;
using core::link::TransferKind;
using core::ui_port::Answer;
using core::ui_port::PromptButtons;
using core::ui_port::PromptKind;

namespace {
constexpr int kMinWidth = 200;
constexpr int kMaxWidth = 640;
}  // namespace

TRS232Driver::TRS232Driver(core::link::EngineState& engine, core::ui_port::Prompts& prompts,
                           QWidget* main_window)
    // Its own top-level window: disabling the main window during a transfer must not
    // disable this one.
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint),
      engine_(engine),
      prompts_(prompts),
      main_window_(main_window),
      caption_(new QLabel(QStringLiteral("DSPFileName"), this)),
      bar_(new QProgressBar(this)) {
  setObjectName(QStringLiteral("RS232Driver"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  caption_->setObjectName(QStringLiteral("DSPProgressFileName"));
  caption_->setTextFormat(Qt::PlainText);  // carries the model text the instrument reported
  bar_->setObjectName(QStringLiteral("DSPProgressBar"));
  bar_->setTextVisible(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(caption_);
  layout->addWidget(bar_);
  setFixedHeight(88);
  setCursor(Qt::WaitCursor);
  if (main_window_ != nullptr) {
    setWindowTitle(main_window_->windowTitle());
  }
}

void TRS232Driver::SetCaption(const QString& caption) { caption_->setText(caption); }

void TRS232Driver::SetMaximum(int maximum) { bar_->setRange(0, std::max(1, maximum)); }

void TRS232Driver::SetPosition(int position) {
  bar_->setValue(std::min(position, bar_->maximum()));
}

void TRS232Driver::PlaceOverMainWindow() {
  if (main_window_ == nullptr) {
    return;
  }
  const QRect m = main_window_->geometry();
  // As wide as the main window less a margin, but a maximized window would make it a bar
  // across the whole screen: it stays a dialog-sized window centred on the main window.
  const int width = std::clamp(m.width() - 20, kMinWidth, kMaxWidth);
  resize(width, height());
  move(m.left() + (m.width() - width) / 2, m.top() + (m.height() - height()) / 2);
  setWindowTitle(main_window_->windowTitle());
}

void TRS232Driver::ShowProgress() {
  bar_->setValue(0);
  PlaceOverMainWindow();
  show();
  raise();
}

void TRS232Driver::HideProgress() {
  hide();
  caption_->clear();
}

namespace {
core::ui_port::PromptLook StopLook(bool alarm) {
  core::ui_port::PromptLook look;
  look.alarm = alarm;
  look.no_is_default = true;
  return look;
}
}  // namespace

bool TRS232Driver::FormCloseQuery() {
  switch (engine_.kind) {
    case TransferKind::kDownload:
      return prompts_.AskWithLook(PromptKind::kWarning,
                                  Tr("You are about to terminate the download.\rTHIS IS NOT "
                                     "RECOMMENDED!!!\r\rDo you wish to proceed?"),
                                  PromptButtons::kYesNo, StopLook(true)) == Answer::kYes;
    case TransferKind::kUpload:
      return prompts_.AskWithLook(
                 PromptKind::kWarning,
                 Tr("You are about to terminate the upload.\r\rDo you wish to proceed?"),
                 PromptButtons::kYesNo, StopLook(false)) == Answer::kYes;
    case TransferKind::kInstallation:
      return prompts_.AskWithLook(PromptKind::kWarning,
                                  Tr("You are about to terminate the software installation.\rTHIS "
                                     "IS NOT RECOMMENDED!!!\r\rDo you wish to proceed?"),
                                  PromptButtons::kYesNo, StopLook(true)) == Answer::kYes;
    case TransferKind::kReading:
      return false;
    case TransferKind::kIdle:
      return true;
  }
  return true;
}

void TRS232Driver::closeEvent(QCloseEvent* event) {
  if (!FormCloseQuery()) {
    event->ignore();
    return;
  }
  engine_.abort = true;
  if (main_window_ != nullptr) {
    main_window_->setEnabled(true);
    main_window_->show();
  }
  emit Aborted();
  event->accept();
}

void TRS232Driver::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();  // the keyboard way to close it, through the same question
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace zizara::gui::link

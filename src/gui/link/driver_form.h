#pragma once

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QWidget>

#include "core/link/link_state.h"
#include "core/ui_port/progress.h"
#include "core/ui_port/prompts.h"

namespace zizara::gui::link {

// The transfer window: a caption line and the block progress. Closing it during a transfer
// asks according to the kind of transfer and, when allowed, sets the abort flag.
class TRS232Driver : public QWidget, public core::ui_port::Progress {
  Q_OBJECT

 public:
  TRS232Driver(core::link::EngineState& engine, core::ui_port::Prompts& prompts,
               QWidget* main_window);

  // Progress.
  void SetCaption(const QString& caption) override;
  void SetMaximum(int maximum) override;
  void SetPosition(int position) override;
  void ShowProgress() override;
  void HideProgress() override;

  // Whether the window may close now (asks the user where the transfer kind says so).
  bool FormCloseQuery();

  QLabel* DSPProgressFileName() { return caption_; }
  QProgressBar* DSPProgressBar() { return bar_; }

 signals:
  // The user closed the window: the running transfer is to stop.
  void Aborted();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void PlaceOverMainWindow();

  core::link::EngineState& engine_;
  core::ui_port::Prompts& prompts_;
  QPointer<QWidget> main_window_;
  QLabel* caption_;
  QProgressBar* bar_;
};

}  // namespace zizara::gui::link

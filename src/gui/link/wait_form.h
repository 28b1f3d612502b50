#pragma once

#include <QLabel>
#include <QPointer>
#include <QWidget>

#include "core/ui_port/wait_indicator.h"

namespace zizara::gui::link {

// "Please Wait..." on one panel: no border, on top, centred on the main window each time it
// is shown. Shown while the instrument is probed, its version read and it restarts; the
// waits behind it keep the event loop running, so the program stays live meanwhile.
class TWaitForm : public QWidget, public core::ui_port::WaitIndicator {
  Q_OBJECT

 public:
  explicit TWaitForm(QWidget* main_window);
  ~TWaitForm() override;

  // While this window is visible the wait window stays hidden.
  void SetSplash(QWidget* splash) { splash_ = splash; }

  void SetBusyCursor(bool on) override;
  void ShowWait() override;
  void HideWait() override;

  QLabel* Panel1() { return panel_; }

 private:
  QPointer<QWidget> main_window_;
  QPointer<QWidget> splash_;
  QLabel* panel_;
  int wait_depth_ = 0;
  int cursor_depth_ = 0;
};

}  // namespace zizara::gui::link

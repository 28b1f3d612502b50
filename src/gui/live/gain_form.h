#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <vector>

#include "core/ui_port/prompts.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace zizara::core::link {
class InstrumentLink;
}

namespace zizara::gui::live {

class TUpDown;

// "Set Gain.": sets the gain of the selected outputs directly in the connected instrument.
class TGainForm : public QDialog {
  Q_OBJECT

 public:
  struct Hooks {
    // The open line; null when there is none.
    std::function<core::link::InstrumentLink*()> link;
    // The outputs whose selection flag is set (1-based), the clicked one included.
    std::function<std::vector<int>()> selected_outputs;
  };

  TGainForm(Hooks hooks, core::ui_port::Prompts& prompts, QWidget* parent = nullptr);

  // `Edit1` gets the gain read when the window opens; then the window runs modally.
  int ShowFor(const QString& gain_text);

  QLineEdit* Edit1() { return edit_; }
  TUpDown* SpinButton1() { return spin_; }
  QCheckBox* CheckBox1() { return auto_update_; }
  QPushButton* ButtonGainOK() { return ok_; }
  QPushButton* ButtonGainCancel() { return cancel_; }
  QTimer* Timer1() { return &timer_; }

  // OK, or the timer: false when the text is not a number (nothing is sent).
  bool SendGain(bool from_ok);
  void Spin(int direction);

 protected:
  void showEvent(QShowEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void ApplyAutoUpdate();
  void TimerFired();

  Hooks hooks_;
  core::ui_port::Prompts& prompts_;
  QLineEdit* edit_;
  TUpDown* spin_;
  QCheckBox* auto_update_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QTimer timer_;
  bool sending_ = false;
};

}  // namespace zizara::gui::live

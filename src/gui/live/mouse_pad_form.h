#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

#include "core/live/mouse_pad.h"
#include "core/ui_port/prompts.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zizara::gui::live {

class TUpDown;

// The 640 x 480 area whose pointer, buttons and wheel go to the instrument.
class TPadArea : public QWidget {
  Q_OBJECT

 public:
  explicit TPadArea(QWidget* parent);

 signals:
  void Moved(int x, int y);
  void Pressed(core::live::PadButton button);
  void Released(core::live::PadButton button);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// "Mouse Pad.": forwards the pointer to the instrument as ".Sm" ... ".Sh" commands.
class TMousePadForm : public QWidget {
  Q_OBJECT

 public:
  // Writes one command after clearing the port's buffers.
  using Send = std::function<void(const QByteArray&)>;

  TMousePadForm(Send send, core::ui_port::Prompts& prompts, QWidget* parent = nullptr);

  core::live::MousePad& Pad() { return pad_; }
  TPadArea* PadPanel() { return area_; }
  QLineEdit* TimerEdit() { return timer_edit_; }
  QTimer* Timer() { return &throttle_; }
  QRadioButton* RadioMclick() { return radio_click_; }
  QRadioButton* RadioMUD() { return radio_up_down_; }
  QLabel* Label(const char* object_name) const;

  // The interval field changed: a new throttle interval, or "Invalid Entry.".
  void TimerEditChange();
  void ShowInfo();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void RefreshLabels();
  void StepInterval(int delta);

  core::ui_port::Prompts& prompts_;
  core::live::MousePad pad_;
  TPadArea* area_;
  QLabel* left_;
  QLabel* middle_;
  QLabel* right_;
  QLabel* position_x_;
  QLabel* position_y_;
  QLabel* wheel_;
  QRadioButton* radio_click_;
  QRadioButton* radio_up_down_;
  QLineEdit* timer_edit_;
  TUpDown* up_down_;
  QTimer throttle_;
};

}  // namespace zizara::gui::live

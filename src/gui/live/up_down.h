#pragma once

#include <QWidget>

class QToolButton;

namespace zizara::gui::live {

// A pair of small arrow buttons beside an edit field, as the spin buttons and up-downs of the
// instrument windows are.
class TUpDown : public QWidget {
  Q_OBJECT

 public:
  explicit TUpDown(QWidget* parent = nullptr);
  QToolButton* UpButton() { return up_; }
  QToolButton* DownButton() { return down_; }

 signals:
  void Up();
  void Down();

 private:
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace zizara::gui::live

#pragma once

#include <QLabel>
#include <QWidget>

namespace zizara::gui::link {

// The small non-modal window shown while the external command works.
class TDialogForm : public QWidget {
  Q_OBJECT

 public:
  explicit TDialogForm(QWidget* main_window);

  // Shows the window with a caption and a waiting text beside the information icon.
  void ShowWaiting(const QString& caption, const QString& text);
  QLabel* Label1() { return label_; }

 private:
  QLabel* icon_;
  QLabel* label_;
};

}  // namespace zizara::gui::link

#pragma once

#include <QLabel>
#include <QWidget>
#include <functional>

#include "core/remote/macro_runner.h"

namespace zizara::gui::remote {

// The small borderless window that says which macro runs and what it is doing.
class TRunMacrosForm : public QWidget, public core::remote::MacroView {
  Q_OBJECT

 public:
  TRunMacrosForm(std::function<void(const QString&)> file_panel, QWidget* main_window);

  void FilePanel(const QString& text) override;
  void ShowWindow(const QString& line1, const QString& line2, const QString& line3) override;
  void HideWindow() override;
  void SetThirdLine(const QString& text) { label3_->setText(text); }

  QLabel* Label1() { return label1_; }
  QLabel* Label2() { return label2_; }
  QLabel* Label3() { return label3_; }

 private:
  std::function<void(const QString&)> file_panel_;
  QLabel* label1_;
  QLabel* label2_;
  QLabel* label3_;
};

}  // namespace zizara::gui::remote

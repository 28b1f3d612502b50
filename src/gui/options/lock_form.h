#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>

#include "core/config/configuration.h"
#include "core/ui_port/prompts.h"

namespace zizara::gui::options {

// `TLockForm`: the write-protect lock code.
class TLockForm : public QDialog {
  Q_OBJECT

 public:
  TLockForm(core::config::Configuration& config, core::ui_port::Prompts& prompts,
            QWidget* parent = nullptr);

  void Load();
  // OK: false (window stays) unless the field holds four digits.
  bool Button1Click();
  void WriteLockCheckClick();

  QLineEdit* LockEdit() { return edit_; }
  QCheckBox* WriteLockCheck() { return check_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  core::config::Configuration& config_;
  core::ui_port::Prompts& prompts_;
  QLineEdit* edit_ = nullptr;
  QCheckBox* check_ = nullptr;
};

}  // namespace zizara::gui::options

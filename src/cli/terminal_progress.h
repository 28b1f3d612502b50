#pragma once

#include <QTextStream>

#include "core/ui_port/progress.h"

namespace zizara::cli {

// A one-line bar on stderr, redrawn in place; silent when stderr is not a terminal.
class TerminalProgress : public core::ui_port::Progress {
 public:
  TerminalProgress(QTextStream& err, bool enabled) : err_(err), enabled_(enabled) {}

  void SetCaption(const QString& caption) override;
  void SetMaximum(int maximum) override;
  void SetPosition(int position) override;
  void ShowProgress() override;
  void HideProgress() override;

 private:
  void Draw();

  QTextStream& err_;
  bool enabled_;
  bool shown_ = false;
  QString caption_;
  int maximum_ = 0;
  int position_ = 0;
  int last_percent_ = -1;
};

}  // namespace zizara::cli

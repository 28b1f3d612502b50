#pragma once

#include <QTextStream>
#include <functional>

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

  // Also hands every percentage to `sink`, drawn or not: the fleet runner shows all ports on
  // one line.
  void SetSink(std::function<void(int percent)> sink) { sink_ = std::move(sink); }

 private:
  void Draw();

  QTextStream& err_;
  bool enabled_;
  bool shown_ = false;
  QString caption_;
  int maximum_ = 0;
  int position_ = 0;
  int last_percent_ = -1;
  std::function<void(int)> sink_;
};

}  // namespace zizara::cli

#pragma once

#include <QString>

namespace zizara::core::ui_port {

// Where a transfer shows how far it got: the driver window in the GUI, a bar on the terminal
// in the CLI, nothing in tests unless they record it.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual void SetCaption(const QString& caption) = 0;
  virtual void SetMaximum(int maximum) = 0;
  virtual void SetPosition(int position) = 0;
  virtual void ShowProgress() = 0;
  virtual void HideProgress() = 0;
};

class NullProgress : public Progress {
 public:
  void SetCaption(const QString&) override {}
  void SetMaximum(int) override {}
  void SetPosition(int) override {}
  void ShowProgress() override {}
  void HideProgress() override {}
};

}  // namespace zizara::core::ui_port

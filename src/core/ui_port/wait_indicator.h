#pragma once

namespace zizara::core::ui_port {

// The signs that the program is busy with the instrument while no transfer window shows:
// the hourglass and the small "Please Wait..." window. Both nest: every on has its off.
class WaitIndicator {
 public:
  virtual ~WaitIndicator() = default;
  virtual void SetBusyCursor(bool on) = 0;
  virtual void ShowWait() = 0;
  virtual void HideWait() = 0;
};

// The hourglass for the lifetime of a scope, and the wait window from ShowWait() on; both
// end with the scope, on every way out. Does nothing without an indicator.
class BusyScope {
 public:
  explicit BusyScope(WaitIndicator* indicator) : indicator_(indicator) {
    if (indicator_ != nullptr) {
      indicator_->SetBusyCursor(true);
    }
  }
  ~BusyScope() {
    if (indicator_ == nullptr) {
      return;
    }
    if (waiting_) {
      indicator_->HideWait();
    }
    indicator_->SetBusyCursor(false);
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

  void ShowWait() {
    if (indicator_ != nullptr && !waiting_) {
      waiting_ = true;
      indicator_->ShowWait();
    }
  }

 private:
  WaitIndicator* indicator_;
  bool waiting_ = false;
};

}  // namespace zizara::core::ui_port

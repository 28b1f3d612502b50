#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <QUrl>
#include <cstdint>
#include <functional>

#include "core/link/link_state.h"
#include "core/live/about_texts.h"
#include "core/live/system_info.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace zizara::gui::info {

// What the about window shows of the instrument, taken when it is shown.
struct AboutInstrument {
  bool bios_mode = false;
  bool instrument_detected = false;
  core::link::InstrumentRecord record;
  double software_version = 1.0;
};

// "About...": the program, the connected instrument, the computer, and the hidden functions
// (system memo, forced version-5 upgrade, debug switch).
class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  struct Hooks {
    std::function<AboutInstrument()> instrument;
    // `Settings` / `Debug` in the settings file, read when the logo is double-clicked.
    std::function<bool()> settings_debug;
    // The program's debug flag takes this state; the main window follows it.
    std::function<void(bool)> apply_debug;
    std::function<void()> set_dlm;
    std::function<void(bool)> force_v5;
    std::function<void()> open_modules;
    std::function<core::live::SystemMemoFacts()> memo_facts;
    // The computer; tests give fixed facts.
    std::function<core::live::SystemFacts()> system_facts;
    QUrl web_address;
    QString web_text;
  };

  explicit TAboutForm(Hooks hooks, QWidget* parent = nullptr);

  // The instrument lines by link state, then modal.
  int ShowModal();
  // Fills the instrument lines and the "Modules..." button as showing does.
  void RefreshInstrumentLines();
  // What the timer does: uptime, memory and a CPU-speed measurement.
  void RefreshLiveLines();
  // The logo's double-click.
  void LogoDoubleClick();
  void ApplyDebugSwitch();

  QLabel* Line(const char* object_name) const;
  QPlainTextEdit* Memo1() { return memo_; }
  QCheckBox* ChkForceV5() { return force_v5_; }
  QCheckBox* CheckBox1() { return debug_; }
  QPushButton* SetDlmButton() { return set_dlm_; }
  QPushButton* ModulesButton() { return modules_; }
  QPushButton* OkButton() { return ok_; }
  QTimer* Timer1() { return &timer_; }
  QLabel* Logo() { return logo_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* AddLine(class QLayout* layout, const char* object_name);
  void FinishCpuMeasurement();

  Hooks hooks_;
  QLabel* logo_;
  QPlainTextEdit* memo_;
  QCheckBox* force_v5_;
  QCheckBox* debug_;
  QPushButton* set_dlm_;
  QPushButton* modules_;
  QPushButton* ok_;
  QTimer timer_;
  QTimer cpu_timer_;
  QElapsedTimer cpu_clock_;
  std::uint64_t cpu_start_ = 0;
};

}  // namespace zizara::gui::info

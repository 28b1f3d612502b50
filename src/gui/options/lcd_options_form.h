#pragma once

#include <QDialog>
#include <QListWidget>
#include <QSlider>

#include "core/config/configuration.h"

namespace zizara::gui::options {

// `TLCDOptionsForm`: backlight intensity and the theme flag of all 11 presets.
class TLCDOptionsForm : public QDialog {
  Q_OBJECT

 public:
  explicit TLCDOptionsForm(core::config::Configuration& config, QWidget* parent = nullptr);

  void Load();
  // Writes the image without setting the modified flag; the caller moves the main window's
  // track bar to Backlight().
  void Button1Click();
  int Backlight() const { return bar_->value(); }

  QSlider* BacklightBar() { return bar_; }
  QListWidget* ThemeCheckList() { return themes_; }

 private:
  core::config::Configuration& config_;
  QSlider* bar_ = nullptr;
  QListWidget* themes_ = nullptr;
};

}  // namespace zizara::gui::options

#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QRadioButton>

#include "core/config/configuration.h"

namespace zizara::gui::options {

// `TScopForm`: phasemeter integration time, oscilloscope colour and meter compression of the
// current preset.
class TScopForm : public QDialog {
  Q_OBJECT

 public:
  explicit TScopForm(core::config::Configuration& config, QWidget* parent = nullptr);

  void Load();
  void Button1Click();

  QRadioButton* RadioSlow() { return slow_; }
  QRadioButton* RadioFast() { return fast_; }
  QComboBox* ColorBox() { return colour_; }
  QCheckBox* CheckCompressor() { return compressor_; }

 private:
  core::config::Configuration& config_;
  QRadioButton* slow_ = nullptr;
  QRadioButton* fast_ = nullptr;
  QComboBox* colour_ = nullptr;
  QCheckBox* compressor_ = nullptr;
};

}  // namespace zizara::gui::options

#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>

#include "core/config/configuration.h"

namespace zizara::gui::options {

// `TScaleForm`: which of the 7 scales the PPM of the current preset uses, peak hold and dual.
class TScaleForm : public QDialog {
  Q_OBJECT

 public:
  explicit TScaleForm(core::config::Configuration& config, QWidget* parent = nullptr);

  // The caption becomes the text of the main window's preset selector.
  void Load(const QString& caption);
  void Button1Click();

  QComboBox* ScaleCombo() { return combo_; }
  QCheckBox* PeakCheck() { return peak_; }
  QCheckBox* DualCheck() { return dual_; }

 private:
  core::config::Configuration& config_;
  QComboBox* combo_ = nullptr;
  QCheckBox* peak_ = nullptr;
  QCheckBox* dual_ = nullptr;
};

}  // namespace zizara::gui::options

#pragma once

#include <QComboBox>
#include <QDialog>
#include <QSpinBox>

#include "core/config/configuration.h"

namespace zizara::gui::options {

// `TLeqmForm`: Leq(m) graph and sum colours and the trip level of the current preset. Shown
// without blocking the main window; OK writes into the preset current at that moment.
class TLeqmForm : public QDialog {
  Q_OBJECT

 public:
  explicit TLeqmForm(core::config::Configuration& config, QWidget* parent = nullptr);

  void Load();
  void Button1Click();

  QComboBox* ColorBox() { return graph_; }
  QComboBox* ColorSumBox() { return sum_; }
  // `LevelEdit` with its up-down `LevelUpDown`, as one spin box.
  QSpinBox* LevelUpDown() { return level_; }

 signals:
  void Committed();

 private:
  core::config::Configuration& config_;
  QComboBox* graph_ = nullptr;
  QComboBox* sum_ = nullptr;
  QSpinBox* level_ = nullptr;
};

}  // namespace zizara::gui::options

#pragma once

#include <QDialog>
#include <array>

#include "core/link/link_state.h"

class QGroupBox;
class QLabel;

namespace zizara::gui::info {

// "Installed modules.": the modules in the instrument's four input and four output slots.
class TModuleForm : public QDialog {
  Q_OBJECT

 public:
  explicit TModuleForm(QWidget* parent = nullptr);

  // Fills the lines from what the instrument reported.
  void ShowRecord(const core::link::InstrumentRecord& record);
  QGroupBox* InputGroup() { return input_group_; }
  QGroupBox* OutputGroup() { return output_group_; }
  QLabel* InputLabel(int slot) { return inputs_[static_cast<std::size_t>(slot - 1)]; }
  QLabel* OutputLabel(int slot) { return outputs_[static_cast<std::size_t>(slot - 1)]; }

 private:
  QGroupBox* input_group_;
  QGroupBox* output_group_;
  std::array<QLabel*, 4> inputs_{};
  std::array<QLabel*, 4> outputs_{};
};

}  // namespace zizara::gui::info

#pragma once

#include <QComboBox>
#include <QDialog>

#include "core/link/link_state.h"
#include "core/ui_port/prompts.h"

namespace zizara::gui::link {

// Asks which model an instrument in BIOS mode is, since it cannot tell.
class TQLXTypeForm : public QDialog {
  Q_OBJECT

 public:
  TQLXTypeForm(core::link::InstrumentRecord& record, core::ui_port::Prompts& prompts,
               QWidget* parent = nullptr);

  QComboBox* ComboBox1() { return combo_; }
  // OK: confirms the choice; on Yes the model index is set and the dialog closes.
  void Button1Click();

 private:
  core::link::InstrumentRecord& record_;
  core::ui_port::Prompts& prompts_;
  QComboBox* combo_;
};

}  // namespace zizara::gui::link

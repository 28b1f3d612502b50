#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "core/config/configuration.h"
#include "core/ui_port/prompts.h"

namespace zizara::gui::options {

// `TPresetOptionsForm`: the name of the selected preset and the two start-up settings.
class TPresetOptionsForm : public QDialog {
  Q_OBJECT

 public:
  TPresetOptionsForm(core::config::Configuration& config, core::ui_port::Prompts& prompts,
                     QWidget* parent = nullptr);

  // Shows the preset selected in the main window (`preset` 0..10) and the drop-down's items.
  void Load(int preset, const QStringList& preset_items);
  // OK: false (window stays) when the name is refused.
  bool Button1Click();

  QLineEdit* PresetNameEdit() { return name_; }
  QComboBox* ComboStartupPreset() { return startup_preset_; }
  QComboBox* ComboStartupApplication() { return startup_application_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  core::config::Configuration& config_;
  core::ui_port::Prompts& prompts_;
  int preset_ = 0;
  QLineEdit* name_ = nullptr;
  QComboBox* startup_preset_ = nullptr;
  QComboBox* startup_application_ = nullptr;
};

}  // namespace zizara::gui::options

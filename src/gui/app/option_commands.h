#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include "core/ui_port/prompts.h"

class QDialog;

namespace zizara::gui::options {
class TCompareForm;
class TFileInfoForm;
class TLCDOptionsForm;
class TLeqmForm;
class TLockForm;
class TPPMOptionForm;
class TPresetOptionsForm;
class TScaleForm;
class TScopForm;
}  // namespace zizara::gui::options

namespace zizara::gui::app {

class TMainForm;

// Opens the option windows from the main window's menus, toolbar and matrix popups, and does
// what the main window does after their OK: the modified flag's menu state, the preset list,
// the backlight track bar.
class OptionCommands : public QObject {
  Q_OBJECT

 public:
  OptionCommands(TMainForm& form, core::ui_port::Prompts& prompts);
  ~OptionCommands() override;

  void PresetOptions();
  void LcdOptions();
  void LeqmOptions();
  void ScaleOptions();
  void LockCode();
  void FileInformation();
  void CompareWithFile();
  // From the matrix popups; the popup's channel already counts as selected.
  void PpmOptions(int ppm_offset);
  void PhaseOptions();

  // How modal windows run; tests answer them without a message loop.
  std::function<int(QDialog*)> run_modal;

  options::TPresetOptionsForm* PresetOptionsForm() { return preset_options_; }
  options::TLCDOptionsForm* LcdOptionsForm() { return lcd_; }
  options::TLeqmForm* LeqmForm() { return leqm_; }
  options::TScaleForm* ScaleForm() { return scale_; }
  options::TLockForm* LockForm() { return lock_; }
  options::TFileInfoForm* FileInfoForm() { return file_info_; }
  options::TPPMOptionForm* PpmForm() { return ppm_; }
  options::TScopForm* ScopForm() { return scop_; }
  options::TCompareForm* CompareForm() { return compare_; }

 signals:
  // An option window's OK wrote into the configuration; `step` names it for Undo and Redo.
  void Committed(const QString& step);

 private:
  void Rewire(const char* action_name, void (OptionCommands::*slot)());
  void Saved(const QString& step);

  TMainForm& form_;
  core::ui_port::Prompts& prompts_;
  options::TPresetOptionsForm* preset_options_ = nullptr;
  options::TLCDOptionsForm* lcd_ = nullptr;
  options::TLeqmForm* leqm_ = nullptr;
  options::TScaleForm* scale_ = nullptr;
  options::TLockForm* lock_ = nullptr;
  options::TFileInfoForm* file_info_ = nullptr;
  options::TPPMOptionForm* ppm_ = nullptr;
  options::TScopForm* scop_ = nullptr;
  options::TCompareForm* compare_ = nullptr;
};

}  // namespace zizara::gui::app

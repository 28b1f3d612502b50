#pragma once

#include <QObject>
#include <QPointer>

#include "core/settings/program_settings.h"
#include "core/ui_port/prompts.h"
#include "gui/info/about_form.h"
#include "gui/info/module_form.h"
#include "gui/live/gain_form.h"
#include "gui/live/keyboard_form.h"
#include "gui/live/mouse_pad_form.h"

namespace zizara::gui::link {
class LinkController;
}

namespace zizara::gui::app {

class TMainForm;

// The windows that act on the instrument by hand (gain, keypad, mouse pad) and the
// information windows, and the main window's commands that open them.
class LiveCommands : public QObject {
  Q_OBJECT

 public:
  LiveCommands(TMainForm& form, core::ui_port::Prompts& prompts);

  // The instrument commands go through this controller; null while there is none.
  void SetController(link::LinkController* controller) { controller_ = controller; }

  // The gain window for a 0-based output with the gain read when it opened.
  void OpenGain(int output, const QString& gain);
  void ToggleKeyboard();
  void ShowMousePad();
  void ShowAbout();

  void ApplyKeyboardSettings(const core::settings::KeyboardWindowSettings& settings,
                             const QRect& main_window);
  core::settings::KeyboardWindowSettings KeyboardSettings() const;

  live::TGainForm* GainForm() { return gain_; }
  live::TKeyboardForm* KeyboardForm() { return keyboard_; }
  live::TMousePadForm* MousePadForm() { return mouse_pad_; }
  info::TAboutForm* AboutForm() { return about_; }
  info::TModuleForm* ModuleForm() { return modules_; }

 private:
  // The open line, opened on first use; null without a controller.
  core::link::InstrumentLink* Line();
  std::vector<int> SelectedOutputs() const;
  core::live::SystemMemoFacts MemoFacts() const;
  bool SettingsDebug() const;
  void ApplyDebug(bool on);

  TMainForm& form_;
  core::ui_port::Prompts& prompts_;
  link::LinkController* controller_ = nullptr;
  QPointer<live::TGainForm> gain_;
  QPointer<live::TKeyboardForm> keyboard_;
  QPointer<live::TMousePadForm> mouse_pad_;
  QPointer<info::TAboutForm> about_;
  QPointer<info::TModuleForm> modules_;
};

}  // namespace zizara::gui::app

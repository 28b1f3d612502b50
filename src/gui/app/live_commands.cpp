#include "gui/app/live_commands.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QShortcut>
#include <QStandardPaths>

#include "core/link/serial_transport.h"
#include "core/live/keypad.h"
#include "core/settings/ini_file.h"
#include "gui/app/link_commands.h"
#include "gui/app/main_form.h"
#include "gui/app/web_address.h"
#include "gui/link/link_controller.h"
#include "gui/matrix/matrix_view.h"

namespace zizara::gui::app {

namespace lv = core::live;

LiveCommands::LiveCommands(TMainForm& form, core::ui_port::Prompts& prompts)
    : QObject(&form), form_(form), prompts_(prompts) {
  gain_ = new live::TGainForm({[this] { return Line(); }, [this] { return SelectedOutputs(); }},
                              prompts_, &form_);
  keyboard_ = new live::TKeyboardForm(
      [this](int key) {
        core::link::InstrumentLink* line = Line();
        return line != nullptr && lv::PressFrontKey(*line, key);
      },
      &form_);
  mouse_pad_ = new live::TMousePadForm(
      [this](const QByteArray& command) {
        if (core::link::InstrumentLink* line = Line()) {
          line->transport().Clear(true, true);
          line->SendText(command);
        }
      },
      prompts_, &form_);
  modules_ = new info::TModuleForm(&form_);

  info::TAboutForm::Hooks about;
  about.instrument = [this] {
    const AppContext& ctx = form_.context();
    info::AboutInstrument now;
    now.bios_mode = ctx.bios_mode;
    now.instrument_detected = ctx.instrument_detected;
    now.record = ctx.instrument;
    now.software_version =
        controller_ != nullptr ? controller_->last_outcome().software_version : 1.0;
    return now;
  };
  about.settings_debug = [this] { return SettingsDebug(); };
  about.apply_debug = [this](bool on) { ApplyDebug(on); };
  about.set_dlm = [this] {
    if (core::link::InstrumentLink* line = Line()) {
      line->EnterDownloadMode(form_.context().instrument.remote_capable);
    }
  };
  about.force_v5 = [this](bool on) {
    if (LinkCommands* links = form_.Links()) links->SetForceV5(on);
  };
  about.open_modules = [this] {
    modules_->ShowRecord(form_.context().instrument);
    modules_->exec();
  };
  about.memo_facts = [this] { return MemoFacts(); };
  about.web_address = MakerWebAddress();
  about.web_text = MakerWebText();
  about_ = new info::TAboutForm(std::move(about), &form_);

  // The menu items answered "not available" until now.
  const auto wire = [this](const char* name, void (LiveCommands::*slot)()) {
    if (QAction* action = form_.FindAction(QString::fromLatin1(name))) {
      disconnect(action, &QAction::triggered, &form_, nullptr);
      connect(action, &QAction::triggered, this, slot);
    }
  };
  wire("MenuKeyboard", &LiveCommands::ToggleKeyboard);
  wire("MenuMousePad", &LiveCommands::ShowMousePad);
  wire("ManuAbout", &LiveCommands::ShowAbout);
  // The item follows the instrument only when the Tools menu opens; Ctrl+K must not wait for
  // that. While the item is disabled, a shortcut of our own refreshes the menu first.
  if (QAction* keyboard = form_.FindAction(QStringLiteral("MenuKeyboard"))) {
    auto* shortcut = new QShortcut(keyboard->shortcut(), &form_);
    shortcut->setObjectName(QStringLiteral("KeyboardShortcut"));
    const auto follow = [keyboard, shortcut] { shortcut->setEnabled(!keyboard->isEnabled()); };
    connect(keyboard, &QAction::changed, shortcut, follow);
    follow();
    connect(shortcut, &QShortcut::activated, this, [this, keyboard] {
      form_.UpdateMenuItems();
      if (keyboard->isEnabled()) ToggleKeyboard();
    });
  }
  form_.Matrix()->SetOutputGainWindow(
      [this](int output, const QString& gain) { OpenGain(output, gain); });
}

core::link::InstrumentLink* LiveCommands::Line() {
  return controller_ != nullptr ? &controller_->EnsureLink() : nullptr;
}

std::vector<int> LiveCommands::SelectedOutputs() const {
  std::vector<int> outputs;
  const auto& selection = form_.Matrix()->model().selection;
  for (int o = 0; o < core::config::kOutputCount; ++o) {
    if (selection.Selected(core::matrix::Axis::kOutputs, o)) outputs.push_back(o + 1);
  }
  return outputs;
}

void LiveCommands::OpenGain(int /*output*/, const QString& gain) { gain_->ShowFor(gain); }

void LiveCommands::ToggleKeyboard() { keyboard_->setVisible(!keyboard_->isVisible()); }

void LiveCommands::ShowMousePad() {
  mouse_pad_->show();
  mouse_pad_->raise();
}

void LiveCommands::ShowAbout() { about_->ShowModal(); }

void LiveCommands::ApplyKeyboardSettings(const core::settings::KeyboardWindowSettings& settings,
                                         const QRect& main_window) {
  keyboard_->ApplySettings(settings, main_window);
}

core::settings::KeyboardWindowSettings LiveCommands::KeyboardSettings() const {
  return keyboard_->Settings();
}

bool LiveCommands::SettingsDebug() const {
  // Read as it is now, without creating the file.
  core::settings::IniFile ini(form_.SettingsPath());
  return ini.Load() && ini.GetBool("Settings", "Debug", false);
}

void LiveCommands::ApplyDebug(bool on) {
  AppContext& ctx = form_.context();
  ctx.debug_mode = on;
  ctx.mouse_pad_item_shown = true;
  form_.RefreshCommands();
}

lv::SystemMemoFacts LiveCommands::MemoFacts() const {
  const AppContext& ctx = form_.context();
  lv::SystemMemoFacts f;
  f.arguments = QCoreApplication::arguments();
  f.command_line = f.arguments.join(QLatin1Char(' '));
  f.advanced_mode = ctx.advanced_mode;
  f.help_file = ctx.help_file;
  f.config_dir = QFileInfo(form_.SettingsPath()).absolutePath();
  f.temp_dir = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
  f.system_dir = QStringLiteral("/usr/bin");
  const lv::SystemFacts system = lv::ReadSystemFacts();
  f.os_name = system.os_name;
  f.os_major = system.os_major;
  f.os_minor = system.os_minor;
  f.os_build = system.os_build;
  f.serial_ports = core::link::AvailablePorts();
  return f;
}

}  // namespace zizara::gui::app

#include "gui/app/scale_commands.h"

#include "core/i18n/tr.h"
#include "core/scale/scale_download.h"
#include "core/settings/ini_file.h"
#include "gui/app/main_form.h"

namespace zizara::gui::app {

using core::i18n::Tr;
namespace sc = core::scale;

namespace {
constexpr char kSection[] = "ZA-Dizod";
constexpr char kLastScaleFile[] = "LastScaleFile";
}  // namespace

ScaleCommands::ScaleCommands(TMainForm& form, core::ui_port::Prompts& prompts)
    : QObject(&form), form_(form), prompts_(prompts) {}

ScaleCommands::~ScaleCommands() = default;

scale::TVTScaleForm* ScaleCommands::Form() {
  if (scale_form_ == nullptr) {
    core::settings::IniFile ini(form_.SettingsPath());
    ini.Load();
    scale::ScaleFormServices services;
    services.prompts = &prompts_;
    services.files = &form_.Files();
    services.last_scale_file = ini.GetString(kSection, kLastScaleFile);
    services.last_scale_file_changed = [this](const QString& name) { StoreLastScaleFile(name); };
    services.instrument_connected = [this] { return form_.context().instrument_detected; };
    services.download = [this](const sc::ScaleImage& image, int key) { Download(image, key); };
    services.connect = [this] { Connect(); };
    // A window of its own: a child window would be disabled with the main window.
    scale_form_ = std::make_unique<scale::TVTScaleForm>(std::move(services));
    connect(scale_form_.get(), &scale::TVTScaleForm::Closed, this,
            [this] { form_.setEnabled(true); });
  }
  return scale_form_.get();
}

void ScaleCommands::Open() {
  form_.setEnabled(false);
  Form()->ShowEditor();
}

void ScaleCommands::Download(const sc::ScaleImage& image, int key_number) {
  link::LinkController* controller = form_.Controller();
  if (controller == nullptr || form_.context().link_mode != core::link::LinkMode::kCom) {
    prompts_.Error(Tr("No instrument found."));
    return;
  }
  controller->EnsureLink();
  const sc::ScaleDownloadOutcome result =
      sc::DownloadScaleImage(controller->EngineLayer(), image, key_number);
  if (result == sc::ScaleDownloadOutcome::kNoAddress) {
    prompts_.Error(Tr("The scale has no valid key number."));
  }
  if (form_.context().instrument.remote_capable) {
    Connect();
  }
  form_.setEnabled(false);  // the transfer window enables it when it closes
}

void ScaleCommands::Connect() {
  link::LinkController* controller = form_.Controller();
  if (controller == nullptr) {
    return;
  }
  const core::link::ConnectOutcome outcome = controller->Connect();
  form_.ConnectedPanel()->setText(outcome.connected_panel);
  form_.SerialPanel()->setText(outcome.serial_panel);
  form_.setEnabled(false);
}

void ScaleCommands::StoreLastScaleFile(const QString& name) {
  // Written at once: the main window writes its own settings over a fresh read at exit.
  core::settings::IniFile ini(form_.SettingsPath());
  ini.Load();
  ini.SetString(kSection, kLastScaleFile, name);
  ini.Save();
}

}  // namespace zizara::gui::app

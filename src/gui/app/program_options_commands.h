#pragma once

#include <QObject>
#include <functional>

#include "core/assoc/file_associations.h"
#include "core/settings/program_settings.h"
#include "core/ui_port/prompts.h"

namespace zizara::gui::program_options {
class TOptionsForm;
}

namespace zizara::gui::app {

class TMainForm;

// The program options: kept in memory from start to close, edited in the options window,
// applied to the grid, and the file types registered from there or checked at start-up.
class ProgramOptionsCommands : public QObject {
  Q_OBJECT

 public:
  ProgramOptionsCommands(TMainForm& form, core::ui_port::Prompts& prompts);

  void Load(const core::settings::ProgramSettings& settings);
  void StoreInto(core::settings::ProgramSettings& settings) const;
  const core::settings::ProgramOptions& Options() const { return options_; }

  // Tools -> "Options...".
  void ShowOptions();
  // Start-up: when asked to, offers the options window if a file type is not ours.
  void CheckAtStartUp();

  // Tests replace where the registrations live and how the modal window runs.
  void SetPlaces(const core::assoc::Places& places) { places_ = places; }
  void SetDialogRunner(std::function<bool(program_options::TOptionsForm&)> run) {
    run_dialog_ = std::move(run);
  }

 private:
  bool AllAssociated() const;

  TMainForm& form_;
  core::ui_port::Prompts& prompts_;
  core::settings::ProgramOptions options_;
  core::assoc::Places places_;
  std::function<bool(program_options::TOptionsForm&)> run_dialog_;
};

}  // namespace zizara::gui::app

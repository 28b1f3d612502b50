#include "gui/app/program_options_commands.h"

#include <QCoreApplication>

#include "core/i18n/tr.h"
#include "core/matrix/cell_image_choice.h"
#include "gui/app/main_form.h"
#include "gui/matrix/matrix_view.h"
#include "gui/program_options/options_form.h"

namespace zizara::gui::app {

using core::i18n::Tr;
namespace assoc = core::assoc;
namespace po = program_options;

namespace {

const char* const kFileTypes[po::kFileTypeCount] = {"PRE", "MCR", "CDP"};

}  // namespace

ProgramOptionsCommands::ProgramOptionsCommands(TMainForm& form, core::ui_port::Prompts& prompts)
    : QObject(&form),
      form_(form),
      prompts_(prompts),
      places_(assoc::DefaultPlaces(QCoreApplication::applicationFilePath())),
      run_dialog_([](po::TOptionsForm& dialog) { return dialog.exec() == QDialog::Accepted; }) {}

void ProgramOptionsCommands::Load(const core::settings::ProgramSettings& settings) {
  options_ = core::settings::OptionsOf(settings);
}

void ProgramOptionsCommands::StoreInto(core::settings::ProgramSettings& settings) const {
  core::settings::StoreOptions(options_, settings);
}

bool ProgramOptionsCommands::AllAssociated() const {
  for (const char* ext : kFileTypes) {
    if (!assoc::IsFileTypeAssociated(QString::fromLatin1(ext), places_)) {
      return false;
    }
  }
  return true;
}

void ProgramOptionsCommands::ShowOptions() {
  po::FileTypeChecks registered{};
  for (int i = 0; i < po::kFileTypeCount; ++i) {
    registered[i] = assoc::IsFileTypeAssociated(QString::fromLatin1(kFileTypes[i]), places_);
  }
  po::TOptionsForm dialog(options_, registered, prompts_, &form_);
  if (!run_dialog_(dialog)) {
    return;
  }
  const core::settings::ProgramOptions chosen = dialog.Options();
  matrix::TMatrixView* view = form_.Matrix();
  core::matrix::RewriteCellImages(view->model().cells, options_.cell_images, chosen.cell_images);
  options_ = chosen;
  core::settings::ProgramSettings applied;
  StoreOptions(options_, applied);
  view->ApplySettings(applied);
  if (dialog.IconsChanged()) {
    view->DrawAllXPoints();
  }
  if (dialog.FileListTouched()) {
    const po::FileTypeChecks checked = dialog.FileTypesChecked();
    for (int i = 0; i < po::kFileTypeCount; ++i) {
      // Failures stay silent: the next check at start-up shows the result.
      assoc::SetFileTypeAssociation(QString::fromLatin1(kFileTypes[i]), checked[i], places_);
    }
    prompts_.Information(
        Tr("You may need to log out and in again for all the changes to take effect."));
  }
}

void ProgramOptionsCommands::CheckAtStartUp() {
  if (!options_.check_file_association || AllAssociated()) {
    return;
  }
  const core::ui_port::Answer answer = prompts_.Ask(
      core::ui_port::PromptKind::kWarning,
      Tr("One or more filetypes is not associated with this version of VT-Zizara, do you wish "
         "to correct this?"),
      core::ui_port::PromptButtons::kYesNo);
  if (answer == core::ui_port::Answer::kYes) {
    ShowOptions();
  } else {
    form_.setEnabled(true);
  }
}

}  // namespace zizara::gui::app

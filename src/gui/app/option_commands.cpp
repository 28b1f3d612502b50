#include "gui/app/option_commands.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QSlider>

#include "core/config/preset_file.h"
#include "core/i18n/tr.h"
#include "core/matrix/channel_selection.h"
#include "core/options/config_diff.h"
#include "gui/app/main_form.h"
#include "gui/matrix/matrix_view.h"
#include "gui/options/compare_form.h"
#include "gui/options/file_info_form.h"
#include "gui/options/lcd_options_form.h"
#include "gui/options/leqm_form.h"
#include "gui/options/lock_form.h"
#include "gui/options/ppm_option_form.h"
#include "gui/options/preset_options_form.h"
#include "gui/options/scale_form.h"
#include "gui/options/scop_form.h"

namespace zizara::gui::app {

using core::i18n::Tr;
namespace cfg = core::config;

namespace {
constexpr char kPresetFilter[] = TrNoop("QLX Configuration-Files (*.PRE *.pre);;All Files (*)");
}

OptionCommands::OptionCommands(TMainForm& form, core::ui_port::Prompts& prompts)
    : QObject(&form), form_(form), prompts_(prompts) {
  run_modal = [](QDialog* d) { return d->exec(); };
  cfg::Configuration& config = form.context().config;
  preset_options_ = new options::TPresetOptionsForm(config, prompts, &form);
  lcd_ = new options::TLCDOptionsForm(config, &form);
  leqm_ = new options::TLeqmForm(config, &form);
  scale_ = new options::TScaleForm(config, &form);
  lock_ = new options::TLockForm(config, prompts, &form);
  file_info_ = new options::TFileInfoForm(&form);
  ppm_ = new options::TPPMOptionForm(config, &form);
  scop_ = new options::TScopForm(config, &form);
  compare_ = new options::TCompareForm(&form);
  connect(leqm_, &options::TLeqmForm::Committed, this, [this] { Saved(Tr("Leq(m) Options")); });

  Rewire("MenuPresetOptions", &OptionCommands::PresetOptions);  // also the rename button
  Rewire("MenuLCDOptions", &OptionCommands::LcdOptions);
  Rewire("LeqmOptions", &OptionCommands::LeqmOptions);
  Rewire("ScaleOptions", &OptionCommands::ScaleOptions);
  Rewire("MenuWriteProtectLockCode", &OptionCommands::LockCode);
  Rewire("MenuFileInfo", &OptionCommands::FileInformation);

  // "Compare with File..." follows "File information..." and is enabled with it.
  QAction* info = form.FindAction(QStringLiteral("MenuFileInfo"));
  auto* file_menu = form.findChild<QMenu*>(QStringLiteral("MenuFile"));
  if (info != nullptr && file_menu != nullptr) {
    const QList<QAction*> items = file_menu->actions();
    const int at = static_cast<int>(items.indexOf(info));
    auto* compare = new QAction(Tr("Compare with File..."), file_menu);
    compare->setObjectName(QStringLiteral("MenuCompareFile"));
    file_menu->insertAction(at + 1 < items.size() ? items[at + 1] : nullptr, compare);
    connect(compare, &QAction::triggered, this, &OptionCommands::CompareWithFile);
    connect(file_menu, &QMenu::aboutToShow, compare,
            [compare, info] { compare->setEnabled(info->isEnabled()); });
    compare->setEnabled(info->isEnabled());
  }

  // Only the option windows' entries: others (the gain window) register theirs themselves.
  matrix::MatrixWindows windows = form.Matrix()->Windows();
  windows.ppm_options = [this](int offset) { PpmOptions(offset); };
  windows.phase_options = [this] { PhaseOptions(); };
  form.Matrix()->SetWindows(std::move(windows));
}

OptionCommands::~OptionCommands() = default;

void OptionCommands::Rewire(const char* action_name, void (OptionCommands::*slot)()) {
  QAction* a = form_.FindAction(QString::fromLatin1(action_name));
  if (a == nullptr) return;
  disconnect(a, &QAction::triggered, &form_, nullptr);
  connect(a, &QAction::triggered, this, slot);
}

void OptionCommands::Saved(const QString& step) {
  form_.SetMenuState(MenuState::kSave);
  emit Committed(step);
}

void OptionCommands::PresetOptions() {
  QComboBox* drop_down = form_.PresetDropDown();
  QStringList items;
  for (int i = 0; i < drop_down->count(); ++i) {
    items << drop_down->itemText(i);
  }
  preset_options_->Load(form_.context().config.preset(), items);
  if (run_modal(preset_options_) != QDialog::Accepted) return;
  form_.RefreshPresetList();
  Saved(Tr("Preset Options"));
}

void OptionCommands::LcdOptions() {
  lcd_->Load();
  if (run_modal(lcd_) != QDialog::Accepted) return;
  // Moving the main window's track bar marks the configuration modified; an unchanged
  // position, or theme changes alone, do not.
  form_.BacklightTrackBar()->setValue(lcd_->Backlight());
  emit Committed(Tr("LCD Options"));
}

void OptionCommands::LeqmOptions() {
  leqm_->Load();
  leqm_->show();
  leqm_->raise();
}

void OptionCommands::ScaleOptions() {
  scale_->Load(form_.PresetDropDown()->currentText());
  if (run_modal(scale_) == QDialog::Accepted) Saved(Tr("Scale Options"));
}

void OptionCommands::LockCode() {
  lock_->Load();
  if (run_modal(lock_) == QDialog::Accepted) Saved(Tr("Write Protect Lock Code"));
}

void OptionCommands::FileInformation() {
  file_info_->Load(form_.context().config.trailer);
  run_modal(file_info_);
}

void OptionCommands::PpmOptions(int ppm_offset) {
  const core::matrix::ChannelSelection& selected = form_.Matrix()->model().selection;
  core::options::PpmSelection selection;
  for (int c = 0; c < core::matrix::kPpmChannels; ++c) {
    selection.inputs[c] =
        selected.Selected(core::matrix::Axis::kInputs, core::matrix::kPpmFirstInput + c);
    selection.outputs[c] =
        selected.Selected(core::matrix::Axis::kOutputs, core::matrix::kPpmFirstOutput + c);
  }
  ppm_->Load(ppm_offset, selection);
  if (run_modal(ppm_) == QDialog::Accepted) Saved(Tr("PPM Options"));
}

void OptionCommands::PhaseOptions() {
  scop_->Load();
  if (run_modal(scop_) == QDialog::Accepted) Saved(Tr("Phase Options"));
}

void OptionCommands::CompareWithFile() {
  const QString name =
      form_.Files().OpenFileName(Tr("Compare with File"), Tr(kPresetFilter));
  if (name.isEmpty()) return;
  cfg::Configuration other;
  QString refusal;
  if (!cfg::LoadPresetFile(name, prompts_, other.image, other.trailer, &refusal)) {
    if (!refusal.isEmpty()) prompts_.Error(refusal);  // a wrong size is otherwise silent
    return;
  }
  const cfg::Configuration& mine = form_.context().config;
  compare_->ShowDifferences(name, core::options::DiffConfigurations({mine.image, mine.trailer},
                                                                    {other.image, other.trailer}));
  compare_->show();
  compare_->raise();
}

}  // namespace zizara::gui::app

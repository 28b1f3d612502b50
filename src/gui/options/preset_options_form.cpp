#include "gui/options/preset_options_form.h"

#include <QGroupBox>
#include <QVBoxLayout>

#include "core/config/preset_options.h"
#include "core/i18n/tr.h"
#include "core/options/preset_settings.h"
#include "gui/options/dialog_parts.h"

namespace zizara::gui::options {

using core::i18n::Tr;
namespace opt = core::options;

namespace {
QComboBox* GroupedCombo(QWidget* parent, QVBoxLayout* layout, const QString& title,
                        const char* name) {
  auto* group = new QGroupBox(title, parent);
  auto* inner = new QVBoxLayout(group);
  auto* box = new QComboBox(group);
  box->setObjectName(QString::fromLatin1(name));
  inner->addWidget(box);
  layout->addWidget(group);
  return box;
}
}  // namespace

TPresetOptionsForm::TPresetOptionsForm(core::config::Configuration& config,
                                       core::ui_port::Prompts& prompts, QWidget* parent)
    : QDialog(parent), config_(config), prompts_(prompts) {
  setObjectName(QStringLiteral("TPresetOptionsForm"));
  setWindowTitle(Tr("Preset Options..."));
  auto* layout = new QVBoxLayout(this);
  auto* name_group = new QGroupBox(Tr("Preset Name."), this);
  auto* name_layout = new QVBoxLayout(name_group);
  name_ = new QLineEdit(name_group);
  name_->setObjectName(QStringLiteral("PresetNameEdit"));
  name_->setMaxLength(core::config::kPresetNameLength);
  name_layout->addWidget(name_);
  layout->addWidget(name_group);
  startup_preset_ = GroupedCombo(this, layout, Tr("Default Startup Preset."), "ComboStartupPreset");
  startup_preset_->setMaxVisibleItems(11);
  startup_application_ =
      GroupedCombo(this, layout, Tr("Default  Startup Application."), "ComboStartupApplication");
  startup_application_->setMaxVisibleItems(14);
  for (const char* app : core::config::kStartupApplications) {
    startup_application_->addItem(Tr(app));
  }
  const OkCancel b = AddOkCancel(this, layout);
  connect(b.ok, &QPushButton::clicked, this, [this] {
    if (Button1Click()) accept();
  });
}

void TPresetOptionsForm::Load(int preset, const QStringList& preset_items) {
  preset_ = preset;
  name_->setText(opt::ReadPresetName(config_.image, preset));
  startup_preset_->clear();
  startup_preset_->addItems(preset_items);
  const auto startup = opt::ReadStartup(config_.image, config_.trailer.software_version);
  const opt::StartupSettings shown = startup.value_or(opt::StartupShownBeforeV5());
  startup_preset_->setEnabled(startup.has_value());
  startup_application_->setEnabled(startup.has_value());
  startup_preset_->setCurrentIndex(shown.preset_item);
  startup_application_->setCurrentIndex(shown.application_item);
}

void TPresetOptionsForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  name_->setFocus();
  name_->selectAll();
}

bool TPresetOptionsForm::Button1Click() {
  if (!core::config::IsLegalNameText(name_->text())) {
    prompts_.Error(Tr("The text contains one or more illegal characters."));
    return false;
  }
  opt::WritePresetName(config_.image, preset_, name_->text());
  opt::WriteStartup(config_.image, config_.trailer.software_version,
                    {startup_preset_->currentIndex(), startup_application_->currentIndex()});
  config_.modified = true;
  return true;
}

}  // namespace zizara::gui::options

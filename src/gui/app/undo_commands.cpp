#include "gui/app/undo_commands.h"

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QSlider>

#include "core/config/preset_options.h"
#include "core/i18n/tr.h"
#include "core/io/file_access.h"
#include "core/routes/routing_table_io.h"
#include "gui/app/main_form.h"
#include "gui/app/option_commands.h"
#include "gui/matrix/matrix_picture.h"
#include "gui/matrix/matrix_view.h"

namespace zizara::gui::app {

using core::i18n::Tr;
namespace cfg = core::config;

UndoCommands::UndoCommands(TMainForm& form, core::ui_port::Prompts& prompts)
    : QObject(&form), form_(form), prompts_(prompts) {
  if (auto* edit = form.findChild<QMenu*>(QStringLiteral("MenuEdit"))) {
    QAction* first = edit->actions().value(0);
    undo_ = new QAction(Tr("Undo"), edit);
    undo_->setObjectName(QStringLiteral("MenuUndo"));
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_ = new QAction(Tr("Redo"), edit);
    redo_->setObjectName(QStringLiteral("MenuRedo"));
    redo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->insertAction(first, undo_);
    edit->insertAction(first, redo_);
    edit->insertSeparator(first);
    connect(undo_, &QAction::triggered, this, &UndoCommands::Undo);
    connect(redo_, &QAction::triggered, this, &UndoCommands::Redo);
    connect(edit, &QMenu::aboutToShow, this, &UndoCommands::Refresh);
  }

  // File → Export, beside the other commands that read the configuration shown.
  QAction* info = form.FindAction(QStringLiteral("MenuFileInfo"));
  auto* file_menu = form.findChild<QMenu*>(QStringLiteral("MenuFile"));
  if (info != nullptr && file_menu != nullptr) {
    QAction* after = form.FindAction(QStringLiteral("MenuCompareFile"));
    if (after == nullptr) after = info;
    const QList<QAction*> items = file_menu->actions();
    const int at = static_cast<int>(items.indexOf(after));
    auto* export_menu = new QMenu(Tr("Export"), file_menu);
    export_menu->setObjectName(QStringLiteral("MenuExport"));
    QAction* csv = export_menu->addAction(Tr("Routings as CSV..."));
    csv->setObjectName(QStringLiteral("MenuExportRoutings"));
    QAction* png = export_menu->addAction(Tr("Matrix as PNG..."));
    png->setObjectName(QStringLiteral("MenuExportPicture"));
    file_menu->insertMenu(at + 1 < items.size() ? items[at + 1] : nullptr, export_menu);
    connect(csv, &QAction::triggered, this, &UndoCommands::ExportRoutings);
    connect(png, &QAction::triggered, this, &UndoCommands::ExportPicture);
    QAction* entry = export_menu->menuAction();
    connect(file_menu, &QMenu::aboutToShow, entry,
            [entry, info] { entry->setEnabled(info->isEnabled()); });
    entry->setEnabled(info->isEnabled());
  }

  connect(form.Matrix(), &matrix::TMatrixView::Edited, this, &UndoCommands::Record);
  if (form.Options() != nullptr) {
    connect(form.Options(), &OptionCommands::Committed, this, &UndoCommands::Record);
  }
  // A drag of the track bar is one step, taken when it is let go; a programmatic move (the LCD
  // options' OK) is recorded by its own step first, so the queued call then finds no change.
  QSlider* backlight = form.BacklightTrackBar();
  connect(
      backlight, &QSlider::valueChanged, this,
      [this, backlight] {
        if (!backlight->isSliderDown()) Record(Tr("Backlight"));
      },
      Qt::QueuedConnection);
  connect(backlight, &QSlider::sliderReleased, this, [this] { Record(Tr("Backlight")); });
  connect(&form, &TMainForm::MenuStateSet, this, &UndoCommands::MenuStateSet);
  Refresh();
}

bool UndoCommands::Available() const {
  // While remote-connected the routings live in the instrument, not in the image.
  return !form_.context().connected && form_.commands().matrix_visible;
}

void UndoCommands::Refresh() {
  if (undo_ == nullptr) return;
  const bool available = Available();
  undo_->setEnabled(available && history_.CanUndo());
  redo_->setEnabled(available && history_.CanRedo());
  const QString undo_label = history_.UndoLabel();
  const QString redo_label = history_.RedoLabel();
  undo_->setText(undo_label.isEmpty() ? Tr("Undo") : Tr("Undo ") + undo_label);
  redo_->setText(redo_label.isEmpty() ? Tr("Redo") : Tr("Redo ") + redo_label);
}

void UndoCommands::Record(const QString& step) {
  if (restoring_ || form_.context().connected) return;
  const cfg::Configuration& config = form_.context().config;
  history_.Record(config.image, config.preset(), step);
  Refresh();
}

void UndoCommands::MenuStateSet(MenuState state) {
  if (restoring_) return;
  const cfg::Configuration& config = form_.context().config;
  switch (state) {
    case MenuState::kInitialize:
      history_.Reset(config.image, config.preset(), true);
      fresh_pending_ = false;
      break;
    case MenuState::kOpen:
    case MenuState::kUpLoaded:
      fresh_pending_ = true;
      break;
    case MenuState::kSave:
      if (fresh_pending_) {
        // The uploaded configuration counts as unsaved; an opened file as saved.
        history_.Reset(config.image, config.preset(), !config.modified);
        fresh_pending_ = false;
      } else if (!config.modified) {
        // Saved: a change that named no step still becomes one, so the saved mark is true.
        history_.Record(config.image, config.preset(), Tr("Edit"));
        history_.MarkSaved();
      }
      break;
    default:
      break;
  }
  Refresh();
}

void UndoCommands::Undo() {
  if (!Available()) return;
  if (const auto r = history_.Undo()) Restore(*r);
}

void UndoCommands::Redo() {
  if (!Available()) return;
  if (const auto r = history_.Redo()) Restore(*r);
}

void UndoCommands::Restore(const core::history::EditHistory::Restore& restore) {
  restoring_ = true;
  cfg::Configuration& config = form_.context().config;
  config.image = *restore.image;
  QComboBox* presets = form_.PresetDropDown();
  {
    const QSignalBlocker block(presets);
    form_.RefreshPresetList();  // preset names may be part of the step
    presets->setCurrentIndex(restore.preset);
  }
  form_.SelectPreset(restore.preset);  // grid, names, routing texts, labels
  {
    const QSignalBlocker block(form_.BacklightTrackBar());
    form_.BacklightTrackBar()->setValue(config.image.Byte(cfg::offsets::kBacklight));
  }
  form_.OffsetPanel()->setText(cfg::OffsetStandardText(config.image));
  config.modified = !history_.AtSaved();
  form_.SetMenuState(MenuState::kSave);
  restoring_ = false;
  Refresh();
}

bool UndoCommands::MayWrite(const QString& name) {
  return !QFileInfo::exists(name) ||
         prompts_.Confirm(Tr("The file ") + name + Tr(" allready exists.") +
                          QStringLiteral("\r\r") + Tr("Do you wish to overwrite it?"));
}

void UndoCommands::Write(const QString& name, const QByteArray& bytes) {
  QString error;
  if (!core::io::SaveFileAtomically(name, bytes, &error)) {
    prompts_.Error(Tr("The file ") + QLatin1Char('"') + name + QLatin1Char('"') +
                   Tr(" could not be saved: ") + error);
  }
}

void UndoCommands::ExportRoutings() {
  if (!form_.commands().matrix_visible) return;
  const cfg::Configuration& config = form_.context().config;
  const QString shown = Tr("Preset %1 (*.csv)").arg(config.preset() + 1);
  const QString all = Tr("All presets (*.csv)");
  QString chosen_filter;
  QString name = form_.Files().SaveFileNameWithChoice(
      Tr("Export Routings"), shown + QStringLiteral(";;") + all, QString(), &chosen_filter);
  if (name.isEmpty()) return;
  if (!name.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) name += QStringLiteral(".csv");
  if (!MayWrite(name)) return;
  const QList<core::routes::RouteRow> rows =
      chosen_filter == all ? core::routes::AllRoutes(config.image)
                           : core::routes::PresetRoutes(config.image, config.preset());
  Write(name, core::routes::RoutesToCsv(rows));
}

void UndoCommands::ExportPicture() {
  if (!form_.commands().matrix_visible) return;
  QString name =
      form_.Files().SaveFileName(Tr("Export Matrix"), Tr("PNG Pictures (*.png)"), QString());
  if (name.isEmpty()) return;
  if (!name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) name += QStringLiteral(".png");
  if (!MayWrite(name)) return;
  const cfg::Configuration& config = form_.context().config;
  const QImage picture =
      matrix::RenderMatrixPicture(config, config.preset(), form_.Matrix()->CellImages());
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
  }
  Write(name, bytes);
}

}  // namespace zizara::gui::app

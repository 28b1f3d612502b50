#include "gui/program_options/options_form.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include "core/i18n/tr.h"
#include "core/matrix/cell_image_choice.h"
#include "gui/common/icons.h"
#include "gui/common/trace_colour.h"

namespace zizara::gui::program_options {

using core::i18n::Tr;
namespace mx = core::matrix;

namespace {

QPixmap Swatch(const QColor& colour) {
  QPixmap pixmap(16, 12);
  pixmap.fill(colour);
  QPainter painter(&pixmap);
  painter.setPen(Qt::black);
  painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
  return pixmap;
}

}  // namespace

TOptionsForm::TOptionsForm(const core::settings::ProgramOptions& options,
                           const FileTypeChecks& registered, core::ui_port::Prompts& prompts,
                           QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setObjectName(QStringLiteral("OptionsForm"));
  setWindowTitle(Tr("Options."));
  auto* layout = new QVBoxLayout(this);

  auto* grid_box = new QGroupBox(Tr("Matrix"), this);
  auto* grid = new QGridLayout(grid_box);
  double_click_ = new QCheckBox(Tr("Double click to set a X-Point."), grid_box);
  double_click_->setObjectName(QStringLiteral("CheckMatrixClick"));
  double_click_->setChecked(options.double_click);
  grid->addWidget(double_click_, 0, 0, 1, 3);
  const core::settings::CellImageSettings& c = options.cell_images;
  offline_ = AddIconRow(grid, 1, "SpinXpoint", "ImageXpoint", Tr("Offline X-point Icon."), {},
                        c.xpoint_from_file, false);
  illegal_greyed_ = AddIconRow(grid, 2, "SpinIllegalGrayed", "ImageIllegalGrayed",
                               Tr("Illegal X-point grayed."), {}, c.illegal_xpoint_greyed, true);
  illegal_ = AddIconRow(grid, 3, "SpinIllegal", "ImageIllegal", Tr("Illegal X-point."), {},
                        c.illegal_xpoint_highlight, false);
  local_ = AddIconRow(grid, 4, "SpinLocalXpoint", "ImageLocalXpoint", Tr("On Line X-point Icon."),
                      Tr("(Set locally on QLX.)"), c.local_xpoint, false);
  remote_ = AddIconRow(grid, 5, "SpinRemoteXpoint", "ImageRemoteXpoint",
                       Tr("On Line X-point Icon."), Tr("(Set remotely on PC.)"), c.remote_xpoint,
                       false);
  locked_ = AddIconRow(grid, 6, "SpinLockedXpoint", "ImageLockedXpoint", Tr("Locked X-point"), {},
                       c.locked_xpoint, false);

  trace_ = new QCheckBox(Tr("Trace Mouse pointer."), grid_box);
  trace_->setObjectName(QStringLiteral("CheckMouseTrace"));
  trace_->setChecked(options.trace_mouse);
  grid->addWidget(trace_, 7, 0, 1, 3);
  trace_colour_label_ = new QLabel(Tr("Trace colour.:"), grid_box);
  grid->addWidget(trace_colour_label_, 8, 0);
  trace_colour_ = new QComboBox(grid_box);
  trace_colour_->setObjectName(QStringLiteral("ColorTrace"));
  bool known = false;
  for (const mx::NamedTraceColour& colour : mx::TraceColours()) {
    trace_colour_->addItem(Swatch(common::TraceColour(colour.value, palette())),
                           Tr(colour.name), colour.value);
    known = known || colour.value == options.trace_color;
  }
  if (!known) {  // a colour written by hand keeps its value
    trace_colour_->insertItem(0, Swatch(common::TraceColour(options.trace_color, palette())),
                              Tr("Custom"), options.trace_color);
  }
  trace_colour_->setCurrentIndex(trace_colour_->findData(options.trace_color));
  grid->addWidget(trace_colour_, 8, 1, 1, 2);
  connect(trace_, &QCheckBox::clicked, this, &TOptionsForm::EnableTraceColour);
  EnableTraceColour();
  layout->addWidget(grid_box);

  auto* files_box = new QGroupBox(Tr("File types"), this);
  auto* files = new QVBoxLayout(files_box);
  check_associations_ = new QCheckBox(
      Tr("Automatically check for file associations when VT-Zizara starts."), files_box);
  check_associations_->setObjectName(QStringLiteral("CheckBoxFileAssociation"));
  check_associations_->setChecked(options.check_file_association);
  files->addWidget(check_associations_);
  file_types_ = new QListWidget(files_box);
  file_types_->setObjectName(QStringLiteral("ListFileAsc"));
  const QString captions[kFileTypeCount] = {Tr("Configuration Files (*.PRE)"),
                                            Tr("Macro Files (*.MCR)"),
                                            Tr("Compiled Distribution Packages (*.CDP)")};
  for (int i = 0; i < kFileTypeCount; ++i) {
    auto* item = new QListWidgetItem(captions[i], file_types_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(registered[i] ? Qt::Checked : Qt::Unchecked);
  }
  file_types_->setFixedHeight(file_types_->sizeHintForRow(0) * kFileTypeCount +
                              2 * file_types_->frameWidth() + 4);
  connect(file_types_, &QListWidget::itemChanged, this, [this] { list_touched_ = true; });
  files->addWidget(file_types_);
  layout->addWidget(files_box);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Tr("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &TOptionsForm::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TOptionsForm::reject);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

TOptionsForm::IconRow TOptionsForm::AddIconRow(QGridLayout* grid, int row, const char* spin_name,
                                               const char* image_name, const QString& caption,
                                               const QString& note, int value,
                                               bool illegal_greyed) {
  QWidget* parent = grid->parentWidget();
  auto* label = new QLabel(note.isEmpty() ? caption : caption + QLatin1Char('\n') + note, parent);
  grid->addWidget(label, row, 0);
  IconRow icon_row;
  icon_row.spin = new QSpinBox(parent);
  icon_row.spin->setObjectName(QString::fromLatin1(spin_name));
  icon_row.spin->setRange(mx::FirstSelectableImage(illegal_greyed), mx::kLastSelectableImage);
  icon_row.spin->setValue(value);  // out of range only when the file was edited by hand
  icon_row.spin->setFixedWidth(icon_row.spin->sizeHint().width() + 8);
  grid->addWidget(icon_row.spin, row, 1);
  icon_row.image = new QLabel(parent);
  icon_row.image->setObjectName(QString::fromLatin1(image_name));
  icon_row.image->setFixedSize(common::CellImage(0).size().expandedTo(QSize(16, 16)));
  grid->addWidget(icon_row.image, row, 2);
  ShowIcon(icon_row, value);
  connect(icon_row.spin, &QSpinBox::valueChanged, this, [this, icon_row](int index) {
    ShowIcon(icon_row, index);
    icons_changed_ = true;
  });
  return icon_row;
}

void TOptionsForm::ShowIcon(const IconRow& row, int index) {
  QPixmap shown = common::CellImage(0);  // cleared with the blank image first
  QPainter painter(&shown);
  painter.drawPixmap(0, 0, common::CellImage(core::settings::SafeCellImageIndex(index)));
  painter.end();
  row.image->setPixmap(shown);
}

void TOptionsForm::EnableTraceColour() {
  trace_colour_label_->setEnabled(trace_->isChecked());
  trace_colour_->setEnabled(trace_->isChecked());
}

core::settings::ProgramOptions TOptionsForm::Options() const {
  core::settings::ProgramOptions o;
  o.double_click = double_click_->isChecked();
  o.cell_images.xpoint_from_file = offline_.spin->value();
  o.cell_images.illegal_xpoint_greyed = illegal_greyed_.spin->value();
  o.cell_images.illegal_xpoint_highlight = illegal_.spin->value();
  o.cell_images.local_xpoint = local_.spin->value();
  o.cell_images.remote_xpoint = remote_.spin->value();
  o.cell_images.locked_xpoint = locked_.spin->value();
  o.trace_mouse = trace_->isChecked();
  o.trace_color = trace_colour_->currentData().toInt();
  o.check_file_association = check_associations_->isChecked();
  return o;
}

FileTypeChecks TOptionsForm::FileTypesChecked() const {
  FileTypeChecks checks{};
  for (int i = 0; i < kFileTypeCount; ++i) {
    checks[i] = file_types_->item(i)->checkState() == Qt::Checked;
  }
  return checks;
}

void TOptionsForm::accept() {
  const QString conflict = mx::CellImageConflict(Options().cell_images);
  if (!conflict.isEmpty()) {
    prompts_.Warning(conflict);
    return;
  }
  QDialog::accept();
}

}  // namespace zizara::gui::program_options

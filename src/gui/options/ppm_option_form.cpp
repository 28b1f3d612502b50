#include "gui/options/ppm_option_form.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/i18n/tr.h"
#include "gui/options/colour_lists.h"
#include "gui/options/dialog_parts.h"

namespace zizara::gui::options {

using core::i18n::Tr;
namespace opt = core::options;

namespace {
QComboBox* ListBox(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}
}  // namespace

TPPMOptionForm::TPPMOptionForm(core::config::Configuration& config, QWidget* parent)
    : QDialog(parent), config_(config) {
  setObjectName(QStringLiteral("TPPMOptionForm"));
  setWindowTitle(Tr("PPM Options"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  colour_ = ListBox(this, "ColorBox");
  underload_ = ListBox(this, "ColorUnderload");
  trace_ = ListBox(this, "ColorTrace");
  width_ = ListBox(this, "ComboWidth");
  for (QComboBox* box : {colour_, underload_, trace_}) {
    FillPpmColourList(box);
  }
  for (const char* w : opt::kPpmWidthNames) {
    width_->addItem(Tr(w));
  }
  form->addRow(Tr("PPM Colour.:"), colour_);
  form->addRow(Tr("PPM Underload Colour.:"), underload_);
  form->addRow(Tr("PPM Trace Colour.:"), trace_);
  form->addRow(Tr("PPM Width.:"), width_);
  layout->addLayout(form);
  space_ = new QCheckBox(Tr("Add a space at the right side of the PPM."), this);
  space_->setObjectName(QStringLiteral("CheckSpace"));
  layout->addWidget(space_);
  // Each change only marks its field; OK writes the marked ones.
  const auto mark = [this](Flag f) { return [this, f] { changed_[f] = true; }; };
  connect(colour_, &QComboBox::activated, this, mark(kColour));
  connect(underload_, &QComboBox::activated, this, mark(kUnderload));
  connect(trace_, &QComboBox::activated, this, mark(kTrace));
  connect(width_, &QComboBox::activated, this, mark(kWidth));
  connect(space_, &QCheckBox::clicked, this, [this] {
    changed_[kSpace] = true;
    space_->setTristate(false);  // once touched it is on or off
  });
  const OkCancel b = AddOkCancel(this, layout);
  connect(b.ok, &QPushButton::clicked, this, [this] {
    Button1Click();
    accept();
  });
}

void TPPMOptionForm::Load(int ppm_offset, const opt::PpmSelection& selection) {
  current_ = ppm_offset / 2;
  selection_ = selection;
  const core::config::MemoryMap& map = config_.map;
  const auto shown = [&](opt::PpmField f) {
    return opt::PpmShownField(config_.image, map, current_, f, selection_);
  };
  const auto show_list = [](QComboBox* box, std::optional<int> v) {
    box->setCurrentIndex(v && *v < box->count() ? *v : -1);
  };
  show_list(width_, shown(opt::PpmField::kWidth));
  show_list(colour_, shown(opt::PpmField::kColour));
  show_list(underload_, shown(opt::PpmField::kUnderloadColour));
  show_list(trace_, shown(opt::PpmField::kTraceColour));
  const auto space = shown(opt::PpmField::kSpace);
  space_->setTristate(!space.has_value());
  space_->setCheckState(!space ? Qt::PartiallyChecked : *space ? Qt::Checked : Qt::Unchecked);
  ClearFlags();
}

void TPPMOptionForm::Button1Click() {
  const std::vector<int> targets = opt::PpmTargetChannels(selection_);
  const auto write = [&](Flag flag, opt::PpmField field, int value) {
    if (!changed_[flag]) return;
    for (int c : targets) {
      opt::WritePpmField(config_.image, config_.map, c, field, value);
    }
  };
  write(kColour, opt::PpmField::kColour, colour_->currentIndex());
  write(kTrace, opt::PpmField::kTraceColour, trace_->currentIndex());
  write(kUnderload, opt::PpmField::kUnderloadColour, underload_->currentIndex());
  write(kWidth, opt::PpmField::kWidth, width_->currentIndex());
  write(kSpace, opt::PpmField::kSpace, space_->checkState() == Qt::Checked ? 1 : 0);
  ClearFlags();
  config_.modified = true;
}

}  // namespace zizara::gui::options

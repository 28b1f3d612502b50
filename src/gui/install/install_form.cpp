#include "gui/install/install_form.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QVBoxLayout>
#include <limits>

#include "core/config/model_table.h"
#include "core/i18n/tr.h"
#include "core/install/package.h"
#include "gui/link/qlx_type_form.h"

namespace zizara::gui::install {

using core::i18n::Tr;
namespace inst = core::install;
namespace lk = core::link;

namespace {

void SetBar(QProgressBar* bar, qint64 maximum, qint64 position) {
  // A bar holds an int; a larger package is shown in proportion.
  const qint64 limit = std::numeric_limits<int>::max();
  const qint64 scale = maximum > limit ? maximum / limit + 1 : 1;
  bar->setRange(0, static_cast<int>(std::max<qint64>(maximum / scale, 1)));
  bar->setValue(static_cast<int>(std::min(position, maximum) / scale));
}

QString DialogFilter() { return QString::fromLatin1(inst::kPackageFilter); }

}  // namespace

TInstallForm::TInstallForm(app::AppContext& ctx, link::LinkController& controller,
                           core::ui_port::Prompts& prompts, core::ui_port::FileChooser& files,
                           QWidget* parent)
    : QDialog(parent),
      ctx_(ctx),
      controller_(controller),
      prompts_(prompts),
      files_(files),
      source_(new QLineEdit(this)),
      source_button_(new QPushButton(QStringLiteral(". . ."), this)),
      execute_(new QPushButton(Tr("Execute"), this)),
      backup_check_(new QCheckBox(Tr("Create a backup of the software in the QLX."), this)),
      backup_name_(new QLineEdit(this)),
      backup_button_(new QPushButton(QStringLiteral(". . ."), this)),
      item_description_(new QLabel(this)),
      item_progress_(new QProgressBar(this)),
      item_percent_(new QLabel(QStringLiteral("0 %"), this)),
      overall_progress_(new QProgressBar(this)),
      overall_percent_(new QLabel(QStringLiteral("0 %"), this)),
      cancel_(new QPushButton(Tr("Cancel"), this)) {
  setObjectName(QStringLiteral("TInstallForm"));
  setWindowTitle(Tr("Install software."));
  setModal(true);
  const auto name = [](QObject* o, const char* n) { o->setObjectName(QString::fromLatin1(n)); };
  name(source_, "SourceFileName");
  name(source_button_, "SourceButton");
  name(execute_, "Execute");
  name(backup_check_, "BackupCheck");
  name(backup_name_, "BackupFileName");
  name(backup_button_, "BackupButton");
  name(item_description_, "ItemDescription");
  name(item_progress_, "ItemProgress");
  name(item_percent_, "ItemPercent");
  name(overall_progress_, "OverallProgress");
  name(overall_percent_, "OverallPercent");
  name(cancel_, "Cancel");
  item_description_->setTextFormat(Qt::PlainText);  // texts come from the package
  item_progress_->setTextVisible(false);
  overall_progress_->setTextVisible(false);
  backup_button_->setEnabled(false);
  backup_name_->setEnabled(false);
  execute_->setProperty("tag", 0);

  auto* group1 = new QGroupBox(Tr("Select software package to install."), this);
  group1->setObjectName(QStringLiteral("GroupBox1"));
  auto* g1 = new QHBoxLayout(group1);
  g1->addWidget(source_, 1);
  g1->addWidget(source_button_);
  g1->addWidget(execute_);

  auto* group2 = new QGroupBox(Tr("Backup old software."), this);
  group2->setObjectName(QStringLiteral("GroupBox2"));
  auto* g2 = new QGridLayout(group2);
  g2->addWidget(backup_check_, 0, 0, 1, 2);
  g2->addWidget(backup_name_, 1, 0);
  g2->addWidget(backup_button_, 1, 1);

  auto* group3 = new QGroupBox(Tr("Progress."), this);
  group3->setObjectName(QStringLiteral("GroupBox3"));
  auto* g3 = new QGridLayout(group3);
  auto* label1 = new QLabel(Tr("Overall Progress."), group3);
  label1->setObjectName(QStringLiteral("Label1"));
  g3->addWidget(item_description_, 0, 0, 1, 2);
  g3->addWidget(item_progress_, 1, 0);
  g3->addWidget(item_percent_, 1, 1);
  g3->addWidget(label1, 2, 0, 1, 2);
  g3->addWidget(overall_progress_, 3, 0);
  g3->addWidget(overall_percent_, 3, 1);
  g3->setColumnStretch(0, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group1);
  layout->addWidget(group2);
  layout->addWidget(group3);
  layout->addWidget(cancel_, 0, Qt::AlignRight);
  setMinimumWidth(460);
  adjustSize();  // the minimum width alone would leave the first show at that size's height

  // The hints always show the whole name, however narrow the edit.
  connect(source_, &QLineEdit::textChanged, source_, &QLineEdit::setToolTip);
  connect(backup_name_, &QLineEdit::textChanged, backup_name_, &QLineEdit::setToolTip);
  connect(source_button_, &QPushButton::clicked, this, &TInstallForm::SourceButtonClick);
  connect(backup_button_, &QPushButton::clicked, this, &TInstallForm::BackupButtonClick);
  connect(backup_check_, &QCheckBox::clicked, this, &TInstallForm::BackupCheckClick);
  connect(execute_, &QPushButton::clicked, this, &TInstallForm::ExecuteClick);
  connect(cancel_, &QPushButton::clicked, this, &TInstallForm::CancelClick);

  show_type_dialog = [this] {
    link::TQLXTypeForm type(ctx_.instrument, prompts_, this);
    type.exec();
  };
}

TInstallForm::~TInstallForm() = default;

void TInstallForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) {
    FormShow();
  }
}

void TInstallForm::FormShow() {
  // Identified afresh, without the text-protocol probe.
  ctx_.connect_flags.skip_probe_once = true;
  const lk::ConnectOutcome outcome = controller_.Connect();
  if (on_connect) {
    on_connect(outcome);
  }
  ResetControls();
  setWindowTitle(core::config::ModelName(ctx_.instrument.model_index));
}

void TInstallForm::ResetControls() {
  if (ctx_.instrument.bios_mode) {
    backup_check_->setEnabled(false);
    backup_check_->setChecked(false);
    if (show_type_dialog) {
      show_type_dialog();
    }
  } else {
    backup_check_->setEnabled(true);
  }
  BackupCheckClick();
  execute_->setEnabled(true);
  cancel_->setEnabled(true);
  source_->setEnabled(true);
  source_button_->setEnabled(true);
  ZeroBars();
}

void TInstallForm::ZeroBars() {
  item_progress_->setValue(0);
  overall_progress_->setValue(0);
  item_percent_->setText(QStringLiteral("0 %"));
  overall_percent_->setText(QStringLiteral("0 %"));
}

void TInstallForm::SetRunningControls() {
  for (QWidget* w : {static_cast<QWidget*>(source_), static_cast<QWidget*>(source_button_),
                     static_cast<QWidget*>(backup_name_), static_cast<QWidget*>(backup_button_),
                     static_cast<QWidget*>(backup_check_), static_cast<QWidget*>(execute_)}) {
    w->setEnabled(false);
  }
}

void TInstallForm::SourceButtonClick() {
  const QString name = files_.OpenFileName(Tr("Install software."), DialogFilter());
  if (!name.isEmpty()) {
    source_->setText(name);
  }
}

void TInstallForm::BackupButtonClick() {
  QString name =
      files_.SaveFileName(Tr("Backup old software."), DialogFilter(), backup_name_->text());
  if (name.isEmpty()) {
    return;
  }
  if (!name.toUpper().endsWith(QStringLiteral(".CDP"))) {
    name += QStringLiteral(".CDP");
  }
  if (QFileInfo::exists(name)) {
    if (!prompts_.Confirm(Tr("The file '") + name + QStringLiteral("'") + Tr(" allready exists.") +
                          QStringLiteral("\r") + QStringLiteral("\r") +
                          Tr("Do you wish to replace it?"))) {
      dialog_name_.clear();
      return;
    }
  }
  dialog_name_ = name;
  backup_name_->setText(name);
}

void TInstallForm::BackupCheckClick() {
  const bool on = backup_check_->isChecked();
  backup_button_->setEnabled(on);
  backup_name_->setEnabled(on);
}

void TInstallForm::ExecuteClick() {
  if (Running()) {
    return;
  }
  const bool check_enabled = backup_check_->isEnabled();
  inst::Installation installation(controller_.EngineLayer(), controller_.IdentificationLayer(),
                                  *this);
  installation.on_connect = on_connect;
  installation_ = &installation;
  execute_->setProperty("tag", 1);
  SetRunningControls();
  inst::InstallRequest request;
  request.source = source_->text();
  request.backup = backup_check_->isChecked();
  request.backup_name = backup_name_->text();
  request.dialog_confirmed_name = dialog_name_;
  request.from_command_line = from_command_line_;
  last_result_ = installation.Execute(request);
  installation_ = nullptr;
  execute_->setProperty("tag", 0);
  if (!last_result_.backup_name.isEmpty()) {
    backup_name_->setText(last_result_.backup_name);
  }
  switch (last_result_.outcome) {
    case inst::InstallOutcome::kMissingFile:
      // Nothing happened: the window is as it was.
      backup_check_->setEnabled(check_enabled);
      BackupCheckClick();
      execute_->setEnabled(true);
      source_->setEnabled(true);
      source_button_->setEnabled(true);
      return;
    case inst::InstallOutcome::kRefused:
    case inst::InstallOutcome::kBackupNameRefused:
      ResetControls();
      return;
    case inst::InstallOutcome::kCompleted:
    case inst::InstallOutcome::kCancelled:
    case inst::InstallOutcome::kBiosProblem:
      break;
  }
  cancel_->setEnabled(false);
  item_description_->clear();
  accept();
}

void TInstallForm::CancelClick() {
  if (installation_ == nullptr) {
    FormClose();
    QDialog::reject();
    return;
  }
  // The transfer window asks the installation question; only its Yes stops the run, so a No
  // leaves neither a stopped transfer nor a false "cancelled" at the end.
  const lk::TransferKind kind = ctx_.engine.kind;
  ctx_.engine.kind = lk::TransferKind::kInstallation;
  link::TRS232Driver* driver = controller_.Driver();
  const bool stopped = driver == nullptr || driver->close();
  if (stopped) {
    ctx_.engine.abort = true;
    if (installation_ != nullptr) {
      installation_->Cancel();
    }
  } else {
    ctx_.engine.kind = kind;
  }
}

void TInstallForm::FormClose() {
  ctx_.engine.kind = lk::TransferKind::kIdle;
  if (link::TRS232Driver* driver = controller_.Driver()) {
    driver->HideProgress();
  }
}

void TInstallForm::reject() {
  CancelClick();  // Escape and the close box ask like the Cancel button
}

void TInstallForm::closeEvent(QCloseEvent* event) {
  if (Running()) {
    event->ignore();
    CancelClick();
    return;
  }
  FormClose();
  QDialog::closeEvent(event);
}

void TInstallForm::ShowBars(const inst::InstallBars& bars) {
  SetBar(item_progress_, bars.item_maximum, bars.item_position);
  SetBar(overall_progress_, bars.overall_maximum, bars.overall_position);
  item_percent_->setText(bars.item_percent);
  overall_percent_->setText(bars.overall_percent);
  item_description_->setText(bars.item_description);
}

void TInstallForm::SetRunCaption(const QString& caption) { setWindowTitle(caption); }

bool TInstallForm::InputValue(const QString& caption, const QString& prompt,
                              const QString& proposal, QString* text) {
  if (input_box) {
    return input_box(caption, prompt, proposal, text);
  }
  bool ok = false;
  const QString entered = QInputDialog::getText(this, caption, QString(prompt).replace('\r', '\n'),
                                                QLineEdit::Normal, proposal, &ok);
  if (ok) {
    *text = entered;
  }
  return ok;
}

}  // namespace zizara::gui::install

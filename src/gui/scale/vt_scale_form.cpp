#include "gui/scale/vt_scale_form.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "core/i18n/tr.h"
#include "core/scale/number_field.h"
#include "core/scale/scale_editing.h"
#include "core/scale/scale_preview.h"
#include "gui/common/icons.h"
#include "gui/common/scale_preview_painter.h"

namespace zizara::gui::scale {

using core::i18n::Tr;
namespace sc = core::scale;
using core::ui_port::Answer;

namespace {
constexpr char kMakerAddress[] = "https://www.vt-zizara.example/";
constexpr char kScaleFilter[] = TrNoop("Scale files (*.dat *.DAT)");

QByteArray Latin1(const QString& text) { return text.toLatin1(); }
}  // namespace

QString ScaleFormCaption() { return QStringLiteral("ZA-Dizod V.2.40"); }

TScaleViewPanel::TScaleViewPanel(QWidget* parent)
    : QWidget(parent),
      picture_(sc::preview::kPanelWidth, sc::preview::kPanelHeight, QImage::Format_RGB32) {
  setObjectName(QStringLiteral("ScaleViewPanel"));
  picture_.fill(Qt::black);
  setFixedSize(picture_.size());
  setMouseTracking(true);
}

void TScaleViewPanel::Draw(const sc::ScaleImage& image) {
  const sc::PreviewDrawing drawing = sc::LayOutPreview(image);
  QPainter painter(&picture_);
  if (common::PaintScalePreview(painter, drawing, picture_.size())) {
    overload_row_ = drawing.overload_row;
    underload_row_ = drawing.underload_row;
  }
  painter.end();
  update();
}

QString TScaleViewPanel::HintAt(const QPoint& p) const {
  return sc::MarkerHint(p.x(), p.y(), overload_row_, underload_row_);
}

void TScaleViewPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, picture_);
  emit Painted();
}

void TScaleViewPanel::mouseMoveEvent(QMouseEvent* event) {
  setToolTip(HintAt(event->position().toPoint()));
  QWidget::mouseMoveEvent(event);
}

TVTScaleForm::TVTScaleForm(ScaleFormServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
  setObjectName(QStringLiteral("VTScaleForm"));
  setWindowTitle(ScaleFormCaption());
  last_scale_file_ = services_.last_scale_file;
  CreateActions();
  CreateFields();
  for (int n = 1; n <= sc::kScaleCount; ++n) {
    selector_->addItem(sc::ScaleEntryText(n, QString()));
  }
  FillWindow();
  modified_ = false;
  SetSaveEnabled(false);
  RefreshDownloadEnabled();
  ready_ = true;
}

QAction* TVTScaleForm::Action(const QString& object_name) const {
  return findChild<QAction*>(object_name);
}

void TVTScaleForm::CreateActions() {
  const auto make = [this](const char* name, const QString& text, const QString& hint,
                           const char* icon, void (TVTScaleForm::*slot)()) {
    auto* a = new QAction(text, this);
    a->setObjectName(QString::fromLatin1(name));
    a->setToolTip(hint);
    if (icon != nullptr) {
      a->setIcon(common::ToolIcon(QString::fromLatin1(icon)));
    }
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  QAction* open = make("OpenAction", Tr("&Open..."), Tr("Open"), "open", &TVTScaleForm::OpenClick);
  QAction* save = make("SaveAction", Tr("&Save"), Tr("Save"), "save", &TVTScaleForm::SaveClick);
  QAction* save_as =
      make("SaveAsAction", Tr("Save &As..."), Tr("Save As"), "save_as", &TVTScaleForm::SaveAsClick);
  QAction* download = make("DownloadAction", Tr("&Download"), Tr("Download"), "download",
                           &TVTScaleForm::DownloadClick);
  QAction* next =
      make("NextAction", Tr("&Next"), Tr("Next Scale"), nullptr, &TVTScaleForm::NextClick);
  QAction* previous = make("PreviousAction", Tr("&Previous"), Tr("Previous Scale"), nullptr,
                           &TVTScaleForm::PreviousClick);
  previous->setEnabled(false);
  next->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
  previous->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
  auto* close_action = new QAction(Tr("Close"), this);
  close_action->setObjectName(QStringLiteral("CloseAction"));
  close_action->setIcon(common::ToolIcon(QStringLiteral("exit")));
  connect(close_action, &QAction::triggered, this, &QWidget::close);

  QMenu* file = menuBar()->addMenu(Tr("&File"));
  file->addActions({open, save, save_as});
  file->addSeparator();
  file->addAction(close_action);
  QMenu* scale_menu = menuBar()->addMenu(Tr("&Scale"));
  scale_menu->addActions({next, previous, download});

  QToolBar* bar = addToolBar(Tr("Scale"));
  bar->setObjectName(QStringLiteral("ScaleToolBar"));
  bar->setMovable(false);
  bar->addActions({open, save, save_as, download});
  auto* connect_button = new QToolButton(bar);
  connect_button->setObjectName(QStringLiteral("ConnectButton"));
  connect_button->setIcon(common::ToolIcon(QStringLiteral("remote")));
  connect(connect_button, &QToolButton::clicked, this, [this] {
    if (services_.connect) {
      services_.connect();
    }
    RefreshDownloadEnabled();
  });
  bar->addWidget(connect_button);
  bar->addSeparator();
  bar->addActions({previous, next});
  selector_ = new QComboBox(bar);
  selector_->setObjectName(QStringLiteral("ScaleNoEdit"));
  selector_->setMaxVisibleItems(9);
  selector_->setMinimumContentsLength(22);
  connect(selector_, &QComboBox::activated, this, [this](int index) { SelectScale(index + 1); });
  bar->addWidget(selector_);
  bar->addSeparator();
  bar->addAction(close_action);

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("StatusPanel"));
  statusBar()->addWidget(status_, 1);
}

void TVTScaleForm::CreateFields() {
  auto* central = new QWidget(this);
  auto* main = new QHBoxLayout(central);
  auto* left = new QVBoxLayout;
  main->addLayout(left, 1);

  auto* parameters = new QGroupBox(Tr("Scale parameters."), central);
  auto* grid = new QGridLayout(parameters);
  short_name_ = new QLineEdit(parameters);
  short_name_->setObjectName(QStringLiteral("ShortNameEdit"));
  short_name_->setMaxLength(sc::kShortNameCapacity);
  key_no_ = new QComboBox(parameters);
  key_no_->setObjectName(QStringLiteral("KeyNoBox"));
  key_no_->addItems(sc::KeyList());
  for (int key = 0; key < 7; ++key) {  // the instrument's keys; the other entries are names
    key_no_->setItemText(key, Tr("Key %1").arg(key + 1));
  }
  key_no_->installEventFilter(this);
  reference_ = new QLineEdit(QStringLiteral("0"), parameters);
  reference_->setObjectName(QStringLiteral("ReferenceEdit"));
  dynamics_ = new QComboBox(parameters);
  dynamics_->setObjectName(QStringLiteral("DynamicsBox"));
  dynamics_->addItems(sc::DynamicsTexts());
  digital_ = new QCheckBox(Tr("Digital Scale."), parameters);
  digital_->setObjectName(QStringLiteral("Scaleflag"));
  description_ = new QLineEdit(parameters);
  description_->setObjectName(QStringLiteral("DescriptionEdit"));
  description_->setMaxLength(sc::kDescriptionCapacity);
  description_->hide();  // kept in the file, not shown
  grid->addWidget(new QLabel(Tr("Short Name:")), 0, 0);
  grid->addWidget(short_name_, 0, 1);
  grid->addWidget(new QLabel(Tr("Key No.:")), 0, 2);
  grid->addWidget(key_no_, 0, 3);
  grid->addWidget(new QLabel(Tr("Reference:")), 1, 0);
  grid->addWidget(reference_, 1, 1);
  grid->addWidget(new QLabel(Tr("Dynamics:")), 1, 2);
  grid->addWidget(dynamics_, 1, 3);
  grid->addWidget(digital_, 2, 0, 1, 2);
  left->addWidget(parameters);

  auto* note_box = new QGroupBox(Tr("Note:"), central);
  auto* note_layout = new QVBoxLayout(note_box);
  note_ = new QPlainTextEdit(note_box);
  note_->setObjectName(QStringLiteral("Note"));
  note_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  note_->setMaximumHeight(90);
  note_layout->addWidget(note_);
  left->addWidget(note_box);

  auto* lines = new QGroupBox(Tr("Scale lines."), central);
  auto* line_grid = new QGridLayout(lines);
  line_grid->setVerticalSpacing(1);
  const QStringList styles = sc::StyleList();
  for (int n = 0; n < sc::kLineCount; ++n) {
    Row& row = rows_[static_cast<std::size_t>(n)];
    const int column = (n / 14) * 4;
    const int line = n % 14;
    line_grid->addWidget(new QLabel(Tr("Line ") + QString::number(n + 1), lines), line, column);
    row.level = new QLineEdit(lines);
    row.level->setObjectName(QStringLiteral("LevelEdit%1").arg(n + 1));
    row.level->setMaxLength(5);
    row.level->setMaximumWidth(60);
    row.style = new QComboBox(lines);
    row.style->setObjectName(QStringLiteral("StyleBox%1").arg(n + 1));
    row.style->addItems(styles);
    row.label = new QLineEdit(lines);
    row.label->setObjectName(QStringLiteral("LabelEdit%1").arg(n + 1));
    row.label->setMaxLength(sc::kLabelCapacity);
    row.label->setMaximumWidth(50);
    line_grid->addWidget(row.level, line, column + 1);
    line_grid->addWidget(row.style, line, column + 2);
    line_grid->addWidget(row.label, line, column + 3);
    connect(row.level, &QLineEdit::editingFinished, this, [this, n] {
      NumberLeft(rows_[static_cast<std::size_t>(n)].level,
                 &rows_[static_cast<std::size_t>(n)].value);
    });
    connect(row.style, &QComboBox::currentIndexChanged, this, &TVTScaleForm::StyleChanged);
    connect(row.label, &QLineEdit::textChanged, this, &TVTScaleForm::Changed);
  }
  left->addWidget(lines);

  auto* right = new QVBoxLayout;
  auto* preview = new QGroupBox(Tr("Scale Preview."), central);
  auto* preview_layout = new QVBoxLayout(preview);
  panel_ = new TScaleViewPanel(preview);
  // The panel is painted whenever the window is: the moment to look at the instrument again.
  connect(panel_, &TScaleViewPanel::Painted, this, &TVTScaleForm::RefreshDownloadEnabled);
  preview_layout->addWidget(panel_);
  right->addWidget(preview);
  auto* logo =
      new QLabel(QStringLiteral("<a href=\"%1\">VT-Zizara</a>").arg(kMakerAddress), central);
  logo->setObjectName(QStringLiteral("Logo"));
  connect(logo, &QLabel::linkActivated, this,
          [](const QString& link) { QDesktopServices::openUrl(QUrl(link)); });
  right->addWidget(logo);
  right->addStretch(1);
  main->addLayout(right);
  setCentralWidget(central);

  connect(short_name_, &QLineEdit::textChanged, this, [this](const QString& text) {
    Changed();
    RefreshSelectorEntry(current_, text);
  });
  connect(description_, &QLineEdit::textChanged, this, &TVTScaleForm::Changed);
  connect(key_no_, &QComboBox::currentIndexChanged, this, &TVTScaleForm::Changed);
  connect(dynamics_, &QComboBox::currentIndexChanged, this, &TVTScaleForm::Changed);
  connect(note_, &QPlainTextEdit::textChanged, this, [this] {
    const QString text = note_->toPlainText();
    // Only typing is limited: a full note shown as pieces is longer than the field by its breaks.
    if (ready_ && text.size() > sc::kNoteCapacity) {
      note_->setPlainText(text.left(sc::kNoteCapacity));  // comes back here once, short enough
      note_->moveCursor(QTextCursor::End);
      return;
    }
    Changed();
  });
  connect(reference_, &QLineEdit::editingFinished, this,
          [this] { NumberLeft(reference_, &reference_value_); });
  connect(digital_, &QCheckBox::clicked, this, [this] {
    BuildImage();  // stores the flag; not a change of the file's contents worth a question
  });
}

sc::ScaleRecord& TVTScaleForm::Record() {
  return library_.records[static_cast<std::size_t>(current_ - 1)];
}

void TVTScaleForm::ShowNumber(QLineEdit* edit, double value) {
  edit->setText(sc::FormatNumberField(value, locale()));
}

void TVTScaleForm::FillWindow() {
  ready_ = false;
  const sc::ScaleRecord& r = Record();
  RefreshSelectorEntry(current_, QString::fromLatin1(r.ShortName()));
  selector_->setCurrentIndex(current_ - 1);
  short_name_->setText(QString::fromLatin1(r.ShortName()));
  // A position off the list shows no selection.
  key_no_->setCurrentIndex(r.KeyNumber() < key_no_->count() ? r.KeyNumber() : -1);
  description_->setText(QString::fromLatin1(r.Description()));
  dynamics_->setCurrentIndex(r.DynamicsPosition() < dynamics_->count() ? r.DynamicsPosition() : -1);
  reference_value_ = r.Reference();
  ShowNumber(reference_, reference_value_);
  for (int n = 0; n < sc::kLineCount; ++n) {
    Row& row = rows_[static_cast<std::size_t>(n)];
    row.value = r.LineLevel(n);
    ShowNumber(row.level, row.value);
    row.style->setCurrentIndex(r.LineStyle(n) < sc::kStyleCount ? r.LineStyle(n) : -1);
    row.label->setText(QString::fromLatin1(r.LineLabel(n)));
  }
  digital_->setChecked(r.IsDigital());
  note_->clear();
  note_->setPlainText(sc::NoteToMemoText(r.Note()));
  RefreshNavigation();
  ready_ = true;
}

void TVTScaleForm::StoreWindow() {
  sc::ScaleRecord& r = Record();
  r.SetShortName(Latin1(short_name_->text()));
  if (key_no_->currentIndex() >= 0) {
    r.SetKeyNumber(key_no_->currentIndex());
  }
  if (dynamics_->currentIndex() >= 0) {
    r.SetDynamicsPosition(dynamics_->currentIndex());
  }
  r.SetDescription(Latin1(description_->text()));
  r.SetReference(reference_value_);
  for (int n = 0; n < sc::kLineCount; ++n) {
    const Row& row = rows_[static_cast<std::size_t>(n)];
    r.SetLineLevel(n, row.value);
    if (row.style->currentIndex() >= 0) {  // a stored position off the list stays as it was
      r.SetLineStyle(n, row.style->currentIndex());
    }
    r.SetLineLabel(n, Latin1(row.label->text()));
  }
  r.SetDigital(digital_->isChecked());
  r.SetNote(sc::MemoTextToNote(note_->toPlainText()));
}

void TVTScaleForm::BuildImage() {
  StoreWindow();
  image_ = sc::BuildScaleImage(Record());
}

void TVTScaleForm::DrawPreview() {
  BuildImage();
  panel_->Draw(image_);
}

void TVTScaleForm::Changed() {
  if (!ready_) {
    return;
  }
  DrawPreview();
  modified_ = true;
  SetSaveEnabled(true);
}

void TVTScaleForm::StyleChanged() {
  if (!ready_) {
    return;  // filling: the other rows still show the previous scale
  }
  std::array<int, sc::kLineCount> styles{};
  for (int n = 0; n < sc::kLineCount; ++n) {
    styles[static_cast<std::size_t>(n)] = rows_[static_cast<std::size_t>(n)].style->currentIndex();
  }
  for (int row : sc::ResetSecondMarkers(styles)) {
    services_.prompts->Warning(sc::OneMarkerText());
    QComboBox* box = rows_[static_cast<std::size_t>(row)].style;
    const QSignalBlocker block(box);
    box->setCurrentIndex(0);
  }
  Changed();
}

void TVTScaleForm::NumberLeft(QLineEdit* edit, double* value) {
  if (edit->text().isEmpty()) {
    edit->setText(QStringLiteral("0"));
  }
  QStringList errors;
  *value = sc::ReadNumberField(edit->text(), &errors);
  for (const QString& e : errors) {
    services_.prompts->Error(e);
  }
  Changed();
  const QSignalBlocker block(edit);
  ShowNumber(edit, *value);
}

void TVTScaleForm::RefreshSelectorEntry(int number, const QString& short_name) {
  selector_->setItemText(number - 1, sc::ScaleEntryText(number, short_name));
}

void TVTScaleForm::RefreshNavigation() {
  Action(QStringLiteral("PreviousAction"))->setEnabled(current_ > 1);
  Action(QStringLiteral("NextAction"))->setEnabled(current_ < sc::kScaleCount);
}

void TVTScaleForm::RefreshDownloadEnabled() {
  Action(QStringLiteral("DownloadAction"))
      ->setEnabled(services_.instrument_connected && services_.instrument_connected());
}

void TVTScaleForm::SetSaveEnabled(bool enabled) {
  Action(QStringLiteral("SaveAction"))->setEnabled(enabled);
}

void TVTScaleForm::NextClick() {
  if (current_ >= sc::kScaleCount) {
    return;
  }
  StoreWindow();
  ++current_;
  FillWindow();
  DrawPreview();
}

void TVTScaleForm::PreviousClick() {
  if (current_ <= 1) {
    return;
  }
  StoreWindow();
  --current_;
  FillWindow();
  DrawPreview();
}

void TVTScaleForm::SelectScale(int number) {
  if (number < 1 || number > sc::kScaleCount) {
    return;
  }
  current_ = number;
  FillWindow();
  DrawPreview();
}

bool TVTScaleForm::LoadFile(const QString& name) {
  QString error;
  if (!sc::LoadScaleLibrary(name, library_, &error)) {
    services_.prompts->Error(error);
    return false;
  }
  status_->setText(Tr("File: ") + name);
  for (int n = 1; n <= sc::kScaleCount; ++n) {
    RefreshSelectorEntry(
        n, QString::fromLatin1(library_.records[static_cast<std::size_t>(n - 1)].ShortName()));
  }
  FillWindow();
  DrawPreview();
  SetSaveEnabled(false);
  return true;
}

void TVTScaleForm::ShowEditor() {
  show();
  raise();
  RefreshDownloadEnabled();
  if (!last_scale_file_.isEmpty() && QFileInfo::exists(last_scale_file_) &&
      services_.prompts->Confirm(Tr("Do you wish to reload the scalefile \"") + last_scale_file_ +
                                 QStringLiteral("\" ?"))) {
    file_name_ = last_scale_file_;
    LoadFile(last_scale_file_);
  }
}

void TVTScaleForm::OpenClick() {
  const QString chosen =
      services_.files->OpenFileName(Tr("Open"), Tr(kScaleFilter));
  if (chosen.isEmpty()) {
    return;
  }
  file_name_ = chosen;
  last_scale_file_ = chosen;
  if (services_.last_scale_file_changed) {
    services_.last_scale_file_changed(chosen);
  }
  LoadFile(chosen);
}

void TVTScaleForm::SaveClick() {
  if (file_name_.isEmpty()) {
    SaveAsClick();
    return;
  }
  StoreWindow();
  QString error;
  if (!sc::SaveScaleLibrary(file_name_, library_, &error)) {
    // The changes stay marked, so closing still offers to save them elsewhere.
    services_.prompts->Error(Tr("The file ") + file_name_ + Tr(" could not be saved: ") + error);
    return;
  }
  status_->setText(Tr("File: ") + file_name_);
  SetSaveEnabled(false);
  modified_ = false;
}

void TVTScaleForm::SaveAsClick() {
  const QString chosen =
      services_.files->SaveFileName(Tr("Save As"), Tr(kScaleFilter), file_name_);
  if (chosen.isEmpty()) {
    return;
  }
  file_name_ = sc::ScaleFileNameForSave(chosen);
  if (QFileInfo::exists(file_name_) &&
      !services_.prompts->Confirm(
          Tr("The file ") + file_name_ +
          Tr(" already exists. Do you want to replace the existing file?"))) {
    return;
  }
  SaveClick();
}

void TVTScaleForm::DownloadClick() {
  BuildImage();
  if (services_.download) {
    services_.download(image_, Record().KeyNumber());
  }
  RefreshDownloadEnabled();
}

void TVTScaleForm::closeEvent(QCloseEvent* event) {
  while (modified_) {
    const Answer a = services_.prompts->ConfirmOrCancel(
        Tr("Do you wish to save the changes to the scalefile \"") + file_name_ +
        QStringLiteral("\" ?"));
    if (a == Answer::kCancel) {
      event->ignore();
      return;
    }
    if (a == Answer::kNo) {
      break;
    }
    SaveAsClick();
  }
  event->accept();
  emit Closed();
}

void TVTScaleForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange) {
    RefreshDownloadEnabled();
  }
  QMainWindow::changeEvent(event);
}

bool TVTScaleForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == key_no_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2) {
    DownloadClick();  // also while the Download button is disabled
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace zizara::gui::scale

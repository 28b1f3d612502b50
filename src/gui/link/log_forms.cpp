#include "gui/link/log_forms.h"

#include <QVBoxLayout>

#include "core/i18n/tr.h"
#include "gui/common/placement.h"

namespace zizara::gui::link {

using core::i18n::Tr;

namespace {
// Beside the main window, one below the other's title bar.
constexpr int kDotLogSlot = 1;
constexpr int kDebugSlot = 2;

void MakeToolWindow(QWidget* w, const QString& caption) {
  w->setWindowTitle(caption);
  w->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
  w->resize(420, 300);
}
}  // namespace

TDotLogForm::TDotLogForm(QWidget* parent) : QWidget(parent), dot_lines_(new QPlainTextEdit(this)) {
  MakeToolWindow(this, Tr("DOT commands."));
  dot_lines_->setObjectName(QStringLiteral("DotLines"));
  dot_lines_->setReadOnly(true);
  dot_lines_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(dot_lines_);
}

void TDotLogForm::AppendLine(const QString& line) { dot_lines_->appendPlainText(line); }

void TDotLogForm::showEvent(QShowEvent* event) {
  if (!placed_) {
    placed_ = true;  // later the user's own place is kept
    common::PlaceBesideWindow(this, parentWidget(), kDotLogSlot);
  }
  QWidget::showEvent(event);
}

TDebugForm::TDebugForm(QWidget* parent)
    : QWidget(parent), debug_list_(new QListWidget(this)), button1_(new QPushButton(this)) {
  MakeToolWindow(this, Tr("Debug Window."));
  debug_list_->setObjectName(QStringLiteral("DebugList"));
  debug_list_->setFont(QFont(QStringLiteral("Monospace")));
  button1_->setObjectName(QStringLiteral("Button1"));
  button1_->setText(QStringLiteral("Button1"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(debug_list_);
  layout->addWidget(button1_);
  connect(button1_, &QPushButton::clicked, this, &TDebugForm::Button1Click);
}

void TDebugForm::SetLines(const QStringList& lines) {
  debug_list_->clear();
  debug_list_->addItems(lines);
}

void TDebugForm::AppendLines(const QStringList& lines) { debug_list_->addItems(lines); }

void TDebugForm::Button1Click() { AppendLines(SumAddressLines()); }

void TDebugForm::showEvent(QShowEvent* event) {
  if (!placed_) {
    placed_ = true;
    common::PlaceBesideWindow(this, parentWidget(), kDebugSlot);
  }
  QWidget::showEvent(event);
}

QStringList SumAddressLines() {
  QStringList lines;
  for (int i = 0; i <= 10; ++i) {
    const int address = 0x1C000 + (i == 0 ? 0x1412 : 0x3812 + (i - 1) * 0x180);
    lines << QStringLiteral("SUM: ") +
                 QStringLiteral("%1").arg(address, 8, 16, QLatin1Char('0')).toUpper();
  }
  return lines;
}

}  // namespace zizara::gui::link

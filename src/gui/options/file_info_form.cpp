#include "gui/options/file_info_form.h"

#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/config/model_table.h"
#include "core/config/version.h"
#include "core/i18n/tr.h"

namespace zizara::gui::options {

using core::i18n::Tr;

namespace {
QString Hex(unsigned value, int digits) {
  return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}
}  // namespace

TFileInfoForm::TFileInfoForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TFileInfoForm"));
  setWindowTitle(Tr("File information."));
  auto* layout = new QVBoxLayout(this);
  grid_ = new QTableWidget(7, 2, this);
  grid_->setObjectName(QStringLiteral("InfoGrid"));
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setFixedSize(115 + 145 + 2 * grid_->frameWidth(),
                      7 * grid_->verticalHeader()->defaultSectionSize() + 2 * grid_->frameWidth());
  layout->addWidget(grid_);
  auto* ok = new QPushButton(Tr("OK"), this);
  ok->setObjectName(QStringLiteral("Button1"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
}

void TFileInfoForm::Load(const core::config::PresetTrailer& t) {
  grid_->setColumnWidth(0, 115);
  grid_->setColumnWidth(1, 145);
  const QString rows[7][2] = {
      {Tr("Serial:"), QString::number(t.serial_number)},
      {Tr("QLX Type:"), core::config::ModelName(t.model_index)},
      {Tr("Software Version:"), core::config::FormatVersionCode(t.software_version)},
      {Tr("Extended Bios Version:"), Hex(t.extended_bios_id, 4)},
      {Tr("Hardware ID:"), Hex(t.hardware_id, 4)},
      {Tr("Checksum:"), Hex(t.checksum, 8)},
      {QString(), QString()},
  };
  for (int r = 0; r < 7; ++r) {
    for (int c = 0; c < 2; ++c) {
      grid_->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    }
  }
}

}  // namespace zizara::gui::options

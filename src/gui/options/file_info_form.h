#pragma once

#include <QDialog>
#include <QTableWidget>

#include "core/config/preset_trailer.h"

namespace zizara::gui::options {

// `TFileInfoForm`: the identity rows of the configuration's trailer.
class TFileInfoForm : public QDialog {
  Q_OBJECT

 public:
  explicit TFileInfoForm(QWidget* parent = nullptr);

  // Writes every caption and value again from the trailer.
  void Load(const core::config::PresetTrailer& trailer);
  QTableWidget* InfoGrid() { return grid_; }

 private:
  QTableWidget* grid_ = nullptr;
};

}  // namespace zizara::gui::options

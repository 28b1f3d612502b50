#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <array>

#include "core/settings/program_settings.h"
#include "core/ui_port/prompts.h"

namespace zizara::gui::program_options {

// The file types in the order of the list: PRE, MCR, CDP.
inline constexpr int kFileTypeCount = 3;
using FileTypeChecks = std::array<bool, kFileTypeCount>;

// `TOptionsForm`, "Options.": how X-Points are set, the grid image of each cell kind, mouse
// tracing and the registered file types. It only edits; the caller applies an accepted result.
class TOptionsForm : public QDialog {
  Q_OBJECT

 public:
  TOptionsForm(const core::settings::ProgramOptions& options, const FileTypeChecks& registered,
               core::ui_port::Prompts& prompts, QWidget* parent = nullptr);

  core::settings::ProgramOptions Options() const;
  FileTypeChecks FileTypesChecked() const;
  bool IconsChanged() const { return icons_changed_; }
  bool FileListTouched() const { return list_touched_; }

  // OK: refused with a message while two kinds share the illegal-greyed or the locked image.
  void accept() override;

 private:
  struct IconRow {
    QSpinBox* spin = nullptr;
    QLabel* image = nullptr;
  };
  IconRow AddIconRow(QGridLayout* grid, int row, const char* spin_name,
                     const char* image_name, const QString& caption, const QString& note,
                     int value, bool illegal_greyed);
  void ShowIcon(const IconRow& row, int index);
  void EnableTraceColour();

  core::ui_port::Prompts& prompts_;
  QCheckBox* double_click_ = nullptr;
  IconRow offline_, illegal_greyed_, illegal_, local_, remote_, locked_;
  QCheckBox* trace_ = nullptr;
  QLabel* trace_colour_label_ = nullptr;
  QComboBox* trace_colour_ = nullptr;
  QCheckBox* check_associations_ = nullptr;
  QListWidget* file_types_ = nullptr;
  bool icons_changed_ = false;
  bool list_touched_ = false;
};

}  // namespace zizara::gui::program_options

#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <array>

#include "core/config/configuration.h"
#include "core/options/ppm_options.h"

namespace zizara::gui::options {

// `TPPMOptionForm`: the options of the 32 PPM channels. Opened for the channel whose popup was
// used; it shows what the selected channels share and writes only the fields the user touched.
class TPPMOptionForm : public QDialog {
  Q_OBJECT

 public:
  explicit TPPMOptionForm(core::config::Configuration& config, QWidget* parent = nullptr);

  // `ppm_offset` is 2c for channel c; `selection` already counts that channel as selected.
  void Load(int ppm_offset, const core::options::PpmSelection& selection);
  void Button1Click();

  QComboBox* ColorBox() { return colour_; }
  QComboBox* ColorUnderload() { return underload_; }
  QComboBox* ColorTrace() { return trace_; }
  QComboBox* ComboWidth() { return width_; }
  QCheckBox* CheckSpace() { return space_; }

 private:
  enum Flag { kColour, kTrace, kUnderload, kWidth, kSpace, kFlagCount };
  void ClearFlags() { changed_.fill(false); }

  core::config::Configuration& config_;
  core::options::PpmSelection selection_;
  int current_ = 0;
  std::array<bool, kFlagCount> changed_{};
  QComboBox* colour_ = nullptr;
  QComboBox* underload_ = nullptr;
  QComboBox* trace_ = nullptr;
  QComboBox* width_ = nullptr;
  QCheckBox* space_ = nullptr;
};

}  // namespace zizara::gui::options

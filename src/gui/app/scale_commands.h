#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "core/scale/scale_image.h"
#include "core/ui_port/prompts.h"
#include "gui/scale/vt_scale_form.h"

namespace zizara::gui::app {

class TMainForm;

// Tools → "ZA-Dizod": opens the scale editor over the disabled main window, writes its scale
// into the instrument and keeps the last scale file in the settings.
class ScaleCommands : public QObject {
  Q_OBJECT

 public:
  ScaleCommands(TMainForm& form, core::ui_port::Prompts& prompts);
  ~ScaleCommands() override;

  void Open();
  // Created on first use.
  scale::TVTScaleForm* Form();

 private:
  void Download(const core::scale::ScaleImage& image, int key_number);
  void Connect();
  void StoreLastScaleFile(const QString& name);

  TMainForm& form_;
  core::ui_port::Prompts& prompts_;
  std::unique_ptr<scale::TVTScaleForm> scale_form_;
};

}  // namespace zizara::gui::app

#pragma once

#include <QObject>

#include "core/link/identification.h"
#include "gui/link/link_controller.h"

namespace zizara::gui::app {

class TMainForm;

// The main window's instrument commands: connecting on a chosen port, upload, download and
// restart, and what the window shows afterwards.
class LinkCommands : public QObject {
  Q_OBJECT

 public:
  LinkCommands(TMainForm& form, link::LinkController& controller);

  void ConnectAtStartUp();
  void PortChosen();
  void Upload();
  void Download();
  void Restart();

  // Panels and enabled commands from what identification found.
  void ApplyConnectOutcome(const core::link::ConnectOutcome& outcome);

  // The about window's "Force V5 Preset Upgrade." check box.
  void SetForceV5(bool force) { force_v5_ = force; }

 private:
  void ShowUploadTerminated();
  TMainForm& form_;
  link::LinkController& controller_;
  bool force_v5_ = false;
};

}  // namespace zizara::gui::app

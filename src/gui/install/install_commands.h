#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include "core/ui_port/file_chooser.h"
#include "core/ui_port/prompts.h"
#include "gui/install/install_form.h"

namespace zizara::gui::app {
class TMainForm;
}

namespace zizara::gui::install {

// The ways to the installation window: the menu, a package named on the command line, one
// handed over by a second start, and one dropped on the program.
class InstallCommands : public QObject {
  Q_OBJECT

 public:
  InstallCommands(app::TMainForm& form, link::LinkController& controller,
                  core::ui_port::Prompts& prompts, core::ui_port::FileChooser& files);
  ~InstallCommands() override;

  TInstallForm& Form() { return *install_form_; }

  // Tools, QLX Software, Install Software.
  void InstallSoftwareClick();
  // After the start-up connection, for the package named on the command line: true when the
  // program is to end (an instrument was there, whatever the answer).
  bool PackageFromCommandLine(const QString& path);
  // A package handed over by a second start; false when nothing was executed.
  bool PackageForwarded(const QString& path);
  // A single dropped package; false when a check refused and the drop handling ends.
  bool PackageDropped(const QString& path);

  // Shows the window modally; tests replace it so that nothing blocks.
  std::function<void(TInstallForm&)> show_modal;

 private:
  QString InstallQuestion() const;
  // The question, then leaving remote control and the unsaved-changes check.
  bool OfferInstallation(const QString& path);

  app::TMainForm& form_;
  link::LinkController& controller_;
  core::ui_port::Prompts& prompts_;
  QPointer<TInstallForm> install_form_;
};

}  // namespace zizara::gui::install

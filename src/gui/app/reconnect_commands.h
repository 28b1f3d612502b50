#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "core/ui_port/prompts.h"
#include "gui/link/link_controller.h"

namespace zizara::gui::app {

class TMainForm;
class LinkCommands;
class RemoteCommands;

// Brings the link back by itself when the instrument returns after its line broke outside a
// transfer (adapter unplugged, network server gone): the status says so, the port is tried
// every two seconds without boxes, and on return the instrument is identified again. The same
// instrument gets remote control back as it was; a different one is asked about first.
class ReconnectCommands : public QObject {
  Q_OBJECT

 public:
  static constexpr int kRetryMs = 2000;

  ReconnectCommands(TMainForm& form, link::LinkController& controller, LinkCommands& link,
                    RemoteCommands& remote, core::ui_port::Prompts& prompts,
                    std::function<bool()> enabled);

  bool Waiting() const { return timer_.isActive(); }
  // One attempt now (the timer's work); tests call it instead of waiting.
  void TryAgain();
  // The user chose another port or disconnected: nothing comes back by itself.
  void Stop();

 private:
  void OnLinkLost(const QString& reason);

  TMainForm& form_;
  link::LinkController& controller_;
  LinkCommands& link_;
  RemoteCommands& remote_;
  core::ui_port::Prompts& prompts_;
  std::function<bool()> enabled_;
  QTimer timer_;
  QString port_;     // the port that was lost
  int serial_ = -1;  // the instrument that was on it
  QString serial_text_;
  bool was_remote_ = false;
};

}  // namespace zizara::gui::app

// The main window's settings at start and close, its placement on the screen, and the
// Interface menu of ports with the status panels that show the choice.
#include "gui/app/main_form.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "core/config/preset_file.h"
#include "core/config/preset_options.h"
#include "core/i18n/tr.h"
#include "core/remote/dot_messages.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_settings.h"
#include "gui/app/command_line.h"
#include "gui/app/link_commands.h"
#include "gui/app/live_commands.h"
#include "gui/app/option_commands.h"
#include "gui/app/program_options_commands.h"
#include "gui/app/reconnect_commands.h"
#include "gui/app/remote_commands.h"
#include "gui/app/scale_commands.h"
#include "gui/app/undo_commands.h"
#include "gui/app/web_address.h"
#include "gui/common/icons.h"
#include "gui/common/placement.h"
#include "gui/common/plain_text.h"
#include "gui/help/help.h"
#include "gui/install/install_commands.h"
#include "gui/link/log_forms.h"
#include "gui/matrix/matrix_view.h"
#include "gui/remote/global_hotkeys.h"

namespace zizara::gui::app {

using core::i18n::Tr;

void TMainForm::LoadSettings() {
  QString error;
  const core::settings::ProgramSettings s =
      core::settings::LoadProgramSettings(settings_path_, ctx_.current_port, &error);
  ctx_.current_port = s.com_interface;
  stored_port_ = s.com_interface;
  network_ports_ = s.network_ports;
  ctx_.ext_cmd = s.ext_cmd;
  global_hotkeys_->setChecked(s.global_hotkeys);
  if (s.global_hotkeys) {
    hotkeys_->Register();  // quietly: the user is told only when turning it on
  }
  normal_bounds_ = s.window.normal_bounds;
  setGeometry(normal_bounds_);
  PlaceOnScreen();
  live_commands_->ApplyKeyboardSettings(s.keyboard_window, normal_bounds_);
  start_maximized_ = s.window.maximized;
  matrix_->ApplySettings(s);
  program_options_->Load(s);
  matrix_->SetGridPosition(s.window.grid_pos_x, s.window.grid_pos_y);
  RefreshRecentMenu();
  ApplyCommandStates();
}

void TMainForm::PlaceOnScreen() {
  core::settings::IniFile ini(settings_path_);
  ini.Load();
  const bool stored =
      !ini.GetString("Window", "Left").isEmpty() && !ini.GetString("Window", "Top").isEmpty();
  if (!stored) {
    // First start: the whole window, title bar included, in the middle of the screen.
    common::CentreOnScreen(this);
    return;
  }
  // A stored place on a screen that is gone or smaller now: move it back into view.
  QScreen* screen = QGuiApplication::screenAt(geometry().center());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect available = screen->availableGeometry();
  if (!available.contains(geometry())) {
    const QRect inside = common::KeptInside(geometry(), available);
    setGeometry(inside);
  }
}

void TMainForm::SaveSettings() {
  QString error;
  core::settings::ProgramSettings s =
      core::settings::LoadProgramSettings(settings_path_, ctx_.current_port, &error);
  s.window.maximized = isMaximized();
  if (!s.window.maximized) {
    RememberNormalBounds();
  }
  s.window.normal_bounds = normal_bounds_;
  // A simulated instrument is for this run only; the user's own port stays stored.
  s.com_interface = ctx_.simulated ? stored_port_ : ctx_.current_port;
  s.global_hotkeys = global_hotkeys_->isChecked();
  s.keyboard_window = live_commands_->KeyboardSettings();
  s.window.grid_pos_x = matrix_->GridPosX();
  s.window.grid_pos_y = matrix_->GridPosY();
  program_options_->StoreInto(s);
  core::settings::SaveProgramSettings(settings_path_, s, &error);  // a failure must not keep us open
}

void TMainForm::RememberNormalBounds() {
  if (!isMaximized() && !isMinimized() && !isFullScreen() && isVisible()) {
    normal_bounds_ = geometry();
  }
}

void TMainForm::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  RememberNormalBounds();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  RememberNormalBounds();
  LayoutWebPanel();
}

void TMainForm::BuildInterfaceMenu(const QStringList& ports) {
  QList<core::link::PortEntry> entries;
  for (const QString& port : ports) {
    entries.append({port.trimmed(), port.trimmed(), port.trimmed()});
  }
  BuildInterfaceMenuWith(entries);
}

void TMainForm::BuildInterfaceMenuWith(const QList<core::link::PortEntry>& ports) {
  port_entries_ = ports;
  interface_menu_->clear();
  const auto add_port = [this](const QString& caption, const QString& name) {
    QAction* item = interface_menu_->addAction(caption);
    item->setData(name);  // the name to open and to store; a stable name shows its device
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, item] { InterfaceItemClick(item); });
  };
  for (const core::link::PortEntry& port : ports) {
    add_port(port.name == port.device ? port.name : port.description, port.name);
  }
  if (!ctx_.ext_cmd.isEmpty()) {
    if (!interface_menu_->actions().isEmpty()) {
      interface_menu_->addSeparator();
    }
    QAction* ext = interface_menu_->addAction(Tr("External Command"));
    ext->setObjectName(QStringLiteral("ExternalCommand"));
    ext->setCheckable(true);
    connect(ext, &QAction::triggered, this, [this, ext] { InterfaceItemClick(ext); });
  }
  if (interface_menu_->actions().isEmpty()) {
    interface_menu_->addAction(Tr("No ports installed."))->setEnabled(false);
  }
  const QString stored = ctx_.current_port;
  QStringList network = network_ports_;
  if (core::link::IsTcpPortName(stored) && !network.contains(stored)) {
    network.prepend(stored);
  }
  interface_menu_->addSeparator();
  for (const QString& port : network) {
    add_port(port, port);
  }
  QAction* network_item = interface_menu_->addAction(Tr("Network Port..."));
  network_item->setObjectName(QStringLiteral("NetworkPort"));
  connect(network_item, &QAction::triggered, this, &TMainForm::NetworkPortClick);

  const bool ext = stored.compare(QStringLiteral("EXT"), Qt::CaseInsensitive) == 0;
  bool found = false;
  for (QAction* item : interface_menu_->actions()) {
    const bool match = ext ? item->objectName() == QStringLiteral("ExternalCommand")
                           : item->data().toString() == stored;
    if (match && item->isCheckable() && !found) {
      item->setChecked(true);
      found = true;
      SetPortPanel(ext ? QStringLiteral("EXT") : stored);
      ctx_.link_mode = ext ? core::link::LinkMode::kExt : core::link::LinkMode::kCom;
      if (ext) {
        connected_panel_->clear();
        serial_panel_->clear();
      }
    }
  }
  if (!found) {
    ctx_.port_unavailable = true;
    ctx_.link_mode = core::link::LinkMode::kNone;
    SetPortPanel(stored);
    prompts_.Information(Tr("The previously used comport (") + stored +
                         Tr(") is no longer available.\rPlease select a different port from the "
                            "Interface menu."));
  }
}

void TMainForm::NetworkPortClick() {
  QString name;
  if (ask_network_port) {
    name = ask_network_port(network_ports_);
  } else {
    bool ok = false;
    name = QInputDialog::getItem(this, Tr("Network Port"),
                                 Tr("Serial-to-network server (tcp:HOST:PORT):"), network_ports_, 0,
                                 true, &ok);
    if (!ok) {
      return;
    }
  }
  name = name.trimmed();
  if (name.isEmpty()) {
    return;
  }
  if (!core::link::IsTcpPortName(name)) {
    name = QStringLiteral("tcp:") + name;  // "rack3:4001" is what people type
  }
  QString host;
  quint16 port = 0;
  QString error;
  if (!core::link::ParseTcpPortName(name, &host, &port, &error)) {
    prompts_.Error(error);
    return;
  }
  network_ports_ = core::settings::RememberNetworkPort(settings_path_, name);
  // Rebuilding checks the current port again; the new one is chosen right after.
  const QString current = ctx_.current_port;
  const bool unavailable = ctx_.port_unavailable;
  const core::link::LinkMode mode = ctx_.link_mode;
  ctx_.current_port = name;
  BuildInterfaceMenuWith(port_entries_);
  ctx_.current_port = current;
  ctx_.port_unavailable = unavailable;
  ctx_.link_mode = mode;
  for (QAction* item : interface_menu_->actions()) {
    if (item->isCheckable() && item->data().toString() == name) {
      InterfaceItemClick(item);
      return;
    }
  }
}

void TMainForm::SetFilePanel(const QString& text) {
  file_panel_->setText(text);
  file_panel_->setToolTip(common::PlainToolTip(text));
}

void TMainForm::SetPortPanel(const QString& port) {
  // Device paths can be long; the panel shows the end, the tip the whole.
  port_panel_->setToolTip(common::PlainToolTip(port));
  port_panel_->setText(port_panel_->fontMetrics().elidedText(port, Qt::ElideLeft, 180));
}

void TMainForm::InterfaceItemClick(QAction* item) {
  for (QAction* a : interface_menu_->actions()) {
    a->setChecked(false);
  }
  item->setChecked(true);
  ctx_.port_unavailable = false;
  if (item->objectName() == QStringLiteral("ExternalCommand")) {
    ctx_.link_mode = core::link::LinkMode::kExt;
    ctx_.current_port = QStringLiteral("EXT");
    commands_.upload = commands_.restart = true;
    connected_panel_->clear();
    serial_panel_->clear();
    SetPortPanel(QStringLiteral("EXT"));
  } else {
    ctx_.link_mode = core::link::LinkMode::kCom;
    const QString name = item->data().isValid() ? item->data().toString() : item->text();
    ctx_.current_port = name;
    if (core::link::IsTcpPortName(name)) {
      network_ports_ = core::settings::RememberNetworkPort(settings_path_, name);
    }
    SetPortPanel(name);
    connected_panel_->setText(Tr("Not Connected"));
    serial_panel_->setText(Tr("Serial No.: Unknown"));
  }
  ApplyCommandStates();
  if (link_commands_ != nullptr) {
    link_commands_->PortChosen();  // the old port closes; the new one is tried at once
  }
}

}  // namespace zizara::gui::app

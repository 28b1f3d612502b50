// The main window's menus and toolbar: every item, its shortcut, its icon and what it runs.
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
namespace cfg = core::config;

void TMainForm::CreateMenus() {
  QMenu* file = menuBar()->addMenu(Tr("&File"));
  file->setObjectName(QStringLiteral("MenuFile"));
  connect(file, &QMenu::aboutToShow, this, &TMainForm::UpdateMenuItems);
  QAction* open = AddAction(file, "MenuOpen", Tr("Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
  open->setIcon(common::ToolIcon(QStringLiteral("open")));
  connect(open, &QAction::triggered, this, [this] { OpenPreset(); });
  QAction* save = AddAction(file, "MenuSave", Tr("Save"));
  save->setIcon(common::ToolIcon(QStringLiteral("save")));
  connect(save, &QAction::triggered, this, &TMainForm::Save);
  QAction* save_as =
      AddAction(file, "MenuSaveAs", Tr("Save As..."), QKeySequence(Qt::CTRL | Qt::Key_S));
  save_as->setIcon(common::ToolIcon(QStringLiteral("save_as")));
  connect(save_as, &QAction::triggered, this, [this] { SaveAs(); });
  QAction* info = AddAction(file, "MenuFileInfo", Tr("File information..."));
  info->setIcon(common::ToolIcon(QStringLiteral("file_info")));
  connect(info, &QAction::triggered, this, &TMainForm::NotAvailableYet);
  file->addSeparator();
  remote_menu_ = file->addMenu(Tr("Remote Control"));
  remote_menu_->setObjectName(QStringLiteral("MenuRemote"));
  remote_menu_->setIcon(common::ToolIcon(QStringLiteral("remote")));
  QAction* connect_item = AddAction(remote_menu_, "SubMenuConnect", Tr("Connect"),
                                    QKeySequence(Qt::SHIFT | Qt::Key_Escape));
  QAction* disconnect_item =
      AddAction(remote_menu_, "SubMenuDisconnect", Tr("Disconnect"), QKeySequence(Qt::Key_Escape));
  connect_item->setCheckable(true);
  disconnect_item->setCheckable(true);
  connect(connect_item, &QAction::triggered, this, [this] {
    SetRemoteMenuChecks(remote_checks_connected_);  // the connection decides the mark, not the click
    if (remote_commands_ != nullptr) remote_commands_->StartRemoteControl(false);
  });
  connect(disconnect_item, &QAction::triggered, this, [this] {
    SetRemoteMenuChecks(remote_checks_connected_);
    ConfirmLeaveRemote();
  });
  QAction* upload = AddAction(file, "MenuUpload", Tr("Upload"), QKeySequence(Qt::CTRL | Qt::Key_U));
  upload->setIcon(common::ToolIcon(QStringLiteral("upload")));
  connect(upload, &QAction::triggered, this, [this] {
    if (link_commands_ == nullptr) {
      NotAvailableYet();
    } else if (ConfirmLeaveRemote()) {
      link_commands_->Upload();
    }
  });
  QAction* download =
      AddAction(file, "MenuDownload", Tr("Download"), QKeySequence(Qt::CTRL | Qt::Key_D));
  download->setIcon(common::ToolIcon(QStringLiteral("download")));
  connect(download, &QAction::triggered, this, [this] {
    if (link_commands_ != nullptr) link_commands_->Download(); else NotAvailableYet();
  });
  QAction* restart =
      AddAction(file, "MenuRestart", Tr("Restart"), QKeySequence(Qt::CTRL | Qt::Key_I));
  restart->setIcon(common::ToolIcon(QStringLiteral("restart")));
  connect(restart, &QAction::triggered, this, [this] {
    if (link_commands_ == nullptr) {
      NotAvailableYet();
    } else if (ConfirmLeaveRemote()) {
      link_commands_->Restart();
    }
  });
  interface_menu_ = file->addMenu(Tr("Interface"));
  interface_menu_->setObjectName(QStringLiteral("MenuInterface"));
  file->addSeparator();
  recent_menu_ = file->addMenu(Tr("Recent Files"));
  recent_menu_->setObjectName(QStringLiteral("MenuRecent"));
  for (int n = 1; n <= 4; ++n) {
    QAction* item = recent_menu_->addAction(QStringLiteral("%1. ").arg(n));
    item->setObjectName(QStringLiteral("SubMenuFile%1").arg(n));
    item->setShortcut(QKeySequence(Qt::CTRL | (Qt::Key_0 + n)));
    connect(item, &QAction::triggered, this, [this, n] { OpenRecentFile(n); });
    recent_items_[n - 1] = item;
  }
  connect(AddAction(file, "MenuDropped", Tr("Dropped Files...")), &QAction::triggered, this,
          [this] {
            drop_form_->show();
            drop_form_->raise();
          });
  file->addSeparator();
  QAction* exit = AddAction(file, "MenuExit", Tr("Exit"));
  exit->setIcon(common::ToolIcon(QStringLiteral("exit")));
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(Tr("&Edit"));
  edit->setObjectName(QStringLiteral("MenuEdit"));
  connect(edit, &QMenu::aboutToShow, this, &TMainForm::UpdateMenuItems);
  const std::pair<const char*, std::pair<QString, QKeySequence>> edit_items[] = {
      {"MenuCopyLabels", {Tr("Copy Selected Labels"), QKeySequence(Qt::CTRL | Qt::Key_C)}},
      {"MenuPasteLabels", {Tr("Paste Labels"), QKeySequence(Qt::CTRL | Qt::Key_V)}},
      {nullptr, {}},
      {"MenuCopyXpoint",
       {Tr("Copy Selected X-Points"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)}},
      {"MenuPasteXpoint", {Tr("Paste X-Points"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)}},
  };
  for (const auto& [name, item] : edit_items) {
    if (name == nullptr) {
      edit->addSeparator();
      continue;
    }
    QAction* a = AddAction(edit, name, item.first, item.second);
    a->setIcon(common::ToolIcon(QString::fromLatin1(name).contains(QStringLiteral("Copy"))
                                    ? QStringLiteral("copy")
                                    : QStringLiteral("paste")));
    connect(a, &QAction::triggered, this, [this, a] { EditMenuClick(a->objectName()); });
  }

  QMenu* tools = menuBar()->addMenu(Tr("&Tools"));
  tools->setObjectName(QStringLiteral("MenuTools"));
  connect(tools, &QMenu::aboutToShow, this, &TMainForm::UpdateMenuItems);
  const std::tuple<const char*, QString, QKeySequence, const char*> tool_items[] = {
      {"MenuVTScale", Tr("ZA-Dizod"), {}, "scale"},
      {"MenuKeyboard", Tr("Keyboard..."), QKeySequence(Qt::CTRL | Qt::Key_K), "keyboard"},
      {"MenuPresetOptions", Tr("Preset Options..."), {}, "rename"},
      {"MenuLCDOptions", Tr("LCD Options..."), {}, "lcd"},
      {"LeqmOptions", Tr("Leq(m) Options..."), {}, nullptr},
      {"ScaleOptions", Tr("Scale Options..."), {}, nullptr},
      {"MenuWriteProtectLockCode", Tr("Write Protect Lock Code..."), {}, nullptr},
      {"MenuMousePad", Tr("Mouse  Pad"), {}, nullptr},
  };
  for (const auto& [name, caption, keys, icon] : tool_items) {
    QAction* a = AddAction(tools, name, caption, keys);
    if (icon != nullptr) {
      a->setIcon(common::ToolIcon(QString::fromLatin1(icon)));
    }
    connect(a, &QAction::triggered, this, &TMainForm::NotAvailableYet);
  }
  scale_commands_ = new ScaleCommands(*this, prompts_);
  disconnect(FindAction(QStringLiteral("MenuVTScale")), nullptr, this, nullptr);
  connect(FindAction(QStringLiteral("MenuVTScale")), &QAction::triggered, scale_commands_,
          &ScaleCommands::Open);
  tools->addSeparator();
  qlx_software_menu_ = tools->addMenu(Tr("QLX Software"));
  qlx_software_menu_->setObjectName(QStringLiteral("MenuQLXSoftware"));
  connect(AddAction(qlx_software_menu_, "InstallSoftware1", Tr("Install Software")),
          &QAction::triggered, this, [this] {
            if (install_commands_ != nullptr) {
              install_commands_->InstallSoftwareClick();
            }
          });
  tools->addSeparator();
  QAction* options = AddAction(tools, "MenuOptions", Tr("Options..."));
  options->setIcon(common::ToolIcon(QStringLiteral("options")));
  connect(options, &QAction::triggered, this, [this] { program_options_->ShowOptions(); });

  QMenu* macro = menuBar()->addMenu(Tr("&Macro"));
  macro->setObjectName(QStringLiteral("MenuMacro"));
  for (int i = 1; i <= 10; ++i) {
    QAction* a = macro->addAction(Tr("<Unassigned>"));
    a->setObjectName(QStringLiteral("MenuMacroItem%1").arg(i));
    a->setShortcut(QKeySequence(Qt::CTRL | (Qt::Key_F1 + i - 1)));
    connect(a, &QAction::triggered, this, [this, i] { MacroItemClick(i); });
  }
  macro->addSeparator();
  QAction* run = AddAction(macro, "MenuMacroLoad", Tr("Run Macro..."),
                           QKeySequence(Qt::CTRL | Qt::Key_F11));
  run->setIcon(common::ToolIcon(QStringLiteral("macro_run")));
  connect(run, &QAction::triggered, this, [this] { MacroItemClick(RemoteCommands::kRunMacroItem); });
  QAction* stop = AddAction(macro, "MenuMacroStop", Tr("Stop Macro"),
                            QKeySequence(Qt::CTRL | Qt::Key_F12));
  stop->setIcon(common::ToolIcon(QStringLiteral("macro_stop")));
  stop->setEnabled(false);
  connect(stop, &QAction::triggered, this, [this] {
    if (remote_commands_ != nullptr) remote_commands_->StopMacro();
  });
  macro->addSeparator();
  connect(AddAction(macro, "MenuMacroSave", Tr("Save Macro...")), &QAction::triggered, this,
          [this] {
            UpdateMacroMenu();
            if (FindAction(QStringLiteral("MenuMacroSave"))->isEnabled()) {
              matrix_->MenuMacroSaveClick();
            }
          });
  macro->addSeparator();
  global_hotkeys_ = AddAction(macro, "MenuMacroGlobal",
                              Tr("Enable the shortcuts in this menu to be global."));
  global_hotkeys_->setCheckable(true);
  hotkeys_ = new remote::GlobalHotkeys(this);
  connect(global_hotkeys_, &QAction::triggered, this, [this](bool on) { SetGlobalHotkeys(on); });
  connect(hotkeys_, &remote::GlobalHotkeys::HotkeyPressed, this, &TMainForm::GlobalHotkeyPressed);
  connect(macro, &QMenu::aboutToShow, this, [this] {
    UpdateMacroMenu();  // the selection Save Macro follows changes without telling the menu
    UpdateMenuItems();
  });

  QMenu* help = menuBar()->addMenu(Tr("&Help"));
  help->setObjectName(QStringLiteral("MenuHelp"));
  QAction* help_item = AddAction(help, "Help2", Tr("Help"));
  connect(help_item, &QAction::triggered, this, &TMainForm::OpenHelp);
  QAction* search = AddAction(help, "Search1", Tr("Search"));
  search->setVisible(false);
  help->addSeparator();
  QAction* about = AddAction(help, "ManuAbout", Tr("About..."));
  about->setIcon(common::ToolIcon(QStringLiteral("about")));
  connect(about, &QAction::triggered, this, &TMainForm::NotAvailableYet);
}

QToolButton* TMainForm::AddToolButton(const char* object_name, const QString& icon,
                                      const QString& hint, QAction* twin) {
  auto* b = new QToolButton(this);
  b->setObjectName(QString::fromLatin1(object_name));
  b->setIcon(common::ToolIcon(icon));
  b->setToolTip(hint);
  b->setAutoRaise(true);
  if (twin != nullptr) {
    connect(b, &QToolButton::clicked, twin, &QAction::trigger);
  }
  return b;
}

void TMainForm::CreateToolBar() {
  QToolBar* bar = addToolBar(Tr("Toolbar"));
  bar->setObjectName(QStringLiteral("ToolBar"));
  bar->setMovable(false);
  bar->setIconSize(QSize(16, 16));
  bar->addWidget(AddToolButton("ToolButtonOpen", QStringLiteral("open"), Tr("Open..."),
                               FindAction(QStringLiteral("MenuOpen"))));
  bar->addWidget(AddToolButton("ToolButtonSave", QStringLiteral("save"), Tr("Save"),
                               FindAction(QStringLiteral("MenuSave"))));
  bar->addWidget(AddToolButton("ToolButtonSaveAs", QStringLiteral("save_as"), Tr("Save as..."),
                               FindAction(QStringLiteral("MenuSaveAs"))));
  bar->addSeparator();
  QToolButton* remote = AddToolButton("ToolButtonRemote", QStringLiteral("remote"),
                                      Tr("Remote control of a connected QLX."), nullptr);
  remote->setCheckable(true);
  connect(remote, &QToolButton::clicked, this, [this, remote](bool down) {
    if (remote_commands_ == nullptr) {
      remote->setChecked(false);
      NotAvailableYet();
    } else if (down) {
      remote_commands_->StartRemoteControl(false);
      remote->setChecked(ctx_.connected);
    } else {
      ConfirmLeaveRemote();
    }
  });
  bar->addWidget(remote);
  bar->addWidget(AddToolButton("ToolButtonUpload", QStringLiteral("upload"),
                               Tr("Upload configuration from the QLX."),
                               FindAction(QStringLiteral("MenuUpload"))));
  bar->addWidget(AddToolButton("ToolButtonDownload", QStringLiteral("download"),
                               Tr("Download configuration to the QLX."),
                               FindAction(QStringLiteral("MenuDownload"))));
  bar->addWidget(AddToolButton("ToolButtonReset", QStringLiteral("restart"),
                               Tr("Restart the connected QLX."),
                               FindAction(QStringLiteral("MenuRestart"))));
  bar->addSeparator();
  preset_drop_down_ = new QComboBox(this);
  preset_drop_down_->setObjectName(QStringLiteral("PresetDropDown"));
  preset_drop_down_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  preset_drop_down_->setMaxVisibleItems(11);
  preset_drop_down_->setMinimumContentsLength(22);
  preset_drop_down_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  preset_drop_down_->setToolTip(Tr("Switch between presets."));
  connect(preset_drop_down_, &QComboBox::activated, this, &TMainForm::PresetDropDownChange);
  bar->addWidget(preset_drop_down_);
  bar->addWidget(AddToolButton("ToolButtonRename", QStringLiteral("rename"), Tr("Preset options."),
                               FindAction(QStringLiteral("MenuPresetOptions"))));
  bar->addSeparator();
  backlight_ = new QSlider(Qt::Horizontal, this);
  backlight_->setObjectName(QStringLiteral("BacklightTrackBar"));
  backlight_->setRange(0, TMainForm::kBacklightMax);
  backlight_->setPageStep(1);
  backlight_->setValue(TMainForm::kBacklightMax);
  backlight_->setFixedWidth(90);
  backlight_->setToolTip(Tr("Adjust the backlight intensity."));
  connect(backlight_, &QSlider::valueChanged, this, &TMainForm::BacklightChanged);
  bar->addWidget(backlight_);
  bar->addSeparator();
  bar->addWidget(AddToolButton("ToolButtonExit", QStringLiteral("exit"), Tr("Exit."),
                               FindAction(QStringLiteral("MenuExit"))));
  dot_log_button_ = new QPushButton(QStringLiteral("DotLog"), this);
  dot_log_button_->setObjectName(QStringLiteral("Button2"));
  debug_button_ = new QPushButton(QStringLiteral("Debug"), this);
  debug_button_->setObjectName(QStringLiteral("Button3"));
  for (QPushButton* b : {dot_log_button_, debug_button_}) {
    b->setVisible(false);
  }
  QAction* dot_log_action = bar->addWidget(dot_log_button_);
  QAction* debug_action = bar->addWidget(debug_button_);
  dot_log_action->setObjectName(QStringLiteral("DotLogButtonAction"));
  debug_action->setObjectName(QStringLiteral("DebugButtonAction"));
  dot_log_action->setVisible(false);
  debug_action->setVisible(false);
  connect(dot_log_button_, &QPushButton::clicked, this,
          [this] { dot_log_form_->setVisible(!dot_log_form_->isVisible()); });
  connect(debug_button_, &QPushButton::clicked, this,
          [this] { debug_form_->setVisible(!debug_form_->isVisible()); });

  auto* spacer = new QWidget(this);
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  bar->addWidget(spacer);
  web_label_ = new QLabel(this);
  web_label_->setObjectName(QStringLiteral("WebLabel"));
  web_label_->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                          .arg(MakerWebAddress().toString(), MakerWebText()));
  web_label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  web_label_->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  connect(web_label_, &QLabel::linkActivated, this, [this] {
    web_label_->setText(QStringLiteral("<a href=\"%1\" style=\"color:#800080\">"
                                       "%2</a>")
                            .arg(MakerWebAddress().toString(), MakerWebText()));
    OpenWebAddress();
  });
  web_panel_ = bar->addWidget(web_label_);
  web_panel_->setObjectName(QStringLiteral("WebPanel"));
  tool_bar_ = bar;
  bar->installEventFilter(this);
  qApp->installEventFilter(this);  // for the Delete key held over the Macro menu
}

}  // namespace zizara::gui::app

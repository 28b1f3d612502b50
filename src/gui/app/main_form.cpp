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

namespace {
constexpr char kPresetFilter[] = TrNoop("QLX Configuration-Files (*.PRE *.pre);;All Files (*)");
constexpr int kBacklightMax = 7;
}  // namespace

TMainForm::TMainForm(AppContext& ctx, core::ui_port::Prompts& prompts,
                     core::ui_port::FileChooser& files, QString settings_path, QWidget* parent)
    : QMainWindow(parent),
      ctx_(ctx),
      prompts_(prompts),
      files_(files),
      settings_path_(std::move(settings_path)) {
  setObjectName(QStringLiteral("TMainForm"));
  setWindowTitle(Tr("VT-Zizara v. 1.2"));
  setMinimumSize(656, 487);
  resize(656, 487);
  setWindowIcon(common::AppIcon());
  program_options_ = new ProgramOptionsCommands(*this, prompts_);
  CreateMenus();
  CreateToolBar();
  CreateCentralArea();
  CreateStatusBar();
  debug_form_ = new link::TDebugForm(this);
  dot_log_form_ = new link::TDotLogForm(this);
  remote::TDropListForm::Actions drop_actions;
  drop_actions.open_preset = [this](const QString& path) { OpenPreset(path); };
  drop_actions.run_macro = [this](const QString& path) { RunMacroFile(path); };
  drop_actions.act_on_single = [this](const QString& path) {
    const QString kind = FileKind(path);
    if (kind == QStringLiteral(".PRE")) {
      OpenPreset(path);
    } else if (kind == QStringLiteral(".MCR")) {
      RunMacroFile(path);
    } else if (!kind.isEmpty()) {
      return install_commands_ == nullptr || install_commands_->PackageDropped(path);
    }
    return true;
  };
  drop_form_ = new remote::TDropListForm(drop_actions, this);
  live_commands_ = new LiveCommands(*this, prompts_);
  setAcceptDrops(true);
  ctx_.config.trailer = cfg::PresetTrailer{};
  option_commands_ = new OptionCommands(*this, prompts_);
  undo_commands_ = new UndoCommands(*this, prompts_);
  ShowMatrix(false);
  SetMenuState(MenuState::kInitialize);
  SetRemoteMenuChecks(false);
}

TMainForm::~TMainForm() = default;

void TMainForm::SetRemoteMenuChecks(bool connected) {
  remote_checks_connected_ = connected;
  FindAction(QStringLiteral("SubMenuConnect"))->setChecked(connected);
  FindAction(QStringLiteral("SubMenuDisconnect"))->setChecked(!connected);
}

QAction* TMainForm::AddAction(QMenu* menu, const char* object_name, const QString& caption,
                              const QKeySequence& shortcut) {
  QAction* a = menu->addAction(caption);
  a->setObjectName(QString::fromLatin1(object_name));
  if (!shortcut.isEmpty()) {
    a->setShortcut(shortcut);
  }
  return a;
}

QAction* TMainForm::FindAction(const QString& object_name) const {
  return findChild<QAction*>(object_name);
}

QToolButton* TMainForm::FindToolButton(const QString& object_name) const {
  return findChild<QToolButton*>(object_name);
}

void TMainForm::NotAvailableYet() {
  prompts_.Information(Tr("This function is not available in this version yet."));
}

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
  backlight_->setRange(0, kBacklightMax);
  backlight_->setPageStep(1);
  backlight_->setValue(kBacklightMax);
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

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tool_bar_ && event->type() == QEvent::Resize) {
    LayoutWebPanel();
  }
  if (watched == matrix_ && event->type() == QEvent::Resize) {
    UpdateSizeSteps();
  }
  // Delete held while a macro item is clicked unassigns it; the open menu has the keyboard.
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Delete && !key->isAutoRepeat()) {
      delete_held_ = event->type() == QEvent::KeyPress;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::UpdateSizeSteps() {
  // The window is resized in whole cells from a size that fits the panels and the scroll
  // bars, so the matrix fills it without a strip left over.
  if (!matrix_->isVisible()) return;
  const int extent = matrix_->ScrollBarX()->height();
  const QSize chrome = size() - matrix_->size();
  const QSize base =
      chrome + QSize(core::matrix::kPanelExtent + extent, core::matrix::kPanelExtent + 1 + extent);
  if (base != baseSize()) setBaseSize(base);
  const QSize step(core::matrix::kCellPitch, core::matrix::kCellPitch);
  if (sizeIncrement() != step) setSizeIncrement(step);
}

void TMainForm::LayoutWebPanel() {
  if (tool_bar_ == nullptr || web_panel_ == nullptr) {
    return;
  }
  // The link shows only where it fits beside the controls, never behind an overflow arrow.
  int used = 0;
  for (QAction* a : tool_bar_->actions()) {
    if (a == web_panel_ || !a->isVisible()) continue;
    if (QWidget* w = tool_bar_->widgetForAction(a)) {
      if (w->sizePolicy().horizontalPolicy() != QSizePolicy::Expanding) used += w->sizeHint().width();
    }
  }
  const int free = tool_bar_->width() - used - 8 - 8 * tool_bar_->actions().size();
  web_panel_->setVisible(free > std::max(154, web_label_->sizeHint().width()));
}

void TMainForm::CreateCentralArea() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  // No margin below: the matrix's scroll bar sits on the status bar.
  layout->setContentsMargins(4, 4, 4, 0);
  // The routing matrix (grid, labels and scroll bars) lives here; ShowMatrix switches it.
  matrix_area_ = new QWidget(central);
  matrix_area_->setObjectName(QStringLiteral("MatrixArea"));
  auto* matrix_layout = new QVBoxLayout(matrix_area_);
  matrix_layout->setContentsMargins(0, 0, 0, 0);
  matrix_ = new matrix::TMatrixView(
      matrix::MatrixContext{ctx_.config, ctx_.connected, ctx_.macro_running, prompts_, files_},
      matrix_area_);
  matrix_layout->addWidget(matrix_);
  matrix_->installEventFilter(this);
  matrix_->InstallKeyPreview(this, preset_drop_down_);
  connect(matrix_, &matrix::TMatrixView::Edited, this, [this] { SetMenuState(MenuState::kSave); });
  connect(matrix_, &matrix::TMatrixView::SelectionChanged, this, &TMainForm::UpdateMacroMenu);
  // What the clipboard holds is read once per change, not on every menu-state change: asking
  // another program's clipboard can take a round trip to the display server.
  clipboard_has_labels_ = matrix::TMatrixView::ClipboardHasLabels();
  clipboard_has_xpoints_ = matrix::TMatrixView::ClipboardHasXPoints();
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
    clipboard_has_labels_ = matrix::TMatrixView::ClipboardHasLabels();
    clipboard_has_xpoints_ = matrix::TMatrixView::ClipboardHasXPoints();
    // Only the paste items follow the clipboard; copying follows the menu states.
    const MenuFlags f = Flags();
    const bool can_paste = commands_.matrix_visible && !f.connected;
    commands_.paste_labels = can_paste && f.clipboard_has_labels;
    commands_.paste_xpoints = can_paste && f.clipboard_has_xpoints;
    ApplyCommandStates();
  });
  layout->addWidget(matrix_area_);
  empty_hint_ = new QLabel(
      Tr("Open a preset file (Ctrl+O), or upload the configuration from a connected QLX."),
      central);
  empty_hint_->setObjectName(QStringLiteral("EmptyHint"));
  empty_hint_->setAlignment(Qt::AlignCenter);
  empty_hint_->setEnabled(false);
  empty_hint_->setWordWrap(true);
  layout->addWidget(empty_hint_);
  setCentralWidget(central);
}

void TMainForm::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusPanel"));
  bar->setSizeGripEnabled(false);
  const auto panel = [this](const char* name, const QString& text, int width) {
    auto* l = new QLabel(text, this);
    l->setObjectName(QString::fromLatin1(name));
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    // Panels show file names and what the instrument reports: never as markup.
    l->setTextFormat(Qt::PlainText);
    if (width > 0) {
      l->setMinimumWidth(width);
    }
    return l;
  };
  file_panel_ = panel("FilePanel", QString(), 0);
  file_panel_->setMinimumWidth(80);
  file_panel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  offset_panel_ = panel("OffsetPanel", QString(), 130);
  connected_panel_ = panel("ConnectedPanel", Tr("Not Connected"), 100);
  serial_panel_ = panel("SerialPanel", Tr("Serial No.: Unknown"), 130);
  port_panel_ = panel("PortPanel", QStringLiteral("ttyS0"), 70);
  bar->addWidget(file_panel_, 1);
  bar->addPermanentWidget(offset_panel_);
  bar->addPermanentWidget(connected_panel_);
  bar->addPermanentWidget(serial_panel_);
  bar->addPermanentWidget(port_panel_);
}

MenuFlags TMainForm::Flags() const {
  MenuFlags f;
  f.connected = ctx_.connected;
  f.instrument_detected = ctx_.instrument_detected;
  f.model_supported = ctx_.model_supported;
  f.bios_mode = ctx_.bios_mode;
  f.modified = ctx_.config.modified;
  f.has_file_name = !save_dialog_name_.isEmpty();
  f.version_number = ctx_.config.trailer.software_version;
  f.matrix_visible = commands_.matrix_visible;
  f.clipboard_has_labels = clipboard_has_labels_;
  f.clipboard_has_xpoints = clipboard_has_xpoints_;
  return f;
}

void TMainForm::SetMenuState(const QString& name) {
  if (const auto state = MenuStateFromName(name)) {
    SetMenuState(*state);
  }
}

void TMainForm::SetMenuState(MenuState state) {
  const MenuEffects e = ApplyMenuState(state, Flags(), commands_);
  if (e.clear_modified) {
    ctx_.config.modified = false;
  }
  if (e.reset_backlight) {
    const QSignalBlocker block(backlight_);
    backlight_->setValue(0);
  }
  if (e.empty_preset_list) {
    preset_drop_down_->clear();
  }
  if (e.show_matrix) {
    ShowMatrix(true);
  } else if (e.hide_matrix) {
    ShowMatrix(false);
  }
  ApplyCommandStates();
  emit MenuStateSet(state);
}

void TMainForm::ShowMatrix(bool visible) {
  ApplyMatrixVisibility(visible, Flags(), commands_);
  matrix_area_->setVisible(visible);
  empty_hint_->setVisible(!visible);
  ApplyCommandStates();
}

void TMainForm::UpdateMenuItems() {
  ::zizara::gui::app::UpdateMenuItems(Flags(), commands_);
  ApplyCommandStates();
}

void TMainForm::UpdateMacroMenu() {
  // Disabled actions swallow their shortcuts, so Ctrl+F12 works only while this is current.
  const bool idle = !ctx_.macro_running;
  const bool remote = commands_.remote_menu;
  for (int i = 1; i <= 10; ++i) {
    FindAction(QStringLiteral("MenuMacroItem%1").arg(i))->setEnabled(idle && remote);
  }
  FindAction(QStringLiteral("MenuMacroLoad"))->setEnabled(idle && remote);
  FindAction(QStringLiteral("MenuMacroStop"))->setEnabled(!idle);
  // A macro is written from what the matrix shows: never from a selection left behind.
  FindAction(QStringLiteral("MenuMacroSave"))
      ->setEnabled(idle && matrix_ != nullptr && commands_.matrix_visible &&
                   matrix_->model().selection.Any(core::matrix::Axis::kOutputs));
}

void TMainForm::ApplyCommandStates() {
  const CommandStates& c = commands_;
  const auto set = [this](const char* action, const char* button, bool enabled) {
    if (action != nullptr) {
      if (QAction* a = FindAction(QString::fromLatin1(action))) a->setEnabled(enabled);
    }
    if (button != nullptr) {
      if (QToolButton* b = FindToolButton(QString::fromLatin1(button))) b->setEnabled(enabled);
    }
  };
  set("MenuOpen", "ToolButtonOpen", c.open);
  set("MenuSave", "ToolButtonSave", c.save);
  set("MenuSaveAs", "ToolButtonSaveAs", c.save_as);
  set("MenuFileInfo", nullptr, c.file_info);
  set("MenuUpload", "ToolButtonUpload", c.upload);
  set("MenuDownload", "ToolButtonDownload", c.download);
  set("MenuRestart", "ToolButtonReset", c.restart);
  set(nullptr, "ToolButtonRemote", c.remote_button);
  remote_menu_->setEnabled(c.remote_menu);
  set("MenuPresetOptions", "ToolButtonRename", c.preset_options);
  set("MenuLCDOptions", nullptr, c.lcd_options);
  set("LeqmOptions", nullptr, c.leqm_options);
  set("ScaleOptions", nullptr, c.scale_options);
  set("MenuWriteProtectLockCode", nullptr, c.lock_code);
  set("MenuCopyLabels", nullptr, c.copy_labels);
  set("MenuPasteLabels", nullptr, c.paste_labels);
  set("MenuCopyXpoint", nullptr, c.copy_xpoints);
  set("MenuPasteXpoint", nullptr, c.paste_xpoints);
  set("MenuKeyboard", nullptr, c.keyboard);
  qlx_software_menu_->setEnabled(c.qlx_software);
  if (QToolButton* remote = FindToolButton(QStringLiteral("ToolButtonRemote"))) {
    remote->setChecked(c.remote_button_down);
  }
  preset_drop_down_->setEnabled(c.preset_dropdown);
  backlight_->setEnabled(c.backlight);
  backlight_->setTickPosition(c.backlight_ticks ? QSlider::TicksBelow : QSlider::NoTicks);
  FindAction(QStringLiteral("MenuMousePad"))
      ->setVisible(ctx_.debug_mode || ctx_.mouse_pad_item_shown);
  for (const char* name : {"DotLogButtonAction", "DebugButtonAction"}) {
    if (QAction* a = FindAction(QString::fromLatin1(name))) a->setVisible(ctx_.debug_mode);
  }
  dot_log_button_->setVisible(ctx_.debug_mode);
  debug_button_->setVisible(ctx_.debug_mode);
  UpdateMacroMenu();
}

void TMainForm::RefreshPresetList() {
  const QSignalBlocker block(preset_drop_down_);
  const int current = preset_drop_down_->currentIndex();
  preset_drop_down_->clear();
  preset_drop_down_->addItems(cfg::PresetDropDownItems(ctx_.config.image));
  preset_drop_down_->setCurrentIndex(current >= 0 ? current : 0);
}

void TMainForm::SelectPreset(int p) {
  const QStringList lines = ctx_.config.SelectPreset(p);
  debug_form_->SetLines(lines);
  matrix_->RebuildFromImage();
}

void TMainForm::EditMenuClick(const QString& item) {
  if (item == QStringLiteral("MenuCopyLabels")) {
    matrix_->MenuCopyClick();
  } else if (item == QStringLiteral("MenuPasteLabels")) {
    matrix_->MenuPasteClick();
  } else if (item == QStringLiteral("MenuCopyXpoint")) {
    matrix_->MenuCopyXpointClick();
  } else if (item == QStringLiteral("MenuPasteXpoint")) {
    matrix_->MenuPasteXpointClick();
  }
}

void TMainForm::FillPresetListFromImage() {
  {
    const QSignalBlocker block(preset_drop_down_);
    preset_drop_down_->clear();
    preset_drop_down_->addItems(cfg::PresetDropDownItems(ctx_.config.image));
    preset_drop_down_->setCurrentIndex(0);
  }
  offset_panel_->setText(cfg::OffsetStandardText(ctx_.config.image));
}

void TMainForm::PresetDropDownChange(int index) {
  if (ctx_.connected && remote_commands_ != nullptr) {
    remote_commands_->SelectPresetOnInstrument(index);
    return;
  }
  if (!ctx_.connected) {
    SelectPreset(index);
    preset_drop_down_->setFocus();
  }
}

void TMainForm::SetBacklightFromImage() {
  const QSignalBlocker block(backlight_);
  backlight_->setValue(std::min<int>(kBacklightMax, ctx_.config.image.Byte(cfg::offsets::kBacklight)));
}

void TMainForm::BacklightChanged(int value) {
  ctx_.config.modified = true;
  ctx_.config.image.SetByte(cfg::offsets::kBacklight, static_cast<std::uint8_t>(value));
  SetMenuState(MenuState::kSave);
}

bool TMainForm::LoadPresetFile(const QString& name) {
  if (!cfg::LoadPresetFile(name, prompts_, ctx_.config.image, ctx_.config.trailer)) {
    return false;
  }
  FillPresetListFromImage();
  SetMenuState(MenuState::kSave);
  return true;
}

bool TMainForm::CheckSaveChanges() {
  return cfg::CheckSaveChanges(ctx_.config, prompts_, [this] { return SaveAs(); });
}

bool TMainForm::ConfirmLeaveRemote() {
  return remote_commands_ == nullptr || remote_commands_->ConfirmLeaveRemote();
}

bool TMainForm::OpenPreset(const QString& given) {
  if (!ConfirmLeaveRemote() || !CheckSaveChanges()) {
    return false;
  }
  QString name = given;
  if (name.isEmpty()) {
    name = files_.OpenFileName(Tr("Open"), Tr(kPresetFilter));
    if (name.isEmpty()) {
      return false;
    }
  }
  if (!LoadPresetFile(name)) {
    prompts_.Error(Tr("This is not a valid configuration-file!"));
    return false;
  }
  SetMenuState(MenuState::kOpen);
  ctx_.config.file_name.clear();
  save_dialog_name_.clear();
  SetFilePanel(name);
  AddRecentFile(name);
  SelectPreset(preset_drop_down_->currentIndex());
  SetBacklightFromImage();
  ShowMatrix(true);
  ctx_.config.modified = false;
  SetMenuState(MenuState::kSave);
  return true;
}

void TMainForm::OpenRecentFile(int n) {
  if (n < 1 || n > 4 || !recent_items_[n - 1]->isVisible()) {
    return;
  }
  if (!ConfirmLeaveRemote() || !CheckSaveChanges()) {
    return;
  }
  core::settings::IniFile ini(settings_path_);
  ini.Load();
  const QString path = core::settings::ReadRecentFiles(ini).files[n - 1];
  if (!LoadPresetFile(path)) {
    return;
  }
  SetMenuState(MenuState::kOpen);
  SetFilePanel(path);
  SelectPreset(preset_drop_down_->currentIndex());
  ctx_.config.modified = false;
  ctx_.config.file_name.clear();
  save_dialog_name_.clear();
  SetMenuState(MenuState::kOpen);
  SetBacklightFromImage();
  ctx_.config.modified = false;
  ShowMatrix(true);
  SetMenuState(MenuState::kSave);
}

void TMainForm::Save() {
  if (ctx_.config.file_name.isEmpty()) {
    SaveAs();
    return;
  }
  QString error;
  if (!cfg::SavePresetFile(ctx_.config.file_name, ctx_.config.image, ctx_.config.trailer, &error)) {
    prompts_.Error(Tr("The file ") + QLatin1Char('"') + ctx_.config.file_name + QLatin1Char('"') +
                   Tr(" could not be saved: ") + error);
    return;
  }
  ctx_.config.modified = false;
  SetMenuState(MenuState::kSave);
}

cfg::SaveAsOutcome TMainForm::SaveAs() {
  const QString chosen = files_.SaveFileName(Tr("Save As"), Tr(kPresetFilter),
                                             save_dialog_name_);
  if (chosen.isEmpty()) {
    return cfg::SaveAsOutcome::kCancelled;
  }
  const QString name = cfg::PresetFileNameForSave(chosen);
  if (QFileInfo::exists(name) &&
      !prompts_.Confirm(Tr("The file ") + name + Tr(" allready exists.") + QStringLiteral("\r\r") +
                        Tr("Do you wish to overwrite it?"))) {
    save_dialog_name_.clear();
    return cfg::SaveAsOutcome::kCancelled;
  }
  QString error;
  if (!cfg::SavePresetFile(name, ctx_.config.image, ctx_.config.trailer, &error)) {
    // Nothing was replaced; the changes stay unsaved and the user is told why.
    prompts_.Error(Tr("The file ") + QLatin1Char('"') + name + QLatin1Char('"') +
                   Tr(" could not be saved: ") + error);
    return cfg::SaveAsOutcome::kCancelled;
  }
  ctx_.config.file_name = name;
  save_dialog_name_ = name;
  SetFilePanel(name);
  ctx_.config.modified = false;
  SetMenuState(MenuState::kSave);
  AddRecentFile(name);
  return cfg::SaveAsOutcome::kSaved;
}

void TMainForm::AddRecentFile(const QString& path) {
  QString error;
  core::settings::AddRecentFile(settings_path_, path, nullptr, &error);  // a failure is harmless
  RefreshRecentMenu();
}

void TMainForm::RefreshRecentMenu() {
  core::settings::IniFile ini(settings_path_);
  ini.Load();
  const core::settings::RecentFilesMenu menu =
      core::settings::BuildRecentFilesMenu(core::settings::ReadRecentFiles(ini));
  for (int i = 0; i < 4; ++i) {
    recent_items_[i]->setText(menu.items[i].caption);
    recent_items_[i]->setVisible(menu.items[i].visible);
  }
  recent_menu_->setEnabled(menu.submenu_enabled);
}

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

void TMainForm::SetLinkController(link::LinkController* controller) {
  link_controller_ = controller;
  live_commands_->SetController(controller);
  delete reconnect_commands_;
  reconnect_commands_ = nullptr;
  delete remote_commands_;
  remote_commands_ = nullptr;
  link_commands_ = controller != nullptr ? new LinkCommands(*this, *controller) : nullptr;
  delete install_commands_;
  install_commands_ = controller != nullptr
                          ? new install::InstallCommands(*this, *controller, prompts_, files_)
                          : nullptr;
  if (controller != nullptr) {
    remote_commands_ = new RemoteCommands(*this, *controller, prompts_);
    reconnect_commands_ =
        new ReconnectCommands(*this, *controller, *link_commands_, *remote_commands_, prompts_,
                              [this] { return program_options_->Options().reconnect; });
    matrix_->SetRemoteSender(remote_commands_);
    remote_commands_->RefreshMacroCaptions();
  } else {
    matrix_->SetRemoteSender(nullptr);
  }
  if (controller != nullptr) {
    connect(controller, &link::LinkController::LineReceived, this, [this](const QByteArray& t) {
      dot_log_form_->AppendLine(QString::fromLatin1(t));
    });
    connect(controller, &link::LinkController::InvalidCharacters, this, [this] {
      dot_log_form_->AppendLine(QString::fromLatin1(core::remote::kInvalidCharLogLine));
    });
    connect(controller, &link::LinkController::HelpRequested, this, [this](int topic) {
      if (ctx_.help != nullptr) {
        ctx_.help->OpenContext(topic);
      }
    });
  }
}

void TMainForm::MacroItemClick(int item) {
  if (remote_commands_ == nullptr) {
    NotAvailableYet();
    return;
  }
  const bool shift = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
  remote_commands_->MacroItemClick(item, shift, delete_held_);
}

void TMainForm::GlobalHotkeyPressed(int n) {
  if (remote_commands_ == nullptr) {
    return;
  }
  remote_commands_->BringMacroWindowToFront();
  if (n == 12) {
    remote_commands_->StopMacro();
  } else {
    MacroItemClick(n <= 10 ? n : RemoteCommands::kRunMacroItem);
  }
}

void TMainForm::SetGlobalHotkeys(bool on) {
  if (!on) {
    hotkeys_->Unregister();
    return;
  }
  // Where the desktop cannot grab keys the item stays checked and usable; say so once.
  if (!hotkeys_->Register() && !hotkeys_unavailable_said_) {
    hotkeys_unavailable_said_ = true;
    prompts_.Information(remote::GlobalHotkeysUnavailableText());
  }
}

void TMainForm::SetMacroItemCaption(int item, const QString& caption) {
  if (QAction* a = FindAction(QStringLiteral("MenuMacroItem%1").arg(item))) {
    a->setText(caption);
  }
}

QString TMainForm::MacroItemCaption(int item) const {
  const QAction* a = FindAction(QStringLiteral("MenuMacroItem%1").arg(item));
  return a != nullptr ? a->text() : QString();
}

bool TMainForm::RunMacroFile(const QString& path) {
  if (remote_commands_ == nullptr) {
    NotAvailableYet();
    return false;
  }
  return remote_commands_->RunMacroFile(path);
}

void TMainForm::ConnectAtStartUp() {
  if (link_commands_ != nullptr) {
    link_commands_->ConnectAtStartUp();
  }
  if (!ctx_.pending_package.isEmpty() && install_commands_ != nullptr) {
    const QString package = ctx_.pending_package;
    ctx_.pending_package.clear();
    if (install_commands_->PackageFromCommandLine(package)) {
      QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
      return;
    }
  }
  if (!ctx_.pending_macro.isEmpty() && remote_commands_ != nullptr) {
    const QString macro = ctx_.pending_macro;
    ctx_.pending_macro.clear();
    remote_commands_->RunMacroFile(macro);
  }
}

void TMainForm::AfterUpload() {
  FillPresetListFromImage();
  SetFilePanel(Tr("Configuration Uploaded from QLX..."));
  SetMenuState(MenuState::kUpLoaded);
  SetBacklightFromImage();
  ShowMatrix(true);
  ctx_.config.modified = true;
  ctx_.config.file_name.clear();
  save_dialog_name_.clear();
  SetMenuState(MenuState::kSave);
  SelectPreset(preset_drop_down_->currentIndex());
}

void TMainForm::RestoreAfterFailedUpload() {
  RefreshPresetList();
  preset_drop_down_->setCurrentIndex(ctx_.config.preset());
  offset_panel_->setText(cfg::OffsetStandardText(ctx_.config.image));
  SetMenuState(MenuState::kOpen);
  SetBacklightFromImage();
  ShowMatrix(true);
  SetMenuState(MenuState::kSave);
}

void TMainForm::HandleCommandLineFile(const QString& path) {
  SetFilePanel(Tr("File executed from command-line. (") + path + QLatin1Char(')'));
  const QString kind = FileKind(path);
  if (kind == QStringLiteral(".PRE")) {
    if (LoadPresetFile(path)) {
      SelectPreset(0);
      SetMenuState(MenuState::kOpen);
      SetBacklightFromImage();
      ShowMatrix(true);
      ctx_.config.modified = false;
      SetMenuState(MenuState::kSave);
    }
  } else if (kind == QStringLiteral(".MCR")) {
    ctx_.pending_macro = path;
  } else if (kind == QStringLiteral(".CDP")) {
    ctx_.pending_package = path;
    ctx_.connect_flags.package_from_command_line = true;
  }
}

void TMainForm::HandleForwardedPath(const QString& path) {
  // A file handed over while another is being handled (its question still open) waits its
  // turn, so questions never stack up and files are handled in the order they came.
  forwarded_paths_.append(path);
  if (handling_forwarded_) return;
  handling_forwarded_ = true;
  while (!forwarded_paths_.isEmpty()) {
    HandleOneForwardedPath(forwarded_paths_.takeFirst());
  }
  handling_forwarded_ = false;
}

void TMainForm::HandleOneForwardedPath(const QString& path) {
  const QString kind = FileKind(path);
  bool executed = true;
  if (kind == QStringLiteral(".PRE")) {
    executed = OpenPreset(path);
  } else if (kind == QStringLiteral(".MCR")) {
    // Declined or not connected: the panel keeps saying what is really there.
    executed = RunMacroFile(path);
  } else if (kind == QStringLiteral(".CDP")) {
    if (install_commands_ != nullptr) {
      executed = install_commands_->PackageForwarded(path);
    } else {
      prompts_.Error(Tr("No QLX connected."));  // no line to any instrument
    }
  }
  if (executed) {
    SetFilePanel(Tr("File executed from file explorer. (") + path + QLatin1Char(')'));
  }
  raise();
  activateWindow();
}

void TMainForm::SetSplashActive(bool active) {
  splash_active_ = active;
  setEnabled(!active);
}

void TMainForm::OpenHelp() {
  if (ctx_.help != nullptr) {
    ctx_.help->OpenContents();
  }
}

void TMainForm::OpenWebAddress() { QDesktopServices::openUrl(MakerWebAddress()); }

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) {
    event->acceptProposedAction();
  }
}

void TMainForm::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) {
      paths << url.toLocalFile();
    }
  }
  event->acceptProposedAction();
  drop_form_->HandleDrop(paths);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() == Qt::ShiftModifier && event->key() >= Qt::Key_F1 &&
      event->key() <= Qt::Key_F11) {
    if (ctx_.connected && remote_commands_ != nullptr) {
      remote_commands_->PressPresetKey(event->key() - Qt::Key_F1 + 1);
    }
    return;
  }
  if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
    OpenHelp();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (link_controller_ != nullptr && link_controller_->Driver() != nullptr &&
      link_controller_->Driver()->isVisible()) {
    event->ignore();  // a transfer runs; its own window decides whether it may stop
    return;
  }
  if (!ConfirmLeaveRemote() || !CheckSaveChanges()) {
    event->ignore();
    return;
  }
  if (remote_commands_ != nullptr) {
    remote_commands_->StopMacro();  // its wait ends before the window goes
  }
  ctx_.closing = true;
  SaveSettings();
  if (debug_form_ != nullptr) debug_form_->close();
  if (dot_log_form_ != nullptr) dot_log_form_->close();
  event->accept();
}

}  // namespace zizara::gui::app

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
  backlight_->setValue(std::min<int>(TMainForm::kBacklightMax, ctx_.config.image.Byte(cfg::offsets::kBacklight)));
}

void TMainForm::BacklightChanged(int value) {
  ctx_.config.modified = true;
  ctx_.config.image.SetByte(cfg::offsets::kBacklight, static_cast<std::uint8_t>(value));
  SetMenuState(MenuState::kSave);
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

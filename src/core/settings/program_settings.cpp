#include "core/settings/program_settings.h"

#include <algorithm>

#include "core/settings/ini_file.h"
#include "core/i18n/tr.h"

namespace zizara::core::settings {
namespace {

constexpr char kWindow[] = "Window";
constexpr char kZizara[] = "Zizara";
constexpr char kKeyboardWindow[] = "KeyboardWindow";
constexpr char kSettings[] = "Settings";
constexpr char kScales[] = "ZA-Dizod";
constexpr char kMacroFiles[] = "MacroFiles";
constexpr char kComInterface[] = "ComInterface";

// Gap kept between the keyboard window's right edge and the main window's right edge.
constexpr int kKeyboardRightMargin = 8;

int ReadImageIndex(const IniFile& ini, const char* key, int lowest, int fallback) {
  const int index = ini.GetInt(kZizara, key, fallback);
  return index < lowest || index >= kCellImageCount ? fallback : index;
}

std::optional<int> ReadOptionalInt(const IniFile& ini, const char* section, const char* key) {
  bool ok = false;
  const int value = ini.GetString(section, key).trimmed().toInt(&ok, 10);
  return ok ? std::optional<int>(value) : std::nullopt;
}

bool UsableExtent(int extent) { return extent > 0 && extent <= kMaxWindowExtent; }

MainWindowSettings ReadMainWindow(const IniFile& ini) {
  MainWindowSettings window;
  const QRect fallback = window.normal_bounds;
  window.maximized = ini.GetBool(kWindow, "Maximized", window.maximized);
  const QRect stored(ini.GetInt(kWindow, "Left", fallback.left()),
                     ini.GetInt(kWindow, "Top", fallback.top()),
                     ini.GetInt(kWindow, "Width", fallback.width()),
                     ini.GetInt(kWindow, "Height", fallback.height()));
  // A damaged size makes the whole rectangle doubtful; the GUI fits the rest on screen.
  if (UsableExtent(stored.width()) && UsableExtent(stored.height())) {
    window.normal_bounds = stored;
  }
  window.grid_pos_x = ini.GetInt(kWindow, "GridPosX", window.grid_pos_x);
  window.grid_pos_y = ini.GetInt(kWindow, "GridPosY", window.grid_pos_y);
  return window;
}

CellImageSettings ReadCellImages(const IniFile& ini) {
  CellImageSettings d;
  CellImageSettings images;
  images.xpoint_from_file = ReadImageIndex(ini, "XpointFromFile", 2, d.xpoint_from_file);
  images.illegal_xpoint_greyed =
      ReadImageIndex(ini, "Illegal_XpointGreyed", 1, d.illegal_xpoint_greyed);
  images.illegal_xpoint_highlight =
      ReadImageIndex(ini, "Illegal_XpointHighlight", 2, d.illegal_xpoint_highlight);
  images.local_xpoint = ini.GetInt(kZizara, "LocalXpoint", d.local_xpoint);
  images.remote_xpoint = ini.GetInt(kZizara, "RemoteXpoint", d.remote_xpoint);
  images.locked_xpoint = ini.GetInt(kZizara, "LockedXpoint", d.locked_xpoint);
  return images;
}

void SetError(QString* error, const QString& text) {
  if (error != nullptr) {
    *error = text;
  }
}

}  // namespace

QString DefaultPortName(const QStringList& system_ports) {
  return system_ports.isEmpty() ? QString::fromLatin1(kFallbackPort) : system_ports.first();
}

QString NormalizePortName(const QString& name) {
  if (IsExternalCommandPort(name)) {
    return QString::fromLatin1(kExternalCommandPort);
  }
  if (!name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
    return name;
  }
  QString reduced;
  for (const QChar c : name.toUpper()) {
    if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z')) {
      reduced.append(c);
    }
  }
  return reduced;
}

bool IsExternalCommandPort(const QString& name) {
  return name.compare(QLatin1String(kExternalCommandPort), Qt::CaseInsensitive) == 0;
}

ProgramOptions OptionsOf(const ProgramSettings& settings) {
  return {settings.double_click, settings.cell_images, settings.trace_mouse,
          settings.trace_color, settings.check_file_association};
}

void StoreOptions(const ProgramOptions& options, ProgramSettings& settings) {
  settings.double_click = options.double_click;
  settings.cell_images = options.cell_images;
  settings.trace_mouse = options.trace_mouse;
  settings.trace_color = options.trace_color;
  settings.check_file_association = options.check_file_association;
}

int SafeCellImageIndex(int index) { return std::clamp(index, 0, kCellImageCount - 1); }

QPoint KeyboardWindowDefaultPosition(const QRect& main_window, const QSize& keyboard_window) {
  // QRect::right() is one short of left + width, the edge meant here.
  const int main_right_edge = main_window.left() + main_window.width();
  return {main_right_edge - keyboard_window.width() - kKeyboardRightMargin,
          main_window.top() + keyboard_window.height()};
}

QPoint KeyboardWindowPosition(const KeyboardWindowSettings& keyboard, const QRect& main_window,
                              const QSize& keyboard_window) {
  const QPoint fallback = KeyboardWindowDefaultPosition(main_window, keyboard_window);
  return {keyboard.left.value_or(fallback.x()), keyboard.top.value_or(fallback.y())};
}

ProgramSettings ReadProgramSettings(const IniFile& ini, const QString& default_port) {
  ProgramSettings s;
  s.window = ReadMainWindow(ini);

  s.double_click = ini.GetBool(kZizara, "DoubleClick", s.double_click);
  s.cell_images = ReadCellImages(ini);
  s.trace_mouse = ini.GetBool(kZizara, "TraceMouse", s.trace_mouse);
  s.trace_color = ini.GetInt(kZizara, "TraceColor", s.trace_color);

  s.keyboard_window.visible = ini.GetBool(kKeyboardWindow, "Visible", false);
  s.keyboard_window.left = ReadOptionalInt(ini, kKeyboardWindow, "Left");
  s.keyboard_window.top = ReadOptionalInt(ini, kKeyboardWindow, "Top");

  // An empty port cannot be opened; treat it like a missing one.
  const QString port = NormalizePortName(ini.GetString(kSettings, kComInterface));
  s.com_interface = port.isEmpty() ? NormalizePortName(default_port) : port;
  s.ext_cmd = ini.GetString(kSettings, "ExtCMD");
  s.global_hotkeys = ini.GetBool(kSettings, "GlobalHotkeys", s.global_hotkeys);
  s.check_file_association =
      ini.GetBool(kSettings, "CheckFileAssociation", s.check_file_association);
  s.debug = ini.GetBool(kSettings, "Debug", s.debug);

  s.last_scale_file = ini.GetString(kScales, "LastScaleFile");
  s.recent_files = ReadRecentFiles(ini);
  s.macro_files = ReadMacroAssignments(ini);
  return s;
}

ProgramSettings LoadProgramSettings(const QString& path, const QString& default_port,
                                    QString* error) {
  const QString port = default_port.isEmpty() ? QString::fromLatin1(kFallbackPort) : default_port;
  IniFile ini(path);
  if (!ini.Exists()) {
    ini.SetString(kSettings, kComInterface, port);
    QString reason;
    if (!ini.Save(&reason)) {
      SetError(error, i18n::Tr("cannot create %1: %2").arg(path, reason));
    }
    return ReadProgramSettings(ini, port);
  }
  if (!ini.Load()) {
    SetError(error, i18n::Tr("cannot read %1").arg(path));
    return ReadProgramSettings(IniFile(path), port);
  }
  return ReadProgramSettings(ini, port);
}

bool SaveProgramSettings(const QString& path, const ProgramSettings& s, QString* error) {
  // Read-modify-write: recent files, macro files, ExtCMD, Debug and anything the user added
  // must survive the close.
  IniFile ini(path);
  if (!ini.Load()) {
    SetError(error, i18n::Tr("cannot read %1").arg(path));
    return false;
  }

  const MainWindowSettings& w = s.window;
  ini.SetBool(kWindow, "Maximized", w.maximized);
  if (!w.maximized) {
    ini.SetInt(kWindow, "Left", w.normal_bounds.left());
    ini.SetInt(kWindow, "Width", w.normal_bounds.width());
    ini.SetInt(kWindow, "Top", w.normal_bounds.top());
    ini.SetInt(kWindow, "Height", w.normal_bounds.height());
  }
  ini.SetInt(kWindow, "GridPosX", w.grid_pos_x);
  ini.SetInt(kWindow, "GridPosY", w.grid_pos_y);

  const CellImageSettings& c = s.cell_images;
  ini.SetBool(kZizara, "DoubleClick", s.double_click);
  ini.SetInt(kZizara, "XpointFromFile", c.xpoint_from_file);
  ini.SetInt(kZizara, "Illegal_XpointGreyed", c.illegal_xpoint_greyed);
  ini.SetInt(kZizara, "Illegal_XpointHighlight", c.illegal_xpoint_highlight);
  ini.SetInt(kZizara, "LocalXpoint", c.local_xpoint);
  ini.SetInt(kZizara, "RemoteXpoint", c.remote_xpoint);
  ini.SetInt(kZizara, "LockedXpoint", c.locked_xpoint);
  ini.SetBool(kZizara, "TraceMouse", s.trace_mouse);
  ini.SetInt(kZizara, "TraceColor", s.trace_color);

  const KeyboardWindowSettings& k = s.keyboard_window;
  ini.SetBool(kKeyboardWindow, "Visible", k.visible);
  if (k.left.has_value()) {
    ini.SetInt(kKeyboardWindow, "Left", *k.left);
  }
  if (k.top.has_value()) {
    ini.SetInt(kKeyboardWindow, "Top", *k.top);
  }

  ini.SetString(kSettings, kComInterface, NormalizePortName(s.com_interface));
  ini.SetBool(kSettings, "GlobalHotkeys", s.global_hotkeys);
  ini.SetBool(kSettings, "CheckFileAssociation", s.check_file_association);

  ini.SetString(kScales, "LastScaleFile", s.last_scale_file);
  return ini.Save(error);
}

QString MacroFileKey(int slot) { return QStringLiteral("File#%1").arg((slot + 1) % 10); }

MacroAssignments ReadMacroAssignments(const IniFile& ini) {
  MacroAssignments macros;
  for (int slot = 0; slot < kMacroSlotCount; ++slot) {
    macros.files[slot] = ini.GetString(kMacroFiles, MacroFileKey(slot).toLatin1().constData());
  }
  return macros;
}

bool AssignMacroFile(const QString& path, int slot, const QString& file, QString* error) {
  if (slot < 0 || slot >= kMacroSlotCount) {
    SetError(error, i18n::Tr("no macro key %1").arg(slot));
    return false;
  }
  IniFile ini(path);
  if (!ini.Load()) {
    SetError(error, i18n::Tr("cannot read %1").arg(path));
    return false;
  }
  ini.SetString(kMacroFiles, MacroFileKey(slot).toLatin1().constData(), file);
  return ini.Save(error);
}

}  // namespace zizara::core::settings

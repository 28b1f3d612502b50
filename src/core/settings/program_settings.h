#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "core/settings/recent_files.h"

namespace zizara::core::settings {

class IniFile;

// The grid draws its cells from this many images, indices 0 .. kCellImageCount - 1.
inline constexpr int kCellImageCount = 26;
// TraceColor value standing for the system button-face colour rather than an RGB value.
inline constexpr int kTraceColorButtonFace = -16777201;
// Port used when the system lists no serial port at all.
inline constexpr char kFallbackPort[] = "ttyS0";
// Port name selecting the external command instead of a serial port.
inline constexpr char kExternalCommandPort[] = "EXT";
// Bounds beyond which stored window sizes are taken as damage, not as a real window.
inline constexpr int kMaxWindowExtent = 100000;
inline constexpr int kMacroSlotCount = 10;

struct MainWindowSettings {
  bool maximized = false;
  // The last normal (not maximized) bounds: Left, Top, Width, Height.
  QRect normal_bounds{10, 10, 656, 487};
  int grid_pos_x = 0;
  int grid_pos_y = 0;
  friend bool operator==(const MainWindowSettings&, const MainWindowSettings&) = default;
};

// Image index per cell state. The first three are checked on load; the others are kept as
// read, so draw through SafeCellImageIndex().
struct CellImageSettings {
  int xpoint_from_file = 6;
  int illegal_xpoint_greyed = 2;
  int illegal_xpoint_highlight = 3;
  int local_xpoint = 13;
  int remote_xpoint = 8;
  int locked_xpoint = 4;
  friend bool operator==(const CellImageSettings&, const CellImageSettings&) = default;
};

struct KeyboardWindowSettings {
  bool visible = false;
  // Unset when the file has no usable value: KeyboardWindowPosition() then places the window
  // next to the main window.
  std::optional<int> left;
  std::optional<int> top;
  friend bool operator==(const KeyboardWindowSettings&, const KeyboardWindowSettings&) = default;
};

// Macro keys 1..9 and 0; files[0] is stored as File#1, files[9] (the tenth key) as File#0.
struct MacroAssignments {
  std::array<QString, kMacroSlotCount> files;
  friend bool operator==(const MacroAssignments&, const MacroAssignments&) = default;
};

struct ProgramSettings {
  MainWindowSettings window;
  bool double_click = true;
  CellImageSettings cell_images;
  bool trace_mouse = false;
  int trace_color = kTraceColorButtonFace;
  KeyboardWindowSettings keyboard_window;
  QString com_interface;  // normalized, see NormalizePortName()
  QString ext_cmd;        // read only; edited in the file by hand
  bool global_hotkeys = false;
  bool check_file_association = true;
  bool debug = false;  // read only
  QString last_scale_file;
  RecentFiles recent_files;      // written by AddRecentFile()
  MacroAssignments macro_files;  // written by AssignMacroFile()
  friend bool operator==(const ProgramSettings&, const ProgramSettings&) = default;
};

// What the program options window edits: read at start, kept in memory, written at close.
struct ProgramOptions {
  bool double_click = true;
  CellImageSettings cell_images;
  bool trace_mouse = false;
  int trace_color = kTraceColorButtonFace;
  bool check_file_association = true;
  friend bool operator==(const ProgramOptions&, const ProgramOptions&) = default;
};
ProgramOptions OptionsOf(const ProgramSettings& settings);
void StoreOptions(const ProgramOptions& options, ProgramSettings& settings);

// The first port the system lists, or kFallbackPort when it lists none.
QString DefaultPortName(const QStringList& system_ports);

// Linux device names are case-sensitive and kept as they are. Windows-style names ("com 3")
// become upper case with only 0-9 and A-Z left ("COM3"); any case of "ext" becomes "EXT".
QString NormalizePortName(const QString& name);
bool IsExternalCommandPort(const QString& name);

// Any stored index brought into 0 .. kCellImageCount - 1, for drawing only: the settings keep
// the value as read so that saving does not rewrite the user's choice.
int SafeCellImageIndex(int index);

// Where the keyboard window goes when the file does not say: its right edge 8 pixels inside
// the main window's right edge, its top one keyboard-height below the main window's top.
QPoint KeyboardWindowDefaultPosition(const QRect& main_window, const QSize& keyboard_window);
// The stored position, each coordinate falling back to the default on its own.
QPoint KeyboardWindowPosition(const KeyboardWindowSettings& keyboard, const QRect& main_window,
                              const QSize& keyboard_window);

// Reads the settings file, first creating it with just the port line when it does not
// exist. Problems go to `error` (optional); the result is always usable, with defaults where
// the file is missing, unreadable or damaged.
ProgramSettings LoadProgramSettings(const QString& path, const QString& default_port,
                                    QString* error = nullptr);
ProgramSettings ReadProgramSettings(const IniFile& ini, const QString& default_port);

// Writes what the program changes at close and keeps every other key and section of the file.
// The normal bounds are written only when not maximized, so the file keeps the last ones.
bool SaveProgramSettings(const QString& path, const ProgramSettings& settings,
                         QString* error = nullptr);

// Key name for a macro slot 0..9: "File#1" .. "File#9", "File#0".
QString MacroFileKey(int slot);
MacroAssignments ReadMacroAssignments(const IniFile& ini);
// Stores one assignment at once, keeping the rest of the file.
bool AssignMacroFile(const QString& path, int slot, const QString& file, QString* error = nullptr);

}  // namespace zizara::core::settings

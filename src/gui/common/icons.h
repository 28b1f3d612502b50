#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace zizara::gui::common {

// Makes the compiled-in pictures available; every function below calls it, so only code that
// opens ":/..." paths itself (before calling any of them) needs it.
void InitResources();

enum class IconSource {
  kThemeFirst,  // the desktop theme's icon where it has a fitting one, else ours
  kOwnOnly,     // always ours, for a uniform look
};

// Every tool icon name: "open", "save", "save_as", "remote", "upload", "download", "restart",
// "rename", "exit", "file_info", "keyboard", "macro_run", "macro_stop", "scale", "lcd",
// "options", "copy", "paste", "about".
const QStringList& ToolIconNames();

// The freedesktop name tried for one of ours ("open" -> "document-open"), or empty.
QString ThemeIconName(const QString& name);

// A 16 px tool icon whose disabled look is always our greyed twin. Null for an unknown name.
QIcon ToolIcon(const QString& name, IconSource source = IconSource::kThemeFirst);

// The 64 px application icon.
QIcon AppIcon();

// Matrix cell pictures, 16x16. Indices with a fixed meaning are the defaults; the rest are
// styles a user may pick instead.
inline constexpr int kCellImageCount = 26;
inline constexpr int kCellEmpty = 0;
inline constexpr int kCellEmptyAlternate = 1;
inline constexpr int kCellIllegal = 2;
inline constexpr int kCellIllegalHighlight = 3;
inline constexpr int kCellLocked = 4;
inline constexpr int kCellFromFile = 6;
inline constexpr int kCellRemote = 8;
inline constexpr int kCellLocal = 13;

// Clamped to 0..kCellImageCount-1; cached, so cheap to call while painting.
QPixmap CellImage(int index);

enum class PanDirection { kNone, kLeft, kUp, kRight, kDown };

// 32x32 cursors with the hot spot in the middle.
QCursor PanCursor(PanDirection direction);

// The 46x46 marker drawn where a pan started.
QPixmap PanOriginMarker();

}  // namespace zizara::gui::common

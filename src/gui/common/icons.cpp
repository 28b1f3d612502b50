#include "gui/common/icons.h"

#include <QHash>
#include <QPixmapCache>
#include <QSize>
#include <algorithm>
#include <mutex>

// Outside any namespace, as the macro declares a global function.
static void InitCompiledResources() { Q_INIT_RESOURCE(resources); }

namespace zizara::gui::common {
namespace {

constexpr int kToolIconSize = 16;
// Theme icons come in several sizes; these cover menus, toolbars and high-DPI toolbars.
constexpr int kThemeSizes[] = {16, 22, 24, 32, 48};

QPixmap CachedPixmap(const QString& path) {
  InitResources();
  QPixmap pixmap;
  if (!QPixmapCache::find(path, &pixmap)) {
    pixmap.load(path);
    QPixmapCache::insert(path, pixmap);
  }
  return pixmap;
}

}  // namespace

void InitResources() {
  static std::once_flag once;
  std::call_once(once, InitCompiledResources);
}

const QStringList& ToolIconNames() {
  static const QStringList names = {"open",     "save",      "save_as",    "remote", "upload",
                                    "download", "restart",   "rename",     "exit",   "file_info",
                                    "keyboard", "macro_run", "macro_stop", "scale",  "lcd",
                                    "options",  "copy",      "paste",      "about"};
  return names;
}

QString ThemeIconName(const QString& name) {
  // Only where the theme's picture means the same thing; the ones about the instrument
  // (remote, upload, download, scale, lcd) stay ours.
  static const QHash<QString, QString> theme_names = {
      {"open", "document-open"},
      {"save", "document-save"},
      {"save_as", "document-save-as"},
      {"restart", "view-refresh"},
      {"exit", "application-exit"},
      {"file_info", "document-properties"},
      {"keyboard", "input-keyboard"},
      {"macro_run", "media-playback-start"},
      {"macro_stop", "media-playback-stop"},
      {"options", "preferences-system"},
      {"copy", "edit-copy"},
      {"paste", "edit-paste"},
      {"about", "help-about"},
  };
  return theme_names.value(name);
}

QIcon ToolIcon(const QString& name, IconSource source) {
  if (!ToolIconNames().contains(name)) return {};
  InitResources();
  const QSize size(kToolIconSize, kToolIconSize);
  QIcon icon;
  const QString theme_name = ThemeIconName(name);
  if (source == IconSource::kThemeFirst && !theme_name.isEmpty() &&
      QIcon::hasThemeIcon(theme_name)) {
    // Copied into a plain icon so our disabled picture can sit beside the theme's.
    const QIcon theme = QIcon::fromTheme(theme_name);
    for (int side : kThemeSizes) {
      const QPixmap pixmap = theme.pixmap(QSize(side, side));
      if (!pixmap.isNull()) icon.addPixmap(pixmap, QIcon::Normal);
    }
  }
  if (icon.isNull()) icon.addFile(QStringLiteral(":/icons/%1.png").arg(name), size, QIcon::Normal);
  icon.addFile(QStringLiteral(":/icons/%1_disabled.png").arg(name), size, QIcon::Disabled);
  return icon;
}

QIcon AppIcon() {
  InitResources();
  return QIcon(QStringLiteral(":/icons/vt-zizara.png"));
}

QPixmap CellImage(int index) {
  index = std::clamp(index, 0, kCellImageCount - 1);
  return CachedPixmap(QStringLiteral(":/cells/cell_%1.png").arg(index, 2, 10, QLatin1Char('0')));
}

QCursor PanCursor(PanDirection direction) {
  const char* name = "none";
  switch (direction) {
    case PanDirection::kNone:
      name = "none";
      break;
    case PanDirection::kLeft:
      name = "left";
      break;
    case PanDirection::kUp:
      name = "up";
      break;
    case PanDirection::kRight:
      name = "right";
      break;
    case PanDirection::kDown:
      name = "down";
      break;
  }
  const QPixmap pixmap = CachedPixmap(QStringLiteral(":/cursors/pan_%1.png").arg(name));
  return QCursor(pixmap, pixmap.width() / 2, pixmap.height() / 2);
}

QPixmap PanOriginMarker() { return CachedPixmap(QStringLiteral(":/cursors/pan_arrow.png")); }

}  // namespace zizara::gui::common

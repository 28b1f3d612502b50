#pragma once

#include <QString>
#include <array>

namespace zizara::core::settings {

class IniFile;

inline constexpr int kRecentFileCount = 4;

// Files section, File_1 (newest) .. File_4. An empty entry is an unused slot.
struct RecentFiles {
  std::array<QString, kRecentFileCount> files;

  friend bool operator==(const RecentFiles&, const RecentFiles&) = default;
};

struct RecentFileMenuItem {
  QString caption;  // "1. /path/file"
  bool visible = false;
};

struct RecentFilesMenu {
  std::array<RecentFileMenuItem, kRecentFileCount> items;
  bool submenu_enabled = false;
};

RecentFiles ReadRecentFiles(const IniFile& ini);

// The list after opening `file`: a new file goes on top and pushes the oldest out; a file
// already listed leaves the order as it is. An empty path changes nothing.
RecentFiles WithRecentFile(const RecentFiles& current, const QString& file);

// Re-reads the list from the settings file (another instance may have changed it), adds
// `file` and writes the file at once if the list changed. Once the file was read, `updated`
// (optional) receives the new list, also when writing fails.
bool AddRecentFile(const QString& settings_path, const QString& file, RecentFiles* updated,
                   QString* error);

// Captions and visibility of the four menu items and whether the submenu is enabled.
RecentFilesMenu BuildRecentFilesMenu(const RecentFiles& recent);

}  // namespace zizara::core::settings

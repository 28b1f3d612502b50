#include "core/settings/recent_files.h"

#include <algorithm>

#include "core/settings/ini_file.h"
#include "core/i18n/tr.h"

namespace zizara::core::settings {
namespace {

constexpr char kFilesSection[] = "Files";
constexpr const char* kFileKeys[kRecentFileCount] = {"File_1", "File_2", "File_3", "File_4"};

}  // namespace

RecentFiles ReadRecentFiles(const IniFile& ini) {
  RecentFiles recent;
  for (int i = 0; i < kRecentFileCount; ++i) {
    recent.files[i] = ini.GetString(kFilesSection, kFileKeys[i]);
  }
  return recent;
}

RecentFiles WithRecentFile(const RecentFiles& current, const QString& file) {
  if (file.isEmpty() ||
      std::find(current.files.begin(), current.files.end(), file) != current.files.end()) {
    return current;
  }
  RecentFiles next;
  next.files[0] = file;
  std::copy(current.files.begin(), current.files.end() - 1, next.files.begin() + 1);
  return next;
}

bool AddRecentFile(const QString& settings_path, const QString& file, RecentFiles* updated,
                   QString* error) {
  IniFile ini(settings_path);
  if (!ini.Load()) {
    // Writing now would replace a file we could not read and lose everything in it.
    if (error != nullptr) {
      *error = i18n::Tr("cannot read %1").arg(settings_path);
    }
    return false;
  }
  const RecentFiles current = ReadRecentFiles(ini);
  const RecentFiles next = WithRecentFile(current, file);
  if (updated != nullptr) {
    *updated = next;
  }
  if (next == current) {
    return true;
  }
  for (int i = 0; i < kRecentFileCount; ++i) {
    ini.SetString(kFilesSection, kFileKeys[i], next.files[i]);
  }
  return ini.Save(error);
}

RecentFilesMenu BuildRecentFilesMenu(const RecentFiles& recent) {
  RecentFilesMenu menu;
  for (int i = 0; i < kRecentFileCount; ++i) {
    RecentFileMenuItem& item = menu.items[i];
    item.caption = QString::number(i + 1) + QStringLiteral(". ") + recent.files[i];
    item.visible = !recent.files[i].isEmpty();
    menu.submenu_enabled = menu.submenu_enabled || item.visible;
  }
  return menu;
}

}  // namespace zizara::core::settings

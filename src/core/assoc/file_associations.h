#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// The program as the desktop's handler of its three file types, per user, the freedesktop way:
// a shared-mime-info package, a desktop entry, the defaults in mimeapps.list and one icon per
// type. Only our own entries are ever written or removed.
namespace zizara::core::assoc {

struct FileType {
  QString ext;      // "PRE", "MCR", "CDP"
  QString mime;     // application/x-vt-zizara-...
  QString comment;  // the type's description
};

const std::vector<FileType>& FileTypes();
// The type for an extension, any case, without the dot; null when unknown.
const FileType* FindFileType(const QString& ext);

inline constexpr char kDesktopId[] = "vt-zizara.desktop";

// Where the registrations live and which program they open.
struct Places {
  QString data_home;    // $XDG_DATA_HOME, else ~/.local/share
  QString config_home;  // $XDG_CONFIG_HOME, else ~/.config
  QString executable;   // absolute path of the program that opens the files
  // Rebuilds the MIME database under data_home/mime after our package changed.
  std::function<void(const QString& mime_dir)> update_mime_database;
};

// The places from the environment, for `executable`; the database update runs
// update-mime-database when it is installed.
Places DefaultPlaces(const QString& executable);

// The value of the desktop entry's Exec key that opens a file with `executable`.
QString ExecLine(const QString& executable);

// Our shared-mime-info package and desktop entry for the given MIME types; the package also
// installs them system-wide.
QString MimePackageText(const QStringList& mimes);
QString DesktopEntryText(const QStringList& mimes, const QString& exec_line);
QStringList AllMimeTypes();

// True when our MIME type for `ext` is installed, its default application is our desktop
// entry, and that entry opens the files with `places.executable`. Unreadable files count as
// not associated.
bool IsFileTypeAssociated(const QString& ext, const Places& places);

// Registers (on) or removes (off) one type. Removing deletes only our entries for that type;
// the other types stay as they are. False with a reason when something could not be written
// (the caller may stay silent: the next check shows the result).
bool SetFileTypeAssociation(const QString& ext, bool on, const Places& places,
                            QString* error = nullptr);

// mimeapps.list edits, as text: sets `key=value` in `section` (adding the section when
// missing), or removes the key when value is empty. Every other line stays as it was.
QString SetKeyFileValue(const QString& text, const QString& section, const QString& key,
                        const QString& value);
// The value of `key` in `section`, or a null string.
QString KeyFileValue(const QString& text, const QString& section, const QString& key);

}  // namespace zizara::core::assoc

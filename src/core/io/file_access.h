#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>

namespace zizara::core::io {

// Why a file could not be read; callers that keep some refusals silent test this.
enum class ReadFailure {
  kNone,
  kMissing,
  kFolder,
  kNotRegular,  // a device, pipe or socket: its size means nothing and reading may never end
  kTooLarge,
  kWrongSize,
  kUnreadable,
};

struct ReadResult {
  ReadFailure failure = ReadFailure::kNone;
  QByteArray data;
  qint64 size = 0;  // of the file on disk, also when it was refused for its size
  QString error;    // a complete sentence naming the file; empty on success
  bool ok() const { return failure == ReadFailure::kNone; }
};

// Reads a regular file (a symbolic link to one is fine) of at most `max_bytes`, never more
// than that from the disk, and never blocks on a pipe or device.
ReadResult ReadRegularFile(const QString& path, qint64 max_bytes);
// The same checks, but the file is handed to `consume` in pieces of at most 4 KiB and never held
// whole; `consume` returns false to stop early. `data` stays empty; `size` is what was read.
ReadResult ScanRegularFile(const QString& path, qint64 max_bytes,
                           const std::function<bool(QByteArrayView)>& consume);
// The same for a file that must have exactly `size` bytes.
ReadResult ReadFileOfSize(const QString& path, qint64 size);

// Whether `path` may be saved to: absent or a regular file, in a folder that can be written.
// Checked before any work whose result would otherwise be lost; touches nothing.
bool CheckSaveTarget(const QString& path, QString* error);

// Checks the target, then replaces it atomically: either the whole new file is in place or the
// old one is untouched. A symbolic link keeps pointing at the new contents.
bool SaveFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

// Readable text for an errno value; "No space left on device" for a full disk.
QString SystemErrorText(int errno_value);

// Messages shared by the readers and writers.
QString NotRegularFileText(const QString& path);
QString FolderText(const QString& path);
QString WrongSizeText(const QString& path, qint64 size);

}  // namespace zizara::core::io

#include "core/io/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/i18n/tr.h"

namespace zizara::core::io {

using i18n::Tr;

namespace {

QString Quoted(const QString& path) { return QLatin1Char('"') + path + QLatin1Char('"'); }

QString NotFoundText(const QString& path) {
  return Tr("The file %1 was not found.").arg(Quoted(path));
}

QString UnreadableText(const QString& path, int errno_value) {
  return Tr("The file %1 could not be read: %2").arg(Quoted(path), SystemErrorText(errno_value));
}

ReadResult Refuse(ReadFailure failure, const QString& error, qint64 size = 0) {
  ReadResult r;
  r.failure = failure;
  r.error = error;
  r.size = size;
  return r;
}

// Classifies what `st` describes; kNone for a regular file.
ReadFailure KindOf(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) {
    return ReadFailure::kFolder;
  }
  return S_ISREG(st.st_mode) ? ReadFailure::kNone : ReadFailure::kNotRegular;
}

ReadResult RefuseKind(ReadFailure kind, const QString& path) {
  return Refuse(kind, kind == ReadFailure::kFolder ? FolderText(path) : NotRegularFileText(path));
}

}  // namespace

QString SystemErrorText(int errno_value) {
  if (errno_value == ENOSPC) {
    return Tr("No space left on device");
  }
  return QString::fromLocal8Bit(std::strerror(errno_value));
}

QString NotRegularFileText(const QString& path) { return Tr("%1 is not a regular file.").arg(path); }

QString FolderText(const QString& path) { return Tr("%1 is a folder, not a file.").arg(path); }

QString WrongSizeText(const QString& path, qint64 size) {
  return Tr("%1 has the wrong size: %2 bytes.").arg(path).arg(size);
}

namespace {

// Checks that `path` names a regular file of at most `max_bytes` and opens it; on success the
// result is ok and `*fd` is open.
ReadResult OpenRegularFile(const QString& path, qint64 max_bytes, int* fd) {
  *fd = -1;
  if (path.isEmpty()) {
    return Refuse(ReadFailure::kMissing, Tr("No file name was given."));
  }
  const QByteArray native = QFile::encodeName(path);
  struct stat st {};
  if (::stat(native.constData(), &st) != 0) {
    const int e = errno;
    return e == ENOENT || e == ENOTDIR ? Refuse(ReadFailure::kMissing, NotFoundText(path))
                                       : Refuse(ReadFailure::kUnreadable, UnreadableText(path, e));
  }
  if (const ReadFailure kind = KindOf(st); kind != ReadFailure::kNone) {
    return RefuseKind(kind, path);
  }
  if (st.st_size > max_bytes) {
    return Refuse(ReadFailure::kTooLarge,
                  Tr("%1 is too large: %2 bytes, at most %3 are accepted.")
                      .arg(path)
                      .arg(st.st_size)
                      .arg(max_bytes),
                  st.st_size);
  }
  // Non-blocking, so that a pipe swapped in after the check cannot hang the open.
  const int opened_fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (opened_fd < 0) {
    return Refuse(ReadFailure::kUnreadable, UnreadableText(path, errno));
  }
  struct stat opened {};
  if (::fstat(opened_fd, &opened) != 0 || KindOf(opened) != ReadFailure::kNone) {
    ::close(opened_fd);
    return RefuseKind(S_ISDIR(opened.st_mode) ? ReadFailure::kFolder : ReadFailure::kNotRegular,
                      path);
  }
  *fd = opened_fd;
  return ReadResult{};
}

// One read() that retries on EINTR; the errno of a failure is kept.
ssize_t ReadSome(int fd, char* into, qint64 count) {
  while (true) {
    const ssize_t n = ::read(fd, into, static_cast<size_t>(count));
    if (n >= 0 || errno != EINTR) {
      return n;
    }
  }
}

}  // namespace

ReadResult ReadRegularFile(const QString& path, qint64 max_bytes) {
  int fd = -1;
  if (ReadResult refused = OpenRegularFile(path, max_bytes, &fd); !refused.ok()) {
    return refused;
  }
  ReadResult r;
  r.data.resize(static_cast<qsizetype>(max_bytes) + 1);
  qint64 total = 0;
  while (total <= max_bytes) {
    const ssize_t n = ReadSome(fd, r.data.data() + total, max_bytes + 1 - total);
    if (n < 0) {
      const int e = errno;
      ::close(fd);
      return Refuse(ReadFailure::kUnreadable, UnreadableText(path, e));
    }
    if (n == 0) {
      break;
    }
    total += n;
  }
  ::close(fd);
  if (total > max_bytes) {  // it grew while being read
    return Refuse(ReadFailure::kTooLarge,
                  Tr("%1 is too large: more than %2 bytes.").arg(path).arg(max_bytes), total);
  }
  r.data.resize(static_cast<qsizetype>(total));
  r.size = total;
  return r;
}

ReadResult ScanRegularFile(const QString& path, qint64 max_bytes,
                           const std::function<bool(QByteArrayView)>& consume) {
  int fd = -1;
  if (ReadResult refused = OpenRegularFile(path, max_bytes, &fd); !refused.ok()) {
    return refused;
  }
  constexpr qint64 kPiece = 4096;
  char piece[kPiece];
  ReadResult r;
  while (r.size < max_bytes) {
    const ssize_t n = ReadSome(fd, piece, std::min(kPiece, max_bytes - r.size));
    if (n < 0) {
      const int e = errno;
      ::close(fd);
      return Refuse(ReadFailure::kUnreadable, UnreadableText(path, e));
    }
    if (n == 0) {
      break;
    }
    r.size += n;
    if (!consume(QByteArrayView(piece, n))) {
      break;
    }
  }
  ::close(fd);
  return r;
}

ReadResult ReadFileOfSize(const QString& path, qint64 size) {
  ReadResult r = ReadRegularFile(path, size);
  if (r.failure == ReadFailure::kTooLarge || (r.ok() && r.size != size)) {
    const qint64 actual = r.size;
    r = Refuse(ReadFailure::kWrongSize,
               Tr("%1 has the wrong size: %2 bytes instead of %3.").arg(path).arg(actual).arg(size),
               actual);
  }
  return r;
}

bool CheckSaveTarget(const QString& path, QString* error) {
  QString why;
  const QByteArray native = QFile::encodeName(path);
  struct stat st {};
  QString target = path;
  if (path.isEmpty()) {
    why = Tr("No file name was given.");
  } else if (::stat(native.constData(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      why = FolderText(path);
    } else if (!S_ISREG(st.st_mode)) {
      why = NotRegularFileText(path);
    } else {
      target = QFileInfo(path).canonicalFilePath();  // a link: the new file replaces its target
    }
  } else if (errno != ENOENT) {
    why = Tr("%1 cannot be saved: %2").arg(path, SystemErrorText(errno));
  } else if (::lstat(native.constData(), &st) == 0) {
    why = NotRegularFileText(path);  // a link that points nowhere
  }
  if (why.isEmpty()) {
    const QString folder = QFileInfo(target).absolutePath();
    const QByteArray folder_native = QFile::encodeName(folder);
    struct stat dir {};
    if (::stat(folder_native.constData(), &dir) != 0 || !S_ISDIR(dir.st_mode)) {
      why = Tr("The folder %1 does not exist.").arg(folder);
    } else if (::access(folder_native.constData(), W_OK | X_OK) != 0) {
      why = Tr("The folder %1 cannot be written: %2").arg(folder, SystemErrorText(errno));
    }
  }
  if (error != nullptr) {
    *error = why;
  }
  return why.isEmpty();
}

bool SaveFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
  QString why;
  if (!CheckSaveTarget(path, &why)) {
    if (error != nullptr) {
      *error = why;
    }
    return false;
  }
  QSaveFile file(path);
  // Unbuffered, so a full disk fails the write itself: a buffered write that fails only when
  // flushed at commit can be committed anyway, putting a short file in place of the old one.
  errno = 0;
  bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  ok = ok && file.write(bytes) == bytes.size() && file.error() == QFileDevice::NoError;
  int e = errno;
  if (ok) {
    ok = file.commit();
    e = errno;
    if (ok) {
      return true;
    }
  }
  // Qt may call a full disk "Unknown error"; the errno says what it was.
  why = e != 0 ? SystemErrorText(e) : file.errorString();
  file.cancelWriting();
  if (error != nullptr) {
    *error = why;
  }
  return false;
}

}  // namespace zizara::core::io

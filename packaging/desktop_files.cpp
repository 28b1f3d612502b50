// Writes the system-wide desktop entry and MIME package that the Debian package installs,
// from the same code that registers the types per user.
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "core/assoc/file_associations.h"

namespace {

bool Write(const QString& path, const QString& text) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text.toUtf8()) < 0) {
    std::fprintf(stderr, "desktop_files: cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: desktop_files OUTPUT_DIR\n");
    return 2;
  }
  namespace assoc = zizara::core::assoc;
  const QString dir = QString::fromLocal8Bit(argv[1]);
  const QStringList mimes = assoc::AllMimeTypes();
  const bool ok = Write(dir + "/vt-zizara.xml", assoc::MimePackageText(mimes)) &&
                  Write(dir + "/vt-zizara.desktop",
                        assoc::DesktopEntryText(mimes, QStringLiteral("vt-zizara %f")));
  return ok ? 0 : 1;
}

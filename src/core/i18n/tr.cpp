#include "core/i18n/tr.h"

#include <libintl.h>

#include <QDir>
#include <QFileInfo>

namespace zizara::core::i18n {

namespace {
constexpr const char* kDomain = "default";
}

void InitTranslations(const QString& program_dir) {
  const QStringList candidates = {
      QDir(program_dir).filePath(QStringLiteral("locale")),
      QDir(program_dir).filePath(QStringLiteral("../share/vt-zizara/locale")),  // installed
      QDir(program_dir).filePath(QStringLiteral("../share/locale")),
  };
  for (const QString& dir : candidates) {
    if (QFileInfo(dir).isDir()) {
      bindtextdomain(kDomain, QDir::cleanPath(dir).toLocal8Bit().constData());
      break;
    }
  }
  bind_textdomain_codeset(kDomain, "UTF-8");
}

QString Tr(const char* english) { return QString::fromUtf8(dgettext(kDomain, english)); }

}  // namespace zizara::core::i18n

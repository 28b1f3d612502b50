#include "core/i18n/tr.h"

#include <libintl.h>

#include <clocale>
#include <cstdlib>
#include <cstring>

#include <QDir>
#include <QFileInfo>

namespace zizara::core::i18n {

namespace {
constexpr const char* kDomain = "default";

bool IsPlainLocale(const char* name) {
  return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0;
}

const char* NonEmpty(const char* name) { return name != nullptr && *name != '\0' ? name : nullptr; }

// gettext ignores LANGUAGE while the messages locale is C, and LANG=de_DE.UTF-8 fails outright
// where that locale is not installed. C.UTF-8 always exists and lets LANGUAGE choose.
void SelectMessagesLocale() {
  const char* chosen = std::setlocale(LC_MESSAGES, "");
  if (!IsPlainLocale(chosen)) return;
  const char* language = NonEmpty(std::getenv("LANGUAGE"));
  const char* lang = NonEmpty(std::getenv("LC_ALL"));
  if (lang == nullptr) lang = NonEmpty(std::getenv("LC_MESSAGES"));
  if (lang == nullptr) lang = NonEmpty(std::getenv("LANG"));
  const bool lang_asks = lang != nullptr && !IsPlainLocale(lang) && std::strncmp(lang, "C.", 2) != 0;
  if (language == nullptr && !lang_asks) return;
  if (std::setlocale(LC_MESSAGES, "C.UTF-8") == nullptr) return;
  if (language == nullptr) {
    // "de_DE.UTF-8" asks for German; LANGUAGE takes the language part the same way.
    const QByteArray wanted = QByteArray(lang).split('.').first().split('@').first();
    setenv("LANGUAGE", wanted.constData(), 1);
  }
}
}  // namespace

void InitTranslations(const QString& program_dir) {
  SelectMessagesLocale();
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

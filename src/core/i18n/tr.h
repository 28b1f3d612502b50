#pragma once

#include <QString>

namespace zizara::core::i18n {

// Binds the "default" catalogue domain to the "locale" folder beside the program (or in the
// install prefix). Safe to call more than once; language comes from LANG as gettext reads it.
void InitTranslations(const QString& program_dir);

// Every user-visible text goes through here; the English text is the catalogue key.
QString Tr(const char* english);

}  // namespace zizara::core::i18n

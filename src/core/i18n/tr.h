#pragma once

#include <QString>

// Marks a text kept in a table for extraction; it is translated with Tr() where it is shown.
#define TrNoop(english) english

namespace zizara::core::i18n {

// Binds the "default" catalogue domain to the "locale" folder beside the program (or in the
// install prefix). Safe to call more than once; language comes from LANG as gettext reads it,
// and LANGUAGE=de works even where LANG is C or names a locale that is not installed.
void InitTranslations(const QString& program_dir);

// Every user-visible text goes through here; the English text is the catalogue key.
QString Tr(const char* english);

}  // namespace zizara::core::i18n

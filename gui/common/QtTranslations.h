// Qt's own texts (the Yes/No buttons, the file dialogs) in the program's language: Chinese
// loads Qt's Chinese translations, any other language removes them again.
#pragma once

#include <QString>

namespace talvenix::gui {

// Installs or removes Qt's translations for `languageIndex` (text::kChinese, text::kEnglish).
// Returns false when Chinese was asked for but Qt's translation files are not installed;
// the program then keeps Qt's English texts.
bool UseQtTranslations(int languageIndex);
// Whether Qt's Chinese translations are installed right now.
bool QtTranslationsInstalled();
// Where Qt's translation files are looked for.
QString QtTranslationsFolder();

}  // namespace talvenix::gui

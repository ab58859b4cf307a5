// Which language talvenix-cli prints in, and the texts that come from the skin files beside
// the program (key, media and function names from Skins/language.ini; effect names from
// Skins/Main.ini). Without those files the built-in texts are used.
#pragma once

#include <string>

namespace talvenix::cli {

// Picks the language ("en", "zh", or empty for the user's choice: the dwLanguageId setting,
// else the system locale) and loads the language table. Throws CliError (exit 2) for another
// value.
void SelectCliLanguage(const std::string& option);

// 0 Chinese, 1 English: the language index chosen by SelectCliLanguage().
int CliLanguageIndex();

// The display name of a lighting effect code in the chosen language; "effect N" when
// the skin has no name for it.
std::string EffectName(int code);

}  // namespace talvenix::cli

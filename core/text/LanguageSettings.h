// Which language the program runs in, and where that choice is kept.
//
// The choice is the Windows language id "dwLanguageId", kept in the settings store
// <config folder>/Halvard/Halvard.ini (section "Halvard"); 2052 means Chinese, anything else
// English. On first run (value missing, unreadable or 0) it is derived from the system language:
// a regional variant is replaced by its base language, and the result stands when it is 2052 or
// 1033, otherwise 1033 is used. So Chinese (PRC) and Chinese (Hong Kong) systems start in
// Chinese, all others in English, until the user picks a language.
//
// Core never reads the environment: the caller passes the config folder and the system locale
// string (as in LANG or LC_ALL, e.g. "zh_CN.UTF-8"); SystemLocale() picks the one that applies.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace talvenix::text {

inline constexpr std::uint32_t kLanguageIdChinese = 2052;  // 0x0804
inline constexpr std::uint32_t kLanguageIdEnglish = 1033;  // 0x0409
inline constexpr std::string_view kLanguageSettingsSection = "Halvard";
inline constexpr std::string_view kLanguageIdKey = "dwLanguageId";

// <configFolder>/Halvard/Halvard.ini
std::filesystem::path LanguageSettingsFile(const std::filesystem::path& configFolder);

// The locale string that decides the language: LC_ALL, else LC_MESSAGES, else LANG (null or
// empty values are skipped); "" when none is set.
std::string_view SystemLocale(const char* lcAll, const char* lcMessages, const char* lang);

// The Windows language id of a POSIX locale name ("zh_CN.UTF-8", "de_AT@euro", "en", "C").
// "C", "POSIX" and "" give 0x0409; a language without a known territory gives its primary id;
// an unknown language gives 0 (which settles to English).
std::uint16_t WindowsLanguageIdOfLocale(std::string_view locale);

// A regional variant's base id (0x0C04 -> 0x0804, 0x0809 -> 0x0409, ...); other ids unchanged.
std::uint16_t BaseLanguageId(std::uint16_t id);

// First-run choice from the system's language id: base id, kept when 2052 or 1033, else 1033.
std::uint32_t LanguageIdFromSystem(std::uint16_t systemLanguageId);

// The stored value when it is a valid 32-bit unsigned number; nullopt when missing or not one.
std::optional<std::uint32_t> ReadStoredLanguageId(const std::filesystem::path& configFolder);

// Start-up settlement: reads the stored id; a missing or unreadable value is stored as 0; a 0 is
// replaced by LanguageIdFromSystem(WindowsLanguageIdOfLocale(systemLocale)) and stored. Returns
// the id in force. When the store cannot be written the id is still returned (and recomputed
// at the next query).
std::uint32_t SettleLanguageId(const std::filesystem::path& configFolder, std::string_view systemLocale);

// 0 (Chinese) for 2052, 1 (English) for anything else.
int LanguageIndexOfId(std::uint32_t languageId);

// The language index in force: settles the stored id (see above) and maps it.
int LanguageIndex(const std::filesystem::path& configFolder, std::string_view systemLocale);

// The storing half of the language menu commands: 2052 for index 0, 1033 for any other.
// False when the store cannot be written.
bool StoreLanguageChoice(const std::filesystem::path& configFolder, int languageIndex);

// The menu command as a whole: store the choice, then load the table from `languageFile`.
// The table is loaded even when storing fails (the choice then lasts for this run); returns
// whether it was stored.
bool SelectLanguage(const std::filesystem::path& configFolder, const std::filesystem::path& languageFile,
                    int languageIndex);

}  // namespace talvenix::text

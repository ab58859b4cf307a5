#include "core/text/LanguageSettings.h"

#include <array>
#include <string>
#include <utility>

#include "core/text/IniFile.h"
#include "core/text/LanguageTable.h"

namespace talvenix::text {
namespace {

// Regional variants and the base language they settle to.
constexpr std::pair<std::uint16_t, std::uint16_t> kRegionalToBase[] = {
    {0x0C04, 0x0804}, {0x1004, 0x0404}, {0x080A, 0x040A}, {0x0C0A, 0x040A}, {0x100A, 0x040A},
    {0x140A, 0x040A}, {0x180A, 0x040A}, {0x1C0A, 0x040A}, {0x200A, 0x040A}, {0x240A, 0x040A},
    {0x280A, 0x040A}, {0x2C0A, 0x040A}, {0x300A, 0x040A}, {0x340A, 0x040A}, {0x380A, 0x040A},
    {0x3C0A, 0x040A}, {0x400A, 0x040A}, {0x440A, 0x040A}, {0x480A, 0x040A}, {0x4C0A, 0x040A},
    {0x500A, 0x040A}, {0x080C, 0x040C}, {0x0C0C, 0x040C}, {0x100C, 0x040C}, {0x140C, 0x040C},
    {0x0810, 0x0410}, {0x0816, 0x0416}, {0x0813, 0x0413}, {0x081D, 0x041D}, {0x0809, 0x0409},
    {0x0C09, 0x0409}, {0x1009, 0x0409}, {0x1409, 0x0409}, {0x1809, 0x0409}, {0x1C09, 0x0409},
    {0x2009, 0x0409}, {0x2409, 0x0409}, {0x2809, 0x0409}, {0x2C09, 0x0409}, {0x0807, 0x0407},
    {0x0C07, 0x0407}, {0x1007, 0x0407}, {0x1407, 0x0407},
};

struct LocaleId {
    std::string_view name;  // language or language_TERRITORY
    std::uint16_t id;
};

// POSIX locale names and Windows language ids. Territory-specific names come first; a bare
// language maps to its primary id.
constexpr LocaleId kLocales[] = {
    {"zh_CN", 0x0804}, {"zh_SG", 0x1004}, {"zh_HK", 0x0C04}, {"zh_TW", 0x0404}, {"zh_MO", 0x1404},
    {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_NZ", 0x1409},
    {"en_IE", 0x1809}, {"en_ZA", 0x1C09}, {"en_JM", 0x2009}, {"en_BZ", 0x2809}, {"en_TT", 0x2C09},
    {"en_IN", 0x4009}, {"en_SG", 0x4809}, {"en_PH", 0x3409}, {"es_ES", 0x0C0A}, {"es_MX", 0x080A},
    {"es_GT", 0x100A}, {"es_CR", 0x140A}, {"es_PA", 0x180A}, {"es_DO", 0x1C0A}, {"es_VE", 0x200A},
    {"es_CO", 0x240A}, {"es_PE", 0x280A}, {"es_AR", 0x2C0A}, {"es_EC", 0x300A}, {"es_CL", 0x340A},
    {"es_UY", 0x380A}, {"es_PY", 0x3C0A}, {"es_BO", 0x400A}, {"es_SV", 0x440A}, {"es_HN", 0x480A},
    {"es_NI", 0x4C0A}, {"es_PR", 0x500A}, {"es_US", 0x540A}, {"fr_FR", 0x040C}, {"fr_BE", 0x080C},
    {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"fr_LU", 0x140C}, {"de_DE", 0x0407}, {"de_CH", 0x0807},
    {"de_AT", 0x0C07}, {"de_LU", 0x1007}, {"de_LI", 0x1407}, {"it_IT", 0x0410}, {"it_CH", 0x0810},
    {"pt_BR", 0x0416}, {"pt_PT", 0x0816}, {"nl_NL", 0x0413}, {"nl_BE", 0x0813}, {"sv_SE", 0x041D},
    {"sv_FI", 0x081D}, {"zh", 0x0804},    {"en", 0x0409},    {"es", 0x0C0A},    {"fr", 0x040C},
    {"de", 0x0407},    {"it", 0x0410},    {"pt", 0x0816},    {"nl", 0x0413},    {"sv", 0x041D},
    {"ja", 0x0411},    {"ko", 0x0412},    {"ru", 0x0419},    {"pl", 0x0415},    {"cs", 0x0405},
    {"da", 0x0406},    {"fi", 0x040B},    {"el", 0x0408},    {"hu", 0x040E},    {"nb", 0x0414},
    {"tr", 0x041F},    {"uk", 0x0422},    {"ar", 0x0401},    {"he", 0x040D},    {"th", 0x041E},
    {"vi", 0x042A},    {"id", 0x0421},    {"ro", 0x0418},    {"sk", 0x041B},    {"bg", 0x0402},
    {"hr", 0x041A},
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<std::uint32_t> ParseDword(std::string_view v) {
    if (v.empty()) return std::nullopt;
    std::uint64_t result = 0;
    std::size_t i = 0;
    unsigned base = 10;
    if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
        base = 16;
        i = 2;
    }
    for (; i < v.size(); ++i) {
        const char c = v[i];
        unsigned digit;
        if (IsDigit(c)) {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        result = result * base + digit;
        if (result > 0xFFFFFFFFull) return std::nullopt;
    }
    return static_cast<std::uint32_t>(result);
}

bool StoreId(const std::filesystem::path& configFolder, std::uint32_t id) {
    return WriteProfileString(LanguageSettingsFile(configFolder), kLanguageSettingsSection, kLanguageIdKey,
                              std::to_string(id));
}

}  // namespace

std::filesystem::path LanguageSettingsFile(const std::filesystem::path& configFolder) {
    return configFolder / "Halvard" / "Halvard.ini";
}

std::string_view SystemLocale(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* v : {lcAll, lcMessages, lang}) {
        if (v != nullptr && *v != '\0') return v;
    }
    return {};
}

std::uint16_t WindowsLanguageIdOfLocale(std::string_view locale) {
    // Drop ".codeset" and "@modifier".
    const std::size_t cut = locale.find_first_of(".@");
    if (cut != std::string_view::npos) locale = locale.substr(0, cut);
    if (locale.empty() || locale == "C" || locale == "POSIX") return 0x0409;
    // Accept "zh-CN" as well as "zh_CN", any letter case.
    std::string norm(locale);
    const std::size_t sep = norm.find_first_of("_-");
    for (std::size_t i = 0; i < norm.size(); ++i) {
        char& c = norm[i];
        if (sep != std::string::npos && i > sep) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    if (sep != std::string::npos) norm[sep] = '_';
    for (const LocaleId& l : kLocales) {
        if (l.name == norm) return l.id;
    }
    const std::string language = sep == std::string::npos ? norm : norm.substr(0, sep);
    for (const LocaleId& l : kLocales) {
        if (l.name == language) return l.id;
    }
    return 0;
}

std::uint16_t BaseLanguageId(std::uint16_t id) {
    for (const auto& [regional, base] : kRegionalToBase) {
        if (regional == id) return base;
    }
    return id;
}

std::uint32_t LanguageIdFromSystem(std::uint16_t systemLanguageId) {
    const std::uint16_t base = BaseLanguageId(systemLanguageId);
    return (base == kLanguageIdChinese || base == kLanguageIdEnglish) ? base : kLanguageIdEnglish;
}

std::optional<std::uint32_t> ReadStoredLanguageId(const std::filesystem::path& configFolder) {
    const IniFile ini(LanguageSettingsFile(configFolder));
    const auto value = ini.Find(kLanguageSettingsSection, kLanguageIdKey);
    if (!value) return std::nullopt;
    return ParseDword(*value);
}

std::uint32_t SettleLanguageId(const std::filesystem::path& configFolder, std::string_view systemLocale) {
    std::optional<std::uint32_t> stored = ReadStoredLanguageId(configFolder);
    if (!stored) {
        StoreId(configFolder, 0);
        stored = 0;
    }
    if (*stored != 0) return *stored;
    const std::uint32_t id = LanguageIdFromSystem(WindowsLanguageIdOfLocale(systemLocale));
    StoreId(configFolder, id);
    return id;
}

int LanguageIndexOfId(std::uint32_t languageId) {
    return languageId == kLanguageIdChinese ? kChinese : kEnglish;
}

int LanguageIndex(const std::filesystem::path& configFolder, std::string_view systemLocale) {
    return LanguageIndexOfId(SettleLanguageId(configFolder, systemLocale));
}

bool StoreLanguageChoice(const std::filesystem::path& configFolder, int languageIndex) {
    return StoreId(configFolder, languageIndex == kChinese ? kLanguageIdChinese : kLanguageIdEnglish);
}

bool SelectLanguage(const std::filesystem::path& configFolder, const std::filesystem::path& languageFile,
                    int languageIndex) {
    const bool stored = StoreLanguageChoice(configFolder, languageIndex);
    LoadLanguageTable(languageFile, languageIndex);
    return stored;
}

}  // namespace talvenix::text

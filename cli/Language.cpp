#include "cli/Language.h"

#include <filesystem>

#include "cli/CliError.h"
#include "cli/Names.h"
#include "core/keys/MediaCatalogue.h"
#include "core/lighting/EffectNames.h"
#include "core/text/IniFile.h"
#include "core/text/LanguageSettings.h"
#include "core/text/LanguageTable.h"
#include "platform/InstallLayout.h"
#include "platform/UserFolders.h"

namespace talvenix::cli {

namespace {

int gLanguageIndex = text::kEnglish;

std::filesystem::path SkinFolder() { return platform::SkinFolder(); }

// The user's stored choice (shared with the configurator), else what the system locale gives.
// Only read here: the CLI never settles or stores the language setting.
int DefaultLanguageIndex() {
    const auto stored = text::ReadStoredLanguageId(platform::ConfigFolder());
    if (stored && *stored != 0) return text::LanguageIndexOfId(*stored);
    const auto systemId = text::WindowsLanguageIdOfLocale(platform::SystemLanguageString());
    return text::LanguageIndexOfId(text::LanguageIdFromSystem(systemId));
}

// Without a language file the built-in key names are bare ids ("KEYBOARD_A") and every media
// name reads "Hello world": print the CLI's own names instead, which are at least readable and
// are the names the command line accepts.
// `onlyMissing`: fill only the entries a language file left out (they read as a blank), so a
// damaged or partial file still gives readable key and media names.
text::LanguageTable FallbackTable(text::LanguageTable table = {}, bool onlyMissing = false) {
    auto set = [&](text::TextId id, std::string_view fallback) {
        if (!onlyMissing || table.Text(id).empty() || table.Text(id) == text::kMissingText)
            table.SetText(id, fallback);
    };
    constexpr std::string_view prefix = "KEYBOARD_";
    for (std::size_t i = 0; i < text::kTextCount; ++i) {
        const auto id = static_cast<text::TextId>(i);
        const std::string_view name = text::TextIdName(id);
        if (name.substr(0, prefix.size()) == prefix) set(id, name.substr(prefix.size()));
    }
    for (int m = 0; m < keys::kMediaCount; ++m) {
        set(keys::kMediaList[static_cast<std::size_t>(m)].nameId, MediaWord(m));
    }
    return table;
}

}  // namespace

void SelectCliLanguage(const std::string& option) {
    if (option == "en") {
        gLanguageIndex = text::kEnglish;
    } else if (option == "zh") {
        gLanguageIndex = text::kChinese;
    } else if (option.empty()) {
        gLanguageIndex = DefaultLanguageIndex();
    } else {
        FailUsage("--lang takes en or zh, not '" + option + "'");
    }
    const auto file = SkinFolder() / "language.ini";
    std::error_code ec;
    if (std::filesystem::is_regular_file(file, ec)) {
        text::SetCurrentLanguageTable(FallbackTable(text::LanguageTable::Load(file, gLanguageIndex), true));
    } else {
        text::SetCurrentLanguageTable(FallbackTable());
    }
}

int CliLanguageIndex() { return gLanguageIndex; }

std::string EffectName(int code) {
    static const text::IniFile mainIni(SkinFolder() / "Main.ini");
    // The skin's own fallback ("1") would name every unnamed effect alike: say the code instead.
    if (!mainIni.Has(lighting::EffectNameSection(gLanguageIndex), std::to_string(code))) {
        return "effect " + std::to_string(code);
    }
    return lighting::EffectName(mainIni, gLanguageIndex, code);
}

}  // namespace talvenix::cli

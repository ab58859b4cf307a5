#include "cli/Names.h"

#include <array>
#include <cstdio>
#include <map>

#include "core/keys/KeyAssignment.h"
#include "core/keys/KeyTable.h"
#include "core/text/IniFile.h"
#include "core/text/LanguageTable.h"

namespace talvenix::cli {

namespace {

constexpr std::string_view kKeyPrefix = "KEYBOARD_";

// The stable name of a table entry, or "" when it has none.
std::string EntryName(std::uint16_t code) {
    const keys::KeyEntry& e = keys::KeyEntryOf(code);
    if (e.nameId) {
        std::string_view id = text::TextIdName(*e.nameId);
        if (id.substr(0, kKeyPrefix.size()) == kKeyPrefix) id.remove_prefix(kKeyPrefix.size());
        return std::string(id);
    }
    return std::string(e.fixedName);
}

std::string Upper(std::string_view s) {
    std::string r(s);
    for (char& c : r) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return r;
}

// Name (upper case) -> the lowest code carrying it. Codes 0x000..0x07F and 0x100..0x17F.
const std::map<std::string, std::uint16_t>& NameIndex() {
    static const std::map<std::string, std::uint16_t> index = [] {
        std::map<std::string, std::uint16_t> m;
        for (int i = 0; i < keys::kKeyTableSize; ++i) {
            const std::uint16_t code = keys::KeyCodeOf(static_cast<keys::KeyIndex>(i));
            const std::string name = EntryName(code);
            if (!name.empty()) m.emplace(Upper(name), code);
        }
        return m;
    }();
    return index;
}

constexpr std::array<std::string_view, 9> kKindWords = {
    "default", "disabled", "key", "launch", "macro", "stop-macro", "text", "media", "function",
};

constexpr std::array<std::string_view, 18> kMediaWords = {
    "media-player",    "play-pause", "stop",         "previous-track",  "next-track",   "volume-down",
    "volume-up",       "mute",       "browser-home", "browser-refresh", "browser-stop", "browser-back",
    "browser-forward", "bookmarks",  "search",       "my-computer",     "calculator",   "mail",
};

constexpr std::array<std::string_view, 16> kFunctionWords = {
    "open",       "new",      "undo",    "save", "copy", "cut", "paste", "find",
    "select-all", "zoom-out", "zoom-in", "a1",   "a2",   "a3",  "a4",    "a5",
};

constexpr std::array<std::string_view, 3> kPlayModeWords = {"once", "repeat", "until-key-down-again"};

template <std::size_t N>
std::optional<int> FindWord(const std::array<std::string_view, N>& words, std::string_view word) {
    for (std::size_t i = 0; i < N; ++i) {
        if (text::EqualsNoCase(words[i], word)) return static_cast<int>(i);
    }
    return std::nullopt;
}

}  // namespace

std::string Hex(std::uint32_t value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%0*X", digits, value);
    return buf;
}

std::optional<std::uint32_t> ParseNumber(std::string_view text) {
    if (text.empty() || text.size() > 12) return std::nullopt;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    std::uint64_t v = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        v = v * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
        if (v > 0xFFFFFFFFull) return std::nullopt;
    }
    return static_cast<std::uint32_t>(v);
}

std::string KeyCodeName(std::uint16_t code) {
    const bool valid = code < 0x80 || (code >= 0x100 && code < 0x180);
    if (valid) {
        const std::string name = EntryName(code);
        if (!name.empty()) {
            const auto it = NameIndex().find(Upper(name));
            if (it != NameIndex().end() && it->second == code) return name;
        }
    }
    return Hex(code, 3);
}

std::optional<std::uint16_t> KeyCodeOfName(std::string_view name) {
    const auto it = NameIndex().find(Upper(name));
    if (it != NameIndex().end()) return it->second;
    if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
        const auto v = ParseNumber(name);
        if (v && *v <= 0xFFFF) return static_cast<std::uint16_t>(*v);
    }
    return std::nullopt;
}

std::string SlotName(int slot) {
    if (slot >= keys::kGSlotBankB && slot < keys::kGSlotBankB + keys::kGKeyCount) {
        return "G" + std::to_string(slot - keys::kGSlotBankB + 1) + "B";
    }
    if (slot >= keys::kGSlotBankA && slot < keys::kGSlotBankA + keys::kGKeyCount) {
        return "G" + std::to_string(slot - keys::kGSlotBankA + 1) + "A";
    }
    if (slot >= 0 && slot < keys::kKeyTableSize) {
        return KeyCodeName(keys::KeyCodeOf(static_cast<keys::KeyIndex>(slot)));
    }
    return "slot" + std::to_string(slot);
}

std::optional<int> SlotOfName(std::string_view name) {
    const std::string up = Upper(name);
    if (up.size() == 3 && up[0] == 'G' && up[1] >= '1' && up[1] <= '9' && (up[2] == 'A' || up[2] == 'B')) {
        return (up[2] == 'A' ? keys::kGSlotBankA : keys::kGSlotBankB) + (up[1] - '1');
    }
    if (up.rfind("SLOT", 0) == 0) {
        const auto v = ParseNumber(std::string_view(up).substr(4));
        if (v && *v >= static_cast<std::uint32_t>(keys::kUsedSlots) && *v < keys::kSlotsPerBlock) {
            return static_cast<int>(*v);
        }
        return std::nullopt;
    }
    const auto code = KeyCodeOfName(name);
    if (!code) return std::nullopt;
    const bool valid = *code < 0x80 || (*code >= 0x100 && *code < 0x180);
    if (!valid) return std::nullopt;
    return keys::KeyIndexOf(*code);
}

std::string_view KindWord(std::uint16_t kind) { return kind < kKindWords.size() ? kKindWords[kind] : ""; }
std::optional<std::uint16_t> KindOfWord(std::string_view word) {
    const auto i = FindWord(kKindWords, word);
    if (!i) return std::nullopt;
    return static_cast<std::uint16_t>(*i);
}

std::string_view MediaWord(int index) {
    return index >= 0 && index < static_cast<int>(kMediaWords.size())
               ? kMediaWords[static_cast<std::size_t>(index)]
               : "";
}
std::optional<int> MediaOfWord(std::string_view word) { return FindWord(kMediaWords, word); }

std::string_view FunctionWord(int index) {
    return index >= 0 && index < static_cast<int>(kFunctionWords.size())
               ? kFunctionWords[static_cast<std::size_t>(index)]
               : "";
}
std::optional<int> FunctionOfWord(std::string_view word) { return FindWord(kFunctionWords, word); }

std::string_view PlayModeWord(std::uint16_t mode) {
    return mode < kPlayModeWords.size() ? kPlayModeWords[mode] : "";
}
std::optional<std::uint16_t> PlayModeOfWord(std::string_view word) {
    const auto i = FindWord(kPlayModeWords, word);
    if (!i) return std::nullopt;
    return static_cast<std::uint16_t>(*i);
}

}  // namespace talvenix::cli

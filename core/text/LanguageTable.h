// The language table: every text the program shows, by id, in the current language.
//
// The table holds the ids of LanguageIds.def in table order, each with a built-in text that
// stands until a language file is loaded. Loading reads the id's key from the language's
// section of the skin's language.ini ("CHINESE" for index 0, "ENGINSH" for index 1); a
// missing key or file gives a single space, never the built-in text. Texts are UTF-8 in
// memory; each is cut (on a character boundary) to what its entry holds: 259 UTF-16 units,
// or the smaller size of the five firmware-update entries.
//
// The process has one current table. Loading builds a new table and swaps it in, so readers
// on any thread always see a complete table; a lookup returns a copy of the current text.
//
// Example:
//   text::LoadLanguageTable(skinFolder / "language.ini", text::kEnglish);
//   std::string caption = text::LanguageText(text::TextId::MAIN_CAPTION);
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/text/IniFile.h"

namespace talvenix::text {

// Ids of the language table, in table order; the enumerator names are the keys of language.ini.
enum class TextId : std::uint16_t {
#define TALVENIX_TEXT(id, builtIn, units) id,
#include "core/text/LanguageIds.def"
#undef TALVENIX_TEXT
};

inline constexpr std::size_t kTextCount = 0
#define TALVENIX_TEXT(id, builtIn, units) +1
#include "core/text/LanguageIds.def"
#undef TALVENIX_TEXT
    ;

// Language index: which section of language.ini the table is loaded from.
inline constexpr int kChinese = 0;
inline constexpr int kEnglish = 1;
inline constexpr std::string_view kChineseSection = "CHINESE";
inline constexpr std::string_view kEnglishSection = "ENGINSH";
inline constexpr std::string_view kMissingText = " ";  // what a missing key or file reads as

// "CHINESE" for index 0, "ENGINSH" for any other index.
std::string_view LanguageSection(int languageIndex);

std::string_view TextIdName(TextId id);
std::optional<TextId> TextIdOfName(std::string_view name);  // exact (case-sensitive) id name
std::string_view BuiltInText(TextId id);
std::size_t TextCapacity(TextId id);  // longest text the entry holds, in UTF-16 units

class LanguageTable {
public:
    // All entries hold their built-in texts; index English; no file.
    LanguageTable();

    // Reads every entry from `languageFile`'s section for `languageIndex`.
    static LanguageTable Load(const std::filesystem::path& languageFile, int languageIndex);
    // The same from a file already parsed (tests, or callers holding the bytes).
    static LanguageTable Load(IniFile languageFile, int languageIndex);

    const std::string& Text(TextId id) const { return texts_[static_cast<std::size_t>(id)]; }
    // By table position; empty for a position past the end.
    const std::string& TextAt(std::size_t index) const;
    // Stores a text, cut to the entry's capacity.
    void SetText(TextId id, std::string_view text);

    int Index() const { return index_; }
    std::string_view Section() const { return LanguageSection(index_); }

    // Keys of the same file that the table does not hold (menus, captions): read from this
    // language's section, or from a named section, with the table's rule (missing → " ",
    // cut to 259 UTF-16 units).
    std::string FileText(std::string_view key) const;
    std::string FileText(std::string_view section, std::string_view key) const;

private:
    std::array<std::string, kTextCount> texts_;
    std::shared_ptr<const IniFile> file_;
    int index_ = kEnglish;
};

// --- The process-wide current table (thread-safe) ---

// Loads the table from `languageFile` and makes it current. Always succeeds: a missing file
// gives single spaces (the caller may check the file first if it wants to warn).
void LoadLanguageTable(const std::filesystem::path& languageFile, int languageIndex);
// Makes `table` current (tests, or a table built elsewhere).
void SetCurrentLanguageTable(LanguageTable table);
// The current table; holds the built-in texts until a load.
std::shared_ptr<const LanguageTable> CurrentLanguageTable();

// The current text of an entry (a copy, safe to keep).
std::string LanguageText(TextId id);
// The current text of an id given by name; nullopt for a name that is not in the table.
std::optional<std::string> LanguageText(std::string_view idName);
// A key of the current language file not held in the table (see LanguageTable::FileText).
std::string LanguageFileText(std::string_view key);
std::string LanguageFileText(std::string_view section, std::string_view key);

}  // namespace talvenix::text

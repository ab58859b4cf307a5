// INI files read and written key by key, with the semantics of the Windows profile-string
// functions the program's settings, skins and language files were designed around:
//  - section and key names compare case-insensitively (ASCII), surrounding blanks ignored;
//  - a missing key reads as the caller's default; a present but empty key reads as "";
//  - a value enclosed in one pair of matching quotes ("..." or '...') reads without them;
//  - Get() results are cut to 259 UTF-16 units (the 260-character buffers of the original
//    design), on a character boundary;
//  - the first of duplicate sections or keys wins;
//  - files may be UTF-8 (with or without BOM) or UTF-16LE/BE with BOM; texts are UTF-8 in memory;
//  - Set() changes one key and keeps every other line of the file as it was (comments,
//    order, blank lines, the file's encoding and line endings), and replaces the file
//    atomically (temporary file in the same folder, then rename).
//
// Example:
//   talvenix::text::IniFile ini("/path/Skins/Main.ini");
//   std::string rect = ini.Get("BUTTONINFO", "CONTROL_OK", "1,1,1,1,x");
//
// An IniFile is a value; it is not synchronised: share it read-only or guard it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace talvenix::text {

class IniFile {
public:
    // Results of Get() are at most this many UTF-16 units long.
    static constexpr std::size_t kMaxResultUnits = 259;

    enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be };

    // An empty file not bound to any path (Set() changes memory only).
    IniFile() = default;

    // Binds to `path` and reads it. A missing or unreadable file reads as empty; see Loaded().
    explicit IniFile(std::filesystem::path path);

    // Parses text already in memory (UTF-8, or bytes with a UTF-16 BOM). `path`, when given,
    // is where Set() writes.
    static IniFile FromString(std::string_view bytes, std::filesystem::path path = {});

    // Re-reads the bound file. False when it does not exist or cannot be read (contents empty then).
    bool Reload();

    // True when the last read found and read the file.
    bool Loaded() const { return loaded_; }
    const std::filesystem::path& Path() const { return path_; }
    Encoding FileEncoding() const { return encoding_; }

    // The value of `key` in `section`, or `def` when absent; cut to kMaxResultUnits.
    std::string Get(std::string_view section, std::string_view key, std::string_view def = "") const;

    // Like Get() with a caller-chosen limit in UTF-16 units.
    std::string GetLimited(std::string_view section, std::string_view key, std::string_view def,
                           std::size_t maxUnits) const;

    // The full value, uncut; nullopt when the key is absent.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    // Integer reading as the profile-int function does: the default when the key is absent;
    // otherwise optional sign, then decimal digits or 0x-prefixed hex digits, stopping at the
    // first other character; 0 when no digit follows. Values beyond int wrap as 32-bit.
    int GetInt(std::string_view section, std::string_view key, int def) const;

    bool Has(std::string_view section, std::string_view key) const;

    // Sets one key (adding the section or key when missing) and, for a bound file, re-reads
    // the file so concurrent edits by others are kept, then writes it atomically.
    // False (and nothing changed) when a name or value cannot be stored in an INI line
    // (line breaks, '=' or a leading '[' in a key, ']' in a section, empty key) or when the
    // file cannot be read or written.
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    // Sets several keys of one section with a single read and a single atomic write: either
    // all of them reach the file or none does.
    bool SetMany(std::string_view section, const std::vector<std::pair<std::string, std::string>>& entries);

    // Removes one key; true when it is absent afterwards and the file (if bound) was written.
    bool Remove(std::string_view section, std::string_view key);

    // Section names in file order (first occurrence of each), as written in the file.
    std::vector<std::string> Sections() const;
    // Key names of a section in file order, as written in the file.
    std::vector<std::string> Keys(std::string_view section) const;

    // The file as it would be written, in UTF-8 (no BOM).
    std::string ToString() const;

private:
    struct Line {
        enum class Type { Other, Section, Key };
        Type type = Type::Other;
        std::string raw;    // the line as read, without its end-of-line
        std::string name;   // section or key name (trimmed)
        std::string value;  // key value (trimmed, quotes removed)
    };

    void Parse(std::string_view bytes);
    // Index of the section line (or npos for the nameless leading section if requested name is
    // empty and there is none); returns lines_.size() when absent.
    std::size_t FindSection(std::string_view section) const;
    // Index of the key line inside the section beginning at `sectionLine`; lines_.size() if absent.
    std::size_t FindKey(std::size_t sectionLine, std::string_view key) const;
    std::size_t FindKeyLine(std::string_view section, std::string_view key) const;
    bool ApplySet(std::string_view section, std::string_view key, std::string_view value);
    bool WriteFile() const;

    std::filesystem::path path_;
    std::vector<Line> lines_;
    Encoding encoding_ = Encoding::Utf8;
    std::string eol_ = "\n";
    bool loaded_ = false;
};

// One-shot helpers for code that reads or writes a single key.
std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view def);
bool WriteProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                        std::string_view value);

// Case-insensitive (ASCII) equality, as section and key names compare.
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace talvenix::text

#include "core/text/IniFile.h"

#include <cstdint>
#include <system_error>

#include "core/text/AtomicFile.h"
#include "core/text/Utf.h"

namespace talvenix::text {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view s) {
    const auto isBlank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
    };
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) { Reload(); }

IniFile IniFile::FromString(std::string_view bytes, std::filesystem::path path) {
    IniFile ini;
    ini.path_ = std::move(path);
    ini.Parse(bytes);
    ini.loaded_ = true;
    return ini;
}

bool IniFile::Reload() {
    lines_.clear();
    encoding_ = Encoding::Utf8;
    eol_ = "\n";
    loaded_ = false;
    if (path_.empty()) return false;
    auto bytes = ReadWholeFile(path_);
    if (!bytes) return false;
    Parse(*bytes);
    loaded_ = true;
    return true;
}

void IniFile::Parse(std::string_view bytes) {
    lines_.clear();
    std::string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        encoding_ = Encoding::Utf16Le;
        text = Utf16ToUtf8(Utf16LeBytesToString(bytes.substr(2)));
    } else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
               static_cast<unsigned char>(bytes[1]) == 0xFF) {
        encoding_ = Encoding::Utf16Be;
        std::string swapped(bytes.substr(2));
        for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
        text = Utf16ToUtf8(Utf16LeBytesToString(swapped));
    } else if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
               static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF) {
        encoding_ = Encoding::Utf8Bom;
        text = SanitizeUtf8(bytes.substr(3));
    } else {
        encoding_ = Encoding::Utf8;
        text = SanitizeUtf8(bytes);
    }
    eol_ = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";

    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string_view raw(text.data() + pos, end - pos);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        pos = end + 1;

        Line line;
        line.raw = std::string(raw);
        const std::string_view t = Trim(raw);
        if (!t.empty() && t.front() == '[') {
            const std::size_t close = t.find(']');
            line.type = Line::Type::Section;
            line.name = std::string(
                Trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
        } else if (!t.empty() && t.front() != ';') {
            const std::size_t eq = t.find('=');
            if (eq != std::string_view::npos) {
                line.type = Line::Type::Key;
                line.name = std::string(Trim(t.substr(0, eq)));
                line.value = std::string(Unquote(Trim(t.substr(eq + 1))));
            }
        }
        lines_.push_back(std::move(line));
    }
}

std::size_t IniFile::FindSection(std::string_view section) const {
    const std::string_view want = Trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].type == Line::Type::Section && EqualsNoCase(lines_[i].name, want)) return i;
    }
    return kNone;
}

std::size_t IniFile::FindKey(std::size_t sectionLine, std::string_view key) const {
    const std::string_view want = Trim(key);
    for (std::size_t i = sectionLine + 1; i < lines_.size(); ++i) {
        if (lines_[i].type == Line::Type::Section) break;
        if (lines_[i].type == Line::Type::Key && EqualsNoCase(lines_[i].name, want)) return i;
    }
    return kNone;
}

std::size_t IniFile::FindKeyLine(std::string_view section, std::string_view key) const {
    const std::size_t s = FindSection(section);
    return s == kNone ? kNone : FindKey(s, key);
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    const std::size_t k = FindKeyLine(section, key);
    if (k == kNone) return std::nullopt;
    return lines_[k].value;
}

bool IniFile::Has(std::string_view section, std::string_view key) const {
    return FindKeyLine(section, key) != kNone;
}

std::string IniFile::Get(std::string_view section, std::string_view key, std::string_view def) const {
    return GetLimited(section, key, def, kMaxResultUnits);
}

std::string IniFile::GetLimited(std::string_view section, std::string_view key, std::string_view def,
                                std::size_t maxUnits) const {
    const std::size_t k = FindKeyLine(section, key);
    return CutToUtf16Units(k == kNone ? def : std::string_view(lines_[k].value), maxUnits);
}

int IniFile::GetInt(std::string_view section, std::string_view key, int def) const {
    const std::size_t k = FindKeyLine(section, key);
    if (k == kNone) return def;
    const std::string& v = lines_[k].value;
    std::size_t i = 0;
    bool negative = false;
    if (i < v.size() && (v[i] == '-' || v[i] == '+')) {
        negative = v[i] == '-';
        ++i;
    }
    std::uint32_t result = 0;
    if (i + 1 < v.size() && v[i] == '0' && (v[i + 1] == 'x' || v[i + 1] == 'X')) {
        i += 2;
        for (; i < v.size(); ++i) {
            const char c = LowerAscii(v[i]);
            int digit = -1;
            if (c >= '0' && c <= '9') digit = c - '0';
            if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            if (digit < 0) break;
            result = result * 16u + static_cast<std::uint32_t>(digit);
        }
    } else {
        for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) {
            result = result * 10u + static_cast<std::uint32_t>(v[i] - '0');
        }
    }
    if (negative) result = 0u - result;
    return static_cast<int>(result);
}

std::vector<std::string> IniFile::Sections() const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].type == Line::Type::Section && FindSection(lines_[i].name) == i)
            out.push_back(lines_[i].name);
    }
    return out;
}

std::vector<std::string> IniFile::Keys(std::string_view section) const {
    std::vector<std::string> out;
    const std::size_t s = FindSection(section);
    if (s == kNone) return out;
    for (std::size_t i = s + 1; i < lines_.size() && lines_[i].type != Line::Type::Section; ++i) {
        if (lines_[i].type == Line::Type::Key && FindKey(s, lines_[i].name) == i)
            out.push_back(lines_[i].name);
    }
    return out;
}

std::string IniFile::ToString() const {
    std::string out;
    for (const Line& l : lines_) {
        out += l.raw;
        out += eol_;
    }
    return out;
}

bool IniFile::ApplySet(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view sec = Trim(section);
    const std::string_view k = Trim(key);
    Line keyLine;
    keyLine.type = Line::Type::Key;
    keyLine.name = std::string(k);
    // Values with surrounding blanks or quotes would not read back as written; quote them.
    const bool needsQuotes =
        !value.empty() && (Trim(value).size() != value.size() || Unquote(value).size() != value.size());
    keyLine.value = std::string(value);
    keyLine.raw = keyLine.name + "=" + (needsQuotes ? "\"" + std::string(value) + "\"" : std::string(value));

    std::size_t s = FindSection(sec);
    if (s == kNone) {
        // A new section goes at the end, separated from what precedes it by a blank line.
        if (!lines_.empty() && !Trim(lines_.back().raw).empty()) lines_.push_back(Line{});
        Line header;
        header.type = Line::Type::Section;
        header.name = std::string(sec);
        header.raw = "[" + header.name + "]";
        lines_.push_back(std::move(header));
        lines_.push_back(std::move(keyLine));
        return true;
    }
    const std::size_t existing = FindKey(s, k);
    if (existing != kNone) {
        lines_[existing] = std::move(keyLine);
        return true;
    }
    // New key: after the section's last non-blank line, so trailing blank lines stay separators.
    std::size_t insertAt = s + 1;
    for (std::size_t i = s + 1; i < lines_.size() && lines_[i].type != Line::Type::Section; ++i) {
        if (!Trim(lines_[i].raw).empty()) insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(keyLine));
    return true;
}

bool IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    return SetMany(section, {{std::string(key), std::string(value)}});
}

bool IniFile::SetMany(std::string_view section,
                      const std::vector<std::pair<std::string, std::string>>& entries) {
    const std::string_view sec = Trim(section);
    if (HasLineBreak(section) || sec.find(']') != std::string_view::npos) return false;
    for (const auto& [key, value] : entries) {
        const std::string_view k = Trim(key);
        if (k.empty() || HasLineBreak(key) || HasLineBreak(value) || k.find('=') != std::string_view::npos ||
            k.front() == '[' || k.front() == ';') {
            return false;
        }
    }
    if (path_.empty()) {
        for (const auto& [key, value] : entries) ApplySet(section, key, value);
        return true;
    }

    // Work on the file as it is now, so keys written by others since we read it survive.
    IniFile fresh;
    fresh.path_ = path_;
    std::error_code ec;
    if (std::filesystem::exists(path_, ec)) {
        if (!fresh.Reload()) return false;
    } else if (ec) {
        return false;
    } else {
        fresh.encoding_ = encoding_;
        fresh.eol_ = eol_;
    }
    for (const auto& [key, value] : entries) fresh.ApplySet(section, key, value);
    if (!fresh.WriteFile()) return false;
    *this = std::move(fresh);
    loaded_ = true;
    return true;
}

bool IniFile::Remove(std::string_view section, std::string_view key) {
    if (path_.empty()) {
        const std::size_t k = FindKeyLine(section, key);
        if (k != kNone) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(k));
        return true;
    }
    IniFile fresh;
    fresh.path_ = path_;
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec)) return !ec;
    if (!fresh.Reload()) return false;
    const std::size_t k = fresh.FindKeyLine(section, key);
    if (k == kNone) {
        *this = std::move(fresh);
        return true;
    }
    fresh.lines_.erase(fresh.lines_.begin() + static_cast<std::ptrdiff_t>(k));
    if (!fresh.WriteFile()) return false;
    *this = std::move(fresh);
    return true;
}

bool IniFile::WriteFile() const {
    std::string text = ToString();
    std::string bytes;
    switch (encoding_) {
        case Encoding::Utf8:
            bytes = std::move(text);
            break;
        case Encoding::Utf8Bom:
            bytes = "\xEF\xBB\xBF" + text;
            break;
        case Encoding::Utf16Le:
            bytes = "\xFF\xFE" + Utf16ToLeBytes(Utf8ToUtf16(text));
            break;
        case Encoding::Utf16Be: {
            std::string le = Utf16ToLeBytes(Utf8ToUtf16(text));
            for (std::size_t i = 0; i + 1 < le.size(); i += 2) std::swap(le[i], le[i + 1]);
            bytes = "\xFE\xFF" + le;
            break;
        }
    }

    std::error_code ec;
    if (path_.has_parent_path()) {
        std::filesystem::create_directories(path_.parent_path(), ec);
        if (ec) return false;
    }
    return WriteFileAtomically(path_, bytes);
}

std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view def) {
    return IniFile(file).Get(section, key, def);
}

bool WriteProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                        std::string_view value) {
    IniFile ini;
    ini = IniFile::FromString("", file);
    return ini.Set(section, key, value);
}

}  // namespace talvenix::text

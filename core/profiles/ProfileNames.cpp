#include "core/profiles/ProfileNames.h"

#include "core/text/Utf.h"

namespace talvenix::profiles {

namespace {

constexpr std::size_t kMaxStemBytes = 200;

bool IsBlank(char32_t c) { return c == U' ' || c == 0x3000; }  // ASCII and ideographic space

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029; }

std::u32string ToCodePoints(std::string_view utf8) {
    const std::u16string u16 = text::Utf8ToUtf16(text::SanitizeUtf8(utf8));
    std::u32string out;
    for (std::size_t i = 0; i < u16.size(); ++i) {
        char32_t c = u16[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < u16.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (u16[i + 1] - 0xDC00);
            ++i;
        }
        out.push_back(c);
    }
    return out;
}

std::string ToUtf8(const std::u32string& cps) {
    std::u16string u16;
    for (char32_t c : cps) {
        if (c >= 0x10000) {
            c -= 0x10000;
            u16.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            u16.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            u16.push_back(static_cast<char16_t>(c));
        }
    }
    return text::Utf16ToUtf8(u16);
}

std::u32string Trim(std::u32string s) {
    while (!s.empty() && IsBlank(s.front())) s.erase(s.begin());
    while (!s.empty() && IsBlank(s.back())) s.pop_back();
    return s;
}

}  // namespace

std::string SafeFileStem(std::string_view text, std::string_view fallback) {
    std::u32string out;
    for (char32_t c : ToCodePoints(text)) {
        if (c == U'/' || c == U'\\') {
            out.push_back(U' ');
        } else if (!IsControl(c)) {
            out.push_back(c);
        }
    }
    out = Trim(std::move(out));
    while (!out.empty() && (out.front() == U'.' || IsBlank(out.front()))) out.erase(out.begin());
    if (out.size() > kMaxNewProfileNameChars) out = Trim(out.substr(0, kMaxNewProfileNameChars));
    // File systems limit a name to 255 bytes; leave room for a number and the extension.
    while (!out.empty() && ToUtf8(out).size() > kMaxStemBytes) out.pop_back();
    // A name cut after a dot would hide its extension behind ours; harmless, but keep it tidy.
    while (!out.empty() && out.back() == U'.') out.pop_back();
    if (out.empty()) return std::string(fallback);
    return ToUtf8(out);
}

std::filesystem::path SuggestNewProfilePath(const std::filesystem::path& storeFolder,
                                            std::string_view languageText,
                                            const std::function<bool(const std::filesystem::path&)>& exists) {
    const std::string stem = SafeFileStem(languageText);
    std::filesystem::path candidate = storeFolder / std::filesystem::path(stem + ".tvx");
    if (!exists) return candidate;
    for (int n = 2; n < 1000 && exists(candidate); ++n)
        candidate = storeFolder / std::filesystem::path(stem + " (" + std::to_string(n) + ").tvx");
    return candidate;
}

ProfileNameCheck CheckProfileName(std::string_view typed) {
    ProfileNameCheck check;
    const std::u32string cps = Trim(ToCodePoints(typed));
    for (char32_t c : cps) {
        if (IsControl(c)) {
            check.result = ProfileNameCheck::Result::ControlCharacter;
            return check;
        }
    }
    if (cps.empty()) {
        check.result = ProfileNameCheck::Result::Cleared;
        return check;
    }
    if (cps.size() > kMaxProfileNameChars) {
        check.result = ProfileNameCheck::Result::TooLong;
        return check;
    }
    check.name = ToUtf8(cps);
    return check;
}

std::array<std::string, 3> ShownProfileNames(const std::array<std::optional<std::string>, 3>& stored,
                                             const std::array<std::string, 3>& defaults) {
    std::array<std::string, 3> out;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const ProfileNameCheck check = stored[i] ? CheckProfileName(*stored[i]) : ProfileNameCheck{};
        // A hand-edited settings file can hold anything; show only what could have been typed.
        out[i] = stored[i] && check.result == ProfileNameCheck::Result::Ok ? check.name : defaults[i];
    }
    return out;
}

}  // namespace talvenix::profiles

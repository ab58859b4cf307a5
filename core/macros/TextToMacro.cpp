#include "core/macros/TextToMacro.h"

#include <optional>

namespace talvenix::macros {

namespace {

constexpr std::uint16_t kLeftShift = 0x02A;

struct Stroke {
    std::uint16_t code;
    bool shift;
};

std::optional<Stroke> StrokeOf(char16_t c) {
    static constexpr std::u16string_view kRowQ = u"qwertyuiop";    // 0x10..0x19
    static constexpr std::u16string_view kRowA = u"asdfghjkl";     // 0x1E..0x26
    static constexpr std::u16string_view kRowZ = u"zxcvbnm";       // 0x2C..0x32
    static constexpr std::u16string_view kDigits = u"1234567890";  // 0x02..0x0B
    static constexpr std::u16string_view kShiftedDigits = u"!@#$%^&*()";
    struct Sym {
        char16_t plain, shifted;
        std::uint16_t code;
    };
    static constexpr Sym kSymbols[] = {
        {u'`', u'~', 0x29}, {u'-', u'_', 0x0C},  {u'=', u'+', 0x0D}, {u'[', u'{', 0x1A},
        {u']', u'}', 0x1B}, {u'\\', u'|', 0x2B}, {u';', u':', 0x27}, {u'\'', u'"', 0x28},
        {u',', u'<', 0x33}, {u'.', u'>', 0x34},  {u'/', u'?', 0x35},
    };
    const char16_t lower = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
    const bool upper = lower != c;
    if (auto p = kRowQ.find(lower); p != std::u16string_view::npos)
        return Stroke{static_cast<std::uint16_t>(0x10 + p), upper};
    if (auto p = kRowA.find(lower); p != std::u16string_view::npos)
        return Stroke{static_cast<std::uint16_t>(0x1E + p), upper};
    if (auto p = kRowZ.find(lower); p != std::u16string_view::npos)
        return Stroke{static_cast<std::uint16_t>(0x2C + p), upper};
    if (upper) return std::nullopt;
    if (auto p = kDigits.find(c); p != std::u16string_view::npos)
        return Stroke{static_cast<std::uint16_t>(0x02 + p), false};
    if (auto p = kShiftedDigits.find(c); p != std::u16string_view::npos)
        return Stroke{static_cast<std::uint16_t>(0x02 + p), true};
    for (const Sym& s : kSymbols) {
        if (c == s.plain) return Stroke{s.code, false};
        if (c == s.shifted) return Stroke{s.code, true};
    }
    if (c == u' ') return Stroke{0x39, false};
    if (c == u'\t') return Stroke{0x0F, false};
    return std::nullopt;
}

}  // namespace

TextToMacroResult TextToActions(std::u16string_view text, std::uint32_t delayMs) {
    TextToMacroResult out;
    const std::uint32_t delay = delayMs > kMaxEditorDelayMs ? kMaxEditorDelayMs : delayMs;
    constexpr auto kPress = static_cast<std::uint16_t>(Direction::Press);
    constexpr auto kRelease = static_cast<std::uint16_t>(Direction::Release);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const auto stroke = StrokeOf(c);
        if (!stroke) {
            std::u16string_view one(&text[i], 1);
            // Keep a surrogate pair together when naming it.
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) one = text.substr(i, 2), ++i;
            if (out.unsupported.find(one) == std::u16string::npos) out.unsupported += one;
            continue;
        }
        if (stroke->shift) out.actions.push_back({delay, kLeftShift, kPress});
        out.actions.push_back({delay, stroke->code, kPress});
        out.actions.push_back({delay, stroke->code, kRelease});
        if (stroke->shift) out.actions.push_back({delay, kLeftShift, kRelease});
    }
    if (!out.unsupported.empty()) out.actions.clear();
    return out;
}

}  // namespace talvenix::macros

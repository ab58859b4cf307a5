#include "core/keys/KeyDialogRules.h"

#include <charconv>
#include <cstring>

namespace talvenix::keys {

std::u16string BoundKeyString(std::u16string_view text, std::size_t maxUnits) {
    if (const auto nul = text.find(u'\0'); nul != std::u16string_view::npos) text = text.substr(0, nul);
    if (text.size() <= maxUnits) return std::u16string(text);
    std::size_t n = maxUnits;
    // Never leave half a surrogate pair at the end.
    if (n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
    return std::u16string(text.substr(0, n));
}

std::optional<DialogTarget> TargetOfGButton(int n, bool bankB) {
    if (n < 0 || n >= kGKeyCount) return std::nullopt;
    DialogTarget t;
    t.slot = (bankB ? kGSlotBankB : kGSlotBankA) + n;
    t.buttonPosition = bankB ? n + kGKeyCount : n;
    t.macroOnly = false;
    return t;
}

std::optional<DialogTarget> TargetOfKeyButton(KeyCode code, int position) {
    if (position < 0 || position > 103 || code == kNoKey || !KeyEntryOf(code).HasName()) return std::nullopt;
    return DialogTarget{KeyIndexOf(code), position, false};
}

DialogTarget MacroEditTarget(bool bankB) {
    DialogTarget t = *TargetOfGButton(8, bankB);
    t.macroOnly = true;
    return t;
}

int ClampCycles(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '-') return 1;
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0) return 1;
    // Skip leading zeros so a long run of them still reads as small.
    std::size_t first = 0;
    while (first + 1 < digits && text[first] == '0') ++first;
    if (digits - first > 3) return 255;
    int value = 0;
    std::from_chars(text.data() + first, text.data() + digits, value);
    if (value < 1) return 1;
    return value > 255 ? 255 : value;
}

KeyAssignment BuildCompositeRecord(const CompositeChoice& c) {
    KeyAssignment r;
    r.kind = static_cast<std::uint16_t>(c.pageKind);
    r.tag = IsGSlot(c.slot) ? GKeyNumber(c.slot) : 0;
    r.value = 0;
    switch (c.pageKind) {
        case 2:
            if (c.captured == kNoKey || (!IsGSlot(c.slot) && KeyIndexOf(c.captured) == c.slot)) {
                r.kind = 0;
            } else {
                r.value = c.captured;
            }
            break;
        case 4:
            if (c.hasMacros && c.selectedMacroId > 0) {
                r.value = static_cast<std::uint32_t>(c.selectedMacroId);
                r.tag = static_cast<std::uint16_t>(c.cycles < 1 ? 1 : (c.cycles > 255 ? 255 : c.cycles));
            } else {
                r.kind = 0;
            }
            break;
        case 7:
            r.value = static_cast<std::uint32_t>(c.mediaIndex < 0 ? 0 : c.mediaIndex);
            break;
        case 8:
            r.value = static_cast<std::uint32_t>(c.functionIndex < 0 ? 0 : c.functionIndex);
            break;
        default:
            r.kind = 0;
            break;
    }
    return r;
}

SingleKeyRecord BuildSingleKeyRecord(const SingleKeyChoice& c) {
    using Problem = SingleKeyRecord::Problem;
    SingleKeyRecord out;
    if (c.kind < 0 || c.kind > 6) {
        out.problem = Problem::BadKind;
        return out;
    }
    KeyAssignment& r = out.record;
    r.kind = static_cast<std::uint16_t>(c.kind);
    r.tag = IsGSlot(c.slot) ? GKeyNumber(c.slot) : 0;
    switch (c.kind) {
        case 2: {
            const KeyCode code = CodeOfListPosition(c.listPosition);
            if (code == kNoKey) {
                out.problem = Problem::NoKey;
            } else if (!IsGSlot(c.slot) && KeyIndexOf(code) == c.slot) {
                r.kind = 0;  // a key assigned to itself is simply its default
            } else {
                r.value = code;
            }
            break;
        }
        case 3: {
            std::u16string path = BoundKeyString(c.text, kMaxLaunchPathUnits);
            const bool blank = path.find_first_not_of(u" \t\r\n") == std::u16string::npos;
            if (blank)
                out.problem = Problem::NoPath;
            else
                out.string = std::move(path);
            break;
        }
        case 4:
            if (c.macroId <= 0)
                out.problem = Problem::NoMacro;
            else
                r.value = static_cast<std::uint32_t>(c.macroId);
            break;
        case 6:
            out.string = BoundKeyString(c.text, kMaxTextBlockUnits);
            break;
        default:
            break;
    }
    return out;
}

std::uint32_t ButtonFlagOf(const KeyAssignment& record) {
    std::uint32_t v = 0;
    std::memcpy(&v, record.extra.data(), sizeof v);
    return v;
}

std::uint32_t ToggleButtonFlag(KeyAssignment& record) {
    const std::uint32_t next = ButtonFlagOf(record) == 0 ? 1u : 0u;
    std::memcpy(record.extra.data(), &next, sizeof next);
    return next;
}

ScreenPoint PlaceBesideButton(const ScreenRect& b, int width, int height, const ScreenRect& s) {
    const int right = s.x + s.w;
    const int bottom = s.y + s.h;
    const bool fitsRight = b.x + b.w + width <= right;
    const bool fitsLeft = b.x - width >= s.x;
    const bool fitsBelow = b.y + b.h + height <= bottom;
    const bool fitsAbove = b.y - height >= s.y;
    const ScreenPoint rightBelow{b.x + b.w, b.y + b.h};
    if (fitsRight) {
        if (fitsBelow) return rightBelow;
        if (fitsAbove) return {b.x + b.w, b.y - height};
    }
    if (fitsLeft) {
        if (fitsBelow) return {b.x - width, b.y + b.h};
        if (fitsAbove) return {b.x - width, b.y - height};
    }
    // Nothing fits beside the button: right and below, kept on the screen.
    ScreenPoint p = rightBelow;
    if (p.x + width > right) p.x = right - width;
    if (p.y + height > bottom) p.y = bottom - height;
    if (p.x < s.x) p.x = s.x;
    if (p.y < s.y) p.y = s.y;
    return p;
}

}  // namespace talvenix::keys

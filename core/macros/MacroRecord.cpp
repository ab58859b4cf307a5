#include "core/macros/MacroRecord.h"

#include <algorithm>

namespace talvenix::macros {

std::u16string MacroRecord::Name() const {
    const auto end = std::find(name.begin(), name.end(), u'\0');
    return std::u16string(name.begin(), end);
}

void MacroRecord::SetName(std::u16string_view text) {
    const auto nul = text.find(u'\0');
    if (nul != std::u16string_view::npos) text = text.substr(0, nul);
    if (text.size() > static_cast<std::size_t>(kMaxNameLength)) text = text.substr(0, kMaxNameLength);
    name.fill(u'\0');
    std::copy(text.begin(), text.end(), name.begin());
}

std::string_view PlayModeDefaultText(std::uint16_t mode) {
    switch (mode) {
        case 0:
            return "Play macro once";
        case 1:
            return "Play macro repeat";
        case 2:
            return "Repeating until key down again";
        default:
            return {};
    }
}

std::string_view DirectionText(std::uint16_t direction) { return direction == 1 ? "  \u2191" : "\u2193"; }

namespace {
char16_t FoldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    // Latin-1 capitals except the multiplication sign.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    return c;
}
}  // namespace

bool SameMacroName(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
               return FoldCase(x) == FoldCase(y);
           });
}

}  // namespace talvenix::macros

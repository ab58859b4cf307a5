#include "core/keys/KeyButtons.h"

#include <cstdio>

namespace talvenix::keys {

std::string SkinKeyOf(const KeyButton& button) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "KEY_%03X", static_cast<unsigned>(button.keyIndex));
    return buf;
}

std::string SkinKeyOf(const GButton& button) { return "FUNC_G" + std::to_string(button.number); }

std::optional<int> KeyButtonOfCode(KeyCode code) {
    const KeyIndex index = KeyIndexOf(code);
    for (int i = 0; i < kKeyButtonCount; ++i) {
        if (KeyIndexOf(kKeyButtons[static_cast<std::size_t>(i)].code) == index) return i;
    }
    return std::nullopt;
}

}  // namespace talvenix::keys

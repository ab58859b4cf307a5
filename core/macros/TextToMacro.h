// Typing a line of text as a macro: the press and release actions that type it on a US layout,
// with Shift held around capitals and shifted symbols.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/macros/MacroRecord.h"

namespace talvenix::macros {

struct TextToMacroResult {
    std::vector<MacroAction> actions;
    std::u16string unsupported;  // each character no key types, once, in order of appearance
    bool Ok() const { return unsupported.empty(); }
};

// Every action waits `delayMs` (bounded to 40000) before it. Letters, digits, space, tab and the
// US-layout symbols are supported; anything else is listed in `unsupported` and no actions are
// returned.
TextToMacroResult TextToActions(std::u16string_view text, std::uint32_t delayMs);

}  // namespace talvenix::macros

// Display names of the effect codes. They are not built in: the skin's main layout file
// (Skins/Main.ini) carries them in section "Mode" (language index 0) or "Mode1" (index 1),
// keyed by the code in decimal; a missing name reads as "1".
#pragma once

#include <string>
#include <string_view>

#include "core/lighting/EffectCode.h"
#include "core/text/IniFile.h"

namespace talvenix::lighting {

inline constexpr std::string_view kEffectNameDefault = "1";

// Section holding the names for a language index (0 Chinese, anything else English).
constexpr std::string_view EffectNameSection(int languageIndex) {
    return languageIndex == 0 ? "Mode" : "Mode1";
}

std::string EffectName(const text::IniFile& skinMain, int languageIndex, EffectCode code);

}  // namespace talvenix::lighting

#include "core/lighting/EffectNames.h"

namespace talvenix::lighting {

std::string EffectName(const text::IniFile& skinMain, int languageIndex, EffectCode code) {
    return skinMain.Get(EffectNameSection(languageIndex), std::to_string(code), kEffectNameDefault);
}

}  // namespace talvenix::lighting

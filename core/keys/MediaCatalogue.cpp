#include "core/keys/MediaCatalogue.h"

namespace talvenix::keys {

std::string MediaName(int index) {
    if (index < 0 || index >= kMediaCount) return {};
    return KeyNameOf(kMediaList[static_cast<std::size_t>(index)].code);
}

std::uint16_t MediaUsage(int index) {
    if (index < 0 || index >= kMediaCount) return 0;
    return kMediaList[static_cast<std::size_t>(index)].usage;
}

std::optional<int> MediaIndexOfUsage(std::uint16_t usage) {
    for (int i = 0; i < kMediaCount; ++i) {
        if (kMediaList[static_cast<std::size_t>(i)].usage == usage) return i;
    }
    return std::nullopt;
}

KeyCode MediaCode(int index) {
    if (index < 0 || index >= kMediaCount) return kNoKey;
    return kMediaList[static_cast<std::size_t>(index)].code;
}

std::string FunctionText(std::int64_t index) {
    if (index < 0 || index >= kFunctionTextCount) return {};
    const FunctionEntry& f = kFunctionList[static_cast<std::size_t>(index)];
    if (f.nameId) return text::LanguageText(*f.nameId);
    return std::string(f.fixedText);
}

}  // namespace talvenix::keys

#include "core/lighting/EffectList.h"

namespace talvenix::lighting {

EffectList EffectList::FromConfigBlock(const device::ConfigBlock& block) {
    EffectList list;
    for (std::size_t i = 0; i < kSlots; ++i) list.codes[i] = block.EffectSlot(i);
    return list;
}

bool EffectList::Offers(EffectCode code) const {
    if (code <= 0) return false;
    for (auto s : codes) {
        if (s == code) return true;
    }
    return false;
}

EffectComboMap EffectComboMap::FromList(const EffectList& list) {
    EffectComboMap map;
    for (auto s : list.codes) {
        if (s != 0) map.codes_[map.count_++] = s;
    }
    return map;
}

int EffectComboMap::IndexOf(EffectCode code) const {
    for (std::size_t i = 0; i < count_; ++i) {
        if (codes_[i] == code) return static_cast<int>(i);
    }
    return -1;
}

std::optional<EffectCode> EffectComboMap::CodeAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= count_) return std::nullopt;
    return codes_[static_cast<std::size_t>(index)];
}

}  // namespace talvenix::lighting

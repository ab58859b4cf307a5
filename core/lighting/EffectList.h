// The effects the keyboard offers and the effect combo built from them.
//
// `EffectList`: bytes 12..43 of the keyboard's ConfigBlock, 32 one-byte slots, each 0 (empty)
// or an effect code. The order of the list is the order of the effect combo.
//
// `EffectComboMap`: 32 entries (combo index, effect code), filled while the combo is built from
// the non-empty slots of the list in slot order. Code -> index scans the entries and gives -1
// for a code that is not offered; index -> code reads the entry.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/device/ConfigBlock.h"
#include "core/lighting/EffectCode.h"

namespace talvenix::lighting {

struct EffectList {
    static constexpr std::size_t kSlots = device::ConfigBlock::kEffectSlots;
    std::array<std::uint8_t, kSlots> codes{};  // one effect code per slot, 0 = empty

    static EffectList FromConfigBlock(const device::ConfigBlock& block);
    void Clear() { codes.fill(0); }
    // True when some slot holds `code`.
    bool Offers(EffectCode code) const;
};

class EffectComboMap {
public:
    static constexpr std::size_t kEntries = EffectList::kSlots;

    // One entry per non-empty slot of `list`, in slot order.
    static EffectComboMap FromList(const EffectList& list);

    void Clear() {
        count_ = 0;
        codes_.fill(0);
    }
    // Number of entries (the combo's item count).
    std::size_t Size() const { return count_; }
    // The combo index showing `code`, or -1 when the keyboard does not offer it.
    int IndexOf(EffectCode code) const;
    // The code at combo `index`; nullopt for an index outside the filled entries.
    std::optional<EffectCode> CodeAt(int index) const;

private:
    std::array<EffectCode, kEntries> codes_{};
    std::size_t count_ = 0;
};

// One item of the effect combo, with its display name.
struct EffectComboItem {
    int index = 0;
    EffectCode code = 0;
    std::string name;
};

}  // namespace talvenix::lighting

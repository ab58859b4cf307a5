#include "core/profiles/Storable.h"

#include "core/macros/MacroImage.h"

namespace talvenix::profiles {

std::vector<UnstorableAssignment> UnstorableAssignments(const macros::Configuration& config,
                                                        const keys::SlotEntries& entries) {
    std::vector<UnstorableAssignment> found;
    for (int p = 0; p < 3; ++p) {
        for (int slot = 0; slot < keys::kSlotsPerBlock; ++slot) {
            const auto& entry = entries[static_cast<std::size_t>(slot)];
            if (!entry) continue;
            const keys::KeyAssignment wanted = config.AssignmentOf(p, slot);
            if (wanted.Kind() == keys::AssignmentKind::Macro) {
                const int id = static_cast<int>(wanted.value & 0xFFFF);
                if (config.MacroOfId(id)) continue;
                UnstorableAssignment f{p, slot, wanted, {}};
                f.stored.kind = wanted.kind;
                f.stored.value = static_cast<std::uint32_t>(config.MacroIdAtPosition(0));
                found.push_back(f);
                continue;
            }
            const auto kept = keys::KeyboardKeeps(wanted, *entry);
            if (!kept.faithful) found.push_back({p, slot, wanted, kept.stored});
        }
    }
    return found;
}

keys::KeyCode MacroMemoryKeyOf(keys::KeyCode code) {
    macros::MacroAction a;
    a.keyCode = code;
    // A read-back names a usage by its lowest code: the same key to the keyboard.
    return macros::DecodeMacroAction(macros::EncodeMacroAction(a)).keyCode;
}

bool MacroMemoryHolds(keys::KeyCode code) {
    return code == keys::kNoKey || MacroMemoryKeyOf(code) != keys::kNoKey;
}

std::vector<UnstorableMacroAction> UnstorableMacroActions(std::span<const macros::MacroRecord> macros) {
    std::vector<UnstorableMacroAction> found;
    for (std::size_t m = 0; m < macros.size(); ++m) {
        const auto& record = macros[m];
        for (int k = 0; k < record.UsedActions(); ++k) {
            const keys::KeyCode code = record.actions[static_cast<std::size_t>(k)].keyCode;
            if (MacroMemoryHolds(code)) continue;
            found.push_back({static_cast<int>(m), record.id, k, code, MacroMemoryKeyOf(code)});
        }
    }
    return found;
}

}  // namespace talvenix::profiles

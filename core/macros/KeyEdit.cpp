#include "core/macros/KeyEdit.h"

#include "core/keys/KeyDialogRules.h"

namespace talvenix::macros {

bool StoreKeyEdit(Configuration& config, int profile, int slot, const keys::KeyAssignment& record,
                  const std::optional<std::u16string>& text) {
    if (profile < 0 || profile >= keys::kBlockCount || slot < 0 || slot >= keys::kUsedSlots) return false;
    const int stringSlot = keys::RecordIndex(profile, slot);
    config.strings.Clear(stringSlot);
    if (KindOwnsString(record.kind) && text) {
        const std::size_t bound = record.Kind() == keys::AssignmentKind::Launch ? keys::kMaxLaunchPathUnits
                                                                                : keys::kMaxTextBlockUnits;
        config.strings.Set(stringSlot, keys::BoundKeyString(*text, bound));
    }
    config.StoreAssignment(profile, slot, record);
    return true;
}

}  // namespace talvenix::macros

#include "core/lighting/PaintButton.h"

#include "core/keys/KeyButtons.h"

namespace talvenix::lighting {

static_assert(kKeyButtonCount == keys::kKeyButtonCount);
static_assert(kGButtonCount == keys::kGButtonCount);
static_assert(kGKeySlot == keys::kGButtonLightingSlot);
static_assert(kFnSlot == keys::kFnLightingSlot);

std::optional<int> SlotOfButton(PaintButton button) {
    if (!IsPaintButton(button)) return std::nullopt;
    if (button < kKeyButtonCount) return keys::kKeyButtons[static_cast<std::size_t>(button)].lightingSlot;
    if (button < kFnButton) return kGKeySlot;
    return kFnSlot;
}

}  // namespace talvenix::lighting

// Writing one key's new assignment into the working configuration, with the string a launch
// or text-block key carries.
#pragma once

#include <optional>
#include <string>

#include "core/keys/KeyAssignment.h"
#include "core/macros/WorkingConfig.h"

namespace talvenix::macros {

// Stores bytes 0..7 of `record` for (profile, slot), keeping bytes 8..15. The slot's string is
// released first; kinds 3 and 6 then take `text` (bounded to the field of their kind).
// False, and nothing changed, for a profile or slot out of range.
bool StoreKeyEdit(Configuration& config, int profile, int slot, const keys::KeyAssignment& record,
                  const std::optional<std::u16string>& text = std::nullopt);

}  // namespace talvenix::macros

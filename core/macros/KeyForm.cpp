#include "core/macros/KeyForm.h"

#include "core/keys/KeyTable.h"

namespace talvenix::macros {

KeyForm KeyFormOfCode(std::uint16_t keyCode) {
    const keys::Usage u = keys::DecodeDeviceKeyByte(keyCode);
    const auto lo = static_cast<std::uint8_t>(u.usage & 0xFF);
    const auto hi = static_cast<std::uint8_t>(u.usage >> 8);
    switch (u.page) {
        case keys::kPageKeyboard: {
            const std::uint8_t bit = keys::ModifierBitOf(keyCode);
            if (bit != 0) return {2, 0x01, bit};
            return {2, 0x02, lo};
        }
        case keys::kPageConsumer:
            return {3, lo, hi};
        case keys::kPageGenericDesktop:
            return {4, lo, hi};
        default:
            return {};
    }
}

std::uint16_t CodeOfKeyForm(const KeyForm& form) { return keys::CodeOfEntry(form.kind, form.b1, form.b2); }

}  // namespace talvenix::macros

#include "core/keys/StoredAssignment.h"

#include "core/device/ConfigBlock.h"
#include "core/keys/KeyBlockCodec.h"
#include "core/keys/MediaCatalogue.h"

namespace talvenix::keys {

std::optional<EntryBytes> NaturalEntryOfSlot(int slot) {
    if (slot <= 0 || slot >= kKeyTableSize) return std::nullopt;
    const KeyCode code = KeyCodeOf(static_cast<KeyIndex>(slot));
    EntryBytes e{};
    if (const std::uint8_t bit = ModifierBitOf(code)) {
        e = {0x02, 0x01, bit};
    } else {
        const Usage u = DecodeDeviceKeyByte(code);
        const auto lo = static_cast<std::uint8_t>(u.usage & 0xFF);
        const auto hi = static_cast<std::uint8_t>(u.usage >> 8);
        if (u.page == kPageKeyboard)
            e = {0x02, 0x02, lo};
        else if (u.page == kPageConsumer)
            e = {0x03, lo, hi};
        else if (u.page == kPageGenericDesktop)
            e = {0x04, lo, hi};
        else
            return std::nullopt;
    }
    if (KeyIndexOf(CodeOfEntry(e[0], e[1], e[2])) != slot) return std::nullopt;
    return e;
}

SlotEntries SlotEntriesOfLayout(std::span<const std::uint8_t> layout) {
    SlotEntries out{};
    if (layout.size() < device::kKeyBlockSize) return out;
    for (std::size_t i = 0; i < device::kKeyBlockEntries; ++i) {
        const EntryBytes e = {layout[3 * i], layout[3 * i + 1], layout[3 * i + 2]};
        const KeyIndex slot = KeyIndexOf(CodeOfEntry(e[0], e[1], e[2]));
        // Encoding skips slot 0 (no key); the first entry naming a slot is the one a decode
        // compares with.
        if (slot != 0 && !out[slot]) out[slot] = e;
    }
    return out;
}

const SlotEntries& EverySlotEntry() {
    static const SlotEntries entries = [] {
        SlotEntries e{};
        for (int s = 0; s < kKeyTableSize; ++s) e[static_cast<std::size_t>(s)] = NaturalEntryOfSlot(s);
        return e;
    }();
    return entries;
}

KeptAssignment KeyboardKeeps(const KeyAssignment& wanted, const EntryBytes& defaultEntry,
                             std::uint8_t macroPosition) {
    const auto position = [macroPosition](std::uint16_t) { return macroPosition; };
    const EntryBytes written = EncodeAssignment(wanted, defaultEntry, position);
    KeptAssignment out;
    out.stored = DecodeAssignment(written, defaultEntry);
    switch (wanted.Kind()) {
        case AssignmentKind::Default:
        case AssignmentKind::Launch:
        case AssignmentKind::Text:
        case AssignmentKind::Macro:
            return out;
        default:
            break;
    }
    if (written == defaultEntry) {
        // The key keeps its own entry: right for a key set to act as itself (or as its own media
        // usage), wrong for a value that names nothing.
        out.faithful = wanted.Kind() == AssignmentKind::Key ||
                       (wanted.Kind() == AssignmentKind::Media && wanted.value < kMediaCount);
        return out;
    }
    // The same kind again is the same effect (a key reads back as the lowest code of its
    // usage, one key to the keyboard); a function index is kept only as its low byte.
    out.faithful = out.stored.kind == wanted.kind &&
                   (wanted.Kind() != AssignmentKind::Function || out.stored.value == wanted.value);
    return out;
}

}  // namespace talvenix::keys

#include "core/macros/KeyStringTable.h"

#include <cstring>

namespace talvenix::macros {

namespace {
const std::u16string kNoText;

bool InRange(int slot) { return slot >= 0 && slot < kKeyRecords; }
}  // namespace

bool KeyStringTable::Has(int slot) const { return InRange(slot) && slots_[slot].present; }

const std::u16string& KeyStringTable::Text(int slot) const {
    return InRange(slot) ? slots_[slot].text : kNoText;
}

std::uint32_t KeyStringTable::SizeOf(int slot) const {
    if (!Has(slot)) return 0;
    return static_cast<std::uint32_t>((slots_[slot].text.size() + 1) * sizeof(char16_t));
}

void KeyStringTable::Set(int slot, std::u16string_view text) {
    if (!InRange(slot)) return;
    const auto nul = text.find(u'\0');
    if (nul != std::u16string_view::npos) text = text.substr(0, nul);
    total_ -= SizeOf(slot);
    slots_[slot].text.assign(text);
    slots_[slot].present = true;
    total_ += SizeOf(slot);
}

void KeyStringTable::Clear(int slot) {
    if (!InRange(slot)) return;
    total_ -= SizeOf(slot);
    slots_[slot] = Slot{};
}

void KeyStringTable::Clear() {
    for (auto& s : slots_) s = Slot{};
    total_ = 0;
}

bool KindOwnsString(std::uint16_t kind) {
    return kind == static_cast<std::uint16_t>(keys::AssignmentKind::Launch) ||
           kind == static_cast<std::uint16_t>(keys::AssignmentKind::Text);
}

std::vector<std::uint8_t> PackKeyStrings(ProfileImage& image, const KeyStringTable& strings) {
    const std::uint32_t blockSize = strings.TotalSize();
    std::vector<std::uint8_t> block(blockSize, 0);
    std::uint32_t offset = 0;
    for (int r = 0; r < kKeyRecords; ++r) {
        if (!KindOwnsString(image.keys[r].kind)) continue;
        const std::uint32_t size = strings.SizeOf(r);
        if (size == 0 || static_cast<std::uint64_t>(offset) + size > blockSize) {
            // Left with an old offset, the record would take over whatever string lands there
            // on the next load. The block's end is where no string can start.
            image.keys[r].value = blockSize;
            continue;
        }
        const std::uint32_t at = offset & ~1u;
        const auto& text = strings.Text(r);
        std::memcpy(block.data() + at, text.data(), text.size() * sizeof(char16_t));
        // The NUL is already there: the block starts zero-filled.
        image.keys[r].value = at;
        offset += size;
    }
    return block;
}

int UnpackKeyStrings(const ProfileImage& image, std::span<const std::uint8_t> block,
                     KeyStringTable& strings) {
    int dropped = 0;
    for (int r = 0; r < kKeyRecords; ++r) {
        if (!KindOwnsString(image.keys[r].kind)) continue;
        const std::size_t at = image.keys[r].value & ~1u;
        if (at == block.size()) {  // how a save marks a record without a string: nothing lost
            strings.Clear(r);
            continue;
        }
        std::u16string text;
        bool terminated = false;
        for (std::size_t i = at; i + 1 < block.size(); i += 2) {
            const char16_t unit = static_cast<char16_t>(block[i] | (block[i + 1] << 8));
            if (unit == u'\0') {
                terminated = true;
                break;
            }
            text.push_back(unit);
        }
        if (!terminated) {
            strings.Clear(r);
            ++dropped;
            continue;
        }
        strings.Set(r, text);
    }
    return dropped;
}

}  // namespace talvenix::macros

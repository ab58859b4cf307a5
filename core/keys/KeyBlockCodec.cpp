#include "core/keys/KeyBlockCodec.h"

#include <algorithm>

#include "core/keys/KeyButtons.h"
#include "core/keys/MediaCatalogue.h"
#include "core/text/LanguageTable.h"
#include "core/text/Utf.h"

namespace talvenix::keys {
namespace {

using Entry = std::array<std::uint8_t, 3>;

Entry EntryAt(std::span<const std::uint8_t> block, std::size_t i) {
    return {block[3 * i], block[3 * i + 1], block[3 * i + 2]};
}

KeyAssignment Make(AssignmentKind kind, std::uint32_t value) {
    KeyAssignment r;
    r.kind = static_cast<std::uint16_t>(kind);
    r.value = value;
    return r;
}

}  // namespace

AssignmentBlock DefaultAssignmentBlock(int block) {
    AssignmentBlock b{};
    if (block == 0) {
        for (int s = kGSlotBankA; s < kUsedSlots; ++s) b[static_cast<std::size_t>(s)].tag = GKeyNumber(s);
    }
    return b;
}

AssignmentBlock DecodedBlockStart() { return DefaultAssignmentBlock(0); }

Entry EncodeAssignment(const KeyAssignment& record, Entry defaultEntry,
                       const std::function<std::uint8_t(std::uint16_t macroId)>& macroPositionOfId) {
    switch (record.Kind()) {
        case AssignmentKind::Default:
        case AssignmentKind::Launch:
            return defaultEntry;
        case AssignmentKind::Disabled:
        case AssignmentKind::Text:
            return {0x00, 0x00, 0x00};
        case AssignmentKind::Key: {
            if (record.value > 0xFFFF) return {0x02, 0x02, 0x00};
            const auto target = static_cast<KeyCode>(record.value);
            if (const std::uint8_t bit = ModifierBitOf(target)) return {0x02, 0x01, bit};
            const Usage u = DecodeDeviceKeyByte(target);
            return {0x02, 0x02,
                    u.page == kPageKeyboard ? static_cast<std::uint8_t>(u.usage) : std::uint8_t{0}};
        }
        case AssignmentKind::Macro: {
            const auto id = static_cast<std::uint16_t>(record.value & 0xFFFF);
            return {0x05, 0x01, macroPositionOfId ? macroPositionOfId(id) : std::uint8_t{0}};
        }
        case AssignmentKind::StopMacro:
            return {0x05, 0x02, 0x00};
        case AssignmentKind::Media: {
            // A media index the list does not have names nothing; the key keeps its function.
            if (record.value >= static_cast<std::uint32_t>(kMediaCount)) return defaultEntry;
            const std::uint16_t usage = MediaUsage(static_cast<int>(record.value));
            return {0x03, static_cast<std::uint8_t>(usage & 0xFF), static_cast<std::uint8_t>(usage >> 8)};
        }
        case AssignmentKind::Function:
            return {0x05, 0x05, static_cast<std::uint8_t>(record.value & 0xFF)};
    }
    return defaultEntry;  // a kind this program does not know (a damaged file)
}

device::KeyBlock EncodeKeyBlock(std::span<const KeyAssignment, kSlotsPerBlock> profileBlock,
                                const device::KeyBlock& defaultLayout,
                                const std::function<std::uint8_t(std::uint16_t macroId)>& macroPositionOfId) {
    device::KeyBlock out = defaultLayout;
    for (std::size_t i = 0; i < device::kKeyBlockEntries; ++i) {
        const Entry def = EntryAt(defaultLayout, i);
        const KeyCode code = CodeOfEntry(def[0], def[1], def[2]);
        if (code == kNoKey) continue;
        const Entry e = EncodeAssignment(profileBlock[KeyIndexOf(code)], def, macroPositionOfId);
        std::copy(e.begin(), e.end(), out.begin() + static_cast<std::ptrdiff_t>(3 * i));
    }
    return out;
}

KeyAssignment DecodeAssignment(std::array<std::uint8_t, 3> read, std::array<std::uint8_t, 3> defaultEntry) {
    if (read == defaultEntry) return {};
    KeyAssignment decoded = Make(AssignmentKind::Disabled, 0);
    if (read[0] == 0x05 && read[1] == 0x01) {
        decoded = Make(AssignmentKind::Macro, read[2] + 1u);
    } else if (read[0] == 0x05 && read[1] == 0x02) {
        decoded = Make(AssignmentKind::StopMacro, 0);
    } else if (read[0] == 0x05 && read[1] == 0x05) {
        decoded = Make(AssignmentKind::Function, read[2]);
    } else if (read[0] == 0x03) {
        const auto usage = static_cast<std::uint16_t>(read[1] | (read[2] << 8));
        if (const auto m = MediaIndexOfUsage(usage))
            decoded = Make(AssignmentKind::Media, static_cast<std::uint32_t>(*m));
    } else if (read[0] == 0x02 && read[1] == 0x02) {
        if (const KeyCode c = CodeOfUsage(kPageKeyboard, read[2])) decoded = Make(AssignmentKind::Key, c);
    } else if (read[0] == 0x02 && read[1] == 0x01) {
        decoded = Make(AssignmentKind::Key, CodeOfModifierBits(read[2]));
    }
    return decoded;
}

std::optional<AssignmentBlock> DecodeKeyBlock(std::span<const std::uint8_t> readBlock,
                                              std::span<const std::uint8_t> defaultLayout) {
    if (readBlock.size() < device::kKeyBlockSize || defaultLayout.size() < device::kKeyBlockSize) {
        return std::nullopt;
    }
    AssignmentBlock block = DecodedBlockStart();
    for (std::size_t i = 0; i < device::kKeyBlockEntries; ++i) {
        const Entry read = EntryAt(readBlock, i);
        const Entry def = EntryAt(defaultLayout, i);
        if (read == def) continue;
        const KeyIndex slot = KeyIndexOf(CodeOfEntry(def[0], def[1], def[2]));
        if (slot == 0) continue;
        const KeyAssignment decoded = DecodeAssignment(read, def);
        KeyAssignment& r = block[slot];
        r.kind = decoded.kind;
        r.value = decoded.value;
    }
    return block;
}

void ResetKeyAssignments(std::span<KeyAssignment, kSlotsPerBlock> block, bool bankB) {
    for (int n = 0; n < kGButtonCount; ++n)
        block[static_cast<std::size_t>(GButtonSlot(n, bankB))] = KeyAssignment{};
    for (const KeyButton& b : kKeyButtons) block[KeyIndexOf(b.code)] = KeyAssignment{};
}

std::string AssignmentSummary(std::string_view buttonName, const KeyAssignment& record,
                              const MacroNameLookup& macroName) {
    std::string out(buttonName);
    if (record.kind == 0) return out;
    out += text::LanguageText(text::TextId::KEY_PROMPT_SET);
    switch (record.Kind()) {
        case AssignmentKind::Key:
            out += text::LanguageText(text::TextId::KEY_PROMPT_SINGLE);
            out += KeyNameOf(static_cast<KeyCode>(record.value & 0xFFFF));
            out += ")";
            break;
        case AssignmentKind::Macro: {
            out += text::LanguageText(text::TextId::KEY_PROMPT_MACRO);
            if (macroName) {
                if (const auto name = macroName(static_cast<std::uint16_t>(record.value & 0xFFFF)))
                    out += *name;
            }
            out += ")";
            break;
        }
        case AssignmentKind::Media:
            out += text::LanguageText(text::TextId::KEY_PROMPT_MEDIA);
            if (record.value < static_cast<std::uint32_t>(kMediaCount))
                out += MediaName(static_cast<int>(record.value));
            out += ")";
            break;
        case AssignmentKind::Function:
            out += text::LanguageText(text::TextId::KEY_PROMPT_FUNCTION);
            out += FunctionText(record.value);
            out += ")";
            break;
        default:
            break;
    }
    return out;
}

std::string AssignmentSummaryOfKey(KeyCode code, const KeyAssignment& record,
                                   const MacroNameLookup& macroName) {
    return AssignmentSummary(KeyNameOf(code), record, macroName);
}

std::string AssignmentSummaryOfG(int number, const KeyAssignment& record, const MacroNameLookup& macroName) {
    return AssignmentSummary("G" + std::to_string(number), record, macroName);
}

}  // namespace talvenix::keys

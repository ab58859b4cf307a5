#include "cli/Storable.h"

#include "cli/Names.h"
#include "core/keys/KeyAssignment.h"
#include "core/keys/KeyBlockCodec.h"
#include "core/macros/MacroImage.h"
#include "core/text/Utf.h"

namespace talvenix::cli {

namespace {

std::string Describe(const keys::KeyAssignment& r) {
    switch (r.kind) {
        case 0:
            return "keep its own function";
        case 1:
            return "do nothing (disabled)";
        case 2:
            return "act as " + KeyCodeName(static_cast<std::uint16_t>(r.value));
        case 4:
            return "play macro " + std::to_string(r.value & 0xFFFF);
        case 5:
            return "stop macros";
        case 7: {
            const auto word = MediaWord(static_cast<int>(r.value));
            return "media " + (word.empty() ? std::to_string(r.value) : std::string(word));
        }
        case 8: {
            const auto word = FunctionWord(static_cast<int>(r.value));
            return "function " + (word.empty() ? std::to_string(r.value) : std::string(word));
        }
        default:
            return "kind " + std::to_string(r.kind);
    }
}

}  // namespace

std::vector<std::string> UnstorableAssignments(const macros::Configuration& config,
                                               const device::KeyBlock& layout) {
    std::vector<std::string> found;
    const auto position = [&config](std::uint16_t id) {
        return static_cast<std::uint8_t>(config.MacroPositionOfId(id));
    };
    // Which slots the keyboard has: a disabled key is stored on every key it has.
    keys::AssignmentBlock probe{};
    for (auto& r : probe) r.kind = 1;
    const auto present = keys::DecodeKeyBlock(keys::EncodeKeyBlock(probe, layout, {}), layout);
    if (!present) return found;
    for (int p = 0; p < 3; ++p) {
        const auto block = config.image.Block(p);
        const auto back = keys::DecodeKeyBlock(keys::EncodeKeyBlock(block, layout, position), layout);
        if (!back) continue;
        for (int slot = 0; slot < keys::kUsedSlots; ++slot) {
            const auto& want = block[static_cast<std::size_t>(slot)];
            if (want.kind == 0 || want.kind == 3 || want.kind == 6 ||
                (*present)[static_cast<std::size_t>(slot)].kind != 1)
                continue;
            keys::KeyAssignment expected = want;
            // Read-back numbers macros by position.
            if (want.kind == 4)
                expected.value = static_cast<std::uint32_t>(
                    config.MacroPositionOfId(static_cast<int>(want.value & 0xFFFF)) + 1);
            const auto& got = (*back)[static_cast<std::size_t>(slot)];
            if (got.kind == expected.kind && got.value == expected.value) continue;
            found.push_back("profile " + std::to_string(p) + ", key " + SlotName(slot) + ": set to " +
                            Describe(want) + ", which the keyboard cannot store; on the keyboard it will " +
                            Describe(got));
        }
    }
    return found;
}

std::vector<std::string> UnstorableMacroActions(const macros::Configuration& config) {
    std::vector<std::string> found;
    for (const auto& m : config.macros) {
        for (int k = 0; k < m.UsedActions(); ++k) {
            const auto& a = m.actions[static_cast<std::size_t>(k)];
            const auto back = macros::DecodeMacroAction(macros::EncodeMacroAction(a));
            if (back.keyCode == a.keyCode) continue;
            found.push_back(
                "macro " + std::to_string(m.id) + " \"" + text::Utf16ToUtf8(m.Name()) + "\", action " +
                std::to_string(k + 1) + ": key " + KeyCodeName(a.keyCode) +
                " cannot be stored in the keyboard's macro memory; the keyboard will press nothing there");
        }
    }
    return found;
}

}  // namespace talvenix::cli

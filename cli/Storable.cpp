#include "cli/Storable.h"

#include "cli/Names.h"
#include "core/keys/KeyAssignment.h"
#include "core/profiles/Storable.h"
#include "core/text/Utf.h"

namespace talvenix::cli {

namespace {

std::string MacroLabel(const macros::Configuration& config, std::uint32_t id) {
    std::string out = "macro " + std::to_string(id & 0xFFFF);
    if (const auto* m = config.MacroOfId(static_cast<int>(id & 0xFFFF)))
        out += " \"" + text::Utf16ToUtf8(m->Name()) + "\"";
    return out;
}

std::string Describe(const keys::KeyAssignment& r, const macros::Configuration& config) {
    switch (r.kind) {
        case 0:
            return "keep its own function";
        case 1:
            return "do nothing (disabled)";
        case 2:
            return "act as " + KeyCodeName(static_cast<std::uint16_t>(r.value));
        case 4:
            return "play " + MacroLabel(config, r.value);
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
                                               const keys::SlotEntries& keyboardKeys) {
    std::vector<std::string> found;
    for (const auto& f : profiles::UnstorableAssignments(config, keyboardKeys)) {
        std::string line = "profile " + std::to_string(f.profile) + ", key " + SlotName(f.slot) + ": ";
        if (f.DanglingMacro()) {
            // An unknown id is written as the first macro's position.
            line += "bound to macro " + std::to_string(f.wanted.value & 0xFFFF) +
                    ", which the file does not hold; on the keyboard it will ";
            line += f.stored.value != 0 ? Describe(f.stored, config) + " (the first in the file)"
                                        : std::string("play no macro (the file holds none)");
        } else {
            line += "set to " + Describe(f.wanted, config) +
                    ", which the keyboard cannot store; on the keyboard it will " +
                    Describe(f.stored, config);
        }
        found.push_back(std::move(line));
    }
    return found;
}

std::vector<std::string> UnstorableMacroActions(const macros::Configuration& config) {
    std::vector<std::string> found;
    for (const auto& f : profiles::UnstorableMacroActions(config.macros)) {
        const auto& m = config.macros[static_cast<std::size_t>(f.macro)];
        found.push_back("macro " + std::to_string(f.macroId) + " \"" + text::Utf16ToUtf8(m.Name()) +
                        "\", action " + std::to_string(f.action + 1) + ": key " + KeyCodeName(f.wanted) +
                        " cannot be stored in the keyboard's macro memory; the keyboard will press nothing "
                        "there");
    }
    return found;
}

}  // namespace talvenix::cli

#include "cli/ProfileListing.h"

#include <cstdio>
#include <cstring>

#include "cli/CliError.h"
#include "cli/Names.h"
#include "core/keys/KeyAssignment.h"
#include "core/keys/KeyTable.h"
#include "core/keys/MediaCatalogue.h"
#include "core/macros/MacroRecord.h"
#include "core/text/Utf.h"

namespace talvenix::cli {

namespace {

std::uint32_t Le(std::span<const std::uint8_t> b, std::size_t at, int width) {
    std::uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}

std::string Num(std::uint32_t v) { return std::to_string(v); }

// The name, kind and target columns of one assigned record.
std::string Describe(const macros::Configuration& cfg, const keys::KeyAssignment& r, int stringSlot) {
    std::string kind(KindWord(r.kind));
    if (kind.empty()) kind = "kind " + Num(r.kind);
    std::string target;
    switch (r.kind) {
        case 2:
            target = keys::KeyNameOf(static_cast<keys::KeyCode>(r.value));
            break;
        case 3:
        case 6:
            target = cfg.strings.Has(stringSlot)
                         ? "\"" + text::Utf16ToUtf8(cfg.strings.Text(stringSlot)) + "\""
                         : "(no string)";
            break;
        case 4: {
            const int id = static_cast<int>(r.value & 0xFFFF);
            const macros::MacroRecord* m = cfg.MacroOfId(id);
            target = (m ? text::Utf16ToUtf8(m->Name()) : std::string("(no such macro)")) + " (id " +
                     Num(static_cast<std::uint32_t>(id)) + ")";
            break;
        }
        case 7:
            target = keys::MediaName(static_cast<int>(r.value));
            break;
        case 8:
            target = keys::FunctionText(r.value);
            break;
        default:
            break;
    }
    // A value no name stands for (a media or function index past its list, an unknown kind's
    // value) is still shown, so the listing hides nothing the file holds.
    if (target.empty() && r.value != 0) target = "value " + Num(r.value);
    char line[64];
    std::snprintf(line, sizeof line, "%-11s", kind.c_str());
    std::string out = line;
    if (!target.empty()) out += target;
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

}  // namespace

std::size_t DisplayWidth(const std::string& utf8) {
    std::size_t width = 0;
    for (char16_t u : text::Utf8ToUtf16(utf8)) {
        if (u >= 0xDC00 && u <= 0xDFFF) continue;  // second half of a pair: counted with the first
        // East Asian wide characters (CJK, Hangul, full-width forms) take two terminal columns.
        width += (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) ||
                         (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) ||
                         (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
                         (u >= 0xFFE0 && u <= 0xFFE6)
                     ? 2
                     : 1;
    }
    return width;
}

std::string Pad(const std::string& s, std::size_t width) {
    const std::size_t w = DisplayWidth(s);
    return w >= width ? s + " " : s + std::string(width - w, ' ');
}

std::string ExplainProfileFileCheck(std::span<const std::uint8_t> b, profiles::ProfileFileCheck check) {
    using C = profiles::ProfileFileCheck;
    const bool header = b.size() >= 32;
    switch (check) {
        case C::TooShort:
            return "file is " + Num(static_cast<std::uint32_t>(b.size())) +
                   " bytes, shorter than the 32832 bytes of a profile file";
        case C::BadMagic:
            if (header) return "header magic is " + Hex(Le(b, 0, 2), 4) + ", expected 0x4446 (\"FD\")";
            break;
        case C::BadHeaderSize:
            if (header) return "header size is " + Num(Le(b, 2, 2)) + ", expected 32";
            break;
        case C::BadVersion:
            if (header) return "format version is " + Num(Le(b, 4, 2)) + ", expected 3";
            break;
        case C::BadHeaderKind:
            if (header) return "header kind is " + Num(Le(b, 6, 2)) + ", expected 1";
            break;
        case C::BadTotalSize:
            if (header) return "total size is " + Num(Le(b, 8, 4)) + ", below 32832";
            break;
        case C::BadKeyRecordCount:
            if (header) return "number of key records is " + Num(Le(b, 12, 2)) + ", expected 2048";
            break;
        case C::TooManyMacros:
            if (header) return "macro count is " + Num(Le(b, 14, 2)) + ", at most 100 allowed";
            break;
        case C::BadFlag:
            if (header) return "header flag is " + Num(b[30]) + ", expected 0 or 1";
            break;
        case C::SizeMismatch:
            if (header) {
                const std::uint64_t expect = 32832ull + 16512ull * Le(b, 14, 2) + Le(b, 16, 4);
                return "total size is " + Num(Le(b, 8, 4)) + ", but 32832 + 16512 x " + Num(Le(b, 14, 2)) +
                       " macros + " + Num(Le(b, 16, 4)) + " string bytes = " + std::to_string(expect);
            }
            break;
        case C::BadChecksum:
            if (header) {
                std::uint8_t sum = 0;
                for (std::size_t i = 0; i < 31; ++i) sum = static_cast<std::uint8_t>(sum + b[i]);
                return "header checksum is " + Hex(b[31], 2) + ", expected " + Hex(sum, 2);
            }
            break;
        case C::Truncated:
            if (header) {
                return "file is " + Num(static_cast<std::uint32_t>(b.size())) +
                       " bytes, but its header counts " + Num(Le(b, 8, 4)) + " (truncated)";
            }
            break;
        default:
            break;
    }
    return std::string(profiles::DescribeProfileFileCheck(check));
}

macros::Configuration ParseValidProfileFile(std::span<const std::uint8_t> bytes, const std::string& name) {
    const auto check = profiles::CheckProfileFileBytes(bytes);
    if (check != profiles::ProfileFileCheck::Valid) {
        FailBadInput(name + ": not a valid profile file: " + ExplainProfileFileCheck(bytes, check));
    }
    profiles::ProfileFileParse parse = profiles::ParseProfileFile(bytes);
    if (!parse.Ok()) FailBadInput(name + ": cannot be read");
    return std::move(parse.config);
}

void PrintProfileListing(const macros::Configuration& cfg, std::ostream& out) {
    for (int p = 0; p < 3; ++p) {
        const auto block = cfg.image.Block(p);
        out << "Profile " << p << '\n';
        out << "  Keys:\n";
        int assigned = 0;
        for (int slot = 0; slot < keys::kKeyTableSize; ++slot) {
            const auto& r = block[static_cast<std::size_t>(slot)];
            if (r.kind == 0) continue;
            ++assigned;
            const std::string name = keys::KeyNameOf(keys::KeyCodeOf(static_cast<keys::KeyIndex>(slot)));
            out << "    " << Pad(name, 18) << Describe(cfg, r, p * keys::kSlotsPerBlock + slot) << '\n';
        }
        if (assigned == 0) out << "    (all keys do their default)\n";
        for (int bank = 0; bank < 2; ++bank) {
            out << "  G keys, bank " << (bank == 0 ? 'A' : 'B') << ":\n";
            const int first = bank == 0 ? keys::kGSlotBankA : keys::kGSlotBankB;
            int gAssigned = 0;
            for (int n = 0; n < keys::kGKeyCount; ++n) {
                const auto& r = block[static_cast<std::size_t>(first + n)];
                if (r.kind == 0) continue;
                ++gAssigned;
                out << "    " << Pad("G" + std::to_string(n + 1), 18)
                    << Describe(cfg, r, p * keys::kSlotsPerBlock + first + n) << '\n';
            }
            if (gAssigned == 0) out << "    (none assigned)\n";
        }
    }
    out << "Macros: " << cfg.macros.size() << '\n';
    for (const auto& m : cfg.macros) {
        std::string mode(macros::PlayModeDefaultText(m.playMode));
        if (mode.empty()) mode = "play mode " + std::to_string(m.playMode);
        out << "  " << m.id << "  " << text::Utf16ToUtf8(m.Name()) << "  (cycles "
            << static_cast<int>(m.cycles) << ", " << mode << ", " << m.UsedActions() << " actions)\n";
        for (int i = 0; i < m.UsedActions(); ++i) {
            const auto& a = m.actions[static_cast<std::size_t>(i)];
            char delay[32];
            std::snprintf(delay, sizeof delay, "%8u ms  ", a.delayMs);
            out << "    " << delay << Pad(keys::KeyNameOf(a.keyCode), 18)
                << macros::DirectionText(macros::NormalisedDirection(a.direction)) << '\n';
        }
    }
}

}  // namespace talvenix::cli

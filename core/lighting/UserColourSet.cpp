#include "core/lighting/UserColourSet.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <vector>

#include "core/lighting/ColourKeysMode.h"
#include "core/text/AtomicFile.h"
#include "core/text/IniFile.h"

namespace talvenix::lighting {

namespace {

// Reads "n1,n2,...": optional blanks and sign before each number, commas between; anything
// after the last wanted number is ignored. nullopt when fewer numbers than wanted are found.
std::optional<std::vector<long>> ParseNumbers(std::string_view text, std::size_t wanted) {
    std::vector<long> out;
    std::size_t i = 0;
    while (out.size() < wanted) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
        if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
        long value = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            value = std::min(value * 10 + (text[i] - '0'), 1000000L);
            ++i;
        }
        out.push_back(negative ? -value : value);
        if (out.size() == wanted) break;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i >= text.size() || text[i] != ',') return std::nullopt;
        ++i;
    }
    return out;
}

std::uint8_t Component(long v) { return static_cast<std::uint8_t>(std::clamp(v, 0L, 255L)); }

}  // namespace

std::filesystem::path UserColourFilePath(const std::filesystem::path& folder, int n) {
    return folder / ("UserDengColor_" + std::to_string(n) + ".userd");
}

std::filesystem::path UserColourTemplatePath(const std::filesystem::path& skinFolder) {
    return UserColourFilePath(skinFolder, kFactoryColourFile);
}

std::string ColourSetSection(int set) { return "Mode" + std::to_string(set); }

SlotEntry ParseSlotEntry(std::string_view text) {
    const auto n = ParseNumbers(text, 4);
    if (!n) return ParseSlotEntry(kSlotEntryDefault);
    return {MakeColour(Component((*n)[0]), Component((*n)[1]), Component((*n)[2])), (*n)[3] != 0};
}

std::string FormatSlotEntry(const SlotEntry& e) {
    return FormatRgb(e.colour) + "," + (e.baseFlag ? "1" : "0");
}

Colour ParseRgb(std::string_view text) {
    const auto n = ParseNumbers(text, 3);
    if (!n) return kBlack;
    return MakeColour(Component((*n)[0]), Component((*n)[1]), Component((*n)[2]));
}

std::string FormatRgb(Colour c) {
    return std::to_string(RedOf(c)) + "," + std::to_string(GreenOf(c)) + "," + std::to_string(BlueOf(c));
}

bool CopyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to) {
    const auto bytes = text::ReadWholeFile(from);
    return bytes && text::WriteFileAtomically(to, *bytes);
}

bool WriteColourFileKeys(const std::filesystem::path& file, std::string_view section,
                         const std::vector<std::pair<std::string, std::string>>& entries) {
    if (entries.empty()) return true;
    text::IniFile ini(file);
    std::error_code ec;
    if (!ini.Loaded() && std::filesystem::exists(file, ec)) return false;  // there but unreadable
    return ini.SetMany(section, entries);
}

int InstallUserColourFiles(const std::filesystem::path& settingsFile,
                           const std::filesystem::path& templateFile, const std::filesystem::path& folder) {
    if (text::IniFile(settingsFile).GetInt(kKeyColourSection, kUserFilesInstalledKey, 0) == 1) return 1;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);  // the very first start has no Talvenix folder yet
    bool copied = true;
    for (int n = 0; n < kUserColourFiles; ++n) {
        if (!CopyFileAtomically(templateFile, UserColourFilePath(folder, n))) copied = false;
    }
    if (!copied) return 0;
    return text::WriteProfileString(settingsFile, kKeyColourSection, kUserFilesInstalledKey, "1") ? 1 : 0;
}

}  // namespace talvenix::lighting

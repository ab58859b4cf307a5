#include "core/lighting/UserColourSet.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <vector>

#include "core/lighting/ColourKeysMode.h"
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

namespace {

bool WriteFileAtomically(const std::filesystem::path& to, const std::string& bytes) {
    std::error_code ec;
    if (to.has_parent_path()) {
        std::filesystem::create_directories(to.parent_path(), ec);
        if (ec) return false;
    }
    std::random_device rd;
    std::filesystem::path tmp = to;
    tmp += ".tmp" + std::to_string(rd()) + std::to_string(rd());
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::filesystem::remove(tmp, ec);
            return false;
        }
    }
    std::filesystem::rename(tmp, to, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(tmp, ignored);
        return false;
    }
    return true;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& from) {
    std::ifstream in(from, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return buffer.str();
}

}  // namespace

bool CopyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to) {
    const auto bytes = ReadWholeFile(from);
    return bytes && WriteFileAtomically(to, *bytes);
}

bool WriteColourFileKeys(const std::filesystem::path& file, std::string_view section,
                         const std::vector<std::pair<std::string, std::string>>& entries) {
    if (entries.empty()) return true;
    std::error_code ec;
    const bool exists = std::filesystem::exists(file, ec);
    std::string bytes;
    if (exists) {
        auto read = ReadWholeFile(file);
        if (!read) return false;
        bytes = std::move(*read);
    }
    text::IniFile ini = text::IniFile::FromString(bytes);  // in memory: Set() does not write
    const auto encoding = ini.FileEncoding();
    if (encoding != text::IniFile::Encoding::Utf8 && encoding != text::IniFile::Encoding::Utf8Bom) {
        // UTF-16 files keep their encoding through the one-key writer.
        for (const auto& [key, value] : entries) {
            if (!text::WriteProfileString(file, section, key, value)) return false;
        }
        return true;
    }
    for (const auto& [key, value] : entries) {
        if (!ini.Set(section, key, value)) return false;
    }
    const std::string bom = encoding == text::IniFile::Encoding::Utf8Bom ? "\xEF\xBB\xBF" : "";
    return WriteFileAtomically(file, bom + ini.ToString());
}

int InstallUserColourFiles(const std::filesystem::path& settingsFile, const std::filesystem::path& templateFile,
                           const std::filesystem::path& folder) {
    if (text::IniFile(settingsFile).GetInt(kKeyColourSection, kUserFilesInstalledKey, 0) == 1) return 1;
    bool copied = true;
    for (int n = 0; n < kUserColourFiles; ++n) {
        if (!CopyFileAtomically(templateFile, UserColourFilePath(folder, n))) copied = false;
    }
    if (!copied) return 0;
    return text::WriteProfileString(settingsFile, kKeyColourSection, kUserFilesInstalledKey, "1") ? 1 : 0;
}

}  // namespace talvenix::lighting

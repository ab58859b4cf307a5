#include "core/lighting/UserColours.h"

#include <algorithm>

#include "core/device/Commands.h"
#include "core/device/ResultCodes.h"
#include "core/lighting/EffectCode.h"
#include "core/lighting/LightingResult.h"
#include "core/text/IniFile.h"
#include "core/text/Utf.h"

namespace talvenix::lighting {

namespace {

constexpr std::size_t kMaxSetNameUnits = text::IniFile::kMaxResultUnits;

// A result that puts a device failure first, then a file failure.
int Combine(int deviceResult, bool fileWritten) {
    if (deviceResult != device::kOk) return deviceResult;
    return fileWritten ? kLightingOk : kColourFileError;
}

void ReadSetNames(const text::IniFile& file, std::array<std::string, kColourSets>& names) {
    for (int i = 0; i < kColourSets; ++i) {
        names[static_cast<std::size_t>(i)] = file.Get(kSetNamesSection, std::to_string(i), kSetNameDefault);
    }
}

}  // namespace

UserColours::UserColours(LightingController& lighting, std::filesystem::path folder)
    : lighting_(lighting), folder_(std::move(folder)) {
    names_.fill(std::string(kSetNameDefault));
}

std::filesystem::path UserColours::CurrentFile() const {
    return UserColourFilePath(folder_, lighting_.Profile());
}

Colour UserColours::ButtonColour(PaintButton button) const {
    const auto slot = SlotOfButton(button);
    if (!slot) return kBlack;
    return Table(lighting_.Profile()).SlotColour(*slot);
}

void UserColours::ReloadSetNames() { ReadSetNames(text::IniFile(CurrentFile()), names_); }

int UserColours::ApplyUserColourSet() {
    const text::IniFile file(CurrentFile());
    const int mode = file.GetInt(kPresentModeSection, kPresentModeKey, 0);
    set_ = mode >= 0 && mode < kColourSets ? mode : 0;
    const std::string section = ColourSetSection(set_);
    tool_ = file.GetInt(section, kToolKey, 0);
    baseColour_ = ParseRgb(file.Get(section, kBaseColourKey, kRgbDefault));
    colour_ = ParseRgb(file.Get(section, kPaintColourKey, kRgbDefault));

    auto& table = CurrentTable();
    auto readButton = [&](PaintButton button) {
        const int slot = *SlotOfButton(button);
        const SlotEntry e = ParseSlotEntry(file.Get(section, std::to_string(slot), kSlotEntryDefault));
        table.SetSlotColour(slot, e.colour);
        table.baseFlag[static_cast<std::size_t>(button)] = e.baseFlag;
    };
    for (PaintButton b = 0; b < kKeyButtonCount; ++b) readButton(b);
    readButton(kFnButton);
    // The G keys' shared slot takes its stored colour too, or painted G keys would go dark on
    // the keyboard when the table is sent; their flags stay as painted in this session.
    table.SetSlotColour(
        kGKeySlot, ParseSlotEntry(file.Get(section, std::to_string(kGKeySlot), kSlotEntryDefault)).colour);

    ReadSetNames(file, names_);
    return SendTable();
}

int UserColours::SendTable() {
    const KeyColourTable& table = CurrentTable();
    const int profile = lighting_.Profile();
    auto& t = lighting_.Transport();
    return device::RunWriteSequence(t, [&] {
        int result = device::kOk;
        for (int chunk = 0; chunk < KeyColourTable::kChunks; ++chunk) {
            const int first = chunk * KeyColourTable::kChunkSlots;
            const auto bytes = table.Chunk(first);
            const int r = device::WriteKeyColours(t, bytes, first, profile);
            if (result == device::kOk && r != device::kOk) result = r;
        }
        return result;
    });
}

std::vector<std::pair<std::string, std::string>> UserColours::HeaderEntries() const {
    return {{std::string(kToolKey), std::to_string(tool_)},
            {std::string(kBaseColourKey), FormatRgb(baseColour_)},
            {std::string(kPaintColourKey), FormatRgb(colour_)}};
}

bool UserColours::WriteHeader() {
    return WriteColourFileKeys(CurrentFile(), ColourSetSection(set_), HeaderEntries());
}

std::optional<Colour> UserColours::BrushColour() const {
    if (lighting_.CurrentEffect() != kEffectPerKeyColours) return std::nullopt;
    if (tool_ == 1) return baseColour_;
    if (tool_ == 0) return colour_;
    return std::nullopt;
}

int UserColours::PaintKey(PaintButton button) { return PaintKeys(std::span<const PaintButton>(&button, 1)); }

int UserColours::PaintKeys(std::span<const PaintButton> buttons) {
    for (PaintButton b : buttons) {
        if (!IsPaintButton(b)) return kLightingBadArgument;
    }
    const auto brush = BrushColour();
    if (!brush || buttons.empty()) return kLightingOk;
    const SlotEntry entry{*brush, tool_ == 1};

    auto& table = CurrentTable();
    std::vector<int> slots;
    for (PaintButton b : buttons) {
        const int slot = *SlotOfButton(b);
        table.SetSlotColour(slot, entry.colour);
        table.baseFlag[static_cast<std::size_t>(b)] = entry.baseFlag;
        slots.push_back(slot);
    }
    std::sort(slots.begin(), slots.end());
    slots.erase(std::unique(slots.begin(), slots.end()), slots.end());

    // Consecutive slots go in one write; a write carries at most one chunk's worth.
    auto& t = lighting_.Transport();
    const int profile = lighting_.Profile();
    const int sent = device::RunWriteSequence(t, [&] {
        int result = device::kOk;
        std::size_t i = 0;
        while (i < slots.size()) {
            std::size_t j = i + 1;
            while (j < slots.size() && slots[j] == slots[j - 1] + 1 &&
                   j - i < static_cast<std::size_t>(KeyColourTable::kChunkSlots)) {
                ++j;
            }
            std::vector<std::uint8_t> bytes;
            for (std::size_t k = i; k < j; ++k) {
                const auto rgb = ColourBytes(table.SlotColour(slots[k]));
                bytes.insert(bytes.end(), rgb.begin(), rgb.end());
            }
            const int r = device::WriteKeyColours(t, bytes, slots[i], profile);
            if (result == device::kOk && r != device::kOk) result = r;
            i = j;
        }
        return result;
    });

    std::vector<std::pair<std::string, std::string>> entries;
    for (int slot : slots) entries.emplace_back(std::to_string(slot), FormatSlotEntry(entry));
    return Combine(sent, WriteColourFileKeys(CurrentFile(), ColourSetSection(set_), entries));
}

int UserColours::SetBaseColour(Colour colour) {
    if (!IsColour(colour)) return kLightingBadArgument;
    if (colour == baseColour_) return kLightingOk;
    baseColour_ = colour;
    auto entries = HeaderEntries();
    auto& table = CurrentTable();
    auto repaint = [&](PaintButton b) {
        if (!table.baseFlag[static_cast<std::size_t>(b)]) return;
        const int slot = *SlotOfButton(b);
        table.SetSlotColour(slot, colour);
        entries.emplace_back(std::to_string(slot), FormatSlotEntry({colour, true}));
    };
    for (PaintButton b = 0; b < kKeyButtonCount; ++b) repaint(b);
    for (int g = 0; g < kGButtonCount; ++g) repaint(GButton(g));
    repaint(kFnButton);
    const bool written = WriteColourFileKeys(CurrentFile(), ColourSetSection(set_), entries);
    return Combine(SendTable(), written);
}

int UserColours::SetPaintColour(Colour colour) {
    if (!IsColour(colour)) return kLightingBadArgument;
    colour_ = colour;
    return WriteHeader() ? kLightingOk : kColourFileError;
}

int UserColours::SelectTool(int tool) {
    if (tool != 0 && tool != 1) return kLightingBadArgument;
    tool_ = tool;
    return WriteHeader() ? kLightingOk : kColourFileError;
}

int UserColours::SelectSet(int index) {
    if (index < 0 || index >= kColourSets) return kLightingBadArgument;
    const bool written =
        text::WriteProfileString(CurrentFile(), kPresentModeSection, kPresentModeKey, std::to_string(index));
    if (!written) return kColourFileError;
    return ApplyUserColourSet();
}

int UserColours::RenameSet(std::string_view name) {
    // A line break would end the INI line; a longer name would come back cut.
    if (name.find_first_of("\r\n") != std::string_view::npos) return kLightingBadArgument;
    if (text::Utf16Length(name) > kMaxSetNameUnits) return kLightingBadArgument;
    if (!text::WriteProfileString(CurrentFile(), kSetNamesSection, std::to_string(set_), name))
        return kColourFileError;
    names_[static_cast<std::size_t>(set_)] = std::string(name);
    return kLightingOk;
}

int UserColours::ResetUserColours() {
    const bool copied = CopyFileAtomically(UserColourFilePath(folder_, kFactoryColourFile), CurrentFile());
    const int applied = ApplyUserColourSet();  // also refills the set names
    return Combine(applied, copied);
}

}  // namespace talvenix::lighting

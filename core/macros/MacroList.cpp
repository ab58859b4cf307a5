#include "core/macros/MacroList.h"

#include <cstdio>
#include <memory>

namespace talvenix::macros {

namespace {

std::u16string Ascii(const char* text) {
    std::u16string out;
    for (; *text; ++text) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*text)));
    return out;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0x3000 || c == 0xA0;
}

}  // namespace

std::u16string CleanMacroName(std::u16string_view name) {
    if (const auto nul = name.find(u'\0'); nul != std::u16string_view::npos) name = name.substr(0, nul);
    while (!name.empty() && IsBlank(name.front())) name.remove_prefix(1);
    while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
    std::size_t n = name.size() > static_cast<std::size_t>(kMaxNameLength) ? kMaxNameLength : name.size();
    if (n < name.size() && n > 0 && name[n - 1] >= 0xD800 && name[n - 1] <= 0xDBFF) --n;
    return std::u16string(name.substr(0, n));
}

void MacroList::Load(std::span<const MacroRecord> macros) {
    rows_.assign(macros.begin(), macros.end());
    for (auto& r : rows_) r.newFlag = 0;
    selected_ = rows_.empty() ? -1 : 0;
    counter_ = 0;
}

const MacroRecord* MacroList::SelectedRow() const {
    return selected_ >= 0 && selected_ < Count() ? &rows_[static_cast<std::size_t>(selected_)] : nullptr;
}
MacroRecord* MacroList::SelectedRow() {
    return selected_ >= 0 && selected_ < Count() ? &rows_[static_cast<std::size_t>(selected_)] : nullptr;
}

void MacroList::Select(int row) { selected_ = row >= 0 && row < Count() ? row : -1; }

int MacroList::RowOfId(int id) const {
    for (int i = 0; i < Count(); ++i)
        if (rows_[static_cast<std::size_t>(i)].id == id) return i;
    return -1;
}

bool MacroList::NameTaken(std::u16string_view name, int exceptRow) const {
    for (int i = 0; i < Count(); ++i) {
        if (i != exceptRow && SameMacroName(rows_[static_cast<std::size_t>(i)].Name(), name)) return true;
    }
    return false;
}

MacroList::Added MacroList::Append(MacroRecord&& record) {
    record.id = static_cast<std::uint16_t>(NextFreeMacroId(rows_));
    record.newFlag = 1;
    record.playMode = 0;
    record.actionCount = 0;
    rows_.push_back(std::move(record));
    selected_ = Count() - 1;
    return {true, selected_};
}

MacroList::Added MacroList::AddCounted(std::u16string_view prefix) {
    if (Count() >= kMaxMacros) return {};
    if (rows_.empty()) counter_ = 0;
    std::u16string name;
    do {
        ++counter_;
        name = CleanMacroName(std::u16string(prefix) + Ascii(std::to_string(counter_).c_str()));
    } while (NameTaken(name));
    auto record = std::make_unique<MacroRecord>();
    record->SetName(name);
    record->cycles = 1;
    return Append(std::move(*record));
}

MacroList::Added MacroList::AddTimed(std::u16string_view prefix, TimeOfDay now) {
    if (Count() >= kMaxMacros) return {};
    long ms = ((now.hours * 60L + now.minutes) * 60L + now.seconds) * 1000L + now.milliseconds;
    std::u16string name;
    for (;;) {
        const long day = ms % (24L * 3600 * 1000);
        char digits[16];
        std::snprintf(digits, sizeof digits, "%02ld%02ld%02ld%03ld", day / 3600000, day / 60000 % 60,
                      day / 1000 % 60, day % 1000);
        name = CleanMacroName(std::u16string(prefix) + Ascii(digits));
        if (!NameTaken(name)) break;
        ms += 16;  // as if waiting for the clock to move on
    }
    auto record = std::make_unique<MacroRecord>();
    record->SetName(name);
    record->cycles = 0;
    return Append(std::move(*record));
}

MacroList::Added MacroList::AddNamed(std::u16string_view name) {
    if (Count() >= kMaxMacros) return {};
    auto record = std::make_unique<MacroRecord>();
    record->SetName(CleanMacroName(name));
    record->cycles = 1;
    return Append(std::move(*record));
}

bool MacroList::DeleteNeedsConfirmation(int row, const Configuration& config) const {
    if (row < 0 || row >= Count()) return false;
    const MacroRecord& r = rows_[static_cast<std::size_t>(row)];
    if (r.newFlag == 1) return false;
    for (const keys::KeyAssignment& k : config.image.keys) {
        if (k.Kind() == keys::AssignmentKind::Macro && (k.value & 0xFFFF) == r.id) return true;
    }
    return false;
}

bool MacroList::Remove(int row) {
    if (row < 0 || row >= Count()) return false;
    rows_.erase(rows_.begin() + row);
    if (rows_.empty())
        selected_ = -1;
    else
        selected_ = row > 0 ? row - 1 : 0;
    return true;
}

MacroList::RenameResult MacroList::Rename(int row, std::u16string_view text,
                                          std::u16string_view localReserved) {
    if (row < 0 || row >= Count()) return RenameResult::NoRow;
    const std::u16string name = CleanMacroName(text);
    if (name.empty()) return RenameResult::Empty;
    MacroRecord& r = rows_[static_cast<std::size_t>(row)];
    if (r.Name() == name) return RenameResult::Unchanged;
    if (NameTaken(name, row)) return RenameResult::SameName;
    if (SameMacroName(name, kReservedMacroName) ||
        (!localReserved.empty() && SameMacroName(name, localReserved)))
        return RenameResult::Reserved;
    r.SetName(name);
    return RenameResult::Renamed;
}

bool MacroList::SetCycles(int row, int cycles) {
    if (row < 0 || row >= Count()) return false;
    rows_[static_cast<std::size_t>(row)].cycles =
        static_cast<std::uint8_t>(cycles < 0 ? 0 : (cycles > 255 ? 255 : cycles));
    return true;
}

bool MacroList::SetPlayMode(int row, std::uint16_t mode) {
    if (row < 0 || row >= Count() || mode > 2) return false;
    rows_[static_cast<std::size_t>(row)].playMode = mode;
    return true;
}

bool MacroList::StoreActions(int row, std::span<const MacroAction> actions) {
    if (row < 0 || row >= Count()) return false;
    MacroRecord& r = rows_[static_cast<std::size_t>(row)];
    const std::size_t n = actions.size() > kMaxActions ? kMaxActions : actions.size();
    for (std::size_t i = 0; i < n; ++i) r.actions[i] = actions[i];
    r.actionCount = static_cast<std::uint16_t>(n);
    return true;
}

CommitOutcome MacroList::Commit(Configuration& config) {
    CommitOutcome outcome = config.CommitMacroList(rows_);
    if (outcome.result == CommitOutcome::Result::Committed) {
        for (auto& r : rows_) r.newFlag = 0;
    }
    return outcome;
}

MacroSpaceGauge GaugeOf(std::span<const MacroRecord> macros, std::size_t macroSpace) {
    return {MacroImageSize(macros), macroSpace};
}

}  // namespace talvenix::macros

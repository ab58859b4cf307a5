#include "core/macros/WorkingConfig.h"

#include <array>
#include <new>

namespace talvenix::macros {

namespace {
constexpr std::uint16_t kMacroKind = static_cast<std::uint16_t>(keys::AssignmentKind::Macro);

bool ListWithinLimits(std::span<const MacroRecord> list) {
    if (list.size() > static_cast<std::size_t>(kMaxMacros)) return false;
    std::array<bool, kMaxMacros + 1> used{};
    for (const auto& m : list) {
        if (m.id < 1 || m.id > kMaxMacros || used[m.id]) return false;
        if (m.actionCount > kMaxActions) return false;
        used[m.id] = true;
    }
    return true;
}
}  // namespace

int Configuration::MacroPositionOfId(int id) const {
    for (std::size_t i = 0; i < macros.size(); ++i)
        if (macros[i].id == id) return static_cast<int>(i);
    return 0;
}

int Configuration::MacroIdAtPosition(int position) const {
    if (position < 0 || position >= MacroCount()) return 0;
    return macros[static_cast<std::size_t>(position)].id;
}

const MacroRecord* Configuration::MacroOfId(int id) const {
    for (const auto& m : macros)
        if (m.id == id) return &m;
    return nullptr;
}

keys::KeyAssignment Configuration::AssignmentOf(int profile, int slot) const {
    if (profile < 0 || profile >= keys::kBlockCount || slot < 0 || slot >= keys::kSlotsPerBlock) return {};
    return image.keys[static_cast<std::size_t>(profile * keys::kSlotsPerBlock + slot)];
}

void Configuration::StoreAssignment(int profile, int slot, const keys::KeyAssignment& record) {
    if (profile < 0 || profile >= keys::kBlockCount || slot < 0 || slot >= keys::kSlotsPerBlock) return;
    auto& r = image.keys[static_cast<std::size_t>(profile * keys::kSlotsPerBlock + slot)];
    r.kind = record.kind;
    r.tag = record.tag;
    r.value = record.value;
}

void Configuration::RefreshHeader() { image.header = MakeProfileHeader(MacroCount(), strings.TotalSize()); }

CommitOutcome Configuration::CommitMacroList(std::span<const MacroRecord> list) {
    CommitOutcome out;
    if (!ListWithinLimits(list)) {
        out.result = CommitOutcome::Result::Rejected;
        return out;
    }
    std::vector<MacroRecord> fresh;
    try {
        fresh.assign(list.begin(), list.end());
        out.unboundRecords.reserve(kKeyRecords);
        out.reboundRecords.reserve(kKeyRecords);
    } catch (const std::bad_alloc&) {
        out.result = CommitOutcome::Result::OutOfMemory;
        return out;
    }
    for (int r = 0; r < kKeyRecords; ++r) {
        auto& rec = image.keys[static_cast<std::size_t>(r)];
        if (rec.kind != kMacroKind) continue;
        const std::uint16_t id = static_cast<std::uint16_t>(rec.value & 0xFFFF);
        if (id != 0) {
            bool keep = false;
            for (const auto& m : list) {
                if (m.id == id) {
                    keep = (m.newFlag == 0);  // a new macro reusing the id is another macro
                    break;
                }
            }
            if (!keep) {
                rec.kind = static_cast<std::uint16_t>(keys::AssignmentKind::Default);
                out.unboundRecords.push_back(r);
            }
        } else if (!list.empty()) {
            rec.value = (rec.value & 0xFFFF0000u) | list.front().id;
            out.reboundRecords.push_back(r);
        }
    }
    for (auto& m : fresh) m.newFlag = 0;
    macros.swap(fresh);
    return out;
}

int NextFreeMacroId(std::span<const MacroRecord> list) {
    std::array<bool, kMaxMacros + 1> used{};
    for (const auto& m : list)
        if (m.id >= 1 && m.id <= kMaxMacros) used[m.id] = true;
    for (int id = 1; id <= kMaxMacros; ++id)
        if (!used[static_cast<std::size_t>(id)]) return id;
    return 0;
}

int WorkingConfig::MacroPositionOfId(int id) { return Lock()->MacroPositionOfId(id); }

int WorkingConfig::MacroIdAtPosition(int position) { return Lock()->MacroIdAtPosition(position); }

CommitOutcome WorkingConfig::CommitMacroList(std::span<const MacroRecord> list) {
    return Lock()->CommitMacroList(list);
}

void WorkingConfig::Replace(Configuration&& fresh) {
    auto cfg = Lock();
    *cfg = std::move(fresh);
}

Configuration WorkingConfig::Copy() { return *Lock(); }

}  // namespace talvenix::macros

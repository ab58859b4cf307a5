#include "core/macros/ActionList.h"

#include "core/keys/KeyTable.h"

namespace talvenix::macros {

void ActionList::Load(std::span<const MacroAction> actions) {
    const std::size_t n = actions.size() > kMaxActions ? kMaxActions : actions.size();
    rows_.assign(actions.begin(), actions.begin() + static_cast<std::ptrdiff_t>(n));
    for (auto& a : rows_) a.direction = NormalisedDirection(a.direction);
    selected_ = -1;
}

void ActionList::StoreInto(MacroRecord& record) const {
    record.actionCount = static_cast<std::uint16_t>(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) record.actions[i] = rows_[i];
}

void ActionList::Select(int row) { selected_ = Valid(row) ? row : -1; }

bool ActionList::Insert(MacroAction action, bool afterSelection) {
    if (Full()) return false;
    action.direction = NormalisedDirection(action.direction);
    const int at = (afterSelection && Valid(selected_)) ? selected_ + 1 : Count();
    rows_.insert(rows_.begin() + at, action);
    selected_ = at;
    return true;
}

bool ActionList::Remove(int row) {
    if (!Valid(row)) return false;
    rows_.erase(rows_.begin() + row);
    if (rows_.empty())
        selected_ = -1;
    else if (selected_ > row || selected_ >= Count())
        selected_ = selected_ > 0 ? selected_ - 1 : 0;
    return true;
}

void ActionList::Clear() {
    rows_.clear();
    selected_ = -1;
}

bool ActionList::MoveSelectedTo(int target) {
    if (!Valid(selected_) || !Valid(target) || target == selected_) return false;
    const MacroAction moved = rows_[static_cast<std::size_t>(selected_)];
    rows_.erase(rows_.begin() + selected_);
    rows_.insert(rows_.begin() + target, moved);
    selected_ = target;
    return true;
}

bool ActionList::MoveToTop() { return MoveSelectedTo(0); }
bool ActionList::MoveUp() { return MoveSelectedTo(selected_ - 1); }
bool ActionList::MoveDown() { return MoveSelectedTo(selected_ + 1); }
bool ActionList::MoveToBottom() { return MoveSelectedTo(Count() - 1); }

ActionList::DelayEdit ActionList::EditDelay(int row, std::string_view text) {
    DelayEdit out;
    if (!Valid(row)) return out;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text.empty()) return out;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return out;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > kMaxEditorDelayMs) value = kMaxEditorDelayMs + 1;  // saturate, never wrap
    }
    out.accepted = true;
    if (value > kMaxEditorDelayMs) {
        out.clamped = true;
        value = kMaxEditorDelayMs;
    }
    if (roundToTen_) value -= value % 10;
    out.delayMs = static_cast<std::uint32_t>(value);
    rows_[static_cast<std::size_t>(row)].delayMs = out.delayMs;
    return out;
}

bool ActionList::EditKey(int row, int listPosition) {
    if (!Valid(row)) return false;
    const keys::KeyCode code = keys::CodeOfListPosition(listPosition);
    if (code == keys::kNoKey) return false;
    rows_[static_cast<std::size_t>(row)].keyCode = code;
    return true;
}

bool ActionList::EditDirection(int row, std::uint16_t direction) {
    if (!Valid(row) || direction > 1) return false;
    rows_[static_cast<std::size_t>(row)].direction = direction;
    return true;
}

}  // namespace talvenix::macros

// The action list of one macro as the dialogs edit it: rows of MacroAction with a selection.
// Each row's delay is the wait before that action (the stored meaning); the list shows it on the
// row itself and stores an edit there.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/macros/MacroRecord.h"

namespace talvenix::macros {

class ActionList {
public:
    // `roundToTen`: delay edits are rounded down to 10 ms, the keyboard's unit.
    explicit ActionList(bool roundToTen = false) : roundToTen_(roundToTen) {}

    // Replaces the rows (a direction above 1 becomes a press); no selection.
    void Load(std::span<const MacroAction> actions);
    // Writes the rows into `record`: action count and the actions in row order.
    void StoreInto(MacroRecord& record) const;

    const std::vector<MacroAction>& Rows() const { return rows_; }
    int Count() const { return static_cast<int>(rows_.size()); }
    bool Full() const { return rows_.size() >= static_cast<std::size_t>(kMaxActions); }
    int Selected() const { return selected_; }
    // -1 (or anything out of range) clears the selection.
    void Select(int row);

    // Adds `action` after the selected row, or at the end when none is selected (or
    // `afterSelection` is false); the new row becomes the selection. False, and nothing added,
    // once the list holds 2000 rows.
    bool Insert(MacroAction action, bool afterSelection = true);

    bool Remove(int row);
    void Clear();
    // Move the selected row; it stays selected. False when there is nothing to move.
    bool MoveToTop();
    bool MoveUp();
    bool MoveDown();
    bool MoveToBottom();

    struct DelayEdit {
        bool accepted = false;  // false: the text is no number; nothing changed
        bool clamped = false;   // above the 40000 ms limit: the limit was stored
        std::uint32_t delayMs = 0;
    };
    // The delay cell of `row` was edited to `text` (decimal).
    DelayEdit EditDelay(int row, std::string_view text);
    // Key cell: the key at `listPosition` of the target-key list. False when the position
    // names no key or the row does not exist.
    bool EditKey(int row, int listPosition);
    // Direction cell: 0 press, 1 release.
    bool EditDirection(int row, std::uint16_t direction);

private:
    bool Valid(int row) const { return row >= 0 && row < Count(); }
    bool MoveSelectedTo(int target);

    std::vector<MacroAction> rows_;
    int selected_ = -1;
    bool roundToTen_ = false;
};

}  // namespace talvenix::macros

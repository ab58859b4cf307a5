// The macro list as the dialogs edit it: private copies of the macro records with a selection,
// and the rules for adding, deleting, naming and committing them. Nothing reaches the working
// configuration before Commit.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/macros/MacroImage.h"
#include "core/macros/MacroRecord.h"
#include "core/macros/WorkingConfig.h"

namespace talvenix::macros {

// Local time of day, for the editor's names of new macros.
struct TimeOfDay {
    int hours = 0, minutes = 0, seconds = 0, milliseconds = 0;
};

class MacroList {
public:
    // Copies of `macros` with their new flags cleared; row 0 selected when there is one.
    void Load(std::span<const MacroRecord> macros);

    const std::vector<MacroRecord>& Rows() const { return rows_; }
    int Count() const { return static_cast<int>(rows_.size()); }
    int Selected() const { return selected_; }
    const MacroRecord* SelectedRow() const;
    MacroRecord* SelectedRow();
    void Select(int row);  // out of range: no selection
    // The row of the macro with this id; -1 when none.
    int RowOfId(int id) const;

    struct Added {
        bool ok = false;  // false: the list holds 100 macros already
        int row = -1;
    };
    // The key dialog's Add: "<prefix><n>" with a counter that restarts when the list is empty
    // and skips names already taken; cycles 1.
    Added AddCounted(std::u16string_view prefix);
    // The macro editor's Add: "<prefix>HHMMSSmmm" of `now`; a name already taken moves on by
    // 16 ms until it is free; cycles 0.
    Added AddTimed(std::u16string_view prefix, TimeOfDay now);
    // Appends a new macro named `name` (bounded to the name field), as AddCounted does.
    Added AddNamed(std::u16string_view name);

    // Whether deleting `row` needs the user's yes: the macro is no new one and some key record
    // of any profile (all 2048) plays it.
    bool DeleteNeedsConfirmation(int row, const Configuration& config) const;
    // Removes `row`; the previous row (row 0 when the first went) becomes the selection.
    bool Remove(int row);

    enum class RenameResult {
        Renamed,
        Unchanged,  // the row already has this name: nothing to do
        Empty,      // nothing but blanks
        SameName,   // another row has it (without regard to case)
        Reserved,   // "Empty Macro" (or the localised reserved name)
        NoRow,
    };
    // Leading and trailing blanks are dropped and the name bounded to its field first.
    RenameResult Rename(int row, std::u16string_view name, std::u16string_view localReserved = {});

    bool SetCycles(int row, int cycles);
    bool SetPlayMode(int row, std::uint16_t mode);
    // The action list of `row` as edited.
    bool StoreActions(int row, std::span<const MacroAction> actions);

    // Installs the rows into `config` (bindings repaired as CommitMacroList does) and clears the
    // rows' new flags on success.
    CommitOutcome Commit(Configuration& config);

private:
    Added Append(MacroRecord&& record);
    bool NameTaken(std::u16string_view name, int exceptRow = -1) const;

    std::vector<MacroRecord> rows_;
    int selected_ = -1;
    int counter_ = 0;
};

// Trims blanks and bounds the text to the name field.
std::u16string CleanMacroName(std::u16string_view name);

// How much of the keyboard's macro memory a list needs, as the download counts it.
struct MacroSpaceGauge {
    MacroImageSizes sizes;
    std::size_t space = 0;  // the keyboard's macro space; 0 when unknown
    bool Known() const { return space > 0; }
    bool Fits() const { return Known() && sizes.withoutNames <= space; }
    bool NamesFit() const { return Known() && sizes.withNames <= space; }
};
MacroSpaceGauge GaugeOf(std::span<const MacroRecord> macros, std::size_t macroSpace);

}  // namespace talvenix::macros

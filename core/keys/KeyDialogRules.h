// The rules of the key dialogs that are not drawing: which record a click targets, the record
// the dialogs build from the user's choice, the repeat count, and where a dialog opens.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/keys/KeyAssignment.h"
#include "core/keys/KeyTable.h"

namespace talvenix::keys {

// Longest program path and text block a key may carry, in UTF-16 units (without the NUL).
inline constexpr std::size_t kMaxLaunchPathUnits = 259;
inline constexpr std::size_t kMaxTextBlockUnits = 4096;
// Bounds a path or text to its field; a cut never splits a surrogate pair.
std::u16string BoundKeyString(std::u16string_view text, std::size_t maxUnits);

// What a click on a key or G button edits.
struct DialogTarget {
    int slot = 0;            // key index, or 256 + n / 265 + n for G key n + 1
    int buttonPosition = 0;  // 0..103 for key buttons; n, or n + 9 on bank B, for G buttons
    bool macroOnly = false;  // opened for the macro list (as if G9 had been clicked)
};
// G button n (0..8) in bank A or B.
std::optional<DialogTarget> TargetOfGButton(int n, bool bankB);
// A key button: its code and its position 0..103 among the key buttons.
std::optional<DialogTarget> TargetOfKeyButton(KeyCode code, int position);
// The "Macros" command: G9 of the current bank, macro page only.
DialogTarget MacroEditTarget(bool bankB);

// The repeat count typed into the cycles field: 1..255 stays; 0, negative or unreadable gives
// 1; above 255 gives 255.
int ClampCycles(std::string_view text);

// The composite dialog's choice, turned into a record by BuildCompositeRecord.
struct CompositeChoice {
    int pageKind = 0;  // 0, 2, 4, 7 or 8
    int slot = 0;
    KeyCode captured = kNoKey;
    bool hasMacros = false;
    int selectedMacroId = 0;
    int cycles = 1;
    int mediaIndex = 0;
    int functionIndex = 0;
};
KeyAssignment BuildCompositeRecord(const CompositeChoice& choice);

// The single-key dialog's choice: kind = radio 0..6.
struct SingleKeyChoice {
    int kind = 0;
    int slot = 0;
    int listPosition = -1;  // kind 2: position in the target-key list
    int macroId = 0;        // kind 4
    std::u16string text;    // kinds 3 (path) and 6 (text)
};
struct SingleKeyRecord {
    enum class Problem { None, NoKey, NoMacro, NoPath, BadKind };
    Problem problem = Problem::None;
    KeyAssignment record;
    std::optional<std::u16string> string;  // kinds 3 and 6: what the string slot gets
};
SingleKeyRecord BuildSingleKeyRecord(const SingleKeyChoice& choice);

// The button flag a click toggles while the Switch mode is on: bytes 8..11 of the record at
// the button's position, 0 or 1. Returns the new value.
std::uint32_t ButtonFlagOf(const KeyAssignment& record);
std::uint32_t ToggleButtonFlag(KeyAssignment& record);

// Where a dialog of `width` x `height` opens next to a button, inside `screen`.
struct ScreenRect {
    int x = 0, y = 0, w = 0, h = 0;
};
struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint&) const = default;
};
ScreenPoint PlaceBesideButton(const ScreenRect& button, int width, int height, const ScreenRect& screen);

}  // namespace talvenix::keys

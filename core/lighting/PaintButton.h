// The buttons of the on-screen keyboard that carry a key colour, numbered in one range:
//   0..103   the key buttons in their binding order (core/keys/KeyButtons.h)
//   104..112 the G keys G1..G9 (all nine share LED slot 125)
//   113      the Fn key (LED slot 110)
// Each one maps to one LED slot of the keyboard's 6 x 21 matrix (slot = row x 21 + column).
#pragma once

#include <optional>

namespace talvenix::lighting {

using PaintButton = int;

inline constexpr int kKeyButtonCount = 104;
inline constexpr int kGButtonCount = 9;
inline constexpr PaintButton kFirstGButton = kKeyButtonCount;            // 104
inline constexpr PaintButton kFnButton = kFirstGButton + kGButtonCount;  // 113
inline constexpr int kPaintButtonCount = kFnButton + 1;                  // 114

inline constexpr int kLedRows = 6;
inline constexpr int kLedColumns = 21;
inline constexpr int kLedSlots = kLedRows * kLedColumns;  // 126
inline constexpr int kGKeySlot = 125;
inline constexpr int kFnSlot = 110;

constexpr int LedSlot(int row, int column) { return row * kLedColumns + column; }
constexpr PaintButton GButton(int n) { return kFirstGButton + n; }  // n = 0..8 for G1..G9
constexpr bool IsPaintButton(PaintButton b) { return b >= 0 && b < kPaintButtonCount; }

// The LED slot of a button; nullopt for a number outside 0..113.
std::optional<int> SlotOfButton(PaintButton button);

}  // namespace talvenix::lighting

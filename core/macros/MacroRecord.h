// One macro: a named list of key presses and releases, each preceded by a delay, that the
// keyboard plays from its own memory. The same 16512 bytes are stored unchanged in profile
// files, so the layout binds (little-endian, no padding).
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace talvenix::macros {

static_assert(std::endian::native == std::endian::little,
              "records are stored and exchanged in their in-memory little-endian form");

inline constexpr int kMaxMacros = 100;    // ids run 1..100
inline constexpr int kMaxActions = 2000;  // per macro
inline constexpr std::uint32_t kMaxEditorDelayMs = 40000;
inline constexpr int kNameUnits = 250;  // including the terminating NUL
inline constexpr int kMaxNameLength = kNameUnits - 1;

enum class Direction : std::uint16_t {
    Press = 0,    // key down
    Release = 1,  // key up
};

#pragma pack(push, 1)
// One step of a macro, 8 bytes.
struct MacroAction {
    std::uint32_t delayMs = 0;    // the editor keeps it within 0..40000
    std::uint16_t keyCode = 0;    // set-1 scan code, plus 0x100 for extended keys
    std::uint16_t direction = 0;  // Direction; anything above 1 counts as a press

    bool IsRelease() const { return direction == static_cast<std::uint16_t>(Direction::Release); }
    bool operator==(const MacroAction&) const = default;
};

// One macro, 16512 bytes.
struct MacroRecord {
    std::array<char16_t, kNameUnits> name{};  // UTF-16, NUL-terminated
    std::uint8_t cycles = 0;                  // repeat count sent with the macro
    std::uint8_t reserved1 = 0;
    std::uint16_t newFlag = 0;      // 1 while created in an open editor and not yet committed
    std::uint16_t playMode = 0;     // PlayMode; kept by the program only, never by the keyboard
    std::uint16_t id = 0;           // 1..100, unique in the list
    std::uint16_t actionCount = 0;  // 0..2000: the used leading part of `actions`
    std::uint16_t reserved2 = 0;
    std::array<MacroAction, kMaxActions> actions{};  // slots past actionCount mean nothing

    // The name up to its NUL (never past the field).
    std::u16string Name() const;
    // Stores `text` cut to 249 units (at its first NUL, if any), zero-filling the rest.
    void SetName(std::u16string_view text);
    // Action count bounded to the 2000 slots (a damaged file may say more).
    int UsedActions() const { return actionCount > kMaxActions ? kMaxActions : actionCount; }

    bool operator==(const MacroRecord&) const = default;
};
#pragma pack(pop)

static_assert(sizeof(MacroAction) == 8, "MacroAction is 8 bytes");
static_assert(sizeof(MacroRecord) == 16512, "MacroRecord is 16512 bytes");
static_assert(offsetof(MacroRecord, cycles) == 500);
static_assert(offsetof(MacroRecord, newFlag) == 502);
static_assert(offsetof(MacroRecord, playMode) == 504);
static_assert(offsetof(MacroRecord, id) == 506);
static_assert(offsetof(MacroRecord, actionCount) == 508);
static_assert(offsetof(MacroRecord, actions) == 512);

// How the keyboard plays a macro. Kept in the program and in profile files only.
enum class PlayMode : std::uint16_t {
    Once = 0,
    Repeat = 1,
    UntilKeyDownAgain = 2,
};

// Built-in texts of the play modes (the language table may replace them); empty for an unknown mode.
std::string_view PlayModeDefaultText(std::uint16_t mode);

// The action list's direction column: a press shows a down arrow, a release an up arrow after
// two blanks. A value above 1 counts as a press.
std::string_view DirectionText(std::uint16_t direction);

// A value above 1 read from a file or the keyboard is taken as a press.
inline std::uint16_t NormalisedDirection(std::uint16_t direction) { return direction == 1 ? 1 : 0; }

// Whether `a` and `b` are the same name without regard to case (ASCII and Latin-1 letters;
// other characters compare exactly). Macro names are unique in this sense.
bool SameMacroName(std::u16string_view a, std::u16string_view b);

// The reserved name no macro may take (compared without regard to case).
inline constexpr std::u16string_view kReservedMacroName = u"Empty Macro";

}  // namespace talvenix::macros

// The media and function catalogues: the choices of the multimedia and function pages, and the
// meaning of assignment values of kind 7 (media index) and kind 8 (function index).
//
// MediaList: 18 multimedia functions the keyboard sends as HID consumer-page usages. Each has a
// language id (its text is also the display name of its key code), the key code of the matching
// multimedia key, and the consumer usage.
// FunctionList: 11 office functions (indices 0..10) the keyboard performs itself and knows by
// number; indices 11..15 have the fixed texts "A1".."A5" and only show up in values read back
// from the keyboard; above 15 there is no text.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/keys/KeyTable.h"
#include "core/text/LanguageTable.h"

namespace talvenix::keys {

struct MediaEntry {
    text::TextId nameId;
    KeyCode code;
    std::uint16_t usage;  // consumer page
};

inline constexpr int kMediaCount = 18;

inline constexpr std::array<MediaEntry, kMediaCount> kMediaList = {{
    {text::TextId::MEDIA_PALYER_1, 0x16D, 0x183},         // media selection
    {text::TextId::MEDIA_PALY_PAUSE_2, 0x122, 0x0CD},     // play/pause
    {text::TextId::MEDIA_STOP_PALY_3, 0x124, 0x0B7},      // stop
    {text::TextId::MEDIA_PREV_TRACK_4, 0x110, 0x0B6},     // previous track
    {text::TextId::MEDIA_Next_TRACK_5, 0x119, 0x0B5},     // next track
    {text::TextId::MEDIA_V_LOW_6, 0x12E, 0x0EA},          // volume down
    {text::TextId::MEDIA_V_ADD_7, 0x130, 0x0E9},          // volume up
    {text::TextId::MEDIA_MUTE_8, 0x120, 0x0E2},           // mute
    {text::TextId::MEDIA_WWW_HOME_9, 0x132, 0x223},       // browser home
    {text::TextId::MEDIA_WWW_REFRESH_10, 0x167, 0x227},   // browser refresh
    {text::TextId::MEDIA_WWW_STOP_11, 0x168, 0x226},      // browser stop
    {text::TextId::MEDIA_WWW_BACK_12, 0x16A, 0x224},      // browser back
    {text::TextId::MEDIA_WWW_FORWARD_13, 0x169, 0x225},   // browser forward
    {text::TextId::MEDIA_WWW_FAVORITE_14, 0x166, 0x22A},  // bookmarks
    {text::TextId::MEDIA_WWW_SEARCH_15, 0x165, 0x221},    // search
    {text::TextId::MEDIA_MY_PC_16, 0x16B, 0x194},         // local machine browser
    {text::TextId::MEDIA_CALC_17, 0x121, 0x192},          // calculator
    {text::TextId::MEDIA_MAIL_18, 0x16C, 0x18A},          // e-mail reader
}};

// The list itself, in index order.
inline const std::array<MediaEntry, kMediaCount>& MediaList() { return kMediaList; }

// KeyNameOf the entry's key code; "" for an index outside 0..17.
std::string MediaName(int index);
// The consumer usage of an index; 0 for an index outside 0..17.
std::uint16_t MediaUsage(int index);
// The first index with that usage; nullopt when none has it.
std::optional<int> MediaIndexOfUsage(std::uint16_t usage);
// The media key code of an index; 0 for an index outside 0..17.
KeyCode MediaCode(int index);

struct FunctionEntry {
    std::optional<text::TextId> nameId;  // indices 0..10
    std::string_view fixedText;          // indices 11..15
};

inline constexpr int kFunctionCount = 11;      // offered on the function page
inline constexpr int kFunctionTextCount = 16;  // with text (0..15)

inline constexpr std::array<FunctionEntry, kFunctionTextCount> kFunctionList = {{
    {text::TextId::FUNC_KEY_DESC1, {}},   // Open
    {text::TextId::FUNC_KEY_DESC2, {}},   // New
    {text::TextId::FUNC_KEY_DESC3, {}},   // Undo
    {text::TextId::FUNC_KEY_DESC4, {}},   // Save
    {text::TextId::FUNC_KEY_DESC5, {}},   // Copy
    {text::TextId::FUNC_KEY_DESC6, {}},   // Cut
    {text::TextId::FUNC_KEY_DESC7, {}},   // Paste
    {text::TextId::FUNC_KEY_DESC8, {}},   // Find
    {text::TextId::FUNC_KEY_DESC9, {}},   // Select All
    {text::TextId::FUNC_KEY_DESC10, {}},  // Zoom-
    {text::TextId::FUNC_KEY_DESC11, {}},  // Zoom+
    {std::nullopt, "A1"},
    {std::nullopt, "A2"},
    {std::nullopt, "A3"},
    {std::nullopt, "A4"},
    {std::nullopt, "A5"},
}};

inline const std::array<FunctionEntry, kFunctionTextCount>& FunctionList() { return kFunctionList; }

// The text of a function index in the current language: 0..10 from the language table,
// 11..15 "A1".."A5", anything else "".
std::string FunctionText(std::int64_t index);

}  // namespace talvenix::keys

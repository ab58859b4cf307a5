// The main window's on-screen keyboard: 104 key buttons, 9 G-key buttons and the Fn button.
//
// Each key button shows one key code. Its skin rectangle is the "BUTTONINFO" key "KEY_%03X" of
// the main skin, formatted with the key's KeyIndex (left Windows, code 0x15B, is "KEY_0DB"); its
// lighting slot is the key's place in the keyboard's 126-slot colour table. The order of
// kKeyButtons binds: the main window walks the buttons in it (tooltips, per-key colours).
//
// G buttons have no KeyCode: button n (0..8) stands for assignment slot 256 + n in bank A and
// 265 + n in bank B. All nine share lighting slot 125. The Fn button is not assignable; it only
// takes part in per-key colouring.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/keys/KeyTable.h"
#include "core/text/LanguageTable.h"

namespace talvenix::keys {

struct KeyButton {
    int controlId;
    KeyCode code;
    text::TextId nameId;
    KeyIndex keyIndex;
    int lightingSlot;
};

inline constexpr int kKeyButtonCount = 104;

// The 104 key buttons in binding order.
inline constexpr std::array<KeyButton, kKeyButtonCount> kKeyButtons = {{
    // control id, key code, name, key index, lighting slot  // button
    {1058, 0x01E, text::TextId::KEYBOARD_A, 0x01E, 64},          // 0
    {1075, 0x030, text::TextId::KEYBOARD_B, 0x030, 90},          // 1
    {1073, 0x02E, text::TextId::KEYBOARD_C, 0x02E, 88},          // 2
    {1060, 0x020, text::TextId::KEYBOARD_D, 0x020, 66},          // 3
    {1046, 0x012, text::TextId::KEYBOARD_E, 0x012, 45},          // 4
    {1061, 0x021, text::TextId::KEYBOARD_F, 0x021, 67},          // 5
    {1062, 0x022, text::TextId::KEYBOARD_G, 0x022, 68},          // 6
    {1063, 0x023, text::TextId::KEYBOARD_H, 0x023, 69},          // 7
    {1051, 0x017, text::TextId::KEYBOARD_I, 0x017, 50},          // 8
    {1064, 0x024, text::TextId::KEYBOARD_J, 0x024, 70},          // 9
    {1065, 0x025, text::TextId::KEYBOARD_K, 0x025, 71},          // 10
    {1066, 0x026, text::TextId::KEYBOARD_L, 0x026, 72},          // 11
    {1077, 0x032, text::TextId::KEYBOARD_M, 0x032, 92},          // 12
    {1076, 0x031, text::TextId::KEYBOARD_N, 0x031, 91},          // 13
    {1052, 0x018, text::TextId::KEYBOARD_O, 0x018, 51},          // 14
    {1053, 0x019, text::TextId::KEYBOARD_P, 0x019, 52},          // 15
    {1044, 0x010, text::TextId::KEYBOARD_Q, 0x010, 43},          // 16
    {1047, 0x013, text::TextId::KEYBOARD_R, 0x013, 46},          // 17
    {1059, 0x01F, text::TextId::KEYBOARD_S, 0x01F, 65},          // 18
    {1048, 0x014, text::TextId::KEYBOARD_T, 0x014, 47},          // 19
    {1050, 0x016, text::TextId::KEYBOARD_U, 0x016, 49},          // 20
    {1074, 0x02F, text::TextId::KEYBOARD_V, 0x02F, 89},          // 21
    {1045, 0x011, text::TextId::KEYBOARD_W, 0x011, 44},          // 22
    {1072, 0x02D, text::TextId::KEYBOARD_X, 0x02D, 87},          // 23
    {1049, 0x015, text::TextId::KEYBOARD_Y, 0x015, 48},          // 24
    {1071, 0x02C, text::TextId::KEYBOARD_Z, 0x02C, 86},          // 25
    {1030, 0x002, text::TextId::KEYBOARD_1, 0x002, 22},          // 26
    {1031, 0x003, text::TextId::KEYBOARD_2, 0x003, 23},          // 27
    {1032, 0x004, text::TextId::KEYBOARD_3, 0x004, 24},          // 28
    {1033, 0x005, text::TextId::KEYBOARD_4, 0x005, 25},          // 29
    {1034, 0x006, text::TextId::KEYBOARD_5, 0x006, 26},          // 30
    {1035, 0x007, text::TextId::KEYBOARD_6, 0x007, 27},          // 31
    {1036, 0x008, text::TextId::KEYBOARD_7, 0x008, 28},          // 32
    {1037, 0x009, text::TextId::KEYBOARD_8, 0x009, 29},          // 33
    {1038, 0x00A, text::TextId::KEYBOARD_9, 0x00A, 30},          // 34
    {1039, 0x00B, text::TextId::KEYBOARD_0, 0x00B, 31},          // 35
    {1070, 0x01C, text::TextId::KEYBOARD_ENTER, 0x01C, 76},      // 36
    {1022, 0x001, text::TextId::KEYBOARD_ESC, 0x001, 0},         // 37
    {1043, 0x00E, text::TextId::KEYBOARD_BS, 0x00E, 34},         // 38
    {1056, 0x00F, text::TextId::KEYBOARD_TAB, 0x00F, 42},        // 39
    {1090, 0x039, text::TextId::KEYBOARD_SPACE, 0x039, 108},     // 40
    {1040, 0x00C, text::TextId::KEYBOARD_MINUS, 0x00C, 32},      // 41
    {1041, 0x00D, text::TextId::KEYBOARD_EQU, 0x00D, 33},        // 42
    {1054, 0x01A, text::TextId::KEYBOARD_SB1, 0x01A, 53},        // 43
    {1055, 0x01B, text::TextId::KEYBOARD_SB2, 0x01B, 54},        // 44
    {1042, 0x02B, text::TextId::KEYBOARD_AV, 0x02B, 55},         // 45
    {1067, 0x027, text::TextId::KEYBOARD_SEM, 0x027, 73},        // 46
    {1068, 0x028, text::TextId::KEYBOARD_QUOT, 0x028, 74},       // 47
    {1029, 0x029, text::TextId::KEYBOARD_AID1, 0x029, 21},       // 48
    {1078, 0x033, text::TextId::KEYBOARD_COMMA, 0x033, 93},      // 49
    {1079, 0x034, text::TextId::KEYBOARD_PER, 0x034, 94},        // 50
    {1080, 0x035, text::TextId::KEYBOARD_VIR, 0x035, 95},        // 51
    {1010, 0x03B, text::TextId::KEYBOARD_F1, 0x03B, 1},          // 52
    {1011, 0x03C, text::TextId::KEYBOARD_F2, 0x03C, 2},          // 53
    {1012, 0x03D, text::TextId::KEYBOARD_F3, 0x03D, 3},          // 54
    {1013, 0x03E, text::TextId::KEYBOARD_F4, 0x03E, 4},          // 55
    {1014, 0x03F, text::TextId::KEYBOARD_F5, 0x03F, 5},          // 56
    {1015, 0x040, text::TextId::KEYBOARD_F6, 0x040, 6},          // 57
    {1023, 0x041, text::TextId::KEYBOARD_F7, 0x041, 7},          // 58
    {1024, 0x042, text::TextId::KEYBOARD_F8, 0x042, 8},          // 59
    {1025, 0x043, text::TextId::KEYBOARD_F9, 0x043, 9},          // 60
    {1026, 0x044, text::TextId::KEYBOARD_F10, 0x044, 10},        // 61
    {1027, 0x057, text::TextId::KEYBOARD_F11, 0x057, 11},        // 62
    {1028, 0x058, text::TextId::KEYBOARD_F12, 0x058, 12},        // 63
    {1091, 0x137, text::TextId::KEYBOARD_PRINT, 0x0B7, 14},      // 64
    {1093, 0x045, text::TextId::KEYBOARD_PAUSE, 0x045, 16},      // 65
    {1094, 0x152, text::TextId::KEYBOARD_INSERT, 0x0D2, 35},     // 66
    {1097, 0x153, text::TextId::KEYBOARD_DELETE, 0x0D3, 56},     // 67
    {1095, 0x147, text::TextId::KEYBOARD_HOME, 0x0C7, 36},       // 68
    {1098, 0x14F, text::TextId::KEYBOARD_END, 0x0CF, 57},        // 69
    {1096, 0x149, text::TextId::KEYBOARD_PAGE_UP, 0x0C9, 37},    // 70
    {1099, 0x151, text::TextId::KEYBOARD_PAGE_DOWN, 0x0D1, 58},  // 71
    {1103, 0x148, text::TextId::KEYBOARD_UP, 0x0C8, 99},         // 72
    {1101, 0x150, text::TextId::KEYBOARD_DOWN, 0x0D0, 120},      // 73
    {1100, 0x14B, text::TextId::KEYBOARD_LEFT, 0x0CB, 119},      // 74
    {1102, 0x14D, text::TextId::KEYBOARD_RIGHT, 0x0CD, 121},     // 75
    {1092, 0x046, text::TextId::KEYBOARD_SCROLL, 0x046, 15},     // 76
    {1069, 0x03A, text::TextId::KEYBOARD_CAPS, 0x03A, 63},       // 77
    {1088, 0x15D, text::TextId::KEYBOARD_APP, 0x0DD, 111},       // 78
    {1083, 0x01D, text::TextId::KEYBOARD_LCTRL, 0x01D, 105},     // 79
    {1089, 0x11D, text::TextId::KEYBOARD_RCTRL, 0x09D, 113},     // 80
    {1082, 0x02A, text::TextId::KEYBOARD_LSHIFT, 0x02A, 84},     // 81
    {1081, 0x036, text::TextId::KEYBOARD_RSHIFT, 0x036, 97},     // 82
    {1085, 0x038, text::TextId::KEYBOARD_LALT, 0x038, 107},      // 83
    {1086, 0x138, text::TextId::KEYBOARD_RALT, 0x0B8, 109},      // 84
    {1084, 0x15B, text::TextId::KEYBOARD_LWIN, 0x0DB, 106},      // 85
    {1087, 0x15C, text::TextId::KEYBOARD_RWIN, 0x0DC, 112},      // 86
    {1115, 0x04F, text::TextId::KEYBOARD_S_1, 0x04F, 101},       // 87
    {1116, 0x050, text::TextId::KEYBOARD_S_2, 0x050, 102},       // 88
    {1117, 0x051, text::TextId::KEYBOARD_S_3, 0x051, 103},       // 89
    {1112, 0x04B, text::TextId::KEYBOARD_S_4, 0x04B, 80},        // 90
    {1113, 0x04C, text::TextId::KEYBOARD_S_5, 0x04C, 81},        // 91
    {1114, 0x04D, text::TextId::KEYBOARD_S_6, 0x04D, 82},        // 92
    {1108, 0x047, text::TextId::KEYBOARD_S_7, 0x047, 59},        // 93
    {1109, 0x048, text::TextId::KEYBOARD_S_8, 0x048, 60},        // 94
    {1110, 0x049, text::TextId::KEYBOARD_S_9, 0x049, 61},        // 95
    {1120, 0x052, text::TextId::KEYBOARD_S_0, 0x052, 123},       // 96
    {1104, 0x145, text::TextId::KEYBOARD_NUM, 0x0C5, 38},        // 97
    {1118, 0x11C, text::TextId::KEYBOARD_S_ENTER, 0x09C, 104},   // 98
    {1119, 0x053, text::TextId::KEYBOARD_S_DEL, 0x053, 124},     // 99
    {1105, 0x135, text::TextId::KEYBOARD_S_VIR, 0x0B5, 39},      // 100
    {1106, 0x037, text::TextId::KEYBOARD_S_AST, 0x037, 40},      // 101
    {1107, 0x04A, text::TextId::KEYBOARD_S_MINUS, 0x04A, 41},    // 102
    {1111, 0x04E, text::TextId::KEYBOARD_S_PLUS, 0x04E, 62},     // 103
}};

struct GButton {
    int controlId;
    int number;           // 1..9; the skin key is "FUNC_G<number>"
    bool startsDisabled;  // G6..G9 start disabled
};

inline constexpr int kGButtonCount = 9;
inline constexpr int kGButtonLightingSlot = 125;
inline constexpr std::array<GButton, kGButtonCount> kGButtons = {{
    {1000, 1, false},
    {1001, 2, false},
    {1002, 3, false},
    {1003, 4, false},
    {1004, 5, false},
    {1140, 6, true},
    {1141, 7, true},
    {1142, 8, true},
    {1143, 9, true},
}};

inline constexpr int kFnControlId = 1174;
inline constexpr int kFnLightingSlot = 110;
inline constexpr const char* kFnSkinKey = "KEY_FN";

// "KEY_%03X" with the button's key index.
std::string SkinKeyOf(const KeyButton& button);
// "FUNC_G%d" with the button's number.
std::string SkinKeyOf(const GButton& button);

// The position (0..103) of the first key button whose code has the key index of `code`;
// nullopt when no button shows it.
std::optional<int> KeyButtonOfCode(KeyCode code);

// The assignment slot of G button n (0..8) in bank A (bankB false) or B.
constexpr int GButtonSlot(int n, bool bankB) { return (bankB ? 265 : 256) + n; }

}  // namespace talvenix::keys

#include "core/keys/NativeKeys.h"

#include <array>

namespace talvenix::keys {
namespace {

struct NativeKey {
    std::uint8_t scan = 0;
    bool extended = false;
    std::uint8_t vk = 0;            // VK (with Num Lock on for the numeric pad)
    std::uint8_t vkNumLockOff = 0;  // numeric pad with Num Lock off; 0 for other keys
};

struct Row {
    std::uint16_t evdev;
    NativeKey key;
};

// evdev code -> scan code set 1 (with the 0xE0 prefix as the extended flag) and virtual key.
constexpr Row kRows[] = {
    {1, {0x01, false, 0x1B}},   // Esc
    {2, {0x02, false, 0x31}},   // 1
    {3, {0x03, false, 0x32}},   // 2
    {4, {0x04, false, 0x33}},   // 3
    {5, {0x05, false, 0x34}},   // 4
    {6, {0x06, false, 0x35}},   // 5
    {7, {0x07, false, 0x36}},   // 6
    {8, {0x08, false, 0x37}},   // 7
    {9, {0x09, false, 0x38}},   // 8
    {10, {0x0A, false, 0x39}},  // 9
    {11, {0x0B, false, 0x30}},  // 0
    {12, {0x0C, false, 0xBD}},  // -
    {13, {0x0D, false, 0xBB}},  // =
    {14, {0x0E, false, 0x08}},  // Backspace
    {15, {0x0F, false, 0x09}},  // Tab
    {16, {0x10, false, 'Q'}},        {17, {0x11, false, 'W'}},  {18, {0x12, false, 'E'}},
    {19, {0x13, false, 'R'}},        {20, {0x14, false, 'T'}},  {21, {0x15, false, 'Y'}},
    {22, {0x16, false, 'U'}},        {23, {0x17, false, 'I'}},  {24, {0x18, false, 'O'}},
    {25, {0x19, false, 'P'}},        {26, {0x1A, false, 0xDB}},  // [
    {27, {0x1B, false, 0xDD}},                                   // ]
    {28, {0x1C, false, 0x0D}},                                   // Enter
    {29, {0x1D, false, 0xA2}},                                   // left Ctrl
    {30, {0x1E, false, 'A'}},        {31, {0x1F, false, 'S'}},  {32, {0x20, false, 'D'}},
    {33, {0x21, false, 'F'}},        {34, {0x22, false, 'G'}},  {35, {0x23, false, 'H'}},
    {36, {0x24, false, 'J'}},        {37, {0x25, false, 'K'}},  {38, {0x26, false, 'L'}},
    {39, {0x27, false, 0xBA}},  // ;
    {40, {0x28, false, 0xDE}},  // '
    {41, {0x29, false, 0xC0}},  // `
    {42, {0x2A, false, 0xA0}},  // left Shift
    {43, {0x2B, false, 0xDC}},  // backslash
    {44, {0x2C, false, 'Z'}},        {45, {0x2D, false, 'X'}},  {46, {0x2E, false, 'C'}},
    {47, {0x2F, false, 'V'}},        {48, {0x30, false, 'B'}},  {49, {0x31, false, 'N'}},
    {50, {0x32, false, 'M'}},        {51, {0x33, false, 0xBC}},  // ,
    {52, {0x34, false, 0xBE}},                                   // .
    {53, {0x35, false, 0xBF}},                                   // /
    {54, {0x36, false, 0xA1}},                                   // right Shift (not extended)
    {55, {0x37, false, 0x6A}},                                   // keypad *
    {56, {0x38, false, 0xA4}},                                   // left Alt
    {57, {0x39, false, 0x20}},                                   // Space
    {58, {0x3A, false, 0x14}},                                   // Caps Lock
    {59, {0x3B, false, 0x70}},                                   // F1
    {60, {0x3C, false, 0x71}},       {61, {0x3D, false, 0x72}}, {62, {0x3E, false, 0x73}},
    {63, {0x3F, false, 0x74}},       {64, {0x40, false, 0x75}}, {65, {0x41, false, 0x76}},
    {66, {0x42, false, 0x77}},       {67, {0x43, false, 0x78}}, {68, {0x44, false, 0x79}},  // F10
    {69, {0x45, true, 0x90}},         // Num Lock: scan 0x45 reported as extended
    {70, {0x46, false, 0x91}},        // Scroll Lock
    {71, {0x47, false, 0x67, 0x24}},  // keypad 7 / Home
    {72, {0x48, false, 0x68, 0x26}},  // keypad 8 / Up
    {73, {0x49, false, 0x69, 0x21}},  // keypad 9 / Page Up
    {74, {0x4A, false, 0x6D}},        // keypad -
    {75, {0x4B, false, 0x64, 0x25}},  // keypad 4 / Left
    {76, {0x4C, false, 0x65, 0x0C}},  // keypad 5 / Clear
    {77, {0x4D, false, 0x66, 0x27}},  // keypad 6 / Right
    {78, {0x4E, false, 0x6B}},        // keypad +
    {79, {0x4F, false, 0x61, 0x23}},  // keypad 1 / End
    {80, {0x50, false, 0x62, 0x28}},  // keypad 2 / Down
    {81, {0x51, false, 0x63, 0x22}},  // keypad 3 / Page Down
    {82, {0x52, false, 0x60, 0x2D}},  // keypad 0 / Insert
    {83, {0x53, false, 0x6E, 0x2E}},  // keypad . / Delete
    {86, {0x56, false, 0xE2}},        // the 105th key (between left Shift and Z)
    {87, {0x57, false, 0x7A}},        // F11
    {88, {0x58, false, 0x7B}},        // F12
    {89, {0x73, false, 0xC1}},        // Ro
    {92, {0x79, false, 0xFF}},        // Henkan (convert)
    {93, {0x70, false, 0xFF}},        // Katakana/Hiragana
    {94, {0x7B, false, 0xEB}},        // Muhenkan (non-convert)
    {96, {0x1C, true, 0x0D}},         // keypad Enter
    {97, {0x1D, true, 0xA3}},         // right Ctrl
    {98, {0x35, true, 0x6F}},         // keypad /
    {99, {0x37, true, 0x2C}},         // Print Screen (SysRq with Alt: see below)
    {100, {0x38, true, 0xA5}},        // right Alt
    {102, {0x47, true, 0x24}},        // Home
    {103, {0x48, true, 0x26}},        // Up
    {104, {0x49, true, 0x21}},        // Page Up
    {105, {0x4B, true, 0x25}},        // Left
    {106, {0x4D, true, 0x27}},        // Right
    {107, {0x4F, true, 0x23}},        // End
    {108, {0x50, true, 0x28}},        // Down
    {109, {0x51, true, 0x22}},        // Page Down
    {110, {0x52, true, 0x2D}},        // Insert
    {111, {0x53, true, 0x2E}},        // Delete
    {113, {0x20, true, 0xAD}},        // Mute
    {114, {0x2E, true, 0xAE}},        // Volume down
    {115, {0x30, true, 0xAF}},        // Volume up
    {116, {0x5E, true, 0xFF}},        // Power
    {119, {0x45, false, 0x13}},       // Pause (Break with Ctrl: see below)
    {121, {0x7E, false, 0xC2}},       // keypad comma (HID 0x85, the ABNT2 keypad separator)
    {122, {0x72, false, 0xFF}},       // Hangul
    {123, {0x71, false, 0xE9}},       // Hanja
    {124, {0x7D, false, 0xFF}},       // Yen
    {125, {0x5B, true, 0x5B}},        // left Windows
    {126, {0x5C, true, 0x5C}},        // right Windows
    {127, {0x5D, true, 0x5D}},        // Menu (Compose)
    {128, {0x68, true, 0xA9}},        // browser stop
    {139, {0x5D, true, 0x5D}},        // Menu
    {140, {0x21, true, 0xB7}},        // calculator
    {142, {0x5F, true, 0x5F}},        // Sleep
    {143, {0x63, true, 0xFF}},        // Wake up
    {155, {0x6C, true, 0xB4}},        // mail
    {156, {0x66, true, 0xAB}},        // bookmarks
    {157, {0x6B, true, 0xB6}},        // my computer
    {158, {0x6A, true, 0xA6}},        // browser back
    {159, {0x69, true, 0xA7}},        // browser forward
    {163, {0x19, true, 0xB0}},        // next track
    {164, {0x22, true, 0xB3}},        // play/pause
    {165, {0x10, true, 0xB1}},        // previous track
    {166, {0x24, true, 0xB2}},        // stop
    {172, {0x32, true, 0xAC}},        // browser home
    {173, {0x67, true, 0xA8}},        // browser refresh
    {183, {0x64, false, 0x7C}},       // F13
    {184, {0x65, false, 0x7D}},       // F14
    {185, {0x66, false, 0x7E}},       // F15
    {186, {0x67, false, 0x7F}},       // F16
    {187, {0x68, false, 0x80}},       // F17
    {188, {0x69, false, 0x81}},       // F18
    {189, {0x6A, false, 0x82}},       // F19
    {190, {0x6B, false, 0x83}},       // F20
    {191, {0x6C, false, 0x84}},       // F21
    {192, {0x6D, false, 0x85}},       // F22
    {193, {0x6E, false, 0x86}},       // F23
    {194, {0x76, false, 0x87}},       // F24
    {200, {0x22, true, 0xB3}},        // play (some keyboards send it for play/pause)
    {201, {0x22, true, 0xB3}},        // pause
    {217, {0x65, true, 0xAA}},        // browser search
    {226, {0x6D, true, 0xB5}},        // media select
};

constexpr std::size_t kTableSize = 256;

constexpr std::array<std::optional<NativeKey>, kTableSize> BuildTable() {
    std::array<std::optional<NativeKey>, kTableSize> t{};
    for (const Row& r : kRows) t[r.evdev] = r.key;
    return t;
}

constexpr auto kTable = BuildTable();

// Keysyms that change how a physical key reads.
constexpr std::uint32_t kXkSysReq = 0xFF15;
constexpr std::uint32_t kXkBreak = 0xFF6B;
constexpr std::uint32_t kXkKpSeparator = 0xFFAC;
constexpr std::uint32_t kXkKpDecimal = 0xFFAE;
constexpr std::uint32_t kXkKp0 = 0xFFB0;
constexpr std::uint32_t kXkKp9 = 0xFFB9;
constexpr std::uint32_t kXkKpFirst = 0xFF80;  // the keypad keysym range XK_KP_Space..XK_KP_Equal
constexpr std::uint32_t kXkKpLast = 0xFFBD;

bool IsKeypadNumberSym(std::uint32_t sym) {
    return (sym >= kXkKp0 && sym <= kXkKp9) || sym == kXkKpDecimal || sym == kXkKpSeparator;
}

}  // namespace

std::optional<WindowsKeyEvent> TranslateEvdevKey(std::uint32_t evdevCode, std::uint32_t keysym,
                                                 bool released) {
    if (evdevCode >= kTableSize || !kTable[evdevCode]) return std::nullopt;
    const NativeKey k = *kTable[evdevCode];
    std::uint8_t scan = k.scan;
    bool extended = k.extended;
    std::uint8_t vk = k.vk;

    if (k.vkNumLockOff != 0) {
        // A keypad keysym that is not a digit (KP_Home, KP_Begin, KP_Delete...) means Num Lock
        // is off (or Shift reverses it): the key acts as the navigation key.
        if (keysym >= kXkKpFirst && keysym <= kXkKpLast && !IsKeypadNumberSym(keysym)) vk = k.vkNumLockOff;
    } else if (evdevCode == 99 && keysym == kXkSysReq) {
        scan = 0x54;  // Alt+Print Screen reads as SysRq
        extended = false;
    } else if (evdevCode == 119 && keysym == kXkBreak) {
        scan = 0x46;  // Ctrl+Pause reads as Break
        extended = true;
        vk = 0x03;
    }
    return WindowsKeyEvent{vk, KeyMessageFlags(scan, extended, released)};
}

std::optional<WindowsKeyEvent> TranslateNativeKey(std::uint32_t nativeScanCode, std::uint32_t keysym,
                                                  bool released) {
    if (nativeScanCode < 8) return std::nullopt;
    return TranslateEvdevKey(nativeScanCode - 8, keysym, released);
}

}  // namespace talvenix::keys

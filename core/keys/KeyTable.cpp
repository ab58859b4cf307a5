#include "core/keys/KeyTable.h"

#include <algorithm>

#include "core/text/SafeFormat.h"
#include "core/text/Utf.h"

namespace talvenix::keys {
namespace {

using text::TextId;

struct Row {
    KeyCode code;
    KeyEntry entry;
    constexpr Row(KeyCode c, KeyEntry e, std::uint8_t device, std::uint16_t listPosition, std::uint8_t vk,
                  std::uint8_t vkOff)
        : code(c), entry(e) {
        entry.deviceKeyByte = device;
        entry.listPosition = listPosition;
        entry.vk = vk;
        entry.vkNumLockOff = vkOff;
    }
};

constexpr KeyEntry Named(TextId id) { return KeyEntry{id, {}, kNoListPosition, 0, 0, 0}; }
constexpr KeyEntry Fixed(std::string_view name) {
    return KeyEntry{std::nullopt, name, kNoListPosition, 0, 0, 0};
}

// Every used entry: code, name, device byte, list position, VK, VK with Num Lock off.
// 0x036 and 0x136 are both the right Shift key and share list position 103.
constexpr Row kRows[] = {
    Row(0x001, Named(TextId::KEYBOARD_ESC), 0x29, 37, 0x1B, 0x1B),
    Row(0x002, Named(TextId::KEYBOARD_1), 0x1E, 26, 0x31, 0x31),
    Row(0x003, Named(TextId::KEYBOARD_2), 0x1F, 27, 0x32, 0x32),
    Row(0x004, Named(TextId::KEYBOARD_3), 0x20, 28, 0x33, 0x33),
    Row(0x005, Named(TextId::KEYBOARD_4), 0x21, 29, 0x34, 0x34),
    Row(0x006, Named(TextId::KEYBOARD_5), 0x22, 30, 0x35, 0x35),
    Row(0x007, Named(TextId::KEYBOARD_6), 0x23, 31, 0x36, 0x36),
    Row(0x008, Named(TextId::KEYBOARD_7), 0x24, 32, 0x37, 0x37),
    Row(0x009, Named(TextId::KEYBOARD_8), 0x25, 33, 0x38, 0x38),
    Row(0x00A, Named(TextId::KEYBOARD_9), 0x26, 34, 0x39, 0x39),
    Row(0x00B, Named(TextId::KEYBOARD_0), 0x27, 35, 0x30, 0x30),
    Row(0x00C, Named(TextId::KEYBOARD_MINUS), 0x2D, 41, 0xBD, 0xBD),
    Row(0x00D, Named(TextId::KEYBOARD_EQU), 0x2E, 42, 0xBB, 0xBB),
    Row(0x00E, Named(TextId::KEYBOARD_BS), 0x2A, 38, 0x08, 0x08),
    Row(0x00F, Named(TextId::KEYBOARD_TAB), 0x2B, 39, 0x09, 0x09),
    Row(0x010, Named(TextId::KEYBOARD_Q), 0x14, 16, 0x51, 0x51),
    Row(0x011, Named(TextId::KEYBOARD_W), 0x1A, 22, 0x57, 0x57),
    Row(0x012, Named(TextId::KEYBOARD_E), 0x08, 4, 0x45, 0x45),
    Row(0x013, Named(TextId::KEYBOARD_R), 0x15, 17, 0x52, 0x52),
    Row(0x014, Named(TextId::KEYBOARD_T), 0x17, 19, 0x54, 0x54),
    Row(0x015, Named(TextId::KEYBOARD_Y), 0x1C, 24, 0x59, 0x59),
    Row(0x016, Named(TextId::KEYBOARD_U), 0x18, 20, 0x55, 0x55),
    Row(0x017, Named(TextId::KEYBOARD_I), 0x0C, 8, 0x49, 0x49),
    Row(0x018, Named(TextId::KEYBOARD_O), 0x12, 14, 0x4F, 0x4F),
    Row(0x019, Named(TextId::KEYBOARD_P), 0x13, 15, 0x50, 0x50),
    Row(0x01A, Named(TextId::KEYBOARD_SB1), 0x2F, 43, 0xDB, 0xDB),
    Row(0x01B, Named(TextId::KEYBOARD_SB2), 0x30, 44, 0xDD, 0xDD),
    Row(0x01C, Named(TextId::KEYBOARD_ENTER), 0x28, 36, 0x0D, 0x0D),
    Row(0x01D, Named(TextId::KEYBOARD_LCTRL), 0xE0, 98, 0xA2, 0xA2),
    Row(0x01E, Named(TextId::KEYBOARD_A), 0x04, 0, 0x41, 0x41),
    Row(0x01F, Named(TextId::KEYBOARD_S), 0x16, 18, 0x53, 0x53),
    Row(0x020, Named(TextId::KEYBOARD_D), 0x07, 3, 0x44, 0x44),
    Row(0x021, Named(TextId::KEYBOARD_F), 0x09, 5, 0x46, 0x46),
    Row(0x022, Named(TextId::KEYBOARD_G), 0x0A, 6, 0x47, 0x47),
    Row(0x023, Named(TextId::KEYBOARD_H), 0x0B, 7, 0x48, 0x48),
    Row(0x024, Named(TextId::KEYBOARD_J), 0x0D, 9, 0x4A, 0x4A),
    Row(0x025, Named(TextId::KEYBOARD_K), 0x0E, 10, 0x4B, 0x4B),
    Row(0x026, Named(TextId::KEYBOARD_L), 0x0F, 11, 0x4C, 0x4C),
    Row(0x027, Named(TextId::KEYBOARD_SEM), 0x33, 46, 0xBA, 0xBA),
    Row(0x028, Named(TextId::KEYBOARD_QUOT), 0x34, 47, 0xDE, 0xDE),
    Row(0x029, Named(TextId::KEYBOARD_AID1), 0x35, 48, 0xC0, 0xC0),
    Row(0x02A, Named(TextId::KEYBOARD_LSHIFT), 0xE1, 99, 0xA0, 0xA0),
    Row(0x02B, Named(TextId::KEYBOARD_AV), 0x31, 45, 0xDC, 0xDC),
    Row(0x02C, Named(TextId::KEYBOARD_Z), 0x1D, 25, 0x5A, 0x5A),
    Row(0x02D, Named(TextId::KEYBOARD_X), 0x1B, 23, 0x58, 0x58),
    Row(0x02E, Named(TextId::KEYBOARD_C), 0x06, 2, 0x43, 0x43),
    Row(0x02F, Named(TextId::KEYBOARD_V), 0x19, 21, 0x56, 0x56),
    Row(0x030, Named(TextId::KEYBOARD_B), 0x05, 1, 0x42, 0x42),
    Row(0x031, Named(TextId::KEYBOARD_N), 0x11, 13, 0x4E, 0x4E),
    Row(0x032, Named(TextId::KEYBOARD_M), 0x10, 12, 0x4D, 0x4D),
    Row(0x033, Named(TextId::KEYBOARD_COMMA), 0x36, 49, 0xBC, 0xBC),
    Row(0x034, Named(TextId::KEYBOARD_PER), 0x37, 50, 0xBE, 0xBE),
    Row(0x035, Named(TextId::KEYBOARD_VIR), 0x38, 51, 0xBF, 0xBF),
    Row(0x036, Named(TextId::KEYBOARD_RSHIFT), 0xE5, 103, 0xA1, 0xA1),
    Row(0x037, Named(TextId::KEYBOARD_S_AST), 0x55, 81, 0x6A, 0x6A),
    Row(0x038, Named(TextId::KEYBOARD_LALT), 0xE2, 100, 0xA4, 0xA4),
    Row(0x039, Named(TextId::KEYBOARD_SPACE), 0x2C, 40, 0x20, 0x20),
    Row(0x03A, Named(TextId::KEYBOARD_CAPS), 0x39, 78, 0x14, 0x14),
    Row(0x03B, Named(TextId::KEYBOARD_F1), 0x3A, 52, 0x70, 0x70),
    Row(0x03C, Named(TextId::KEYBOARD_F2), 0x3B, 53, 0x71, 0x71),
    Row(0x03D, Named(TextId::KEYBOARD_F3), 0x3C, 54, 0x72, 0x72),
    Row(0x03E, Named(TextId::KEYBOARD_F4), 0x3D, 55, 0x73, 0x73),
    Row(0x03F, Named(TextId::KEYBOARD_F5), 0x3E, 56, 0x74, 0x74),
    Row(0x040, Named(TextId::KEYBOARD_F6), 0x3F, 57, 0x75, 0x75),
    Row(0x041, Named(TextId::KEYBOARD_F7), 0x40, 58, 0x76, 0x76),
    Row(0x042, Named(TextId::KEYBOARD_F8), 0x41, 59, 0x77, 0x77),
    Row(0x043, Named(TextId::KEYBOARD_F9), 0x42, 60, 0x78, 0x78),
    Row(0x044, Named(TextId::KEYBOARD_F10), 0x43, 61, 0x79, 0x79),
    Row(0x045, Named(TextId::KEYBOARD_PAUSE), 0x48, 65, 0x13, 0x13),
    Row(0x046, Named(TextId::KEYBOARD_SCROLL), 0x47, 77, 0x91, 0x91),
    Row(0x047, Named(TextId::KEYBOARD_S_7), 0x5F, 91, 0x67, 0x24),
    Row(0x048, Named(TextId::KEYBOARD_S_8), 0x60, 92, 0x68, 0x26),
    Row(0x049, Named(TextId::KEYBOARD_S_9), 0x61, 93, 0x69, 0x21),
    Row(0x04A, Named(TextId::KEYBOARD_S_MINUS), 0x56, 82, 0x6D, 0x6D),
    Row(0x04B, Named(TextId::KEYBOARD_S_4), 0x5C, 88, 0x64, 0x25),
    Row(0x04C, Named(TextId::KEYBOARD_S_5), 0x5D, 89, 0x65, 0x0C),
    Row(0x04D, Named(TextId::KEYBOARD_S_6), 0x5E, 90, 0x66, 0x27),
    Row(0x04E, Named(TextId::KEYBOARD_S_PLUS), 0x57, 83, 0x6B, 0x6B),
    Row(0x04F, Named(TextId::KEYBOARD_S_1), 0x59, 85, 0x61, 0x23),
    Row(0x050, Named(TextId::KEYBOARD_S_2), 0x5A, 86, 0x62, 0x28),
    Row(0x051, Named(TextId::KEYBOARD_S_3), 0x5B, 87, 0x63, 0x22),
    Row(0x052, Named(TextId::KEYBOARD_S_0), 0x62, 94, 0x60, 0x2D),
    Row(0x053, Named(TextId::KEYBOARD_S_DEL), 0x63, 95, 0x6E, 0x2E),
    Row(0x054, Named(TextId::KEYBOARD_SYSREQ), 0x00, kNoListPosition, 0x2C, 0x2C),
    Row(0x056, Named(TextId::KEYBOARD_K45), 0x64, 96, 0xE2, 0xE2),
    Row(0x057, Named(TextId::KEYBOARD_F11), 0x44, 62, 0x7A, 0x7A),
    Row(0x058, Named(TextId::KEYBOARD_F12), 0x45, 63, 0x7B, 0x7B),
    Row(0x064, Fixed("F13"), 0x00, kNoListPosition, 0x7C, 0x7C),
    Row(0x070, Named(TextId::KEYBOARD_ROMA), 0x88, kNoListPosition, kNoVk, kNoVk),
    Row(0x071, Named(TextId::KEYBOARD_KL), 0x91, kNoListPosition, 0xE9, 0xE9),
    Row(0x072, Named(TextId::KEYBOARD_KR), 0x90, kNoListPosition, kNoVk, kNoVk),
    Row(0x073, Named(TextId::KEYBOARD_K56), 0x87, kNoListPosition, 0xC1, 0xC1),
    Row(0x079, Named(TextId::KEYBOARD_CHG), 0x8A, kNoListPosition, kNoVk, kNoVk),
    Row(0x07B, Named(TextId::KEYBOARD_N_CHG), 0x8B, kNoListPosition, 0xEB, 0xEB),
    Row(0x07D, Named(TextId::KEYBOARD_K14), 0x89, kNoListPosition, kNoVk, kNoVk),
    Row(0x07E, Named(TextId::KEYBOARD_K107), 0x85, kNoListPosition, 0xC2, 0xC2),
    Row(0x110, Named(TextId::MEDIA_PREV_TRACK_4), 0xD0, kNoListPosition, 0xB1, 0xB1),
    Row(0x119, Named(TextId::MEDIA_Next_TRACK_5), 0xD1, kNoListPosition, 0xB0, 0xB0),
    Row(0x11C, Named(TextId::KEYBOARD_S_ENTER), 0x58, 84, 0x0D, 0x0D),
    Row(0x11D, Named(TextId::KEYBOARD_RCTRL), 0xE4, 102, 0xA3, 0xA3),
    Row(0x120, Named(TextId::MEDIA_MUTE_8), 0xCD, kNoListPosition, 0xAD, 0xAD),
    Row(0x121, Named(TextId::MEDIA_CALC_17), 0xC4, kNoListPosition, 0xB7, 0xB7),
    Row(0x122, Named(TextId::MEDIA_PALY_PAUSE_2), 0xCE, kNoListPosition, 0xB3, 0xB3),
    Row(0x124, Named(TextId::MEDIA_STOP_PALY_3), 0xCF, kNoListPosition, 0xB2, 0xB2),
    Row(0x12E, Named(TextId::MEDIA_V_LOW_6), 0xC1, kNoListPosition, 0xAE, 0xAE),
    Row(0x130, Named(TextId::MEDIA_V_ADD_7), 0xC0, kNoListPosition, 0xAF, 0xAF),
    Row(0x132, Named(TextId::MEDIA_WWW_HOME_9), 0xC7, kNoListPosition, 0xAC, 0xAC),
    Row(0x135, Named(TextId::KEYBOARD_S_VIR), 0x54, 80, 0x6F, 0x6F),
    Row(0x136, Named(TextId::KEYBOARD_RSHIFT), 0xE5, 103, 0xA1, 0xA1),
    Row(0x137, Named(TextId::KEYBOARD_PRINT), 0x46, 64, 0x2C, 0x2C),
    Row(0x138, Named(TextId::KEYBOARD_RALT), 0xE6, 104, 0xA5, 0xA5),
    Row(0x145, Named(TextId::KEYBOARD_NUM), 0x53, 79, 0x90, 0x90),
    Row(0x146, Named(TextId::KEYBOARD_BREAK), 0x48, 66, 0x03, 0x03),
    Row(0x147, Named(TextId::KEYBOARD_HOME), 0x4A, 69, 0x24, 0x24),
    Row(0x148, Named(TextId::KEYBOARD_UP), 0x52, 73, 0x26, 0x26),
    Row(0x149, Named(TextId::KEYBOARD_PAGE_UP), 0x4B, 71, 0x21, 0x21),
    Row(0x14B, Named(TextId::KEYBOARD_LEFT), 0x50, 75, 0x25, 0x25),
    Row(0x14D, Named(TextId::KEYBOARD_RIGHT), 0x4F, 76, 0x27, 0x27),
    Row(0x14F, Named(TextId::KEYBOARD_END), 0x4D, 70, 0x23, 0x23),
    Row(0x150, Named(TextId::KEYBOARD_DOWN), 0x51, 74, 0x28, 0x28),
    Row(0x151, Named(TextId::KEYBOARD_PAGE_DOWN), 0x4E, 72, 0x22, 0x22),
    Row(0x152, Named(TextId::KEYBOARD_INSERT), 0x49, 67, 0x2D, 0x2D),
    Row(0x153, Named(TextId::KEYBOARD_DELETE), 0x4C, 68, 0x2E, 0x2E),
    Row(0x15B, Named(TextId::KEYBOARD_LWIN), 0xE3, 101, 0x5B, 0x5B),
    Row(0x15C, Named(TextId::KEYBOARD_RWIN), 0xE7, 105, 0x5C, 0x5C),
    Row(0x15D, Named(TextId::KEYBOARD_APP), 0x65, 97, 0x5D, 0x5D),
    Row(0x15E, Named(TextId::KEYBOARD_POWER), 0x81, kNoListPosition, kNoVk, kNoVk),
    Row(0x15F, Named(TextId::KEYBOARD_SLEEP), 0x82, kNoListPosition, 0x5F, 0x5F),
    Row(0x163, Named(TextId::KEYBOARD_WAKE), 0x83, kNoListPosition, kNoVk, kNoVk),
    Row(0x165, Named(TextId::MEDIA_WWW_SEARCH_15), 0xC6, kNoListPosition, 0xAA, 0xAA),
    Row(0x166, Named(TextId::MEDIA_WWW_FAVORITE_14), 0xCC, kNoListPosition, 0xAB, 0xAB),
    Row(0x167, Named(TextId::MEDIA_WWW_REFRESH_10), 0xCB, kNoListPosition, 0xA8, 0xA8),
    Row(0x168, Named(TextId::MEDIA_WWW_STOP_11), 0xCA, kNoListPosition, 0xA9, 0xA9),
    Row(0x169, Named(TextId::MEDIA_WWW_FORWARD_13), 0xC9, kNoListPosition, 0xA7, 0xA7),
    Row(0x16A, Named(TextId::MEDIA_WWW_BACK_12), 0xC8, kNoListPosition, 0xA6, 0xA6),
    Row(0x16B, Named(TextId::MEDIA_MY_PC_16), 0xC5, kNoListPosition, 0xB6, 0xB6),
    Row(0x16C, Named(TextId::MEDIA_MAIL_18), 0xC3, kNoListPosition, 0xB4, 0xB4),
    Row(0x16D, Named(TextId::MEDIA_PALYER_1), 0xC2, kNoListPosition, 0xB5, 0xB5),
    Row(0x16E, Named(TextId::KEYBOARD_MOU_PANLEFT), 0x00, kNoListPosition, 0x88, 0x88),
    Row(0x16F, Named(TextId::KEYBOARD_MOU_PANRIGHT), 0x00, kNoListPosition, 0x89, 0x89),
    Row(0x170, Named(TextId::KEYBOARD_MOU_DBCLICK), 0x00, kNoListPosition, 0x8A, 0x8A),
    Row(0x171, Named(TextId::KEYBOARD_MOU_LEFT), 0x00, kNoListPosition, 0x01, 0x01),
    Row(0x172, Named(TextId::KEYBOARD_MOU_RIGHT), 0x00, kNoListPosition, 0x02, 0x02),
    Row(0x173, Named(TextId::KEYBOARD_MOU_MIDDLE), 0x00, kNoListPosition, 0x04, 0x04),
    Row(0x174, Named(TextId::KEYBOARD_FUNC_ZOOMOUT), 0xD2, kNoListPosition, 0x8B, 0x8B),
    Row(0x175, Named(TextId::KEYBOARD_FUNC_ZOOMIN), 0xD3, kNoListPosition, 0x8C, 0x8C),
    Row(0x176, Named(TextId::KEYBOARD_FUNC_COPY), 0x00, kNoListPosition, 0x97, 0x97),
    Row(0x177, Named(TextId::KEYBOARD_FUNC_CUT), 0x00, kNoListPosition, 0x98, 0x98),
    Row(0x178, Named(TextId::KEYBOARD_FUNC_PASTE), 0x00, kNoListPosition, 0x99, 0x99),
    Row(0x179, Named(TextId::KEYBOARD_FUNC_MINI), 0x00, kNoListPosition, 0x9A, 0x9A),
    Row(0x17A, Named(TextId::KEYBOARD_FUNC_MAXI), 0x00, kNoListPosition, 0x9B, 0x9B),
    Row(0x17B, Named(TextId::KEYBOARD_FUNC_WORD), 0xD4, kNoListPosition, 0x9C, 0x9C),
    Row(0x17C, Named(TextId::KEYBOARD_FUNC_EXCEL), 0xD5, kNoListPosition, 0x9D, 0x9D),
    Row(0x17D, Named(TextId::KEYBOARD_FUNC_POWERPOINT), 0x00, kNoListPosition, 0x9E, 0x9E),
    Row(0x17E, Named(TextId::KEYBOARD_FUNC_CALENDAR), 0x00, kNoListPosition, 0x9F, 0x9F),
};

constexpr std::array<KeyEntry, kKeyTableSize> BuildKeyTable() {
    std::array<KeyEntry, kKeyTableSize> table{};
    for (const Row& r : kRows) table[KeyIndexOf(r.code)] = r.entry;
    return table;
}

constexpr std::array<KeyEntry, kKeyTableSize> kKeyTable = BuildKeyTable();

constexpr std::array<std::uint16_t, 32> kConsumerUsages = {
    0x0E9, 0x0EA, 0x183, 0x18A, 0x192, 0x194, 0x221, 0x223, 0x224,
    0x225, 0x226, 0x227, 0x22A, 0x0E2, 0x0CD, 0x0B7, 0x0B6, 0x0B5,
};

std::array<std::optional<KeyIndex>, 256> BuildVkKeyTable() {
    std::array<std::optional<KeyIndex>, 256> vkTable{};
    // The lowest-indexed entry carrying each virtual key. VK 0 (unused entries) and 0xFF
    // ("no virtual key") name no key.
    for (int i = kKeyTableSize - 1; i >= 0; --i) {
        const std::uint8_t vk = kKeyTable[static_cast<std::size_t>(i)].vk;
        if (vk != 0 && vk != kNoVk) vkTable[vk] = static_cast<KeyIndex>(i);
    }
    // The generic Shift, Ctrl and Alt virtual keys name the left keys.
    vkTable[0x10] = KeyIndexOf(0x02A);
    vkTable[0x11] = KeyIndexOf(0x01D);
    vkTable[0x12] = KeyIndexOf(0x038);
    vkTable[0x2C] = KeyIndexOf(0x137);  // Print Screen, not SysRq
    vkTable[0x8B] = KeyIndexOf(0x152);
    vkTable[0x8C] = KeyIndexOf(0x153);
    vkTable[0x9C] = KeyIndexOf(0x154);
    vkTable[0x9D] = KeyIndexOf(0x155);
    // The mouse and function entries carry these values only as markers.
    for (const int vk : {0x01, 0x02, 0x04, 0x88, 0x89, 0x8A, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9E, 0x9F}) {
        vkTable[static_cast<std::size_t>(vk)] = std::nullopt;
    }
    return vkTable;
}

// Built on first use rather than at compile time: clang 14 cannot evaluate the copy of an
// array of optionals in a constant expression.
const std::array<std::optional<KeyIndex>, 256>& BuiltVkKeyTable() {
    static const std::array<std::optional<KeyIndex>, 256> table = BuildVkKeyTable();
    return table;
}

constexpr std::array<KeyCode, 18> kMediaCaptureExclusions = {
    0x120, 0x130, 0x12E, 0x124, 0x122, 0x119, 0x110, 0x16D, 0x132,
    0x167, 0x168, 0x16A, 0x169, 0x166, 0x165, 0x16B, 0x121, 0x16C,
};

std::string EntryName(const KeyEntry& e) {
    if (e.nameId) return text::LanguageText(*e.nameId);
    return std::string(e.fixedName);
}

}  // namespace

const std::array<KeyEntry, kKeyTableSize>& KeyTable() { return kKeyTable; }

const KeyEntry& KeyEntryOf(KeyCode code) { return kKeyTable[KeyIndexOf(code)]; }

std::string KeyNameOf(KeyCode code) {
    std::string name = EntryName(KeyEntryOf(code));
    if (name.empty()) {
        return text::FormatNumber(text::LanguageText(TextId::UNKNOWN_KEY), code,
                                  text::IniFile::kMaxResultUnits);
    }
    return text::CutToUtf16Units(name, text::IniFile::kMaxResultUnits);
}

const std::array<std::uint16_t, 32>& ConsumerUsageTable() { return kConsumerUsages; }

Usage UsageOfDeviceByte(std::uint8_t b) {
    if (b == 0x00 || b == 0xFF) return {};
    if (b >= 0x81 && b <= 0x83) return {kPageGenericDesktop, b};
    if (b >= 0xC0 && b <= 0xDF) {
        return {kPageConsumer, kConsumerUsages[static_cast<std::size_t>(b - 0xC0)]};
    }
    return {kPageKeyboard, b};
}

Usage DecodeDeviceKeyByte(KeyCode code) { return UsageOfDeviceByte(KeyEntryOf(code).deviceKeyByte); }

KeyCode CodeOfUsage(std::uint16_t page, std::uint16_t usage) {
    std::uint8_t device = 0;
    if (page == kPageKeyboard) {
        // A Keyboard-page usage above 0xFF has no device byte.
        if (usage > 0xFF) return kNoKey;
        device = static_cast<std::uint8_t>(usage);
    } else if (page == kPageGenericDesktop) {
        device = (usage >= 0x81 && usage <= 0x83) ? static_cast<std::uint8_t>(usage) : 0;
    } else if (page == kPageConsumer) {
        if (usage == 0) return kNoKey;
        const auto it = std::find(kConsumerUsages.begin(), kConsumerUsages.end(), usage);
        if (it == kConsumerUsages.end()) return kNoKey;
        device = static_cast<std::uint8_t>(0xC0 + (it - kConsumerUsages.begin()));
    }
    if (device == 0) return kNoKey;
    // Keyboard-page usages 0x81..0x83 and 0xC0..0xDF share their device bytes with the other
    // pages' keys; such a usage is none of ours, not the other page's key.
    if (UsageOfDeviceByte(device) != Usage{page, usage}) return kNoKey;
    for (int i = 0; i < kKeyTableSize; ++i) {
        if (kKeyTable[static_cast<std::size_t>(i)].deviceKeyByte == device)
            return KeyCodeOf(static_cast<KeyIndex>(i));
    }
    return kNoKey;
}

std::uint8_t ModifierBitOf(KeyCode code) {
    for (const ModifierKey& m : kModifierKeys) {
        if (m.code == code) return m.bit;
    }
    return 0;
}

KeyCode CodeOfModifierBits(std::uint8_t bits) {
    for (const ModifierKey& m : kModifierKeys) {
        if (bits & m.bit) return m.code;
    }
    return kNoKey;
}

KeyCode CodeOfListPosition(int listPosition) {
    if (listPosition < 0 || listPosition >= static_cast<int>(kNoListPosition)) return kNoKey;
    for (int i = 0; i < kKeyTableSize; ++i) {
        if (kKeyTable[static_cast<std::size_t>(i)].listPosition == listPosition) {
            return KeyCodeOf(static_cast<KeyIndex>(i));
        }
    }
    return kNoKey;
}

std::optional<int> ListPositionOf(KeyCode code) {
    const std::uint16_t p = KeyEntryOf(code).listPosition;
    if (p == kNoListPosition) return std::nullopt;
    return p;
}

std::string NameOfListPosition(int listPosition) {
    const KeyCode code = CodeOfListPosition(listPosition);
    if (code == kNoKey) return {};
    return text::CutToUtf16Units(EntryName(KeyEntryOf(code)), text::IniFile::kMaxResultUnits);
}

const std::array<std::optional<KeyIndex>, 256>& VkKeyTable() { return BuiltVkKeyTable(); }

KeyCode CodeOfVk(std::uint8_t vk) {
    const auto& index = BuiltVkKeyTable()[vk];
    return index ? KeyCodeOf(*index) : kNoKey;
}

KeyCode ResolveKeyEvent(std::uint32_t vk, std::uint32_t flags) {
    const KeyCode fallback = vk <= 0xFF ? CodeOfVk(static_cast<std::uint8_t>(vk)) : kNoKey;
    const auto candidate = static_cast<KeyCode>((flags >> 16) & 0x1FF);
    if (candidate == 0x036) return candidate;  // right Shift, whatever the virtual key says
    if (vk == 0xFF) return candidate;
    if ((candidate & 0xFF) == 0) return fallback;
    const KeyEntry& entry = KeyEntryOf(candidate);
    if (entry.vk == vk || entry.vkNumLockOff == vk) return candidate;
    if (vk <= 0xFF) {
        const auto& index = BuiltVkKeyTable()[vk];
        if (index && *index == (candidate & 0xFF)) return candidate;
    }
    return fallback;
}

const std::array<KeyCode, 18>& MediaCaptureExclusions() { return kMediaCaptureExclusions; }

bool IsMediaCaptureExcluded(KeyCode code) {
    return std::find(kMediaCaptureExclusions.begin(), kMediaCaptureExclusions.end(), code) !=
           kMediaCaptureExclusions.end();
}

KeyCode CodeOfEntry(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
    const auto wide = static_cast<std::uint16_t>(b1 | (b2 << 8));
    switch (b0) {
        case 0x02:
            return b1 == 0x02 ? CodeOfUsage(kPageKeyboard, b2) : CodeOfModifierBits(b2);
        case 0x03:
            return CodeOfUsage(kPageConsumer, wide);
        case 0x04:
            return CodeOfUsage(kPageGenericDesktop, wide);
        default:
            return kNoKey;
    }
}

KeyCode CodeOfEntry(std::span<const std::uint8_t> block, std::size_t i) {
    if (i >= block.size() / 3) return kNoKey;
    return CodeOfEntry(block[3 * i], block[3 * i + 1], block[3 * i + 2]);
}

}  // namespace talvenix::keys

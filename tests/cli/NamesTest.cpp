// The CLI's language-independent names: every code and slot has exactly one name that reads back.
#include <gtest/gtest.h>

#include "cli/Names.h"

namespace talvenix::cli {
namespace {

TEST(NamesTest, EveryKeyCodeNameReadsBackToItsCode) {
    for (std::uint32_t code = 0; code <= 0xFFFF; ++code) {
        const std::string name = KeyCodeName(static_cast<std::uint16_t>(code));
        const auto back = KeyCodeOfName(name);
        ASSERT_TRUE(back.has_value()) << name;
        EXPECT_EQ(*back, code) << name;
    }
}

TEST(NamesTest, KnownNames) {
    EXPECT_EQ(KeyCodeName(0x01E), "A");
    EXPECT_EQ(KeyCodeName(0x036), "RSHIFT");
    EXPECT_EQ(KeyCodeName(0x136), "0x136");  // shares its name with 0x036
    EXPECT_EQ(KeyCodeName(0x064), "F13");
    EXPECT_EQ(KeyCodeName(0x055), "0x055");
    EXPECT_EQ(KeyCodeOfName("lctrl"), 0x01D);
    EXPECT_EQ(KeyCodeOfName("media_mute_8"), 0x120);
    EXPECT_FALSE(KeyCodeOfName("KEYBOARD_A").has_value());
    EXPECT_FALSE(KeyCodeOfName("").has_value());
}

TEST(NamesTest, EverySlotNameReadsBackToItsSlot) {
    for (int slot = 0; slot < 512; ++slot) {
        const std::string name = SlotName(slot);
        EXPECT_EQ(SlotOfName(name), slot) << name;
    }
    EXPECT_EQ(SlotName(256), "G1A");
    EXPECT_EQ(SlotName(273), "G9B");
    EXPECT_EQ(SlotName(0xDB), "LWIN");               // code 0x15B
    EXPECT_FALSE(SlotOfName("slot12").has_value());  // a key slot has its key's name
    EXPECT_FALSE(SlotOfName("G0A").has_value());
    EXPECT_FALSE(SlotOfName("0x180").has_value());
}

TEST(NamesTest, WordsReadBack) {
    for (std::uint16_t k = 0; k < 9; ++k) EXPECT_EQ(KindOfWord(KindWord(k)), k);
    for (int m = 0; m < 18; ++m) EXPECT_EQ(MediaOfWord(MediaWord(m)), m);
    for (int f = 0; f < 16; ++f) EXPECT_EQ(FunctionOfWord(FunctionWord(f)), f);
    for (std::uint16_t p = 0; p < 3; ++p) EXPECT_EQ(PlayModeOfWord(PlayModeWord(p)), p);
    EXPECT_EQ(KindWord(9), "");
    EXPECT_EQ(MediaWord(18), "");
    EXPECT_FALSE(MediaOfWord("louder").has_value());
}

TEST(NamesTest, NumbersParseStrictly) {
    EXPECT_EQ(ParseNumber("0x1F"), 0x1Fu);
    EXPECT_EQ(ParseNumber("42"), 42u);
    EXPECT_FALSE(ParseNumber("4x2").has_value());
    EXPECT_FALSE(ParseNumber("0x").has_value());
    EXPECT_FALSE(ParseNumber("99999999999").has_value());
}

}  // namespace
}  // namespace talvenix::cli

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "KeyTableReference.h"
#include "core/keys/KeyTable.h"
#include "core/text/LanguageTable.h"
#include "core/text/Utf.h"

namespace talvenix::keys {
namespace {

struct RefRow {
    std::string name;
    int device;
    int listPosition;  // -1 none
    int vk;            // -1 none
    int vkOff;
};

std::map<int, RefRow> Reference() {
    std::map<int, RefRow> rows;
    std::istringstream in(kKeyTableReference);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        std::istringstream f(line);
        std::string code, name, dev, lp, vk, off;
        f >> code >> name >> dev >> lp >> vk >> off;
        RefRow r;
        r.name = name == "\"F13\"" ? "F13" : name;
        r.device = std::stoi(dev, nullptr, 16);
        r.listPosition = lp == "-" ? -1 : std::stoi(lp);
        r.vk = vk == "-" ? -1 : std::stoi(vk, nullptr, 16);
        r.vkOff = off.empty() ? r.vk : std::stoi(off, nullptr, 16);
        rows[std::stoi(code, nullptr, 16)] = r;
    }
    return rows;
}

class KeyTableTest : public ::testing::Test {
protected:
    void TearDown() override { text::SetCurrentLanguageTable(text::LanguageTable()); }
};

TEST_F(KeyTableTest, EveryEntryMatchesTheReferenceTable) {
    const auto ref = Reference();
    ASSERT_EQ(ref.size(), 155u);
    for (int index = 0; index < 256; ++index) {
        const KeyCode code = KeyCodeOf(static_cast<KeyIndex>(index));
        const KeyEntry& e = KeyTable()[static_cast<std::size_t>(index)];
        SCOPED_TRACE(::testing::Message() << "code 0x" << std::hex << code);
        const auto it = ref.find(code);
        if (it == ref.end()) {
            EXPECT_FALSE(e.HasName());
            EXPECT_EQ(e.listPosition, kNoListPosition);
            EXPECT_EQ(e.vk, 0);
            EXPECT_EQ(e.vkNumLockOff, 0);
            EXPECT_EQ(e.deviceKeyByte, 0);
            continue;
        }
        const RefRow& r = it->second;
        const std::string name =
            e.nameId ? std::string(text::TextIdName(*e.nameId)) : std::string(e.fixedName);
        EXPECT_EQ(name, r.name);
        EXPECT_EQ(e.deviceKeyByte, r.device);
        EXPECT_EQ(ListPositionOf(code),
                  r.listPosition < 0 ? std::nullopt : std::optional<int>(r.listPosition));
        EXPECT_EQ(e.vk, r.vk < 0 ? kNoVk : r.vk);
        EXPECT_EQ(e.vkNumLockOff, r.vkOff < 0 ? kNoVk : r.vkOff);
    }
}

TEST_F(KeyTableTest, IndexAndCodeConvertBothWays) {
    for (int i = 0; i < 256; ++i) EXPECT_EQ(KeyIndexOf(KeyCodeOf(static_cast<KeyIndex>(i))), i);
    EXPECT_EQ(KeyIndexOf(0x15B), 0xDB);
    EXPECT_EQ(KeyCodeOf(0xDB), 0x15B);
    EXPECT_EQ(KeyIndexOf(0x07F), 0x7F);
    EXPECT_EQ(KeyIndexOf(0x180), 0x00);  // out of range codes wrap
    EXPECT_EQ(KeyIndexOf(0x1FF), 0x7F);
}

TEST_F(KeyTableTest, NamesComeFromTheCurrentLanguage) {
    EXPECT_EQ(KeyNameOf(0x01E), "KEYBOARD_A");
    EXPECT_EQ(KeyNameOf(0x064), "F13");
    EXPECT_EQ(KeyNameOf(0x136), "KEYBOARD_RSHIFT");
    text::LanguageTable t;
    t.SetText(text::TextId::KEYBOARD_A, "A键");
    text::SetCurrentLanguageTable(t);
    EXPECT_EQ(KeyNameOf(0x01E), "A键");
}

TEST_F(KeyTableTest, UnnamedOrEmptyNamesGiveTheUnknownKeyText) {
    EXPECT_EQ(KeyNameOf(0x055), "Unknown Key: 055");
    EXPECT_EQ(KeyNameOf(0x180), "Unknown Key: 180");
    EXPECT_EQ(KeyNameOf(0x000), "Unknown Key: 000");
    text::LanguageTable t;
    t.SetText(text::TextId::KEYBOARD_ESC, "");
    t.SetText(text::TextId::UNKNOWN_KEY, "?%s%n%04X");  // an edited format must not reach printf
    text::SetCurrentLanguageTable(t);
    EXPECT_EQ(KeyNameOf(0x001), "?%s%n0001");
}

TEST_F(KeyTableTest, LongNamesAreCutTo259Units) {
    std::string longName;
    for (int i = 0; i < 500; ++i) longName += "長";
    text::LanguageTable t;
    t.SetText(text::TextId::KEYBOARD_Q, longName);
    t.SetText(text::TextId::UNKNOWN_KEY, longName + "%03x");
    text::SetCurrentLanguageTable(t);
    EXPECT_EQ(text::Utf16Length(KeyNameOf(0x010)), 259u);
    EXPECT_EQ(text::Utf16Length(KeyNameOf(0x055)), 259u);
    EXPECT_EQ(text::Utf16Length(NameOfListPosition(16)), 259u);
}

TEST_F(KeyTableTest, DeviceBytesDecodeToUsages) {
    EXPECT_EQ(DecodeDeviceKeyByte(0x01E), (Usage{0x07, 0x04}));
    EXPECT_EQ(DecodeDeviceKeyByte(0x15E), (Usage{0x01, 0x81}));
    EXPECT_EQ(DecodeDeviceKeyByte(0x163), (Usage{0x01, 0x83}));
    EXPECT_EQ(DecodeDeviceKeyByte(0x130), (Usage{0x0C, 0x0E9}));
    EXPECT_EQ(DecodeDeviceKeyByte(0x16D), (Usage{0x0C, 0x183}));
    EXPECT_EQ(DecodeDeviceKeyByte(0x054), (Usage{}));
    EXPECT_EQ(DecodeDeviceKeyByte(0x055), (Usage{}));
    EXPECT_EQ(UsageOfDeviceByte(0xFF), (Usage{}));
    EXPECT_EQ(UsageOfDeviceByte(0xD2), (Usage{0x0C, 0}));  // consumer slot 18 is empty
    EXPECT_EQ(UsageOfDeviceByte(0xC0 + 17), (Usage{0x0C, 0x0B5}));
    EXPECT_EQ(UsageOfDeviceByte(0x84), (Usage{0x07, 0x84}));
}

TEST_F(KeyTableTest, UsagesFindTheLowestIndexedKey) {
    EXPECT_EQ(CodeOfUsage(0x0C, 0x0CD), 0x122);
    EXPECT_EQ(CodeOfUsage(0x0C, 0x0B0), 0);
    EXPECT_EQ(CodeOfUsage(0x0C, 0x000), 0);  // empty consumer slots match nothing
    EXPECT_EQ(CodeOfUsage(0x01, 0x80), 0);
    EXPECT_EQ(CodeOfUsage(0x01, 0x82), 0x15F);
    EXPECT_EQ(CodeOfUsage(0x07, 0xE5), 0x036);
    EXPECT_EQ(CodeOfUsage(0x07, 0x48), 0x045);
    EXPECT_EQ(CodeOfUsage(0x07, 0x04), 0x01E);
    EXPECT_EQ(CodeOfUsage(0x07, 0x58), 0x11C);
    EXPECT_EQ(CodeOfUsage(0x07, 0x00), 0);
    EXPECT_EQ(CodeOfUsage(0x07, 0x104), 0);
    // Keyboard usages on the other pages' device bytes are no key of ours.
    EXPECT_EQ(CodeOfUsage(0x07, 0x82), 0);
    EXPECT_EQ(CodeOfUsage(0x07, 0xCD), 0);
    EXPECT_EQ(CodeOfUsage(0x07, 0xD2), 0);
    EXPECT_EQ(CodeOfUsage(0x09, 0x01), 0);
}

TEST_F(KeyTableTest, ModifierBitsLowestWins) {
    EXPECT_EQ(CodeOfModifierBits(0x22), 0x02A);
    EXPECT_EQ(CodeOfModifierBits(0x00), 0);
    EXPECT_EQ(CodeOfModifierBits(0x80), 0x15C);
    EXPECT_EQ(CodeOfModifierBits(0x40), 0x138);
    EXPECT_EQ(CodeOfModifierBits(0xF0), 0x11D);
    EXPECT_EQ(ModifierBitOf(0x036), 0x20);
    EXPECT_EQ(ModifierBitOf(0x136), 0);
    EXPECT_EQ(ModifierBitOf(0x01E), 0);
    for (const ModifierKey& m : kModifierKeys) EXPECT_EQ(CodeOfModifierBits(m.bit), m.code);
}

TEST_F(KeyTableTest, ListPositions) {
    EXPECT_EQ(CodeOfListPosition(103), 0x036);
    EXPECT_EQ(CodeOfListPosition(0), 0x01E);
    EXPECT_EQ(CodeOfListPosition(66), 0x146);
    EXPECT_EQ(CodeOfListPosition(106), 0);
    EXPECT_EQ(CodeOfListPosition(-1), 0);
    EXPECT_EQ(NameOfListPosition(105), "KEYBOARD_RWIN");
    EXPECT_EQ(NameOfListPosition(200), "");
    EXPECT_FALSE(ListPositionOf(0x054).has_value());
    // Every position 0..105 names exactly the key whose position it is.
    for (int p = 0; p < kListPositionCount; ++p) {
        const KeyCode c = CodeOfListPosition(p);
        ASSERT_NE(c, 0) << p;
        EXPECT_EQ(ListPositionOf(c), p);
    }
}

TEST_F(KeyTableTest, VirtualKeysNameTheLowestEntryWithExceptions) {
    EXPECT_EQ(CodeOfVk(0x10), 0x02A);
    EXPECT_EQ(CodeOfVk(0x11), 0x01D);
    EXPECT_EQ(CodeOfVk(0x12), 0x038);
    EXPECT_EQ(CodeOfVk(0x2C), 0x137);
    EXPECT_EQ(CodeOfVk(0x8B), 0x152);
    EXPECT_EQ(CodeOfVk(0x8C), 0x153);
    EXPECT_EQ(CodeOfVk(0x9C), 0x154);
    EXPECT_EQ(CodeOfVk(0x9D), 0x155);
    for (int vk : {0x01, 0x02, 0x04, 0x88, 0x89, 0x8A, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9E, 0x9F}) {
        EXPECT_EQ(CodeOfVk(static_cast<std::uint8_t>(vk)), 0) << vk;
    }
    EXPECT_EQ(CodeOfVk(0x0D), 0x01C);  // Enter before keypad Enter
    EXPECT_EQ(CodeOfVk(0xA1), 0x036);
    EXPECT_EQ(CodeOfVk(0x24), 0x147);  // only the Num-Lock-on column counts
    EXPECT_EQ(CodeOfVk(0x67), 0x047);
    EXPECT_EQ(CodeOfVk(0x5F), 0x15F);
    EXPECT_EQ(CodeOfVk(0x07), 0);
    // Without the exceptions, each VK names the lowest entry of the reference that carries it.
    const auto ref = Reference();
    const std::set<int> exceptions = {0x10, 0x11, 0x12, 0x2C, 0x8B, 0x8C, 0x9C, 0x9D, 0x01, 0x02, 0x04,
                                      0x88, 0x89, 0x8A, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9E, 0x9F};
    for (int vk = 1; vk < 0xFF; ++vk) {
        if (exceptions.count(vk)) continue;
        int expectedIndex = -1;
        for (const auto& [code, row] : ref) {
            const int index = KeyIndexOf(static_cast<KeyCode>(code));
            if (row.vk == vk && (expectedIndex < 0 || index < expectedIndex)) expectedIndex = index;
        }
        const KeyCode expected = expectedIndex < 0 ? 0 : KeyCodeOf(static_cast<KeyIndex>(expectedIndex));
        EXPECT_EQ(CodeOfVk(static_cast<std::uint8_t>(vk)), expected) << "vk " << vk;
    }
}

TEST_F(KeyTableTest, MediaCaptureExclusions) {
    EXPECT_EQ(MediaCaptureExclusions().size(), 18u);
    for (KeyCode c : {0x120, 0x130, 0x12E, 0x124, 0x122, 0x119, 0x110, 0x16D, 0x132, 0x167, 0x168, 0x16A,
                      0x169, 0x166, 0x165, 0x16B, 0x121, 0x16C}) {
        EXPECT_TRUE(IsMediaCaptureExcluded(c)) << c;
    }
    EXPECT_FALSE(IsMediaCaptureExcluded(0x15F));
    EXPECT_FALSE(IsMediaCaptureExcluded(0x01E));
}

TEST_F(KeyTableTest, KeyBlockEntriesNameTheirKeys) {
    EXPECT_EQ(CodeOfEntry(0x02, 0x02, 0x04), 0x01E);
    EXPECT_EQ(CodeOfEntry(0x02, 0x01, 0x40), 0x138);
    EXPECT_EQ(CodeOfEntry(0x02, 0x07, 0x01), 0x01D);  // any byte 1 but 02 reads modifier bits
    EXPECT_EQ(CodeOfEntry(0x03, 0xE9, 0x00), 0x130);
    EXPECT_EQ(CodeOfEntry(0x03, 0x83, 0x01), 0x16D);
    EXPECT_EQ(CodeOfEntry(0x04, 0x82, 0x00), 0x15F);
    EXPECT_EQ(CodeOfEntry(0x05, 0x01, 0x00), 0);
    EXPECT_EQ(CodeOfEntry(0x00, 0x00, 0x00), 0);
    const std::uint8_t block[] = {0x02, 0x02, 0x04, 0x02, 0x02};
    EXPECT_EQ(CodeOfEntry(block, 0), 0x01E);
    EXPECT_EQ(CodeOfEntry(block, 1), 0);  // incomplete entry: never read past the end
}

}  // namespace
}  // namespace talvenix::keys

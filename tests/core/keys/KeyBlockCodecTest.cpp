#include <gtest/gtest.h>

#include <map>

#include "core/keys/KeyBlockCodec.h"
#include "core/keys/KeyButtons.h"
#include "core/keys/MediaCatalogue.h"
#include "core/text/LanguageTable.h"

namespace talvenix::keys {
namespace {

using Entry = std::array<std::uint8_t, 3>;

// A factory layout as the keyboard has it: position = the key's lighting slot, each key in its
// key-block form; Fn, G keys and empty cells are 00 00 00.
device::KeyBlock RealisticLayout() {
    device::KeyBlock layout{};
    for (const KeyButton& b : kKeyButtons) {
        const auto at = static_cast<std::size_t>(3 * b.lightingSlot);
        if (const std::uint8_t bit = ModifierBitOf(b.code)) {
            layout[at] = 0x02, layout[at + 1] = 0x01, layout[at + 2] = bit;
        } else {
            layout[at] = 0x02, layout[at + 1] = 0x02, layout[at + 2] = KeyEntryOf(b.code).deviceKeyByte;
        }
    }
    return layout;
}

Entry EntryOfKey(const device::KeyBlock& block, KeyCode code) {
    const auto b = kKeyButtons[static_cast<std::size_t>(*KeyButtonOfCode(code))];
    const auto at = static_cast<std::size_t>(3 * b.lightingSlot);
    return {block[at], block[at + 1], block[at + 2]};
}

KeyAssignment Assign(AssignmentKind kind, std::uint32_t value, std::uint16_t tag = 0) {
    KeyAssignment r;
    r.kind = static_cast<std::uint16_t>(kind);
    r.tag = tag;
    r.value = value;
    return r;
}

std::uint8_t PositionIsIdMinusOne(std::uint16_t id) {
    return id == 0 ? 0 : static_cast<std::uint8_t>(id - 1);
}

class KeyBlockCodecTest : public ::testing::Test {
protected:
    device::KeyBlock Encode(const AssignmentBlock& b) const {
        return EncodeKeyBlock(b, layout, PositionIsIdMinusOne);
    }
    AssignmentBlock Decode(const device::KeyBlock& read) const { return *DecodeKeyBlock(read, layout); }
    Entry EncodeOne(KeyCode key, KeyAssignment r) const {
        AssignmentBlock b = DefaultAssignmentBlock(0);
        b[KeyIndexOf(key)] = r;
        return EntryOfKey(Encode(b), key);
    }
    device::KeyBlock layout = RealisticLayout();
};

TEST_F(KeyBlockCodecTest, DefaultTableCarriesTheGKeyNumbers) {
    const auto b0 = DefaultAssignmentBlock(0);
    EXPECT_EQ(b0[256].tag, 0x0301);
    EXPECT_EQ(b0[264].tag, 0x0309);
    EXPECT_EQ(b0[265].tag, 0x1301);
    EXPECT_EQ(b0[273].tag, 0x1309);
    EXPECT_EQ(b0[274], KeyAssignment{});
    EXPECT_EQ(b0[0x1E], KeyAssignment{});
    for (int s = 256; s < 274; ++s) EXPECT_EQ(b0[static_cast<std::size_t>(s)].kind, 0);
    for (int block = 1; block < 4; ++block) {
        for (const KeyAssignment& r : DefaultAssignmentBlock(block)) EXPECT_EQ(r, KeyAssignment{});
    }
}

TEST_F(KeyBlockCodecTest, UnassignedKeysEncodeToTheDefaultLayout) {
    EXPECT_EQ(Encode(DefaultAssignmentBlock(0)), layout);
    EXPECT_EQ(Encode(DefaultAssignmentBlock(2)), layout);
}

TEST_F(KeyBlockCodecTest, EachKindEncodesToItsEntryForm) {
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::Key, 0x138)), (Entry{0x02, 0x01, 0x40}));
    EXPECT_EQ(EncodeOne(0x030, Assign(AssignmentKind::Key, 0x01E)), (Entry{0x02, 0x02, 0x04}));
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::Media, 0)), (Entry{0x03, 0x83, 0x01}));
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::Media, 13)), (Entry{0x03, 0x2A, 0x02}));
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::Function, 10)), (Entry{0x05, 0x05, 0x0A}));
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::Function, 0x10A)), (Entry{0x05, 0x05, 0x0A}));
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::Macro, 3, 5)), (Entry{0x05, 0x01, 0x02}));
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::StopMacro, 0)), (Entry{0x05, 0x02, 0x00}));
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::Disabled, 0)), (Entry{0x00, 0x00, 0x00}));
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::Text, 40)), (Entry{0x00, 0x00, 0x00}));
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::Launch, 40)), (Entry{0x02, 0x02, 0x04}));
    EXPECT_EQ(EncodeOne(0x01D, Assign(AssignmentKind::Launch, 0)), (Entry{0x02, 0x01, 0x01}));
}

TEST_F(KeyBlockCodecTest, TargetsWithoutAKeyboardUsageEncodeAsNoKey) {
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::Key, 0x171)), (Entry{0x02, 0x02, 0x00}));  // mouse
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::Key, 0x130)), (Entry{0x02, 0x02, 0x00}));  // media
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::Key, 0x15F)), (Entry{0x02, 0x02, 0x00}));  // sleep
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::Key, 0x055)), (Entry{0x02, 0x02, 0x00}));  // empty
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::Key, 0x1001E)), (Entry{0x02, 0x02, 0x00}));
}

TEST_F(KeyBlockCodecTest, UnknownMacroIdsAndMissingLookupGivePositionZero) {
    AssignmentBlock b = DefaultAssignmentBlock(0);
    b[KeyIndexOf(0x01E)] = Assign(AssignmentKind::Macro, 77);
    const auto unknownIsZero = [](std::uint16_t id) -> std::uint8_t { return id == 1 ? 4 : 0; };
    EXPECT_EQ(EntryOfKey(EncodeKeyBlock(b, layout, unknownIsZero), 0x01E), (Entry{0x05, 0x01, 0x00}));
    EXPECT_EQ(EntryOfKey(EncodeKeyBlock(b, layout, {}), 0x01E), (Entry{0x05, 0x01, 0x00}));
    // Only the low half of the value is the macro id.
    b[KeyIndexOf(0x01E)] = Assign(AssignmentKind::Macro, 0x10001);
    EXPECT_EQ(EntryOfKey(EncodeKeyBlock(b, layout, unknownIsZero), 0x01E), (Entry{0x05, 0x01, 0x04}));
}

TEST_F(KeyBlockCodecTest, ValuesThatNameNothingKeepTheDefaultEntry) {
    EXPECT_EQ(EncodeOne(0x01E, Assign(AssignmentKind::Media, 18)), (Entry{0x02, 0x02, 0x04}));
    EXPECT_EQ(EncodeOne(0x01E, Assign(static_cast<AssignmentKind>(9), 1)), (Entry{0x02, 0x02, 0x04}));
}

TEST_F(KeyBlockCodecTest, GKeysAndCellsWithoutAKeyNeverChange) {
    AssignmentBlock b = DefaultAssignmentBlock(0);
    for (int s = 256; s < 512; ++s) b[static_cast<std::size_t>(s)] = Assign(AssignmentKind::Disabled, 0);
    b[0] = Assign(AssignmentKind::Disabled, 0);
    EXPECT_EQ(Encode(b), layout);
}

TEST_F(KeyBlockCodecTest, EncodingIgnoresTheBookkeepingBytes) {
    AssignmentBlock b = DefaultAssignmentBlock(0);
    b[KeyIndexOf(0x01E)].extra = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(Encode(b), layout);
}

TEST_F(KeyBlockCodecTest, EveryTargetKeyRoundTrips) {
    for (int p = 0; p < kListPositionCount; ++p) {
        const KeyCode target = CodeOfListPosition(p);
        if (target == 0x039) continue;  // a key set to itself is its default entry
        AssignmentBlock b = DefaultAssignmentBlock(0);
        b[KeyIndexOf(0x039)] = Assign(AssignmentKind::Key, target);
        const auto decoded = Decode(Encode(b))[KeyIndexOf(0x039)];
        // Break shares the keyboard's usage with Pause, which is the lower entry.
        const KeyCode expected = target == 0x146 ? 0x045 : target;
        EXPECT_EQ(decoded.Kind(), AssignmentKind::Key) << p;
        EXPECT_EQ(decoded.value, expected) << p;
    }
}

TEST_F(KeyBlockCodecTest, AWholeProfileOfMixedAssignmentsRoundTrips) {
    AssignmentBlock b = DefaultAssignmentBlock(0);
    std::map<int, KeyAssignment> expected;
    for (int i = 0; i < kKeyButtonCount; ++i) {
        const int slot = KeyIndexOf(kKeyButtons[static_cast<std::size_t>(i)].code);
        KeyAssignment r;
        KeyAssignment want;
        switch (i % 9) {
            case 0:
                r = want = Assign(AssignmentKind::Default, 0);
                break;
            case 1:
                r = want = Assign(AssignmentKind::Disabled, 0);
                break;
            case 2: {
                const KeyCode target = CodeOfListPosition((i * 7) % 66);
                r = Assign(AssignmentKind::Key, target);
                // A key set to itself reads back as unassigned: its entry is the default one.
                want = target == kKeyButtons[static_cast<std::size_t>(i)].code
                           ? Assign(AssignmentKind::Default, 0)
                           : r;
                break;
            }
            case 3:
                r = want = Assign(AssignmentKind::Key, kModifierKeys[static_cast<std::size_t>(i % 8)].code);
                break;
            case 4:
                r = want = Assign(AssignmentKind::Macro, static_cast<std::uint32_t>(1 + i));
                break;
            case 5:
                r = want = Assign(AssignmentKind::StopMacro, 0);
                break;
            case 6:
                r = want = Assign(AssignmentKind::Media, static_cast<std::uint32_t>(i % kMediaCount));
                break;
            case 7:
                r = want = Assign(AssignmentKind::Function, static_cast<std::uint32_t>(i % kFunctionCount));
                break;
            case 8:
                r = Assign(i % 2 ? AssignmentKind::Launch : AssignmentKind::Text, 12);
                want = Assign(i % 2 ? AssignmentKind::Default : AssignmentKind::Disabled, 0);
                break;
        }
        b[static_cast<std::size_t>(slot)] = r;
        expected[slot] = want;
    }
    const auto decoded = Decode(Encode(b));
    for (const auto& [slot, want] : expected) {
        EXPECT_EQ(decoded[static_cast<std::size_t>(slot)].kind, want.kind) << "slot " << slot;
        EXPECT_EQ(decoded[static_cast<std::size_t>(slot)].value, want.value) << "slot " << slot;
    }
    for (int s = 256; s < 274; ++s) EXPECT_EQ(decoded[static_cast<std::size_t>(s)].tag, GKeyNumber(s));
}

TEST_F(KeyBlockCodecTest, DecodingReadBackEntries) {
    const auto readWith = [&](KeyCode key, Entry e) {
        device::KeyBlock read = layout;
        const auto at = static_cast<std::size_t>(
            3 * kKeyButtons[static_cast<std::size_t>(*KeyButtonOfCode(key))].lightingSlot);
        read[at] = e[0], read[at + 1] = e[1], read[at + 2] = e[2];
        return Decode(read)[KeyIndexOf(key)];
    };
    EXPECT_EQ(readWith(0x01E, {0x05, 0x01, 0x00}), Assign(AssignmentKind::Macro, 1));
    EXPECT_EQ(readWith(0x01E, {0x05, 0x01, 0xFF}), Assign(AssignmentKind::Macro, 256));
    EXPECT_EQ(readWith(0x01E, {0x05, 0x02, 0x33}), Assign(AssignmentKind::StopMacro, 0));
    EXPECT_EQ(readWith(0x01E, {0x05, 0x05, 0x0C}), Assign(AssignmentKind::Function, 12));
    EXPECT_EQ(readWith(0x01E, {0x04, 0x82, 0x00}), Assign(AssignmentKind::Disabled, 0));  // sleep
    EXPECT_EQ(readWith(0x01E, {0x03, 0xB0, 0x00}), Assign(AssignmentKind::Disabled, 0));  // not a media usage
    EXPECT_EQ(readWith(0x01E, {0x03, 0xE9, 0x00}), Assign(AssignmentKind::Media, 6));
    EXPECT_EQ(readWith(0x01E, {0x02, 0x02, 0x03}), Assign(AssignmentKind::Disabled, 0));  // usage of no key
    EXPECT_EQ(readWith(0x01E, {0x02, 0x01, 0x00}), Assign(AssignmentKind::Key, 0));
    EXPECT_EQ(readWith(0x01E, {0x02, 0x01, 0x22}), Assign(AssignmentKind::Key, 0x02A));
    EXPECT_EQ(readWith(0x01E, {0x00, 0x00, 0x00}), Assign(AssignmentKind::Disabled, 0));
    EXPECT_EQ(readWith(0x01E, {0x07, 0x01, 0x02}), Assign(AssignmentKind::Disabled, 0));
    EXPECT_EQ(readWith(0x01E, {0x02, 0x02, 0x04}), Assign(AssignmentKind::Default, 0));  // same as default
}

TEST_F(KeyBlockCodecTest, CellsWithoutAKeyAreNotDecoded) {
    device::KeyBlock read = layout;
    const auto fn = static_cast<std::size_t>(3 * kFnLightingSlot);
    read[fn] = 0x05, read[fn + 1] = 0x01, read[fn + 2] = 0x00;
    const auto decoded = Decode(read);
    EXPECT_EQ(decoded[0], KeyAssignment{});
    EXPECT_EQ(decoded, DecodedBlockStart());
}

TEST_F(KeyBlockCodecTest, ShortBlocksAreRejectedNeverReadPastTheEnd) {
    const std::vector<std::uint8_t> full(layout.begin(), layout.end());
    const std::vector<std::uint8_t> shortBlock(full.begin(), full.end() - 1);
    EXPECT_FALSE(DecodeKeyBlock(shortBlock, full).has_value());
    EXPECT_FALSE(DecodeKeyBlock(full, shortBlock).has_value());
    EXPECT_FALSE(DecodeKeyBlock({}, {}).has_value());
    std::vector<std::uint8_t> longer = full;
    longer.resize(400, 0x05);
    EXPECT_TRUE(DecodeKeyBlock(longer, longer).has_value());
}

TEST_F(KeyBlockCodecTest, ResetClearsButtonsAndCurrentBankOnly) {
    AssignmentBlock b = DefaultAssignmentBlock(0);
    for (auto& r : b) {
        if (r.tag == 0)
            r = Assign(AssignmentKind::Disabled, 0);
        else
            r.kind = 1;
        r.extra = {9, 9, 9, 9, 0, 0, 0, 0};
    }
    ResetKeyAssignments(b, /*bankB=*/false);
    for (const KeyButton& k : kKeyButtons) EXPECT_EQ(b[KeyIndexOf(k.code)], KeyAssignment{});
    for (int s = 256; s < 265; ++s)
        EXPECT_EQ(b[static_cast<std::size_t>(s)], KeyAssignment{});  // number gone too
    for (int s = 265; s < 274; ++s) {
        EXPECT_EQ(b[static_cast<std::size_t>(s)].kind, 1);
        EXPECT_EQ(b[static_cast<std::size_t>(s)].tag, GKeyNumber(s));
    }
    EXPECT_EQ(b[KeyIndexOf(0x056)].kind, 1);  // no button shows this key
    EXPECT_EQ(b[KeyIndexOf(0x130)].kind, 1);
    EXPECT_EQ(b[KeyIndexOf(0x136)].kind, 1);

    AssignmentBlock bankB = DefaultAssignmentBlock(0);
    bankB[256].kind = 1;
    bankB[265].kind = 1;
    ResetKeyAssignments(bankB, /*bankB=*/true);
    EXPECT_EQ(bankB[256].kind, 1);
    EXPECT_EQ(bankB[265], KeyAssignment{});
}

TEST_F(KeyBlockCodecTest, StoringAnAssignmentKeepsTheBookkeepingBytes) {
    KeyAssignment record;
    record.extra = {1, 0, 0, 0, 0, 0, 0, 0};
    StoreAssignmentFields(record, Assign(AssignmentKind::Macro, 4, 3));
    EXPECT_EQ(record.kind, 4);
    EXPECT_EQ(record.tag, 3);
    EXPECT_EQ(record.value, 4u);
    EXPECT_EQ(record.extra[0], 1);
}

class AssignmentSummaryTest : public ::testing::Test {
protected:
    void TearDown() override { text::SetCurrentLanguageTable(text::LanguageTable()); }
    static std::optional<std::string> Names(std::uint16_t id) {
        if (id == 2) return std::string("Combo");
        return std::nullopt;
    }
};

TEST_F(AssignmentSummaryTest, TextByKind) {
    EXPECT_EQ(AssignmentSummaryOfKey(0x01E, Assign(AssignmentKind::Default, 0), Names), "KEYBOARD_A");
    EXPECT_EQ(AssignmentSummaryOfKey(0x01E, Assign(AssignmentKind::Disabled, 0), Names),
              "KEYBOARD_AKeys, Set: ");
    EXPECT_EQ(AssignmentSummaryOfKey(0x01E, Assign(AssignmentKind::Launch, 0), Names),
              "KEYBOARD_AKeys, Set: ");
    EXPECT_EQ(AssignmentSummaryOfKey(0x01E, Assign(AssignmentKind::StopMacro, 0), Names),
              "KEYBOARD_AKeys, Set: ");
    EXPECT_EQ(AssignmentSummaryOfKey(0x01E, Assign(AssignmentKind::Text, 0), Names), "KEYBOARD_AKeys, Set: ");
    EXPECT_EQ(AssignmentSummaryOfKey(0x01E, Assign(AssignmentKind::Key, 0x030), Names),
              "KEYBOARD_AKeys, Set: Key(KEYBOARD_B)");
    EXPECT_EQ(AssignmentSummaryOfKey(0x01E, Assign(AssignmentKind::Key, 0x055), Names),
              "KEYBOARD_AKeys, Set: Key(Unknown Key: 055)");
    EXPECT_EQ(AssignmentSummaryOfKey(0x01E, Assign(AssignmentKind::Macro, 2), Names),
              "KEYBOARD_AKeys, Set: Macro(Combo)");
    EXPECT_EQ(AssignmentSummaryOfKey(0x01E, Assign(AssignmentKind::Macro, 3), Names),
              "KEYBOARD_AKeys, Set: Macro()");
    EXPECT_EQ(AssignmentSummaryOfKey(0x01E, Assign(AssignmentKind::Macro, 2), {}),
              "KEYBOARD_AKeys, Set: Macro()");
    EXPECT_EQ(AssignmentSummaryOfKey(0x01E, Assign(AssignmentKind::Function, 12), Names),
              "KEYBOARD_AKeys, Set: Function(A2)");
    EXPECT_EQ(AssignmentSummaryOfKey(0x01E, Assign(AssignmentKind::Function, 99), Names),
              "KEYBOARD_AKeys, Set: Function()");
    EXPECT_EQ(AssignmentSummaryOfKey(0x01E, Assign(AssignmentKind::Media, 18), Names),
              "KEYBOARD_AKeys, Set: Media()");
}

TEST_F(AssignmentSummaryTest, MediaUsesTheKeyNameOfItsCode) {
    text::LanguageTable t;
    t.SetText(text::TextId::MEDIA_V_ADD_7, "Volume Up");
    t.SetText(text::TextId::KEY_PROMPT_SET, " = ");
    t.SetText(text::TextId::KEY_PROMPT_MEDIA, "M[");
    text::SetCurrentLanguageTable(t);
    EXPECT_EQ(AssignmentSummaryOfKey(0x039, Assign(AssignmentKind::Media, 6), Names),
              "KEYBOARD_SPACE = M[Volume Up)");
}

TEST_F(AssignmentSummaryTest, GButtonsUseTheirNumberNeverAKeyName) {
    EXPECT_EQ(AssignmentSummaryOfG(3, Assign(AssignmentKind::Default, 0, 0x0303), Names), "G3");
    EXPECT_EQ(AssignmentSummaryOfG(9, Assign(AssignmentKind::Key, 0x01E, 0x1309), Names),
              "G9Keys, Set: Key(KEYBOARD_A)");
    EXPECT_TRUE(ShowsAssignedFace(Assign(AssignmentKind::Disabled, 0)));
    EXPECT_FALSE(ShowsAssignedFace(Assign(AssignmentKind::Default, 0, 0x0301)));
}

}  // namespace
}  // namespace talvenix::keys

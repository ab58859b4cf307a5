// The keyboard's macro memory image: exact bytes, sizes with and without names, action
// encoding of every key kind, and decoding that never reads outside the image.
#include <gtest/gtest.h>

#include <vector>

#include "core/keys/KeyTable.h"
#include "core/macros/KeyForm.h"
#include "core/macros/MacroImage.h"

using namespace talvenix;
using namespace talvenix::macros;

namespace {

constexpr std::uint16_t kKeyA = 0x1E;        // keyboard usage 0x04
constexpr std::uint16_t kRightAlt = 0x138;   // modifier bit 0x40
constexpr std::uint16_t kPlayPause = 0x122;  // consumer usage 0x0CD

MacroRecord Macro(int id, std::u16string_view name, std::vector<MacroAction> actions, int cycles = 1) {
    MacroRecord m;
    m.id = static_cast<std::uint16_t>(id);
    m.SetName(name);
    m.cycles = static_cast<std::uint8_t>(cycles);
    m.actionCount = static_cast<std::uint16_t>(actions.size());
    for (std::size_t i = 0; i < actions.size(); ++i) m.actions[i] = actions[i];
    return m;
}

std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::array<std::uint8_t, 4> Encode(std::uint32_t delay, std::uint16_t code, std::uint16_t dir) {
    return EncodeMacroAction({delay, code, dir});
}

}  // namespace

TEST(MacroImageEncode, ZeroMacrosIsTheBareHeader) {
    const auto image = EncodeMacroImage({}, true);
    ASSERT_TRUE(image);
    EXPECT_EQ(*image, (std::vector<std::uint8_t>{0xAA, 0x55, 16, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    const auto sizes = MacroImageSize({});
    EXPECT_EQ(sizes.withoutNames, 16u);
    EXPECT_EQ(sizes.withNames, 16u);
}

TEST(MacroImageEncode, LayoutOfEntriesAndOffsetTable) {
    const std::vector<MacroRecord> list = {
        Macro(3, u"Ab", {{100, kKeyA, 0}, {20, kKeyA, 1}}, 5),
        Macro(1, u"Empty", {}, 0),
    };
    const auto sizes = MacroImageSize(list);
    EXPECT_EQ(sizes.withoutNames, 16u + 4u + (4u + 8u) + 4u);
    EXPECT_EQ(sizes.withNames, sizes.withoutNames + 4u + 10u);

    const auto image = EncodeMacroImage(list, true);
    ASSERT_TRUE(image);
    const auto& b = *image;
    ASSERT_EQ(b.size(), sizes.withNames);
    EXPECT_EQ(U16(b, 2), b.size());
    EXPECT_EQ(U16(b, 4), 2);
    EXPECT_EQ(U16(b, 6), 1);
    EXPECT_EQ(U16(b, 16), 16 + 2 * 2);  // the first entry follows the table
    const std::size_t e0 = 20;
    EXPECT_EQ(U16(b, e0), 2);                         // action count
    EXPECT_EQ(b[e0 + 2], 5);                          // cycles
    EXPECT_EQ(b[e0 + 3], 2);                          // name length
    EXPECT_EQ(U16(b, e0 + 4), 0x8000 | 0x2000 | 10);  // press, keyboard page, 100 ms
    EXPECT_EQ(b[e0 + 6], 0x02);
    EXPECT_EQ(b[e0 + 7], 0x04);
    EXPECT_EQ(U16(b, e0 + 8), 0x2000 | 2);  // release
    EXPECT_EQ(U16(b, e0 + 12), u'A');
    EXPECT_EQ(U16(b, e0 + 14), u'b');
    const std::size_t e1 = e0 + 4 + 8 + 4;
    EXPECT_EQ(U16(b, 18), e1);
    EXPECT_EQ(U16(b, e1), 0);  // a macro without actions is 4 bytes plus its name
    EXPECT_EQ(b[e1 + 3], 5);
    EXPECT_EQ(e1 + 4 + 10, b.size());

    const auto bare = EncodeMacroImage(list, false);
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->size(), sizes.withoutNames);
    EXPECT_EQ(U16(*bare, 6), 0);
    EXPECT_EQ((*bare)[e0 + 3], 0);
    EXPECT_EQ(U16(*bare, 18), e0 + 4 + 8);  // without names the entries close up
}

TEST(MacroImageEncode, DelaysInTenMillisecondUnits) {
    EXPECT_EQ(Encode(40000, kKeyA, 0)[0] | (Encode(40000, kKeyA, 0)[1] & 0x0F) << 8, 4000);
    EXPECT_EQ(Encode(15, kKeyA, 0)[0], 1);
    EXPECT_EQ(Encode(9, kKeyA, 0)[0], 0);
    // Beyond 12 bits the delay stays as long as it can rather than wrapping to a short one.
    const auto big = Encode(50000, kKeyA, 1);
    EXPECT_EQ(big[0] | (big[1] & 0x0F) << 8, 0xFFF);
    EXPECT_EQ(big[1] & 0x80, 0);
    EXPECT_EQ(DecodeMacroAction(Encode(15, kKeyA, 0)).delayMs, 10u);
}

TEST(MacroImageEncode, KeyFormsOfEachUsagePage) {
    EXPECT_EQ(Encode(0, kRightAlt, 0), (std::array<std::uint8_t, 4>{0x00, 0xA0, 0x01, 0x40}));
    EXPECT_EQ(Encode(0, 0x1D, 1), (std::array<std::uint8_t, 4>{0x00, 0x20, 0x01, 0x01}));
    EXPECT_EQ(Encode(0, kPlayPause, 0), (std::array<std::uint8_t, 4>{0x00, 0xB0, 0xCD, 0x00}));
    const std::uint16_t sleep = keys::CodeOfUsage(keys::kPageGenericDesktop, 0x82);
    ASSERT_NE(sleep, 0);
    EXPECT_EQ(Encode(0, sleep, 0), (std::array<std::uint8_t, 4>{0x00, 0xC0, 0x82, 0x00}));
    EXPECT_EQ(Encode(0, 0, 0), (std::array<std::uint8_t, 4>{0x00, 0x80, 0x00, 0x00}));
    // A direction above 1 counts as a press.
    EXPECT_EQ(Encode(0, kKeyA, 7)[1] & 0x80, 0x80);
}

TEST(MacroImageEncode, EveryKeyOfTheTableSurvivesTheRoundTrip) {
    for (unsigned code = 1; code < 0x200; ++code) {
        const keys::Usage u = keys::DecodeDeviceKeyByte(static_cast<keys::KeyCode>(code));
        if (u.page == 0 || u.usage == 0) continue;  // no usage: nothing to carry
        const MacroAction a{1230, static_cast<std::uint16_t>(code), 1};
        const MacroAction back = DecodeMacroAction(EncodeMacroAction(a));
        // Several codes share a usage: the lowest such code comes back, with the same usage.
        EXPECT_EQ(keys::DecodeDeviceKeyByte(back.keyCode), u) << std::hex << code;
        EXPECT_EQ(back.delayMs, 1230u);
        EXPECT_EQ(back.direction, 1);
    }
}

TEST(MacroImageDecode, EveryReadBackKeyFormSettlesAfterOneReEncode) {
    // A keyboard may hold any bytes. Whatever key a form reads as must encode to a form that
    // reads as the same key, or a read-back macro would change on its way back to the keyboard
    // (keyboard-page usage 0xD2 once read as a consumer key that has no form of its own).
    for (unsigned kind = 0; kind < 8; ++kind) {
        for (unsigned b1 = 0; b1 < 0x100; ++b1) {
            for (unsigned b2 = 0; b2 < 0x100; ++b2) {
                const KeyForm form{static_cast<std::uint8_t>(kind), static_cast<std::uint8_t>(b1),
                                   static_cast<std::uint8_t>(b2)};
                const std::uint16_t code = CodeOfKeyForm(form);
                if (code == 0) continue;
                ASSERT_EQ(CodeOfKeyForm(KeyFormOfCode(code)), code)
                    << "form " << kind << "/" << b1 << "/" << b2 << " reads as code " << code;
            }
        }
    }
}

TEST(MacroImageEncode, ImagesBeyondTheSixteenBitSizeAreRefused) {
    std::vector<MacroRecord> list;
    for (int id = 1; id <= 10; ++id) {
        MacroRecord m;
        m.id = static_cast<std::uint16_t>(id);
        m.actionCount = kMaxActions;
        list.push_back(m);
    }
    EXPECT_GT(MacroImageSize(list).withoutNames, kMacroImageMaxSize);
    EXPECT_FALSE(EncodeMacroImage(list, false));
}

TEST(MacroImageDecode, RoundTripGivesIdsInListOrderAndPlayModeZero) {
    std::vector<MacroRecord> list = {
        Macro(9, u"Zeta", {{40000, kKeyA, 0}, {0, kRightAlt, 1}}, 3),
        Macro(2, u"\u4f60\u597d", {{10, kPlayPause, 0}}, 0),
    };
    list[0].playMode = 2;
    const auto image = EncodeMacroImage(list, true);
    ASSERT_TRUE(image);
    const MacroImageDecode d = DecodeMacroImage(*image);
    ASSERT_TRUE(d.Ok());
    ASSERT_EQ(d.macros.size(), 2u);
    EXPECT_EQ(d.macros[0].id, 1);
    EXPECT_EQ(d.macros[1].id, 2);
    EXPECT_EQ(d.macros[0].Name(), u"Zeta");
    EXPECT_EQ(d.macros[1].Name(), u"\u4f60\u597d");
    EXPECT_EQ(d.macros[0].playMode, 0);
    EXPECT_EQ(d.macros[0].cycles, 3);
    ASSERT_EQ(d.macros[0].actionCount, 2);
    EXPECT_EQ(d.macros[0].actions[0], (MacroAction{40000, kKeyA, 0}));
    EXPECT_EQ(d.macros[0].actions[1], (MacroAction{0, kRightAlt, 1}));
    EXPECT_EQ(d.macros[1].actions[0], (MacroAction{10, kPlayPause, 0}));
}

TEST(MacroImageDecode, WithoutNamesTheyAreNumberedFromTheListPosition) {
    const std::vector<MacroRecord> list = {Macro(5, u"a", {}), Macro(6, u"b", {}), Macro(7, u"c", {})};
    const auto image = EncodeMacroImage(list, false);
    ASSERT_TRUE(image);
    const MacroImageDecode d = DecodeMacroImage(*image);
    ASSERT_EQ(d.macros.size(), 3u);
    EXPECT_EQ(d.macros[0].Name(), u"Macro1");
    EXPECT_EQ(d.macros[2].Name(), u"Macro3");
    EXPECT_EQ(DecodeMacroImage(*image, u"Makro").macros[1].Name(), u"Makro2");
}

TEST(MacroImageDecode, MemoryWithoutSignatureHoldsNoMacros) {
    std::vector<std::uint8_t> blank(64, 0xFF);
    const MacroImageDecode d = DecodeMacroImage(blank);
    EXPECT_TRUE(d.Ok());
    EXPECT_TRUE(d.macros.empty());
    EXPECT_EQ(MacroImageReadSize(blank), 0u);
}

TEST(MacroImageDecode, ReadSizeComesFromTheHeader) {
    const auto image = EncodeMacroImage(std::vector<MacroRecord>{Macro(1, u"x", {{0, kKeyA, 0}})}, true);
    ASSERT_TRUE(image);
    EXPECT_EQ(MacroImageReadSize(*image), image->size());
    EXPECT_EQ(MacroImageReadSize(std::span(*image).first(8)), 0u);
}

class DamagedImage : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<MacroRecord> list = {Macro(1, u"One", {{0, kKeyA, 0}, {0, kKeyA, 1}}),
                                               Macro(2, u"Two", {{0, kKeyA, 0}})};
        image = *EncodeMacroImage(list, true);
    }
    MacroImageDecode::Status Decode() const { return DecodeMacroImage(image).status; }
    std::vector<std::uint8_t> image;
};

TEST_F(DamagedImage, IntactImageDecodes) { EXPECT_EQ(Decode(), MacroImageDecode::Status::Ok); }

TEST_F(DamagedImage, ShorterThanAHeader) {
    image.resize(15);
    EXPECT_EQ(Decode(), MacroImageDecode::Status::TooShort);
    image.assign({0xAA, 0x55, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(Decode(), MacroImageDecode::Status::TooShort);
}

TEST_F(DamagedImage, BufferShorterThanTheSizeItClaims) {
    image.resize(image.size() - 1);  // the last name unit is cut
    const MacroImageDecode d = DecodeMacroImage(image);
    EXPECT_EQ(d.status, MacroImageDecode::Status::EntryOutOfRange);
    EXPECT_EQ(d.badMacro, 1);
    EXPECT_TRUE(d.macros.empty());
}

TEST_F(DamagedImage, SizeFieldSmallerThanTheEntries) {
    Put16(image, 2, static_cast<std::uint16_t>(image.size() - 2));
    EXPECT_EQ(Decode(), MacroImageDecode::Status::EntryOutOfRange);
}

TEST_F(DamagedImage, OffsetPointingOutside) {
    Put16(image, 18, 0xFFF0);
    EXPECT_EQ(Decode(), MacroImageDecode::Status::EntryOutOfRange);
}

TEST_F(DamagedImage, ActionCountPastTheEnd) {
    Put16(image, 20, 1000);
    EXPECT_EQ(Decode(), MacroImageDecode::Status::EntryOutOfRange);
    Put16(image, 20, 2001);
    EXPECT_EQ(Decode(), MacroImageDecode::Status::TooManyActions);
}

TEST_F(DamagedImage, TooManyMacrosOrATableThatDoesNotFit) {
    Put16(image, 4, 101);
    EXPECT_EQ(Decode(), MacroImageDecode::Status::TooManyMacros);
    Put16(image, 4, 100);  // 16 + 200 bytes of table > the image
    EXPECT_EQ(Decode(), MacroImageDecode::Status::TableOutOfRange);
}

// A name whose first unit is NUL is no name: it reads back as the default, and stays so.
TEST(MacroImageDecode, NameStartingWithNulReadsAsTheDefaultName) {
    auto image = *EncodeMacroImage(std::vector<MacroRecord>{Macro(1, u"Named", {{10, kKeyA, 0}})}, true);
    const std::size_t entry = U16(image, 16);
    Put16(image, entry + 4 + 4, 0);  // the first unit of the name, after one action
    const auto first = DecodeMacroImage(image);
    ASSERT_TRUE(first.Ok());
    EXPECT_EQ(first.macros[0].Name(), u"Macro1");
    const auto again = DecodeMacroImage(*EncodeMacroImage(first.macros, true));
    ASSERT_TRUE(again.Ok());
    EXPECT_EQ(again.macros, first.macros);
}

// Packing the launch-program paths and text blocks into a string block and reading them back
// without ever leaving the block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/macros/KeyStringTable.h"

using namespace talvenix::macros;

namespace {
std::u16string At(const std::vector<std::uint8_t>& block, std::size_t offset) {
    std::u16string s;
    for (std::size_t i = offset; i + 1 < block.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(block[i] | (block[i + 1] << 8));
        if (!c) break;
        s.push_back(c);
    }
    return s;
}

class StringPacking : public ::testing::Test {
protected:
    void SetKind(int record, std::uint16_t kind) { image.keys[static_cast<std::size_t>(record)].kind = kind; }
    std::uint32_t ValueOf(int record) const { return image.keys[static_cast<std::size_t>(record)].value; }
    ProfileImage image = DefaultProfileImage();
    KeyStringTable strings;
};
}  // namespace

TEST(KeyStringTable, SizesCountTheTerminatorAndKeepTheTotal) {
    KeyStringTable t;
    t.Set(10, u"Hello");
    EXPECT_EQ(t.SizeOf(10), 12u);
    t.Set(11, u"");
    EXPECT_EQ(t.SizeOf(11), 2u);
    EXPECT_TRUE(t.Has(11));
    EXPECT_EQ(t.TotalSize(), 14u);
    t.Set(10, u"Hi");  // replacing adjusts the total
    EXPECT_EQ(t.TotalSize(), 8u);
    t.Clear(11);
    EXPECT_EQ(t.TotalSize(), 6u);
    t.Set(2048, u"out of range");
    t.Set(-1, u"out of range");
    EXPECT_EQ(t.TotalSize(), 6u);
    EXPECT_EQ(t.SizeOf(5000), 0u);
}

TEST_F(StringPacking, FiveCharacterTextTakesTwelveBytesAndTheNextStartsAfterIt) {
    SetKind(7, 6);
    strings.Set(7, u"Hello");
    SetKind(600, 3);
    strings.Set(600, u"/usr/bin/gedit");

    const auto block = PackKeyStrings(image, strings);

    ASSERT_EQ(block.size(), 12u + 30u);
    EXPECT_EQ(ValueOf(7), 0u);
    EXPECT_EQ(ValueOf(600), 12u);
    EXPECT_EQ(At(block, 0), u"Hello");
    EXPECT_EQ(block[10], 0);
    EXPECT_EQ(block[11], 0);
    EXPECT_EQ(At(block, 12), u"/usr/bin/gedit");
}

TEST_F(StringPacking, SlotsOfOtherKindsCountInTheSizeButAreNotCopied) {
    SetKind(1, 2);  // was a text block, is now a key: its old string still occupies the total
    strings.Set(1, u"old");
    SetKind(2, 6);
    strings.Set(2, u"new");
    const auto block = PackKeyStrings(image, strings);
    ASSERT_EQ(block.size(), 16u);
    EXPECT_EQ(ValueOf(2), 0u);
    EXPECT_EQ(At(block, 0), u"new");
    EXPECT_EQ(std::count(block.begin() + 8, block.end(), 0), 8);
}

TEST_F(StringPacking, RoundTripRestoresEveryString) {
    SetKind(0, 3);
    strings.Set(0, u"C:\\x\u00e9.exe");
    SetKind(2047, 6);
    strings.Set(2047, u"\u4f60\u597d");
    SetKind(100, 6);
    strings.Set(100, u"");
    const auto block = PackKeyStrings(image, strings);

    KeyStringTable back;
    EXPECT_EQ(UnpackKeyStrings(image, block, back), 0);
    EXPECT_TRUE(back == strings);
}

TEST_F(StringPacking, OffsetsOutsideTheBlockOrUnterminatedStringsGiveNoString) {
    std::vector<std::uint8_t> block = {'a', 0, 'b', 0, 0, 0, 'c', 0, 'd', 0};  // "ab", then "cd" unterminated
    SetKind(1, 6);
    image.keys[1].value = 0;
    SetKind(2, 3);
    image.keys[2].value = 3;  // odd: rounded down to 2 -> "b"
    SetKind(3, 6);
    image.keys[3].value = 6;  // "cd" runs to the end of the block without NUL
    SetKind(4, 3);
    image.keys[4].value = 12;  // past the end
    SetKind(5, 6);
    image.keys[5].value = 0xFFFFFFFF;
    SetKind(6, 6);
    image.keys[6].value = 9;  // rounds to 8: "d" with no NUL after it
    SetKind(7, 3);
    image.keys[7].value = 10;  // exactly the end: how a save marks a record without a string

    KeyStringTable back;
    EXPECT_EQ(UnpackKeyStrings(image, block, back), 4);
    EXPECT_EQ(back.Text(1), u"ab");
    EXPECT_EQ(back.Text(2), u"b");
    EXPECT_FALSE(back.Has(3));
    EXPECT_FALSE(back.Has(4));
    EXPECT_FALSE(back.Has(5));
    EXPECT_FALSE(back.Has(6));
    EXPECT_FALSE(back.Has(7));
    EXPECT_EQ(back.TotalSize(), 6u + 4u);
}

TEST_F(StringPacking, ARecordWithoutAStringNeverPicksUpAnotherOnReload) {
    SetKind(5, 3);  // a launch key whose path was never set; its value still says 0
    SetKind(9, 6);
    strings.Set(9, u"typed");
    const auto block = PackKeyStrings(image, strings);
    ASSERT_EQ(ValueOf(9), 0u);
    EXPECT_EQ(ValueOf(5), block.size());

    KeyStringTable back;
    EXPECT_EQ(UnpackKeyStrings(image, block, back), 0);  // not damage: nothing was lost
    EXPECT_FALSE(back.Has(5));
    EXPECT_EQ(back.Text(9), u"typed");
    EXPECT_TRUE(back == strings);
}

TEST_F(StringPacking, AnOddLengthBlockNeverReadsItsLastHalfUnit) {
    std::vector<std::uint8_t> block = {'a', 0, 'b'};
    SetKind(1, 6);
    KeyStringTable back;
    EXPECT_EQ(UnpackKeyStrings(image, block, back), 1);
    EXPECT_FALSE(back.Has(1));
}

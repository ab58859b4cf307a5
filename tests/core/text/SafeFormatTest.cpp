#include <gtest/gtest.h>

#include "core/text/SafeFormat.h"
#include "core/text/Utf.h"

namespace talvenix::text {
namespace {

TEST(FormatNumber, IntegerConversionsTakeTheNumber) {
    EXPECT_EQ(FormatNumber("Unknown Key: %03x", 0x55), "Unknown Key: 055");
    EXPECT_EQ(FormatNumber("Unknown Key: %03x", 0x180), "Unknown Key: 180");
    EXPECT_EQ(FormatNumber("%03X!", 0x1ab), "1AB!");
    EXPECT_EQ(FormatNumber("The maximum number of macro: %d   ", 100), "The maximum number of macro: 100   ");
    EXPECT_EQ(FormatNumber("%-4d|", 7), "7   |");
    EXPECT_EQ(FormatNumber("100%% %u", 3), "100% 3");
}

TEST(FormatNumber, EditedFormatsCannotReadOrWriteMemory) {
    EXPECT_EQ(FormatNumber("%s key %n", 5), "%s key %n");
    EXPECT_EQ(FormatNumber("%d and %d", 5), "5 and %d");
    EXPECT_EQ(FormatNumber("end %", 5), "end %");
    EXPECT_EQ(FormatNumber("no number", 5), "no number");
    const std::string wide = FormatNumber("%999999999d", 1);
    EXPECT_LE(wide.size(), 259u);
    EXPECT_EQ(wide.back(), '1');
}

TEST(FormatNumber, ResultIsCutToTheBuffer) {
    std::string longFormat;
    for (int i = 0; i < 300; ++i) longFormat += "字";
    EXPECT_EQ(Utf16Length(FormatNumber(longFormat + "%d", 1)), 259u);
    EXPECT_EQ(FormatNumber("abcdef%d", 1, 4), "abcd");
}

}  // namespace
}  // namespace talvenix::text

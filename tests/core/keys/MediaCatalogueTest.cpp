#include <gtest/gtest.h>

#include "core/keys/MediaCatalogue.h"

namespace talvenix::keys {
namespace {

class MediaCatalogueTest : public ::testing::Test {
protected:
    void TearDown() override { text::SetCurrentLanguageTable(text::LanguageTable()); }
};

TEST_F(MediaCatalogueTest, UsagesInMediaIndexOrder) {
    const std::uint16_t usages[] = {0x183, 0x0CD, 0x0B7, 0x0B6, 0x0B5, 0x0EA, 0x0E9, 0x0E2, 0x223,
                                    0x227, 0x226, 0x224, 0x225, 0x22A, 0x221, 0x194, 0x192, 0x18A};
    for (int i = 0; i < kMediaCount; ++i) {
        EXPECT_EQ(MediaUsage(i), usages[i]) << i;
        EXPECT_EQ(MediaIndexOfUsage(usages[i]), i);
    }
    EXPECT_EQ(MediaUsage(18), 0);
    EXPECT_EQ(MediaUsage(-1), 0);
    EXPECT_FALSE(MediaIndexOfUsage(0x0B0).has_value());
    EXPECT_FALSE(MediaIndexOfUsage(0).has_value());
}

TEST_F(MediaCatalogueTest, EachMediaKeyCodePointsAtItsOwnUsage) {
    for (int i = 0; i < kMediaCount; ++i) {
        const MediaEntry& m = MediaList()[static_cast<std::size_t>(i)];
        EXPECT_EQ(DecodeDeviceKeyByte(m.code), (Usage{kPageConsumer, m.usage})) << i;
        EXPECT_EQ(*KeyEntryOf(m.code).nameId, m.nameId) << i;
        EXPECT_TRUE(IsMediaCaptureExcluded(m.code)) << i;
    }
}

TEST_F(MediaCatalogueTest, NamesAreTheKeyNames) {
    text::LanguageTable t;
    t.SetText(text::TextId::MEDIA_V_ADD_7, "Volume +");
    text::SetCurrentLanguageTable(t);
    EXPECT_EQ(MediaName(6), "Volume +");
    EXPECT_EQ(MediaName(6), KeyNameOf(0x130));
    EXPECT_EQ(MediaName(18), "");
    EXPECT_EQ(MediaCode(0), 0x16D);
    EXPECT_EQ(MediaCode(18), 0);
}

TEST_F(MediaCatalogueTest, FunctionTexts) {
    EXPECT_EQ(FunctionText(0), "Open");
    EXPECT_EQ(FunctionText(10), "Zoom+");
    EXPECT_EQ(FunctionText(11), "A1");
    EXPECT_EQ(FunctionText(12), "A2");
    EXPECT_EQ(FunctionText(15), "A5");
    EXPECT_EQ(FunctionText(16), "");
    EXPECT_EQ(FunctionText(255), "");
    EXPECT_EQ(FunctionText(-1), "");
    text::LanguageTable t;
    t.SetText(text::TextId::FUNC_KEY_DESC5, "复制");
    text::SetCurrentLanguageTable(t);
    EXPECT_EQ(FunctionText(4), "复制");
}

}  // namespace
}  // namespace talvenix::keys

#include <gtest/gtest.h>

#include "TempDir.h"
#include "core/text/IniFile.h"
#include "core/text/LanguageSettings.h"
#include "core/text/LanguageTable.h"

namespace talvenix::text {
namespace {

using testing::TempDir;

class LanguageSettingsTest : public ::testing::Test {
protected:
    void TearDown() override { SetCurrentLanguageTable(LanguageTable()); }
    void Store(std::string_view value) {
        ASSERT_TRUE(WriteProfileString(LanguageSettingsFile(dir.path()), kLanguageSettingsSection,
                                       kLanguageIdKey, value));
    }
    std::string Stored() const {
        return ReadProfileString(LanguageSettingsFile(dir.path()), kLanguageSettingsSection, kLanguageIdKey,
                                 "<none>");
    }
    TempDir dir;
};

TEST_F(LanguageSettingsTest, SettingsFileLivesUnderTheConfigFolder) {
    EXPECT_EQ(LanguageSettingsFile("/home/u/.config"),
              std::filesystem::path("/home/u/.config/Halvard/Halvard.ini"));
}

TEST_F(LanguageSettingsTest, StoredChineseAndEnglishStandWithoutAskingTheSystem) {
    Store("2052");
    EXPECT_EQ(SettleLanguageId(dir.path(), "en_US.UTF-8"), 2052u);
    EXPECT_EQ(LanguageIndex(dir.path(), "en_US.UTF-8"), kChinese);
    Store("1033");
    EXPECT_EQ(SettleLanguageId(dir.path(), "zh_CN.UTF-8"), 1033u);
    EXPECT_EQ(LanguageIndex(dir.path(), "zh_CN.UTF-8"), kEnglish);
    EXPECT_EQ(Stored(), "1033");
}

TEST_F(LanguageSettingsTest, AnyOtherStoredIdMeansEnglishAndIsKept) {
    Store("1031");
    EXPECT_EQ(LanguageIndex(dir.path(), "zh_CN"), kEnglish);
    EXPECT_EQ(Stored(), "1031");
}

TEST_F(LanguageSettingsTest, FirstRunDerivesFromTheSystemLanguage) {
    struct Case {
        const char* locale;
        std::uint32_t id;
    };
    for (const Case c : {Case{"zh_CN.UTF-8", 2052}, Case{"zh_HK.UTF-8", 2052}, Case{"zh_TW.UTF-8", 1033},
                         Case{"zh_SG", 1033}, Case{"de_DE.UTF-8", 1033}, Case{"en_GB.UTF-8", 1033},
                         Case{"C", 1033}, Case{"", 1033}, Case{"xx_YY", 1033}, Case{"zh", 2052}}) {
        std::filesystem::remove_all(dir.path() / "Halvard");
        EXPECT_EQ(SettleLanguageId(dir.path(), c.locale), c.id) << c.locale;
        EXPECT_EQ(Stored(), std::to_string(c.id)) << c.locale;
    }
}

TEST_F(LanguageSettingsTest, ZeroOrUnreadableValuesAreSettledAgain) {
    for (const char* bad : {"0", "abc", "-5", "99999999999", ""}) {
        Store(bad);
        EXPECT_EQ(SettleLanguageId(dir.path(), "zh_HK"), 2052u) << bad;
        EXPECT_EQ(Stored(), "2052") << bad;
    }
    Store("0x804");
    EXPECT_EQ(ReadStoredLanguageId(dir.path()), 0x804u);
}

TEST_F(LanguageSettingsTest, UnwritableStoreStillGivesAnAnswer) {
    dir.Write("Halvard", "a file where the folder should be");
    EXPECT_EQ(SettleLanguageId(dir.path(), "zh_CN"), 2052u);
    EXPECT_EQ(LanguageIndex(dir.path(), "fr_FR"), kEnglish);
    EXPECT_FALSE(StoreLanguageChoice(dir.path(), kChinese));
}

TEST_F(LanguageSettingsTest, RegionalIdsSettleToTheirBase) {
    EXPECT_EQ(BaseLanguageId(0x0C04), 0x0804);
    EXPECT_EQ(BaseLanguageId(0x1004), 0x0404);
    EXPECT_EQ(BaseLanguageId(0x500A), 0x040A);
    EXPECT_EQ(BaseLanguageId(0x140C), 0x040C);
    EXPECT_EQ(BaseLanguageId(0x081D), 0x041D);
    EXPECT_EQ(BaseLanguageId(0x2C09), 0x0409);
    EXPECT_EQ(BaseLanguageId(0x1407), 0x0407);
    EXPECT_EQ(BaseLanguageId(0x0407), 0x0407);
    EXPECT_EQ(BaseLanguageId(0x1404), 0x1404);  // Macao is not in the table
    EXPECT_EQ(LanguageIdFromSystem(0x0C04), 2052u);
    EXPECT_EQ(LanguageIdFromSystem(0x0809), 1033u);
    EXPECT_EQ(LanguageIdFromSystem(0x0407), 1033u);
    EXPECT_EQ(LanguageIdFromSystem(0), 1033u);
}

TEST_F(LanguageSettingsTest, LocaleNamesMapToWindowsIds) {
    EXPECT_EQ(WindowsLanguageIdOfLocale("zh_CN.UTF-8"), 0x0804);
    EXPECT_EQ(WindowsLanguageIdOfLocale("zh_HK.UTF-8"), 0x0C04);
    EXPECT_EQ(WindowsLanguageIdOfLocale("en_GB"), 0x0809);
    EXPECT_EQ(WindowsLanguageIdOfLocale("de_AT@euro"), 0x0C07);
    EXPECT_EQ(WindowsLanguageIdOfLocale("zh-hk"), 0x0C04);
    EXPECT_EQ(WindowsLanguageIdOfLocale("en_ZZ"), 0x0409);  // unknown territory: the language
    EXPECT_EQ(WindowsLanguageIdOfLocale("POSIX"), 0x0409);
    EXPECT_EQ(WindowsLanguageIdOfLocale("tlh_QO"), 0);
}

TEST_F(LanguageSettingsTest, SystemLocalePrefersLcAllThenLcMessagesThenLang) {
    EXPECT_EQ(SystemLocale("zh_CN", "de_DE", "en_US"), "zh_CN");
    EXPECT_EQ(SystemLocale("", "de_DE", "en_US"), "de_DE");
    EXPECT_EQ(SystemLocale(nullptr, nullptr, "en_US"), "en_US");
    EXPECT_EQ(SystemLocale(nullptr, nullptr, nullptr), "");
}

TEST_F(LanguageSettingsTest, SelectingALanguageStoresItAndReloadsEveryText) {
    const auto file =
        dir.Write("Skins/language.ini", "[CHINESE]\nMAIN_CAPTION=设置\n[ENGINSH]\nMAIN_CAPTION=Settings\n");
    Store("1033");
    LoadLanguageTable(file, LanguageIndex(dir.path(), ""));
    EXPECT_EQ(LanguageText(TextId::MAIN_CAPTION), "Settings");
    EXPECT_TRUE(SelectLanguage(dir.path(), file, kChinese));
    EXPECT_EQ(Stored(), "2052");
    EXPECT_EQ(LanguageText(TextId::MAIN_CAPTION), "设置");
    EXPECT_EQ(LanguageText(TextId::UNKNOWN_KEY), " ");
    EXPECT_TRUE(StoreLanguageChoice(dir.path(), kEnglish));
    EXPECT_EQ(Stored(), "1033");
}

}  // namespace
}  // namespace talvenix::text

// The user colour file format, first-start installation of the four files and the atomic copy.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/lighting/UserColourSet.h"
#include "core/text/IniFile.h"
#include "tests/support/TempHome.h"

namespace talvenix::lighting {
namespace {

namespace fs = std::filesystem;

TEST(UserColourEntry, ReadsColourAndBaseFlag) {
    const auto green = ParseSlotEntry("0,255,0,7");
    EXPECT_EQ(green.colour, MakeColour(0, 255, 0));
    EXPECT_TRUE(green.baseFlag) << "any non-zero flag reads as 1";

    const auto painted = ParseSlotEntry("1, 2, 3, 0");
    EXPECT_EQ(painted.colour, MakeColour(1, 2, 3));
    EXPECT_FALSE(painted.baseFlag);
}

TEST(UserColourEntry, BadEntriesReadSafely) {
    const auto def = ParseSlotEntry("255,0,0,1");
    for (const char* bad : {"", "red", "1,2,3", "1,2,,3", "1;2;3;4"}) {
        const auto e = ParseSlotEntry(bad);
        EXPECT_EQ(e.colour, def.colour) << bad;
        EXPECT_EQ(e.baseFlag, def.baseFlag) << bad;
    }
    EXPECT_EQ(ParseSlotEntry("300,-5,99999999999,0").colour, MakeColour(255, 0, 255));
    EXPECT_EQ(ParseRgb("12,34"), kBlack);
    EXPECT_EQ(ParseRgb("12,34,56 trailing"), MakeColour(12, 34, 56));
}

TEST(UserColourEntry, WritesTheFileFormat) {
    EXPECT_EQ(FormatSlotEntry({MakeColour(0, 128, 255), true}), "0,128,255,1");
    EXPECT_EQ(FormatSlotEntry({kBlack, false}), "0,0,0,0");
    EXPECT_EQ(FormatRgb(MakeColour(7, 8, 9)), "7,8,9");
    EXPECT_EQ(ColourSetSection(3), "Mode3");
}

TEST(UserColourFiles, NamesInTheFolderAndTheSkin) {
    EXPECT_EQ(UserColourFilePath("/d/Talvenix", 2), fs::path("/d/Talvenix/UserDengColor_2.userd"));
    EXPECT_EQ(UserColourTemplatePath("/p/Skins"), fs::path("/p/Skins/UserDengColor_3.userd"));
}

class Install : public ::testing::Test {
protected:
    void SetUp() override {
        folder = home.DocumentsFolder() / "Talvenix";
        settings = folder / "wskb.ini";
        skin = home.Path() / "Skins";
        fs::create_directories(skin);
        fs::create_directories(folder);
        test::WriteFileBytes(UserColourTemplatePath(skin), kTemplate);
    }
    static constexpr const char* kTemplate =
        "[PRESENTMODE]\r\nmode=0\r\n[MODENAME]\r\n0=Set A\r\n[Mode0]\r\n64=0,0,255,1\r\n";
    test::TempHome home;
    fs::path folder, settings, skin;
};

TEST_F(Install, FirstStartCreatesFourIdenticalCopiesOnce) {
    fs::remove_all(folder);  // a first start has no Talvenix folder yet
    ASSERT_EQ(InstallUserColourFiles(settings, UserColourTemplatePath(skin), folder), 1);
    for (int n = 0; n < 4; ++n) EXPECT_EQ(test::ReadFileBytes(UserColourFilePath(folder, n)), kTemplate) << n;
    EXPECT_EQ(text::IniFile(settings).Get("KEYCOLOR", "usermodeCheck", ""), "1");

    // Edits survive later starts: the copy happens once.
    test::WriteFileBytes(UserColourFilePath(folder, 0), "edited");
    ASSERT_EQ(InstallUserColourFiles(settings, UserColourTemplatePath(skin), folder), 1);
    EXPECT_EQ(test::ReadFileBytes(UserColourFilePath(folder, 0)), "edited");
}

TEST_F(Install, MissingTemplateLeavesTheKeyUnsetForTheNextStart) {
    fs::remove(UserColourTemplatePath(skin));
    EXPECT_EQ(InstallUserColourFiles(settings, UserColourTemplatePath(skin), folder), 0);
    EXPECT_FALSE(text::IniFile(settings).Has("KEYCOLOR", "usermodeCheck"));
    EXPECT_FALSE(fs::exists(UserColourFilePath(folder, 0)));

    test::WriteFileBytes(UserColourTemplatePath(skin), kTemplate);
    EXPECT_EQ(InstallUserColourFiles(settings, UserColourTemplatePath(skin), folder), 1);
    EXPECT_EQ(test::ReadFileBytes(UserColourFilePath(folder, 3)), kTemplate);
}

TEST_F(Install, FailedCopyKeepsTheOldFileWhole) {
    const fs::path target = UserColourFilePath(folder, 1);
    test::WriteFileBytes(target, "previous contents");
    EXPECT_FALSE(CopyFileAtomically(skin / "no-such-file", target));
    EXPECT_EQ(test::ReadFileBytes(target), "previous contents");

    // A target that cannot be replaced (a folder stands in its place) stays as it was, and no
    // temporary file is left behind.
    const fs::path blocked = folder / "blocked.userd";
    fs::create_directories(blocked / "inside");
    EXPECT_FALSE(CopyFileAtomically(UserColourTemplatePath(skin), blocked));
    EXPECT_TRUE(fs::is_directory(blocked));
    for (const auto& entry : fs::directory_iterator(folder)) {
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
    }
}

TEST_F(Install, BatchedKeysKeepTheRestOfTheFile) {
    const fs::path file = UserColourFilePath(folder, 0);
    test::WriteFileBytes(file, "\xEF\xBB\xBF; note\r\n[Mode1]\r\n0=1,1,1,1\r\n[Mode2]\r\n0=2,2,2,0\r\n");
    ASSERT_TRUE(WriteColourFileKeys(file, "Mode1", {{"0", "9,9,9,1"}, {"jcolor", "9,9,9"}}));
    EXPECT_EQ(test::ReadFileBytes(file),
              "\xEF\xBB\xBF; note\r\n[Mode1]\r\n0=9,9,9,1\r\njcolor=9,9,9\r\n[Mode2]\r\n0=2,2,2,0\r\n");

    const std::string before = test::ReadFileBytes(file);
    EXPECT_FALSE(WriteColourFileKeys(file, "Mode1", {{"1", "1,1,1,1"}, {"bad=key", "x"}}));
    EXPECT_EQ(test::ReadFileBytes(file), before) << "all or nothing";

    // A UTF-16 file stays UTF-16.
    const fs::path wide = UserColourFilePath(folder, 1);
    test::WriteFileBytes(wide, std::string("\xFF\xFE[\0M\0o\0d\0e\0\x30\0]\0\n\0", 18));
    ASSERT_TRUE(WriteColourFileKeys(wide, "Mode0", {{"5", "1,2,3,0"}}));
    EXPECT_EQ(test::ReadFileBytes(wide).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(text::IniFile(wide).Get("Mode0", "5", ""), "1,2,3,0");

    // A missing file is created.
    ASSERT_TRUE(WriteColourFileKeys(UserColourFilePath(folder, 2), "Mode0", {{"tool", "1"}}));
    EXPECT_EQ(text::IniFile(UserColourFilePath(folder, 2)).Get("Mode0", "tool", ""), "1");
}

}  // namespace
}  // namespace talvenix::lighting

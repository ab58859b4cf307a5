#include <gtest/gtest.h>

#include "TempDir.h"
#include "core/text/IniFile.h"
#include "core/text/Utf.h"

namespace talvenix::text {
namespace {

using testing::TempDir;

std::string Utf16LeFile(std::string_view utf8) { return "\xFF\xFE" + Utf16ToLeBytes(Utf8ToUtf16(utf8)); }

TEST(IniFileRead, NamesCompareWithoutCaseAndBlanks) {
    const auto ini = IniFile::FromString("[ButtonInfo]\n  control_ok =  20,30,80,24  \n");
    EXPECT_EQ(ini.Get("BUTTONINFO", "CONTROL_OK"), "20,30,80,24");
    EXPECT_EQ(ini.Get("buttoninfo", "Control_Ok"), "20,30,80,24");
}

TEST(IniFileRead, MissingKeyGivesDefaultEmptyValueGivesEmpty) {
    const auto ini = IniFile::FromString("[S]\nempty=\n");
    EXPECT_EQ(ini.Get("S", "absent", "1,1,1,1,x"), "1,1,1,1,x");
    EXPECT_EQ(ini.Get("Nope", "empty", "d"), "d");
    EXPECT_EQ(ini.Get("S", "empty", "d"), "");
    EXPECT_FALSE(ini.Find("S", "absent").has_value());
    EXPECT_TRUE(ini.Has("s", "EMPTY"));
}

TEST(IniFileRead, QuotesAndCommentsAndDuplicates) {
    const auto ini = IniFile::FromString(
        "; a comment=not a key\n[A]\nq=\"  spaced  \"\nk=first\nk=second\nmixed=\"x'\n[a]\nk=other "
        "section\n");
    EXPECT_EQ(ini.Get("A", "q"), "  spaced  ");
    EXPECT_EQ(ini.Get("A", "k"), "first");
    EXPECT_EQ(ini.Get("A", "mixed"), "\"x'");
    EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"A"}));
    EXPECT_EQ(ini.Keys("a"), (std::vector<std::string>{"q", "k", "mixed"}));
}

TEST(IniFileRead, ResultsAreCutTo259Utf16UnitsOnCharacterBoundaries) {
    std::string chinese;
    for (int i = 0; i < 300; ++i) chinese += "中";
    // 258 ASCII characters then a character that needs a surrogate pair: it cannot fit in one unit.
    const std::string astral = std::string(258, 'a') + "\xF0\x9F\x98\x80" + "tail";
    const auto ini = IniFile::FromString("[S]\nzh=" + chinese + "\nastral=" + astral + "\n");
    const std::string zh = ini.Get("S", "zh");
    EXPECT_EQ(Utf16Length(zh), 259u);
    EXPECT_EQ(zh.size(), 259u * 3);
    EXPECT_EQ(ini.Get("S", "astral"), std::string(258, 'a'));
    EXPECT_EQ(ini.Find("S", "zh")->size(), 900u);                    // the uncut value stays available
    EXPECT_EQ(Utf16Length(ini.Get("S", "missing", chinese)), 259u);  // defaults are cut too
}

TEST(IniFileRead, Utf16LeWithBomAndUtf8WithBom) {
    TempDir dir;
    const auto p16 = dir.Write("le.ini", Utf16LeFile("[CHINESE]\r\nMAIN_CAPTION=游戏键盘设置\r\n"));
    IniFile le(p16);
    EXPECT_TRUE(le.Loaded());
    EXPECT_EQ(le.FileEncoding(), IniFile::Encoding::Utf16Le);
    EXPECT_EQ(le.Get("CHINESE", "MAIN_CAPTION"), "游戏键盘设置");

    const auto p8 = dir.Write("bom.ini", "\xEF\xBB\xBF[S]\nk=v\n");
    EXPECT_EQ(IniFile(p8).Get("S", "k"), "v");
}

TEST(IniFileRead, MalformedUtf8DoesNotBreakReading) {
    const auto ini = IniFile::FromString(std::string("[S]\nk=a\xFF\xC3") + "\nnext=ok\n");
    EXPECT_EQ(ini.Get("S", "next"), "ok");
    EXPECT_EQ(ini.Get("S", "k"), "a\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(IniFileRead, MissingFileReadsEmpty) {
    TempDir dir;
    IniFile ini(dir.path() / "none.ini");
    EXPECT_FALSE(ini.Loaded());
    EXPECT_EQ(ini.Get("S", "k", " "), " ");
}

TEST(IniFileInt, ParsesLikeTheProfileIntReader) {
    const auto ini = IniFile::FromString("[S]\nd=42px\nh=0x1F\nn=-7\nj=abc\ne=\nbig=4294967295\n");
    EXPECT_EQ(ini.GetInt("S", "d", 5), 42);
    EXPECT_EQ(ini.GetInt("S", "h", 5), 31);
    EXPECT_EQ(ini.GetInt("S", "n", 5), -7);
    EXPECT_EQ(ini.GetInt("S", "j", 5), 0);
    EXPECT_EQ(ini.GetInt("S", "e", 5), 0);
    EXPECT_EQ(ini.GetInt("S", "missing", 5), 5);
    EXPECT_EQ(ini.GetInt("S", "big", 5), -1);
}

TEST(IniFileWrite, OneKeyChangesAndTheRestOfTheFileStays) {
    TempDir dir;
    const std::string original =
        "; settings\r\n[PROFILES]\r\nCurrent=1\r\nName = Mine\r\n\r\n[Other]\r\nx=1\r\n";
    const auto path = dir.Write("s.ini", original);
    IniFile ini(path);
    ASSERT_TRUE(ini.Set("profiles", "current", "2"));
    EXPECT_EQ(TempDir::Read(path),
              "; settings\r\n[PROFILES]\r\ncurrent=2\r\nName = Mine\r\n\r\n[Other]\r\nx=1\r\n");

    ASSERT_TRUE(ini.Set("PROFILES", "Added", "yes"));
    EXPECT_EQ(TempDir::Read(path),
              "; settings\r\n[PROFILES]\r\ncurrent=2\r\nName = Mine\r\nAdded=yes\r\n\r\n[Other]\r\nx=1\r\n");

    ASSERT_TRUE(ini.Set("New", "k", "v"));
    EXPECT_EQ(IniFile(path).Get("NEW", "K"), "v");
    EXPECT_EQ(IniFile(path).Get("Other", "x"), "1");
    EXPECT_EQ(ini.Get("PROFILES", "Added"), "yes");  // the object follows its writes
}

TEST(IniFileWrite, KeepsWhatOthersWroteSinceReading) {
    TempDir dir;
    const auto path = dir.Write("s.ini", "[S]\na=1\n");
    IniFile mine(path);
    ASSERT_TRUE(WriteProfileString(path, "S", "b", "2"));  // someone else
    ASSERT_TRUE(mine.Set("S", "a", "3"));
    const IniFile after(path);
    EXPECT_EQ(after.Get("S", "a"), "3");
    EXPECT_EQ(after.Get("S", "b"), "2");
}

TEST(IniFileWrite, Utf16FileStaysUtf16) {
    TempDir dir;
    const auto path = dir.Write("le.ini", Utf16LeFile("[S]\r\nk=旧\r\n"));
    ASSERT_TRUE(WriteProfileString(path, "S", "k", "新的"));
    const std::string bytes = TempDir::Read(path);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(ReadProfileString(path, "S", "k", ""), "新的");
}

TEST(IniFileWrite, ValuesWithOuterBlanksOrQuotesReadBackAsWritten) {
    TempDir dir;
    const auto path = dir.path() / "q.ini";
    ASSERT_TRUE(WriteProfileString(path, "S", "space", " "));
    ASSERT_TRUE(WriteProfileString(path, "S", "quoted", "\"q\""));
    EXPECT_EQ(ReadProfileString(path, "S", "space", "x"), " ");
    EXPECT_EQ(ReadProfileString(path, "S", "quoted", "x"), "\"q\"");
}

TEST(IniFileWrite, RefusesWhatAnIniLineCannotHoldAndChangesNothing) {
    TempDir dir;
    const std::string original = "[S]\nk=v\n";
    const auto path = dir.Write("s.ini", original);
    IniFile ini(path);
    EXPECT_FALSE(ini.Set("S", "k", "two\nlines"));
    EXPECT_FALSE(ini.Set("S", "a=b", "v"));
    EXPECT_FALSE(ini.Set("S", "", "v"));
    EXPECT_FALSE(ini.Set("S]", "k", "v"));
    EXPECT_FALSE(ini.Set("S", "[k", "v"));
    EXPECT_EQ(TempDir::Read(path), original);
    EXPECT_EQ(ini.Get("S", "k"), "v");
}

TEST(IniFileWrite, SetManyWritesAllKeysOrNone) {
    TempDir dir;
    const std::string original = "; colours\n[S]\nk=v\n";
    const auto path = dir.Write("s.ini", original);
    IniFile ini(path);
    EXPECT_FALSE(ini.SetMany("S", {{"a", "1"}, {"b=c", "2"}}));
    EXPECT_EQ(TempDir::Read(path), original);
    EXPECT_FALSE(ini.Has("S", "a"));

    ASSERT_TRUE(ini.SetMany("S", {{"a", "1"}, {"K", "2"}, {"b", "3"}}));
    const IniFile back(path);
    EXPECT_EQ(back.Get("S", "a"), "1");
    EXPECT_EQ(back.Get("S", "k"), "2");
    EXPECT_EQ(back.Get("S", "b"), "3");
    EXPECT_EQ(back.Keys("S").size(), 3u);
    EXPECT_EQ(TempDir::Read(path).rfind("; colours\n", 0), 0u);
}

TEST(IniFileWrite, CreatesMissingFoldersAndLeavesNoTemporaryFiles) {
    TempDir dir;
    const auto path = dir.path() / "Halvard" / "Halvard.ini";
    ASSERT_TRUE(WriteProfileString(path, "Halvard", "dwLanguageId", "2052"));
    ASSERT_TRUE(WriteProfileString(path, "Halvard", "dwLanguageId", "1033"));
    EXPECT_EQ(ReadProfileString(path, "Halvard", "dwLanguageId", ""), "1033");
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(path.parent_path())) ++files;
    EXPECT_EQ(files, 1);
}

TEST(IniFileWrite, FailsCleanlyWhenTheTargetCannotBeWritten) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "adir");
    EXPECT_FALSE(WriteProfileString(dir.path() / "adir", "S", "k", "v"));
    // A folder component that is a file.
    dir.Write("plain", "x");
    EXPECT_FALSE(WriteProfileString(dir.path() / "plain" / "s.ini", "S", "k", "v"));
}

TEST(IniFileWrite, RemoveDropsOneKey) {
    TempDir dir;
    const auto path = dir.Write("s.ini", "[S]\na=1\nb=2\n");
    IniFile ini(path);
    ASSERT_TRUE(ini.Remove("s", "A"));
    EXPECT_EQ(TempDir::Read(path), "[S]\nb=2\n");
    EXPECT_TRUE(ini.Remove("S", "absent"));
}

TEST(IniFileInMemory, SetWithoutPathChangesOnlyMemory) {
    auto ini = IniFile::FromString("[S]\nk=v\n");
    ASSERT_TRUE(ini.Set("S", "k", "w"));
    ASSERT_TRUE(ini.Set("T", "n", "1"));
    EXPECT_EQ(ini.ToString(), "[S]\nk=w\n\n[T]\nn=1\n");
}

}  // namespace
}  // namespace talvenix::text

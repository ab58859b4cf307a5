#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "TempDir.h"
#include "core/text/LanguageTable.h"
#include "core/text/Utf.h"

namespace talvenix::text {
namespace {

using testing::TempDir;

// Restores the built-in table so tests do not leak a loaded language into each other.
class LanguageTableTest : public ::testing::Test {
protected:
    void TearDown() override { SetCurrentLanguageTable(LanguageTable()); }
    TempDir dir;
};

std::string Utf16LeFile(std::string_view utf8) { return "\xFF\xFE" + Utf16ToLeBytes(Utf8ToUtf16(utf8)); }

TEST_F(LanguageTableTest, BuiltInTextsInTableOrder) {
    const LanguageTable t;
    // The table's own 221 entries, then the shell's two messages.
    EXPECT_EQ(kTextCount, 223u);
    EXPECT_EQ(TextIdName(static_cast<TextId>(0)), "KEYBOARD_ESC");
    EXPECT_EQ(TextIdName(static_cast<TextId>(220)), "MAIN_BUTTON_KALTEV_VER");
    EXPECT_EQ(TextIdName(static_cast<TextId>(kTextCount - 1)), "IMPORT_REFUSED");
    EXPECT_EQ(t.Text(TextId::KEYBOARD_S_AST), "KEYBOARD_S_AST");  // key names: the id itself
    EXPECT_EQ(t.Text(TextId::UNKNOWN_KEY), "Unknown Key: %03x");
    EXPECT_EQ(t.Text(TextId::MEDIA_MAIL_18), "Hello world");
    EXPECT_EQ(t.Text(TextId::MAIN_CAPTION), "Gaming Keyboard Settings");
    EXPECT_EQ(t.Text(TextId::FUNC_KEY_DESC9), "Select All");
    EXPECT_EQ(t.Text(TextId::KEY_PROMPT_SET), "Keys, Set: ");
    EXPECT_EQ(t.Text(TextId::PROFILE_NEW), "\\The new contextual  mode");
    EXPECT_EQ(t.Text(TextId::MAIN_NO_DEVICE_PROMPT),
              "Device is not detected，the key settings can not be displayed! ");
    EXPECT_EQ(t.Text(TextId::MAIN_UPDATE_BACKUP_OK), "备份成功!");
    EXPECT_EQ(t.Text(TextId::MAIN_BUTTON_KALTEV_VER), "");
    EXPECT_EQ(TextIdOfName("KEY_PROMPT_MEDIA"), TextId::KEY_PROMPT_MEDIA);
    EXPECT_FALSE(TextIdOfName("key_prompt_media").has_value());
    // The table's ids are unique: each name finds its own position.
    for (std::size_t i = 0; i < kTextCount; ++i) {
        EXPECT_EQ(TextIdOfName(TextIdName(static_cast<TextId>(i))), static_cast<TextId>(i));
    }
}

TEST_F(LanguageTableTest, LoadsChineseFromUtf16LeFileAndMissingKeysGiveASpace) {
    const auto file = dir.Write("language.ini",
                                Utf16LeFile("[CHINESE]\r\nMAIN_CAPTION=游戏键盘设置\r\nKEYBOARD_ESC=退出\r\n"
                                            "[ENGINSH]\r\nMAIN_CAPTION=Keyboard\r\nUNKNOWN_KEY=?%03X\r\n"));
    const auto zh = LanguageTable::Load(file, kChinese);
    EXPECT_EQ(zh.Section(), "CHINESE");
    EXPECT_EQ(zh.Text(TextId::MAIN_CAPTION), "游戏键盘设置");
    EXPECT_EQ(zh.Text(TextId::KEYBOARD_ESC), "退出");
    EXPECT_EQ(zh.Text(TextId::UNKNOWN_KEY), " ");  // missing in this section: one space
    EXPECT_EQ(zh.Text(TextId::MAIN_BUTTON_KALTEV_VER), " ");

    const auto en = LanguageTable::Load(file, kEnglish);
    EXPECT_EQ(en.Section(), "ENGINSH");
    EXPECT_EQ(en.Text(TextId::MAIN_CAPTION), "Keyboard");
    EXPECT_EQ(en.Text(TextId::UNKNOWN_KEY), "?%03X");
}

TEST_F(LanguageTableTest, AnyOtherIndexMeansEnglish) {
    const auto file = dir.Write("language.ini", "[ENGINSH]\nMAIN_CAPTION=en\n[CHINESE]\nMAIN_CAPTION=zh\n");
    EXPECT_EQ(LanguageTable::Load(file, 7).Text(TextId::MAIN_CAPTION), "en");
    EXPECT_EQ(LanguageTable::Load(file, kChinese).Text(TextId::MAIN_CAPTION), "zh");
}

TEST_F(LanguageTableTest, MissingFileGivesSpacesNotBuiltInTexts) {
    const auto t = LanguageTable::Load(dir.path() / "absent.ini", kEnglish);
    for (std::size_t i = 0; i < kTextCount; ++i)
        EXPECT_EQ(t.TextAt(i), " ") << TextIdName(static_cast<TextId>(i));
    EXPECT_EQ(t.FileText("MENU_1"), " ");
    EXPECT_EQ(t.TextAt(kTextCount), "");
}

TEST_F(LanguageTableTest, LongTextsAreCutToWhatTheEntryHolds) {
    std::string longZh;
    for (int i = 0; i < 400; ++i) longZh += "键";
    const auto file =
        dir.Write("language.ini", "[ENGINSH]\nMAIN_CAPTION=" + longZh + "\nMAIN_UPDATE_BACKUP_OK=" + longZh +
                                      "\nMAIN_UPDATE_ERROR_TEXT=0123456789abcdefgh\n");
    const auto t = LanguageTable::Load(file, kEnglish);
    EXPECT_EQ(Utf16Length(t.Text(TextId::MAIN_CAPTION)), 259u);
    EXPECT_EQ(t.Text(TextId::MAIN_UPDATE_BACKUP_OK), "键键键键键");
    EXPECT_EQ(t.Text(TextId::MAIN_UPDATE_ERROR_TEXT), "0123456789abc");
    // The built-in texts of the five short entries fit their own storage.
    const LanguageTable builtIn;
    for (TextId id :
         {TextId::MAIN_UPDATE_ERROR_TEXT, TextId::MAIN_BOOT_ERROR_TEXT, TextId::MAIN_SHELL_ERROR_TEXT,
          TextId::MAIN_UPDATE_BACKUP_OK, TextId::MAIN_UPDATE_BACKUP_NG}) {
        EXPECT_EQ(builtIn.Text(id), BuiltInText(id));
        EXPECT_LE(Utf16Length(BuiltInText(id)), TextCapacity(id));
    }
}

TEST_F(LanguageTableTest, KeysOutsideTheTableReadFromTheSameFile) {
    const auto file =
        dir.Write("language.ini",
                  "[ENGINSH]\nMENU_1=Import\nENGINSH_6=English\n[CHINESE]\nCHINESE_5=中文\nMENU_1=导入\n");
    LoadLanguageTable(file, kEnglish);
    EXPECT_EQ(LanguageFileText("MENU_1"), "Import");
    EXPECT_EQ(LanguageFileText("MENU_2"), " ");
    EXPECT_EQ(LanguageFileText("CHINESE", "CHINESE_5"), "中文");
    EXPECT_EQ(LanguageFileText("ENGINSH", "ENGINSH_6"), "English");
}

TEST_F(LanguageTableTest, CurrentTableSwapsAsAWhole) {
    const auto zhFile =
        dir.Write("language.ini", "[CHINESE]\nMAIN_CAPTION=设置\n[ENGINSH]\nMAIN_CAPTION=Settings\n");
    EXPECT_EQ(LanguageText(TextId::MAIN_CAPTION), "Gaming Keyboard Settings");
    LoadLanguageTable(zhFile, kChinese);
    EXPECT_EQ(LanguageText(TextId::MAIN_CAPTION), "设置");
    EXPECT_EQ(LanguageText("MAIN_CAPTION"), "设置");
    EXPECT_FALSE(LanguageText("NOT_AN_ID").has_value());
    const auto held = CurrentLanguageTable();
    LoadLanguageTable(zhFile, kEnglish);
    EXPECT_EQ(LanguageText(TextId::MAIN_CAPTION), "Settings");
    EXPECT_EQ(held->Text(TextId::MAIN_CAPTION), "设置");  // a held table never changes under its reader
}

TEST_F(LanguageTableTest, ReadersOnOtherThreadsAlwaysSeeACompleteTable) {
    const auto file = dir.Write("language.ini",
                                "[CHINESE]\nMAIN_CAPTION=zh\nMAIN_HELP_PROMPT=zh\n"
                                "[ENGINSH]\nMAIN_CAPTION=en\nMAIN_HELP_PROMPT=en\n");
    LoadLanguageTable(file, kEnglish);
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 3; ++r) {
        readers.emplace_back([&] {
            while (!stop) {
                const auto t = CurrentLanguageTable();
                if (t->Text(TextId::MAIN_CAPTION) != t->Text(TextId::MAIN_HELP_PROMPT)) ++torn;
            }
        });
    }
    for (int i = 0; i < 200; ++i) LoadLanguageTable(file, i % 2);
    stop = true;
    for (auto& t : readers) t.join();
    EXPECT_EQ(torn, 0);
}

}  // namespace
}  // namespace talvenix::text

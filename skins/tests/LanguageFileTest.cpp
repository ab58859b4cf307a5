// The language file: every text the program asks for, in both languages, with matching format markers.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include "SkinTestSupport.h"

using namespace skingen;
using namespace skintest;

namespace {

// The language table's ids, in table order.
const QStringList& TableIds() {
    static const QStringList ids = [] {
        QStringList l = {"KEYBOARD_ESC"};
        for (int i = 1; i <= 9; ++i) l << QStringLiteral("KEYBOARD_%1").arg(i);
        l << "KEYBOARD_0"
          << "KEYBOARD_MINUS"
          << "KEYBOARD_EQU"
          << "KEYBOARD_BS"
          << "KEYBOARD_TAB";
        for (const char* k :
             {"Q",   "W",     "E",     "R",    "T",      "Y",      "U",     "I",    "O",     "P",   "SB1",
              "SB2", "ENTER", "LCTRL", "A",    "S",      "D",      "F",     "G",    "H",     "J",   "K",
              "L",   "SEM",   "QUOT",  "AID1", "LSHIFT", "AV",     "Z",     "X",    "C",     "V",   "B",
              "N",   "M",     "COMMA", "PER",  "VIR",    "RSHIFT", "S_AST", "LALT", "SPACE", "CAPS"})
            l << QStringLiteral("KEYBOARD_") + QLatin1String(k);
        for (int i = 1; i <= 10; ++i) l << QStringLiteral("KEYBOARD_F%1").arg(i);
        for (const char* k :
             {"PAUSE",        "SCROLL",     "S_7",          "S_8",          "S_9",         "S_MINUS",
              "S_4",          "S_5",        "S_6",          "S_PLUS",       "S_1",         "S_2",
              "S_3",          "S_0",        "S_DEL",        "SYSREQ",       "K45",         "F11",
              "F12",          "ROMA",       "KL",           "KR",           "K56",         "CHG",
              "N_CHG",        "K14",        "K107",         "S_ENTER",      "RCTRL",       "S_VIR",
              "PRINT",        "RALT",       "NUM",          "BREAK",        "HOME",        "UP",
              "PAGE_UP",      "LEFT",       "RIGHT",        "END",          "DOWN",        "PAGE_DOWN",
              "INSERT",       "DELETE",     "LWIN",         "RWIN",         "APP",         "POWER",
              "SLEEP",        "WAKE",       "MOU_PANLEFT",  "MOU_PANRIGHT", "MOU_DBCLICK", "MOU_LEFT",
              "MOU_RIGHT",    "MOU_MIDDLE", "FUNC_ZOOMOUT", "FUNC_ZOOMIN",  "FUNC_COPY",   "FUNC_CUT",
              "FUNC_PASTE",   "FUNC_MINI",  "FUNC_MAXI",    "FUNC_WORD",    "FUNC_EXCEL",  "FUNC_POWERPOINT",
              "FUNC_CALENDAR"})
            l << QStringLiteral("KEYBOARD_") + QLatin1String(k);
        l << "UNKNOWN_KEY";
        l << "MEDIA_PALYER_1"
          << "MEDIA_PALY_PAUSE_2"
          << "MEDIA_STOP_PALY_3"
          << "MEDIA_PREV_TRACK_4"
          << "MEDIA_Next_TRACK_5"
          << "MEDIA_V_LOW_6"
          << "MEDIA_V_ADD_7"
          << "MEDIA_MUTE_8"
          << "MEDIA_WWW_HOME_9"
          << "MEDIA_WWW_REFRESH_10"
          << "MEDIA_WWW_STOP_11"
          << "MEDIA_WWW_BACK_12"
          << "MEDIA_WWW_FORWARD_13"
          << "MEDIA_WWW_FAVORITE_14"
          << "MEDIA_WWW_SEARCH_15"
          << "MEDIA_MY_PC_16"
          << "MEDIA_CALC_17"
          << "MEDIA_MAIL_18";
        l << "KEYBOARD_TRAY_DESC"
          << "MAIN_CAPTION"
          << "MAIN_HELP_PROMPT"
          << "MAIN_MINIMIZE_PROMPT"
          << "MAIN_MENU_PROMPT"
          << "MAIN_CLOSE_PROMPT"
          << "MAIN_PROMPT_DEFAULT"
          << "MAIN_PROMPT_INPORT"
          << "MAIN_PROMPT_DRIVER_TEXT"
          << "MAIN_PROMPT_DRIVER_TITLE"
          << "MAIN_SWITCH_FUNCTION_TEXT"
          << "MAIN_SWITCH_COLOR_TEXT"
          << "MAIN_DEFAULT_MATRIX_PROMPT"
          << "MAIN_NO_DEVICE_PROMPT";
        for (int i = 1; i <= 11; ++i) l << QStringLiteral("FUNC_KEY_DESC%1").arg(i);
        l << "APPLY_PROMPT"
          << "MACRO_DELETE_CONFIRM_OF_KEYS"
          << "KEY_PROMPT"
          << "KEY_PROMPT_SET"
          << "KEY_PROMPT_SINGLE"
          << "KEY_PROMPT_MACRO"
          << "KEY_PROMPT_MEDIA"
          << "KEY_PROMPT_FUNCTION";
        l << "MACRO_ACTION_RECORD_DELAY"
          << "MACRO_NEW_PREFIX"
          << "MACRO_ERR_MAX"
          << "MACRO_ERR_SAME"
          << "MACRO_ERR_NAME_SYSTEM"
          << "MACRO_DEFAULT_NAME"
          << "MACRO_ERR_RECORD"
          << "MACRO_KEYS_TISHI"
          << "MACRO_ACTION_TISHI"
          << "MACRO_DELAY_MS"
          << "MACRO_ACTION_CLEAR_CONFIRM"
          << "MACRO_ACTION_ERR_MODIFY"
          << "MACRO_ACTION_ERR_DELAY_MIN"
          << "MACRO_ACTION_ERR_DELAY_MAX"
          << "MACRO_ACTION_RECORD"
          << "MACRO_ACTION_STOP_RECORD"
          << "EXTRA_MACRO_TOO_LONG";
        l << "DEFAULT_PROFILE_NAME"
          << "PROFILE_SELECT_PROMPT"
          << "PROFILE_SEELCT_PROMPT2"
          << "PROFILE_SELECT_PROMPT3"
          << "PROFILE_LOAD_PROMPT"
          << "PROFILE_CHECK_PROMPT"
          << "PROFILE_FORMAT_ERROR"
          << "PROFILE_NEW"
          << "PROFILE_TIP"
          << "PROFILE_EDITING"
          << "EXTRA_PROFILE_SPACE_TIGHT";
        l << "MAIN_UPDATE_ERROR_TEXT"
          << "MAIN_BOOT_ERROR_TEXT"
          << "MAIN_SHELL_ERROR_TEXT"
          << "MAIN_UPDATE_BACKUP_OK"
          << "MAIN_UPDATE_BACKUP_NG"
          << "MAIN_BUTTON_KALTEV_VER"
          << "APPLY_NOT_TAKEN"
          << "IMPORT_REFUSED";
        return l;
    }();
    return ids;
}

// Keys read from the same file by the windows that use them.
const QStringList& OtherKeys() {
    static const QStringList keys = {
        "MENU_1", "MENU_2", "MENU_3", "MENU_4", "CHINESE_5", "ENGINSH_6", "MENU_11", "MENU_22", "MENU_33",
        "GUANYU_TITLE", "GUANYU_JIESHAO", "GUANYU_BANQUAN", "GUANYU_OK", "PROFILE_1", "PROFILE_2",
        "PROFILE_3", "PROFILE_MACRO", "PROFILE_DEFAULT", "PROFILE_OK", "PROFILE_CANCLE", "PROFILE_APPLY",
        "COMPOSITE_PROMPT_CLEAR", "COMPOSITE_PROMPT_OSK", "COMPOSITE_MACRO_OVER", "MACRO_CYCLES",
        "RECORD_DELAY", "SINGLE_KEY", "MACRO_SETTING", "MULTI_MEDIA", "FUNCTION_KEY", "A_TOP", "A_UP",
        "A_DOWN", "A_BOTTOM", "A_RECORD", "A_DELETE", "A_CLEAR", "MACRO_OK", "MACRO_CANCLE", "SINGLE_STATIC",
        "MACRO_NAME_SETTING", "KEY_SETTING_TISHI", "MACRO_EDIT_TISHI", "MEDIA_EDIT_TISHI", "FUNCTION_TISHI",
        // key assignment dialogs and macro editor
        "COMPOSITE_TITLE", "KEY_DLG_TITLE", "KEY_DLG_HINT", "KEY_DLG_NOTE", "KEY_SEL_1", "KEY_SEL_2",
        "KEY_SEL_3", "KEY_SEL_4", "KEY_SEL_5", "KEY_SEL_6", "KEY_SEL_7", "KEY_BROWSE_TITLE",
        "KEY_BROWSE_FILTER", "KEY_ERR_NO_KEY", "KEY_ERR_NO_MACRO", "KEY_ERR_NO_PATH", "KEY_MENU_MORE",
        "MACRO_EDITOR_TITLE", "MACRO_PLAY_MODE", "MACRO_ADD", "MACRO_DELETE", "MACRO_ERR_NAME_EMPTY",
        "MACRO_ERR_COMMIT", "MACRO_LEFT_PRESSED", "MACRO_LEFT_PRESSED_ASK", "MACRO_GAUGE",
        "MACRO_GAUGE_UNKNOWN", "MACRO_GAUGE_OVER_ASK", "MACRO_TEXT_PROMPT", "MACRO_TEXT_ADD",
        "MACRO_TEXT_UNSUPPORTED", "MACRO_TEXT_TOO_LONG", "OSK_NONE", "OSK_FAILED",
        // lighting panel messages
        "LIGHT_NOT_TAKEN", "LIGHT_FILE_NOT_SAVED", "LIGHT_SET_NAME_BAD"};
    return keys;
}

QStringList Markers(const QString& text) {
    static const QRegularExpression re(QStringLiteral("%[-+ #0]*\\d*(?:\\.\\d+)?[a-zA-Z]"));
    QStringList out;
    for (auto it = re.globalMatch(text); it.hasNext();) out << it.next().captured();
    return out;
}

SkinIni Language() { return LoadIni(SkinDir().filePath("language.ini")); }

}  // namespace

TEST(LanguageFile, TableHasItsDistinctIds) {
    QStringList ids = TableIds();
    ids.removeDuplicates();
    EXPECT_EQ(ids.size(), TableIds().size());
    EXPECT_EQ(TableIds().size(), 223);  // the table's 221, then the shell's two messages
}

TEST(LanguageFile, BothSectionsHoldEveryIdWithARealText) {
    const SkinIni language = Language();
    for (const char* section : {"CHINESE", "ENGINSH"}) {
        for (const QString& id : TableIds() + OtherKeys()) {
            ASSERT_TRUE(language.HasKey(section, id)) << section << " lacks " << qPrintable(id);
            const QString text = language.Value(section, id);
            EXPECT_FALSE(text.trimmed().isEmpty()) << section << " " << qPrintable(id);
            EXPECT_LE(text.size(), 259) << section << " " << qPrintable(id) << " does not fit a table entry";
        }
    }
}

TEST(LanguageFile, FormatMarkersMatchInBothLanguages) {
    const SkinIni language = Language();
    for (const QString& id : TableIds() + OtherKeys())
        EXPECT_EQ(Markers(language.Value("CHINESE", id)), Markers(language.Value("ENGINSH", id)))
            << qPrintable(id);
    // The texts the program formats with a number or a string.
    EXPECT_EQ(Markers(language.Value("ENGINSH", "UNKNOWN_KEY")), QStringList{"%03x"});
    EXPECT_EQ(Markers(language.Value("ENGINSH", "MACRO_ERR_MAX")), QStringList{"%d"});
    EXPECT_EQ(Markers(language.Value("ENGINSH", "MACRO_ACTION_ERR_DELAY_MIN")), QStringList{"%d"});
    EXPECT_EQ(Markers(language.Value("ENGINSH", "MACRO_ACTION_ERR_DELAY_MAX")), QStringList{"%d"});
    EXPECT_EQ(Markers(language.Value("ENGINSH", "PROFILE_FORMAT_ERROR")), QStringList{"%s"});
    EXPECT_TRUE(Markers(language.Value("ENGINSH", "MAIN_NO_DEVICE_PROMPT")).isEmpty());
}

TEST(LanguageFile, TextsThatNameStoredThingsAreTheSameInEveryLanguage) {
    const SkinIni language = Language();
    // The record-delay switch is stored in the settings under this text: a language change must not
    // lose it.
    EXPECT_EQ(language.Value("CHINESE", "MACRO_ACTION_RECORD_DELAY"), "RecordDelay");
    EXPECT_EQ(language.Value("ENGINSH", "MACRO_ACTION_RECORD_DELAY"), "RecordDelay");
    // Each language item is labelled in its own language.
    EXPECT_EQ(language.Value("CHINESE", "CHINESE_5"), QString::fromUtf8("中文"));
    EXPECT_EQ(language.Value("ENGINSH", "ENGINSH_6"), "English");
    // The sections are really translated.
    EXPECT_NE(language.Value("CHINESE", "MAIN_CAPTION"), language.Value("ENGINSH", "MAIN_CAPTION"));
    EXPECT_EQ(language.Value("ENGINSH", "MAIN_CAPTION"), "Gaming Keyboard Settings");
}

TEST(LanguageFile, PrefixesKeepTheBlankBeforeWhatFollowsThem) {
    // Readers trim values, so a prefix that needs its trailing blank is quoted in the file.
    const SkinIni language = Language();
    EXPECT_TRUE(language.Value("ENGINSH", "KEY_PROMPT_SET").endsWith(QLatin1Char(' ')));
    EXPECT_TRUE(language.Value("ENGINSH", "PROFILE_TIP").endsWith(QLatin1Char(' ')));
    EXPECT_TRUE(language.Value("CHINESE", "PROFILE_TIP").endsWith(QChar(0xFF1A)));  // full-width colon
}

TEST(LanguageFile, IsValidUtf8WithoutLineBreaksInTexts) {
    QFile file(SkinDir().filePath("language.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    EXPECT_FALSE(decoder.hasError());
    // A profile-string reader cannot carry a line break inside a value; the texts spell none.
    const SkinIni language = Language();
    for (const char* section : {"CHINESE", "ENGINSH"})
        for (const auto& [key, value] : language.Entries(section))
            EXPECT_FALSE(value.contains(QLatin1String("\\n")) || value.contains(QLatin1String("\\r")))
                << section << " " << qPrintable(key);
}

TEST(LanguageFile, EffectNamesAndCaptionsMatchTheMainLayout) {
    const SkinIni language = Language();
    const SkinIni main = Layout("Main.ini");
    for (const char* section : {"Mode", "Mode1", "Control_Name", "Control_Name1"}) {
        const auto entries = main.Entries(section);
        ASSERT_FALSE(entries.isEmpty()) << section;
        EXPECT_EQ(language.Entries(section), entries) << section;
    }
}

TEST(LanguageFile, FirmwareTextsFitTheirSmallEntries) {
    // These five entries hold only as many characters as their built-in Chinese texts.
    const struct {
        const char* id;
        qsizetype units;
    } small[] = {{"MAIN_UPDATE_ERROR_TEXT", 13},
                 {"MAIN_BOOT_ERROR_TEXT", 13},
                 {"MAIN_SHELL_ERROR_TEXT", 11},
                 {"MAIN_UPDATE_BACKUP_OK", 5},
                 {"MAIN_UPDATE_BACKUP_NG", 11}};
    const SkinIni language = Language();
    for (const char* section : {"CHINESE", "ENGINSH"})
        for (const auto& e : small)
            EXPECT_LE(language.Value(section, QString::fromLatin1(e.id)).size(), e.units)
                << section << " " << e.id;
}

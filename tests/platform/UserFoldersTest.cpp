// The user's folders and language as the environment and user-dirs.dirs give them.
#include <gtest/gtest.h>

#include "platform/UserFolders.h"
#include "tests/platform/ScopedEnv.h"
#include "tests/support/TempHome.h"

using namespace talvenix;
namespace fs = std::filesystem;

namespace {

class DocumentsFolderTest : public ::testing::Test {
protected:
    void WriteUserDirs(const std::string& text) {
        test::WriteFileBytes(home.ConfigFolder() / "user-dirs.dirs", text);
    }
    fs::path Home() const { return home.Path(); }

    test::TempHome home;
};

}  // namespace

TEST_F(DocumentsFolderTest, HomeRelativeEntryKeepsEveryCharacter) {
    // Written by xdg-user-dirs-update, with the other folders around it.
    WriteUserDirs(
        "# This file is written by xdg-user-dirs-update\n"
        "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
        "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
        "XDG_MUSIC_DIR=\"$HOME/Musik\"\n");
    EXPECT_EQ(platform::DocumentsFolder(), Home() / "Dokumente");

    WriteUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/My Papers/2026\"\n");
    EXPECT_EQ(platform::DocumentsFolder(), Home() / "My Papers" / "2026");

    WriteUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/D\"\n");
    EXPECT_EQ(platform::DocumentsFolder(), Home() / "D");
}

TEST_F(DocumentsFolderTest, AbsoluteEntryQuotedOrNot) {
    WriteUserDirs("XDG_DOCUMENTS_DIR=\"/srv/shared/docs\"\n");
    EXPECT_EQ(platform::DocumentsFolder(), fs::path("/srv/shared/docs"));
    WriteUserDirs("XDG_DOCUMENTS_DIR=/srv/shared/docs\n");
    EXPECT_EQ(platform::DocumentsFolder(), fs::path("/srv/shared/docs"));
}

TEST_F(DocumentsFolderTest, ComesFromTheConfigFolderInUse) {
    const fs::path other = Home() / "elsewhere";
    fs::create_directories(other);
    test::WriteFileBytes(other / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/FromElsewhere\"\n");
    WriteUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/FromDefault\"\n");
    test::ScopedEnv env;
    env.Set("XDG_CONFIG_HOME", other.string());
    EXPECT_EQ(platform::DocumentsFolder(), Home() / "FromElsewhere");
    env.Unset("XDG_CONFIG_HOME");
    EXPECT_EQ(platform::DocumentsFolder(), Home() / "FromDefault");  // ~/.config
}

TEST_F(DocumentsFolderTest, UnusableEntriesFallBackToDocumentsInHome) {
    const fs::path fallback = Home() / "Documents";
    EXPECT_EQ(platform::DocumentsFolder(), fallback);  // no user-dirs.dirs at all
    // The home folder itself means "no such folder" to xdg-user-dirs.
    for (const char* text : {"XDG_DOCUMENTS_DIR=\"$HOME\"\n", "XDG_DOCUMENTS_DIR=\"$HOME/\"\n",
                             "XDG_DOCUMENTS_DIR=\"\"\n", "XDG_DOCUMENTS_DIR=\"relative/docs\"\n",
                             "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", "# XDG_DOCUMENTS_DIR=\"/srv/docs\"\n"}) {
        WriteUserDirs(text);
        EXPECT_EQ(platform::DocumentsFolder(), fallback) << text;
    }
}

TEST(UserFolders, ConfigAndHomeFolders) {
    test::TempHome home;
    test::ScopedEnv env;
    env.Set("XDG_CONFIG_HOME", "/srv/cfg");
    EXPECT_EQ(platform::ConfigFolder(), fs::path("/srv/cfg"));
    env.Set("XDG_CONFIG_HOME", "");
    EXPECT_EQ(platform::ConfigFolder(), home.Path() / ".config");
    env.Unset("XDG_CONFIG_HOME");
    EXPECT_EQ(platform::ConfigFolder(), home.Path() / ".config");

    EXPECT_EQ(platform::HomeFolder(), home.Path());
    // Without HOME the password database still names a home folder.
    env.Unset("HOME");
    const fs::path fromPasswd = platform::HomeFolder();
    EXPECT_FALSE(fromPasswd.empty());
    EXPECT_TRUE(fromPasswd.is_absolute()) << fromPasswd;
    env.Set("HOME", "");
    EXPECT_EQ(platform::HomeFolder(), fromPasswd);
}

TEST(UserFolders, ProgramFolderHoldsTheRunningProgramUnlessOverridden) {
    test::ScopedEnv env;
    env.Unset("TALVENIX_PROGRAM_DIR");
    EXPECT_TRUE(fs::exists(platform::ProgramFolder() / "test_platform")) << platform::ProgramFolder();
    env.Set("TALVENIX_PROGRAM_DIR", "/opt/elsewhere");
    EXPECT_EQ(platform::ProgramFolder(), fs::path("/opt/elsewhere"));
}

TEST(SystemLanguage, FirstNonEmptyOfLcAllLcMessagesLang) {
    test::ScopedEnv env;
    env.Set("LC_ALL", "zh_CN.UTF-8");
    env.Set("LC_MESSAGES", "de_DE.UTF-8");
    env.Set("LANG", "en_US.UTF-8");
    EXPECT_EQ(platform::SystemLanguageString(), "zh_CN.UTF-8");
    env.Set("LC_ALL", "");  // set but empty counts as unset
    EXPECT_EQ(platform::SystemLanguageString(), "de_DE.UTF-8");
    env.Unset("LC_MESSAGES");
    EXPECT_EQ(platform::SystemLanguageString(), "en_US.UTF-8");
    env.Unset("LANG");
    env.Unset("LC_ALL");
    EXPECT_EQ(platform::SystemLanguageString(), "");
}

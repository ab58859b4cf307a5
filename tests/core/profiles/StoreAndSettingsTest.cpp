// Where the store lives, when it is written, and the "PROFILES" settings values.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/profiles/ProfileSettings.h"
#include "core/profiles/ProfileStore.h"
#include "core/text/IniFile.h"
#include "tests/support/TempHome.h"

using namespace talvenix;
using namespace talvenix::profiles;

TEST(ProfileStore, LivesInTheTalvenixFolderOfTheDocuments) {
    test::TempHome home;
    const ProfileStore store(home.DocumentsFolder());
    EXPECT_EQ(store.Folder(), home.DocumentsFolder() / "Talvenix");
    EXPECT_EQ(store.StoreFile(), home.DocumentsFolder() / "Talvenix" / "$Profile0");
    EXPECT_EQ(ProfileStore::StoreFileName(2), "$Profile2");
    EXPECT_EQ(store.EnsureFolder(), ProfileStore::FolderResult::Created);
    EXPECT_EQ(store.EnsureFolder(), ProfileStore::FolderResult::Existed);
}

TEST(ProfileStore, SaveToStoreWritesOnlyAnExistingStoreFile) {
    test::TempHome home;
    const ProfileStore store(home.DocumentsFolder());
    store.EnsureFolder();
    macros::WorkingConfig working;
    EXPECT_FALSE(SaveToStore(store, working));
    EXPECT_FALSE(store.StoreExists());
    test::WriteFileBytes(store.StoreFile(), "x");
    EXPECT_TRUE(SaveToStore(store, working));
    EXPECT_EQ(std::filesystem::file_size(store.StoreFile()), 32832u);
}

TEST(ProfileStore, ReloadDropsUnappliedChangesAndAFailedReloadKeepsThem) {
    test::TempHome home;
    const ProfileStore store(home.DocumentsFolder());
    store.EnsureFolder();
    macros::WorkingConfig working;
    EXPECT_EQ(ReloadFromStore(store, working), ProfileFileLoad::Status::Missing);
    ASSERT_TRUE(CreateDefaultProfileFile(store.StoreFile()));
    working.Lock()->image.keys[5].kind = 1;  // an unapplied change
    EXPECT_EQ(ReloadFromStore(store, working), ProfileFileLoad::Status::Ok);
    EXPECT_EQ(working.Copy().image.keys[5].kind, 0);
}

namespace {
class Settings : public ::testing::Test {
protected:
    std::filesystem::path File() const { return ProfileSettings::FileFor(home.ConfigFolder(), "Talvenix"); }
    std::string Raw(std::string_view key) const {
        return text::IniFile(File()).Get("PROFILES", key, "<none>");
    }
    void SetRaw(std::string_view key, std::string_view value) {
        std::filesystem::create_directories(File().parent_path());
        text::IniFile ini(File());
        ASSERT_TRUE(ini.Set("PROFILES", key, value));
    }
    test::TempHome home;
};
}  // namespace

TEST_F(Settings, FileSitsUnderTheSettingsRoot) {
    EXPECT_EQ(File(), home.ConfigFolder() / "Talvenix_Oberdin" / "Talvenix.ini");
}

TEST_F(Settings, SwitchesDefaultToOffAndKeepZeroOrOne) {
    ProfileSettings s(File());
    EXPECT_FALSE(s.Flip());
    EXPECT_FALSE(s.RecordDelay());
    std::filesystem::create_directories(File().parent_path());
    EXPECT_TRUE(s.SetFlip(true));
    EXPECT_TRUE(s.Flip());
    EXPECT_EQ(Raw("Flip"), "1");
    EXPECT_TRUE(s.SetRecordDelay(true, "Aufnahmeverzoegerung"));
    EXPECT_TRUE(s.RecordDelay("Aufnahmeverzoegerung"));
    EXPECT_FALSE(s.RecordDelay());
}

TEST_F(Settings, AnyOtherNumberIsStoredAsZero) {
    SetRaw("Flip", "2");
    SetRaw("RecordDelay", "-1");
    ProfileSettings s(File());
    EXPECT_FALSE(s.Flip());
    EXPECT_EQ(Raw("Flip"), "0");
    EXPECT_FALSE(s.RecordDelay());
    EXPECT_EQ(Raw("RecordDelay"), "0");
}

TEST_F(Settings, ProfileRowsAreNumberedFromOneWithTheCountAtZero) {
    std::filesystem::create_directories(File().parent_path());
    ProfileSettings s(File());
    ASSERT_TRUE(s.SetProfileRows({"/home/u/Documents/Talvenix/$Profile0.tvx", "/tmp/game.tvx"}));
    EXPECT_EQ(Raw("PROFILE00"), "2");
    EXPECT_EQ(Raw("PROFILE01"), "/home/u/Documents/Talvenix/$Profile0.tvx");
    EXPECT_EQ(Raw("PROFILE02"), "/tmp/game.tvx");
    EXPECT_EQ(ProfileSettings::RowValueName(12), "PROFILE12");
    EXPECT_EQ(s.ProfileRows().size(), 2u);
    EXPECT_EQ(s.ProfileRows()[1], std::filesystem::path("/tmp/game.tvx"));
}

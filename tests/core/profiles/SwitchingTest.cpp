// Switching rules, the quick-switch menu, the profile manager's list and its settings, profile
// names and the firmware update's checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "core/device/Commands.h"
#include "core/profiles/FastSwitchMenu.h"
#include "core/profiles/FirmwareUpdate.h"
#include "core/profiles/ProfileManager.h"
#include "core/profiles/ProfileNames.h"
#include "core/profiles/ProfileSettings.h"
#include "core/profiles/SwitchRules.h"
#include "core/text/IniFile.h"
#include "tests/support/TempHome.h"

using namespace talvenix;
using namespace talvenix::profiles;
namespace fs = std::filesystem;

using Action = SwitchPlan::Action;

TEST(SwitchRules, AnyOpenEditorRefusesAndNothingIsSent) {
    for (int which = 0; which < 3; ++which) {
        SwitchRequest r;
        r.requested = 1;
        r.currentProfile = 0;
        r.unappliedChanges = true;
        (which == 0 ? r.editors.singleKey : which == 1 ? r.editors.macroEditor : r.editors.composite) = 1;
        const SwitchPlan plan = PlanSwitch(r);
        EXPECT_EQ(plan.action, Action::RefuseEditorOpen) << which;
        EXPECT_FALSE(plan.Sends());
        EXPECT_FALSE(plan.askSave);
    }
    SwitchRequest managerOnly;
    managerOnly.requested = 1;
    managerOnly.editors.manager = 1;
    EXPECT_EQ(PlanSwitch(managerOnly).action, Action::Switch);
}

TEST(SwitchRules, CurrentProfileAndDefaultItemOnlyRefresh) {
    SwitchRequest r;
    r.currentProfile = 2;
    r.requested = 2;
    r.unappliedChanges = true;  // staying on the profile keeps the changes; nothing to ask
    EXPECT_EQ(PlanSwitch(r).action, Action::RefreshOnly);
    EXPECT_FALSE(PlanSwitch(r).askSave);
    r.requested = -1;
    EXPECT_EQ(PlanSwitch(r).action, Action::RefreshOnly);
    r.currentProfile = -1;  // unknown profile: the default item still sends nothing
    EXPECT_FALSE(PlanSwitch(r).Sends());
}

TEST(SwitchRules, OutOfRangeMeansProfileZeroAndUnappliedChangesAsk) {
    SwitchRequest r;
    r.currentProfile = 1;
    r.requested = 7;
    SwitchPlan plan = PlanSwitch(r);
    EXPECT_EQ(plan.action, Action::Switch);
    EXPECT_EQ(plan.target, 0);
    EXPECT_FALSE(plan.askSave);
    r.unappliedChanges = true;
    EXPECT_TRUE(PlanSwitch(r).askSave);
    r.requested = 3;
    r.currentProfile = 0;  // 3 is profile 0, already current
    EXPECT_EQ(PlanSwitch(r).action, Action::RefreshOnly);
}

TEST(SwitchRules, SaveAnswersAndAFailedApplyStopTheSwitch) {
    EXPECT_EQ(AfterSaveQuestion(true), SaveAnswerStep::ApplyThenSwitch);
    EXPECT_EQ(AfterSaveQuestion(false), SaveAnswerStep::DropThenSwitch);
    EXPECT_TRUE(SwitchAfterApply(true));
    EXPECT_FALSE(SwitchAfterApply(false));
}

TEST(SwitchRules, GateKeepsASecondRequestOutUntilTheFirstFinishes) {
    SwitchGate gate;
    SwitchRequest r;
    r.currentProfile = 0;
    r.requested = 1;
    r.unappliedChanges = true;
    ASSERT_EQ(gate.Plan(r).action, Action::Switch);
    EXPECT_TRUE(gate.Busy());
    // While the question is up, a second request neither asks nor switches.
    r.requested = 2;
    EXPECT_EQ(gate.Plan(r).action, Action::Busy);
    gate.Finish();
    EXPECT_EQ(gate.Plan(r).action, Action::Switch);
    gate.Finish();
    // Refreshes never take the gate; a running Apply holds every switch back.
    r.requested = 0;
    gate.Plan(r);
    EXPECT_FALSE(gate.Busy());
    r.requested = 1;
    r.applyRunning = true;
    EXPECT_EQ(gate.Plan(r).action, Action::Busy);
    EXPECT_FALSE(gate.Busy());
}

TEST(FastSwitchMenu, ChecksTheCurrentProfileAndLabelsFollowTheCheck) {
    const std::array<std::string, 3> names{"Work", "Profile 2", "Games"};
    FastSwitchMenuModel m = BuildFastSwitchMenu(2, names, "<Default Profile>", "Current profile: ");
    ASSERT_EQ(m.items.size(), 5u);
    EXPECT_EQ(m.items[0].command, 9000);
    EXPECT_TRUE(m.items[1].IsSeparator());
    EXPECT_EQ(m.items[4].command, 9003);
    EXPECT_EQ(m.CheckedPosition(), 4);
    EXPECT_EQ(m.label, "Games");
    EXPECT_EQ(m.tooltip, "Current profile: Games");

    for (int unknown : {-1, 3}) {
        m = BuildFastSwitchMenu(unknown, names, "<Default Profile>", "Tip: ");
        EXPECT_EQ(m.CheckedPosition(), 0) << unknown;
        EXPECT_EQ(m.label, "<Default Profile>");
    }

    EXPECT_EQ(FastSwitchRequest(9000), -1);
    EXPECT_EQ(FastSwitchRequest(9001), 0);
    EXPECT_EQ(FastSwitchRequest(9200), 199);  // SwitchTarget makes that profile 0
    EXPECT_EQ(SwitchTarget(*FastSwitchRequest(9200)), 0);
    EXPECT_FALSE(FastSwitchRequest(8999));
    EXPECT_FALSE(FastSwitchRequest(9201));
}

TEST(ProfileManager, OpensWithThreeStoreRowsAndTheCurrentOneChecked) {
    const fs::path store = fs::path("/home/u/Documents/Talvenix") / "$Profile0";
    ProfileManagerModel m(store, 1);
    ASSERT_EQ(m.Rows().size(), 3u);
    EXPECT_EQ(m.Rows()[2].name, "$Profile0");
    EXPECT_EQ(m.Rows()[2].folder, "/home/u/Documents/Talvenix/");
    EXPECT_EQ(m.Rows()[0].SettingsPath(), "/home/u/Documents/Talvenix/$Profile0.tvx");
    EXPECT_EQ(m.Checked(), 1);
    EXPECT_FALSE(m.Modified());
    EXPECT_EQ(ProfileManagerModel(store, -1).Checked(), -1);
    EXPECT_EQ(ProfileManagerModel(store, 5).Checked(), -1);
}

TEST(ProfileManager, RowsBeyondTheThirdCannotBeChecked) {
    ProfileManagerModel m("/s/$Profile0", 0);
    m.Append("/x/extra.tvx");
    m.MarkApplied();
    EXPECT_EQ(m.SetChecked(3, true), ProfileManagerModel::CheckResult::BeyondKeyboardProfiles);
    EXPECT_EQ(m.Checked(), 0);
    EXPECT_FALSE(m.Modified());
    EXPECT_EQ(m.ProfileToSet(), 0);
    EXPECT_EQ(m.SetChecked(4, true), ProfileManagerModel::CheckResult::NotARow);

    EXPECT_EQ(m.SetChecked(2, true), ProfileManagerModel::CheckResult::Checked);
    EXPECT_TRUE(m.Modified());
    EXPECT_EQ(m.Checked(), 2);
    EXPECT_EQ(m.SetChecked(2, false), ProfileManagerModel::CheckResult::Unchecked);
    EXPECT_EQ(m.ProfileToSet(), -1);
}

TEST(ProfileManager, DeleteKeepsTheCheckWithItsRow) {
    ProfileManagerModel m("/s/$Profile0", 2);
    m.Append("/a/one.tvx");
    EXPECT_TRUE(m.Delete(0));
    EXPECT_EQ(m.Checked(), 1);
    EXPECT_EQ(m.Rows().back().name, "one");
    EXPECT_TRUE(m.Delete(1));  // the checked row
    EXPECT_EQ(m.Checked(), -1);
    EXPECT_FALSE(m.Delete(5));
    EXPECT_FALSE(m.Delete(-1));
    EXPECT_EQ(m.Rows().size(), 2u);
}

TEST(ProfileManager, ApplyStoresRowsAndCountUnderProfiles) {
    test::TempHome home;
    const fs::path file = ProfileSettings::FileFor(home.ConfigFolder(), "Talvenix");
    fs::create_directories(file.parent_path());
    ProfileSettings settings(file);
    ASSERT_TRUE(settings.SetFlip(true));

    ProfileManagerModel m("/s/$Profile0", 0);
    m.Append("/p/Games.tvx");
    ASSERT_TRUE(settings.SetProfileRows(m.SettingsRows()));
    text::IniFile ini(file);
    EXPECT_EQ(ini.Get("PROFILES", "PROFILE00"), "4");
    EXPECT_EQ(ini.Get("PROFILES", "PROFILE01"), "/s/$Profile0.tvx");
    EXPECT_EQ(ini.Get("PROFILES", "PROFILE04"), "/p/Games.tvx");
    EXPECT_EQ(ini.Get("PROFILES", "Flip"), "1");  // the other values stay

    m.Delete(3);
    m.Delete(0);
    ASSERT_TRUE(settings.SetProfileRows(m.SettingsRows()));
    EXPECT_EQ(settings.ProfileRows().size(), 2u);
}

TEST(ProfileNames, NewProfileSuggestionStaysAPlainNameInTheStoreFolder) {
    const fs::path store = "/home/u/Documents/Talvenix";
    EXPECT_EQ(SuggestNewProfilePath(store, "\\The new contextual  mode"),
              store / "The new contextual  mode.tvx");
    for (const char* hostile :
         {"/etc/passwd", "..\\..\\x", "../../.bashrc", "a/../../b", "..", "\\", " ", ""}) {
        const fs::path p = SuggestNewProfilePath(store, hostile);
        EXPECT_EQ(p.parent_path(), store) << hostile;
        EXPECT_NE(p.filename().string().front(), '.') << hostile;
        EXPECT_EQ(p.extension(), ".tvx") << hostile;
    }
    EXPECT_EQ(SafeFileStem("a\nb\tc"), "abc");
    EXPECT_EQ(SafeFileStem(std::string(300, 'x')).size(), kMaxNewProfileNameChars);
    EXPECT_LE(SafeFileStem(std::string(80, 'x') + "\xe4\xb8\xad").size(), 200u);
    std::string chinese;
    for (int i = 0; i < 100; ++i) chinese += "\xe6\x96\xb0";  // 3 bytes each
    EXPECT_EQ(SafeFileStem(chinese).size(), 64u * 3);

    const std::set<fs::path> taken{store / "New Profile.tvx", store / "New Profile (2).tvx"};
    EXPECT_EQ(
        SuggestNewProfilePath(store, "New Profile", [&](const fs::path& p) { return taken.count(p) > 0; }),
        store / "New Profile (3).tvx");
}

TEST(ProfileNames, TypedNamesAreCheckedStoredAndShown) {
    EXPECT_EQ(CheckProfileName("  Games  ").name, "Games");
    EXPECT_EQ(CheckProfileName("   ").result, ProfileNameCheck::Result::Cleared);
    EXPECT_EQ(CheckProfileName("a\nb").result, ProfileNameCheck::Result::ControlCharacter);
    EXPECT_EQ(CheckProfileName(std::string(33, 'g')).result, ProfileNameCheck::Result::TooLong);
    EXPECT_TRUE(CheckProfileName("\xe6\xb8\xb8\xe6\x88\x8f").Ok());

    test::TempHome home;
    const fs::path file = ProfileSettings::FileFor(home.ConfigFolder(), "Talvenix");
    fs::create_directories(file.parent_path());
    ProfileSettings settings(file);
    ASSERT_TRUE(settings.SetProfileName(0, "\"Quoted\" ; = name"));
    ASSERT_TRUE(settings.SetProfileName(2, "Games"));
    EXPECT_EQ(settings.ProfileName(0), "\"Quoted\" ; = name");
    EXPECT_FALSE(settings.SetProfileName(3, "x"));
    const std::array<std::string, 3> defaults{"Profile 1", "Profile 2", "Profile 3"};
    EXPECT_EQ(ShownProfileNames(settings.ProfileNames(), defaults),
              (std::array<std::string, 3>{"\"Quoted\" ; = name", "Profile 2", "Games"}));
    ASSERT_TRUE(settings.SetProfileName(2, ""));
    EXPECT_FALSE(settings.ProfileName(2));
    // A hand-edited value nobody could have typed falls back to the default.
    text::IniFile ini(file);
    ASSERT_TRUE(ini.Set("PROFILES", "ProfileName2", std::string(40, 'z')));
    EXPECT_EQ(ShownProfileNames(settings.ProfileNames(), defaults)[1], "Profile 2");
}

TEST(FirmwareUpdate, ChecksComeBeforeAnythingIsSent) {
    const UpdaterProbe good{true, true, true};
    EXPECT_EQ(CheckBeforeBootMode("", good, false), UpdateStop::ChooseCorrectFile);
    EXPECT_EQ(CheckBeforeBootMode("/u/flash", {false, false, false}, false), UpdateStop::ChooseCorrectFile);
    EXPECT_EQ(CheckBeforeBootMode("/u/flash", {true, true, false}, false), UpdateStop::ChooseCorrectFile);
    EXPECT_EQ(CheckBeforeBootMode("/u", {true, false, true}, false), UpdateStop::ChooseCorrectFile);
    EXPECT_EQ(CheckBeforeBootMode("/u/flash", good, true), UpdateStop::ApplyRunning);
    EXPECT_EQ(CheckBeforeBootMode("/u/flash", good, false), UpdateStop::None);

    EXPECT_EQ(AfterBootMode(1), UpdateStop::None);
    for (int refused : {0, -1, -2, 2})
        EXPECT_EQ(AfterBootMode(refused), UpdateStop::BootModeRefused) << refused;
    EXPECT_EQ(AfterStart(false), UpdateStop::UpdaterNotStarted);
    EXPECT_EQ(AfterStart(true), UpdateStop::None);
}

// Switching from the window: editors open, the save question (Yes applies, No reloads the
// store), the guard against asking twice, the current profile and "<Default Profile>" writing
// nothing, and the quick-switch menu's check mark, label and tooltip.
#include <QLabel>
#include <algorithm>

#include "core/device/Commands.h"
#include "core/profiles/ProfileFile.h"
#include "core/profiles/ReadBack.h"
#include "core/text/LanguageTable.h"
#include "gui/profiles/FastSwitchMenu.h"
#include "gui/profiles/ProfileSwitcher.h"
#include "tests/gui/profiles/ProfileWindowsFixture.h"

using namespace talvenix;
using namespace talvenix::test;

namespace {

class SwitchTest : public ProfileWindowsTest {
protected:
    void SetUp() override {
        ProfileWindowsTest::SetUp();
        gui::ProfileSwitchContext ctx;
        ctx.prompt = &prompt_;
        ctx.editors = [this] { return editors; };
        ctx.currentProfile = [this] { return keyboard_.CachedProfile(); };
        ctx.unappliedChanges = [this] { return applyPending; };
        ctx.applyRunning = [] { return false; };
        ctx.apply = [this](std::function<void(bool)> done) {
            ++applies;
            const bool saved = profiles::SaveToStore(*store_, working_);
            const bool downloaded =
                profiles::DownloadToKeyboard(working_, snapshot_, keyboard_, sim_->Transport(), false).Ok();
            if (saved && downloaded) applyPending = false;
            done(saved && downloaded);
        };
        ctx.dropChanges = [this] {
            applyPending = false;
            if (keyboard_.CachedProfile() >= 0) profiles::ReloadFromStore(*store_, working_);
        };
        ctx.setProfile = [this](int profile, std::function<void(bool)> done) {
            done(profiles::SwitchProfileOnKeyboard(keyboard_, sim_->Transport(), profile).Ok());
        };
        ctx.refresh = [this] {
            ++refreshes;
            if (menu) menu->Rebuild();
        };
        switcher = std::make_unique<gui::ProfileSwitcher>(std::move(ctx));
        keyboard_.GetCurrentProfile(sim_->Transport());
    }
    void TearDown() override {
        menu.reset();
        switcher.reset();
        ProfileWindowsTest::TearDown();
    }
    // Requests a switch and returns what `done` said.
    bool Switch(int n) {
        bool result = false;
        bool called = false;
        switcher->Request(n, [&](bool ok) {
            result = ok;
            called = true;
        });
        EXPECT_TRUE(called);
        return result;
    }
    std::uint8_t KeyboardProfile() const { return sim_->Memory(PELLORAN_SIM_CONFIG, 10, 1)[0]; }
    // Marks key 5 of profile 0 as edited in the working configuration.
    void EditKey() {
        working_.Lock()->image.keys[5].kind = 1;
        applyPending = true;
    }

    profiles::OpenEditors editors;
    bool applyPending = false;
    int applies = 0;
    int refreshes = 0;
    std::unique_ptr<gui::ProfileSwitcher> switcher;
    std::unique_ptr<gui::FastSwitchMenu> menu;
};

}  // namespace

TEST_F(SwitchTest, EachOpenEditorRefusesWithTheCloseMessageAndNothingChanges) {
    for (int which = 0; which < 3; ++which) {
        editors = {};
        (which == 0 ? editors.singleKey : which == 1 ? editors.macroEditor : editors.composite) = 1;
        prompt_.messages.clear();
        EXPECT_FALSE(Switch(2));
        ASSERT_EQ(prompt_.messages.size(), 1) << which;
        EXPECT_EQ(prompt_.messages[0].toStdString(),
                  text::LanguageText(text::TextId::PROFILE_SEELCT_PROMPT2));
    }
    EXPECT_EQ(ConfigWrites(), 0u);
    EXPECT_EQ(KeyboardProfile(), 0);
    EXPECT_EQ(refreshes, 0);
}

TEST_F(SwitchTest, CurrentProfileTwiceAndTheDefaultItemWriteNoConfigBlock) {
    EXPECT_TRUE(Switch(1));
    EXPECT_EQ(KeyboardProfile(), 1);
    sim_->ClearFrames();
    EXPECT_TRUE(Switch(1));
    EXPECT_TRUE(Switch(1));
    EXPECT_TRUE(Switch(-1));
    EXPECT_EQ(ConfigWrites(), 0u);
    EXPECT_TRUE(prompt_.questions.isEmpty());
    EXPECT_EQ(KeyboardProfile(), 1);
}

TEST_F(SwitchTest, SaveQuestionYesAppliesToStoreAndKeyboardBeforeSwitching) {
    EditKey();
    prompt_.answers = {true};
    EXPECT_TRUE(Switch(2));
    ASSERT_EQ(prompt_.questions.size(), 1);
    EXPECT_EQ(applies, 1);
    EXPECT_FALSE(applyPending);
    EXPECT_EQ(KeyboardProfile(), 2);
    // The store holds the edit, and the keyboard got the key block before it switched.
    const auto stored = profiles::ReadProfileFile(store_->StoreFile());
    ASSERT_TRUE(stored.Ok());
    EXPECT_EQ(stored.config.image.keys[5].kind, 1);
    const auto frames = sim_->Frames();
    const auto keyBlock = std::find_if(frames.begin(), frames.end(), [](const device::DeviceReport& f) {
        return f[device::kOffCommand] == device::kCmdWriteKeyBlock;
    });
    const auto config = std::find_if(frames.begin(), frames.end(), [](const device::DeviceReport& f) {
        return f[device::kOffCommand] == device::kCmdWriteConfig;
    });
    ASSERT_NE(keyBlock, frames.end());
    ASSERT_NE(config, frames.end());
    EXPECT_LT(keyBlock - frames.begin(), config - frames.begin());
}

TEST_F(SwitchTest, SaveQuestionNoReloadsTheStoreAndDropsTheChanges) {
    EditKey();
    prompt_.answers = {false};
    EXPECT_TRUE(Switch(1));
    EXPECT_EQ(applies, 0);
    EXPECT_FALSE(applyPending);
    EXPECT_EQ(working_.Copy().image.keys[5].kind, 0);
    EXPECT_EQ(KeyboardProfile(), 1);
}

TEST_F(SwitchTest, AFailedApplyKeepsTheKeyboardOnItsProfile) {
    EditKey();
    prompt_.answers = {true};
    sim_->Control("fault status-ff 20");
    EXPECT_FALSE(Switch(2));
    sim_->Control("fault clear");
    EXPECT_TRUE(applyPending);
    EXPECT_EQ(KeyboardProfile(), 0);
    EXPECT_FALSE(switcher->Busy());
}

TEST_F(SwitchTest, ASecondRequestWhileTheQuestionIsUpIsNotAskedOrSent) {
    EditKey();
    // The prompt answers No, but first a second request arrives, as a click would while the
    // question's own event loop runs.
    struct ReentrantPrompt : ScriptedPrompt {
        std::function<void()> during;
        bool AskYesNo(const QString& text, const QString& caption) override {
            if (during) std::exchange(during, nullptr)();
            return ScriptedPrompt::AskYesNo(text, caption);
        }
    };
    ReentrantPrompt reentrantPrompt;
    ReentrantPrompt* reentrant = &reentrantPrompt;
    gui::ProfileSwitchContext ctx;
    ctx.prompt = reentrant;
    ctx.currentProfile = [this] { return keyboard_.CachedProfile(); };
    ctx.unappliedChanges = [this] { return applyPending; };
    ctx.dropChanges = [this] { applyPending = false; };
    ctx.setProfile = [this](int profile, std::function<void(bool)> done) {
        done(profiles::SwitchProfileOnKeyboard(keyboard_, sim_->Transport(), profile).Ok());
    };
    gui::ProfileSwitcher guarded(std::move(ctx));
    bool secondResult = true;
    reentrant->during = [&] { guarded.Request(1, [&](bool ok) { secondResult = ok; }); };
    reentrant->answers = {false};
    guarded.Request(2);
    EXPECT_FALSE(secondResult);
    EXPECT_EQ(reentrant->questions.size(), 1);
    EXPECT_EQ(ConfigWrites(), 1u);
    EXPECT_EQ(KeyboardProfile(), 2);
}

TEST_F(SwitchTest, MenuChecksTheKeyboardsProfileAndTheLabelFollows) {
    QLabel label;
    gui::FastSwitchMenuContext ctx;
    ctx.currentProfile = [this] { return keyboard_.CachedProfile(); };
    ctx.profileNames = [] { return std::array<QString, 3>{"Work", "Profile 2", "Games"}; };
    ctx.switchProfile = [this](int request) { switcher->Request(request); };
    menu = std::make_unique<gui::FastSwitchMenu>(std::move(ctx));
    menu->SetLabel(&label);
    menu->Rebuild();
    EXPECT_EQ(label.text(), "Work");
    EXPECT_EQ(label.toolTip(), "Current profile: Work");

    menu->RunCommand(9003);
    EXPECT_EQ(KeyboardProfile(), 2);
    EXPECT_EQ(label.text(), "Games");
    EXPECT_EQ(menu->actions().at(4)->isChecked(), true);
    EXPECT_EQ(menu->actions().at(2)->isChecked(), false);

    // With an editor open the check mark stays where it was.
    editors.macroEditor = 1;
    menu->RunCommand(9001);
    EXPECT_EQ(prompt_.messages.size(), 1);
    EXPECT_TRUE(menu->actions().at(4)->isChecked());
    EXPECT_EQ(label.text(), "Games");

    keyboard_.ForgetCurrentProfile();
    sim_->Control("unplug");
    menu->Rebuild();
    EXPECT_EQ(label.text(), "<Default Profile>");
    EXPECT_TRUE(menu->actions().at(0)->isChecked());
}

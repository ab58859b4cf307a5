// The profile controls on the main window against the simulated keyboard: the quick-switch
// menu from the profile label, the profile manager from its button, the arrows and flip
// buttons, and the firmware update's boot-mode frame taking the keyboard away.
#include <QFile>
#include <QTest>

#include "core/profiles/ProfileSettings.h"
#include "core/text/IniFile.h"
#include "gui/firmware/UpdateDlg.h"
#include "gui/main/MainControls.h"
#include "gui/profiles/ProfileWindows.h"
#include "tests/gui/profiles/ProfileWindowsFixture.h"

using namespace talvenix;
using namespace talvenix::test;

namespace {

class MainProfilesTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        MakeProfileSkins(skin_->SkinFolder());
        Start(true);
        profiles = window_->findChild<gui::ProfileWindows*>();
        ASSERT_NE(profiles, nullptr);
    }
    std::uint8_t KeyboardProfile() const { return sim_->Memory(PELLORAN_SIM_CONFIG, 10, 1)[0]; }
    QLabel* Label() const { return window_->findChild<QLabel*>(QStringLiteral("CONTROL_ProfileStatic")); }

    gui::ProfileWindows* profiles = nullptr;
};

}  // namespace

TEST_F(MainProfilesTest, TheLabelOpensTheMenuAndItsItemsSwitch) {
    EXPECT_EQ(Label()->text(), "Profile 1");
    QTest::mouseClick(Label(), Qt::LeftButton);
    EXPECT_TRUE(WaitFor([&] { return profiles->Menu().isVisible(); }));
    profiles->Menu().hide();
    profiles->Menu().RunCommand(9003);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(KeyboardProfile(), 2);
    EXPECT_EQ(window_->ShownProfile(), 2);
    EXPECT_EQ(Label()->text(), "Profile 3");
    EXPECT_TRUE(window_->Button(gui::kIdProfile3)->SetState());

    sim_->ClearFrames();
    profiles->Menu().RunCommand(9000);  // "<Default Profile>"
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(sim_->FramesOf(4).empty());
    EXPECT_EQ(window_->ShownProfile(), 2);
}

TEST_F(MainProfilesTest, TheManagerAppliesTheCheckedRowAndReadsBack) {
    window_->Show();
    QTest::mouseClick(window_->Button(gui::kIdProfiles), Qt::LeftButton);
    auto* dlg = profiles->OpenManagerDialog();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(dlg->isVisible());
    dlg->CheckRow(1, true);
    dlg->Apply(true);
    ASSERT_TRUE(WaitFor([&] { return !profiles->ManagerOpen(); }));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(KeyboardProfile(), 1);
    EXPECT_EQ(window_->ShownProfile(), 1);
    EXPECT_FALSE(window_->ApplyPending());
    const auto settings = profiles::ProfileSettings::FileFor(home_->ConfigFolder(), "Talvenix");
    EXPECT_EQ(text::IniFile(settings).Get("PROFILES", "PROFILE00"), "3");
}

TEST_F(MainProfilesTest, TheArrowsMoveTheProfileButtonsBelowTheKeyboard) {
    window_->Show();
    auto* arrow = window_->findChild<gui::CPngButton*>(QStringLiteral("LEFT_ARROW"));
    auto* flip2 = window_->findChild<gui::CPngButton*>(QStringLiteral("FLIP_2"));
    ASSERT_NE(arrow, nullptr);
    ASSERT_NE(flip2, nullptr);
    EXPECT_FALSE(flip2->isVisible());
    QTest::mouseClick(arrow, Qt::LeftButton);
    EXPECT_TRUE(flip2->isVisible());
    EXPECT_FALSE(window_->Button(gui::kIdProfile3)->isVisible());
    QTest::mouseClick(flip2, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(KeyboardProfile(), 2);
    EXPECT_TRUE(flip2->SetState());
}

TEST_F(MainProfilesTest, TheUpdateStartsTheUpdaterAndTheKeyboardLeaves) {
    const QString folder = QString::fromStdString(home_->Path().string());
    const QString updater = folder + "/updater.sh";
    const QString marker = folder + "/ran";
    QFile file(updater);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("#!/bin/sh\necho ran > '%1'\n").arg(marker).toUtf8());
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    window_->Show();
    profiles->OpenUpdate();
    auto* dlg = window_->findChild<gui::CTalvenix_DlgUpdate*>();
    ASSERT_NE(dlg, nullptr);
    prompt_.openFile = updater;
    dlg->Choose();
    prompt_.answers = {false};  // no backup
    dlg->Update();
    EXPECT_TRUE(WaitFor([&] { return QFile::exists(marker); }));
    EXPECT_TRUE(WaitFor([&] { return window_->LastDeviceCount() == 0; }));
    EXPECT_TRUE(WaitIdle());
    EXPECT_FALSE(window_->isVisible());  // an ordinary removal
    EXPECT_TRUE(prompt_.messages.isEmpty()) << prompt_.messages.join("|").toStdString();
    gui::CTalvenix_DlgUpdate::SetChosenPath({});
}

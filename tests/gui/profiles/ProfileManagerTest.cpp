// The profile manager: rows, Add, Load, Delete, the checked-row limit, Apply with the settings
// it writes and the keyboard's current profile, and the question about unapplied key edits.
#include <QFileInfo>

#include "core/device/Commands.h"
#include "core/profiles/ProfileFile.h"
#include "core/profiles/ReadBack.h"
#include "core/text/IniFile.h"
#include "gui/profiles/ProfileManagerDlg.h"
#include "tests/gui/profiles/ProfileWindowsFixture.h"

using namespace talvenix;
using namespace talvenix::test;
using Dlg = gui::CTalvenix_DlgProfile;

namespace {

class ManagerTest : public ProfileWindowsTest {
protected:
    std::unique_ptr<Dlg> Open() {
        gui::ProfileManagerContext ctx;
        ctx.layoutPath = SkinFile("Profile.ini");
        ctx.storeFile = StoreFile();
        ctx.settingsFile = SettingsFile();
        ctx.prompt = &prompt_;
        ctx.currentProfile = [this] { return keyboard_.CachedProfile(); };
        ctx.mainApplyPending = [this] { return mainPending; };
        ctx.applyMain = [this](std::function<void(bool)> done) {
            ++mainApplies;
            mainPending = false;
            done(true);
        };
        ctx.applyToKeyboard = [this](int profile, std::function<void(bool)> done) {
            bool ok = true;
            if (profile >= 0) ok = keyboard_.SetCurrentProfile(sim_->Transport(), profile) == 1;
            profiles::ReadBackAndLoad(*store_, keyboard_, sim_->Transport(), working_);
            done(ok);
        };
        ctx.afterApply = [this] { ++afterApplies; };
        auto dlg = std::make_unique<Dlg>(std::move(ctx));
        dlg->Init();
        return dlg;
    }
    std::string Setting(const char* key) const {
        return text::IniFile(SettingsFile().toStdString()).Get("PROFILES", key, "<none>");
    }
    bool ApplyEnabled(const Dlg& dlg) const { return dlg.Button(Dlg::kIdApply)->isEnabled(); }
    QString Cell(const Dlg& dlg, int row, int column) const { return dlg.List()->item(row, column)->text(); }
    bool Checked(const Dlg& dlg, int row) const {
        return dlg.List()->item(row, 0)->checkState() == Qt::Checked;
    }

    bool mainPending = false;
    int mainApplies = 0;
    int afterApplies = 0;
};

}  // namespace

TEST_F(ManagerTest, OpensWithTheStoreFileOncePerProfileAndTheCurrentRowChecked) {
    ASSERT_EQ(keyboard_.SetCurrentProfile(sim_->Transport(), 1), 1);
    auto dlg = Open();
    ASSERT_EQ(dlg->List()->rowCount(), 3);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(Cell(*dlg, r, 1), "$Profile0");
        EXPECT_EQ(Cell(*dlg, r, 2), QFileInfo(StoreFile()).absolutePath() + "/");
        EXPECT_EQ(Checked(*dlg, r), r == 1);
    }
    EXPECT_FALSE(ApplyEnabled(*dlg));
    EXPECT_EQ(dlg->List()->horizontalHeaderItem(0)->text(), "Active");
}

TEST_F(ManagerTest, AddWritesADefaultFileWhereTheUserChoseAndAppendsItsRow) {
    auto dlg = Open();
    const QString chosen = QFileInfo(StoreFile()).absolutePath() + "/Games.tvx";
    prompt_.saveFile = chosen;
    dlg->Add();
    EXPECT_EQ(profiles::ValidateProfileFile(chosen.toStdString()), profiles::ProfileFileCheck::Valid);
    EXPECT_EQ(QFileInfo(chosen).size(), 32832);
    ASSERT_EQ(dlg->List()->rowCount(), 4);
    EXPECT_EQ(Cell(*dlg, 3, 1), "Games");
    EXPECT_TRUE(ApplyEnabled(*dlg));

    // A path that cannot be written: a clear message, no row.
    prompt_.saveFile = QFileInfo(StoreFile()).absolutePath() + "/no-such-folder/x.tvx";
    dlg->Add();
    ASSERT_EQ(prompt_.messages.size(), 1);
    EXPECT_TRUE(prompt_.messages[0].contains("no-such-folder/x.tvx"));
    EXPECT_EQ(dlg->List()->rowCount(), 4);

    // Cancel in the save dialog writes nothing.
    prompt_.saveFile.clear();
    dlg->Add();
    EXPECT_EQ(dlg->List()->rowCount(), 4);
}

TEST_F(ManagerTest, LoadAppendsWithoutReadingAndDeleteRemovesTheSelectedRow) {
    auto dlg = Open();
    prompt_.openFile = "/elsewhere/old.tvx";  // not read, need not exist
    dlg->Load();
    ASSERT_EQ(dlg->List()->rowCount(), 4);
    EXPECT_EQ(Cell(*dlg, 3, 1), "old");
    EXPECT_EQ(Cell(*dlg, 3, 2), "/elsewhere/");
    dlg->List()->setCurrentCell(0, 1);
    dlg->DeleteSelected();
    ASSERT_EQ(dlg->List()->rowCount(), 3);
    EXPECT_EQ(Cell(*dlg, 2, 1), "old");
    EXPECT_FALSE(Checked(*dlg, 0));  // the checked row (profile 0) was deleted
}

TEST_F(ManagerTest, AFourthRowCannotBeCheckedAndApplyNeverSendsIt) {
    auto dlg = Open();
    prompt_.openFile = "/p/extra.tvx";
    dlg->Load();
    dlg->List()->item(3, 0)->setCheckState(Qt::Checked);  // as a click on its box
    ASSERT_EQ(prompt_.messages.size(), 1);
    EXPECT_TRUE(prompt_.messages[0].contains("three profiles"));
    EXPECT_FALSE(Checked(*dlg, 3));
    EXPECT_TRUE(Checked(*dlg, 0));
    dlg->Apply();
    EXPECT_EQ(sim_->Memory(PELLORAN_SIM_CONFIG, 10, 1)[0], 0);
}

TEST_F(ManagerTest, ApplyStoresTheRowsSetsTheCheckedProfileAndReadsBack) {
    auto dlg = Open();
    prompt_.openFile = "/p/extra.tvx";
    dlg->Load();
    dlg->CheckRow(2, true);
    EXPECT_TRUE(Checked(*dlg, 2));
    EXPECT_FALSE(Checked(*dlg, 0));
    working_.Lock()->image.keys[7].kind = 1;  // stale: the read-back replaces it
    dlg->Apply();
    EXPECT_EQ(Setting("PROFILE00"), "4");
    EXPECT_EQ(Setting("PROFILE01"), QFileInfo(StoreFile()).absolutePath().toStdString() + "/$Profile0.tvx");
    EXPECT_EQ(Setting("PROFILE04"), "/p/extra.tvx");
    EXPECT_EQ(sim_->Memory(PELLORAN_SIM_CONFIG, 10, 1)[0], 2);
    EXPECT_EQ(working_.Copy().image.keys[7].kind, 0);
    EXPECT_EQ(afterApplies, 1);
    EXPECT_FALSE(ApplyEnabled(*dlg));
    EXPECT_EQ(mainApplies, 0);
    EXPECT_TRUE(prompt_.questions.isEmpty());
}

TEST_F(ManagerTest, UnappliedKeyEditsAreOfferedToApplyFirst) {
    mainPending = true;
    auto dlg = Open();
    dlg->CheckRow(1, true);
    prompt_.answers = {true};
    dlg->Apply(true);
    EXPECT_EQ(mainApplies, 1);
    EXPECT_EQ(prompt_.questions.size(), 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);

    mainPending = true;
    auto second = Open();
    second->CheckRow(0, true);
    prompt_.answers = {false};
    second->Apply();
    EXPECT_EQ(mainApplies, 1);
    EXPECT_EQ(sim_->Memory(PELLORAN_SIM_CONFIG, 10, 1)[0], 0);
}

TEST_F(ManagerTest, CancelChangesNothing) {
    auto dlg = Open();
    prompt_.openFile = "/p/extra.tvx";
    dlg->Load();
    dlg->Button(Dlg::kIdCancel)->click();
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_EQ(Setting("PROFILE00"), "<none>");
    EXPECT_EQ(afterApplies, 0);
}

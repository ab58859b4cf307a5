// The firmware update dialog: every refusal comes before anything is sent, a refused boot mode
// keeps the updater from starting, a successful update starts the updater and the keyboard
// leaves, and the backup goes through the save dialog (cancel writes nothing).
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/device/Commands.h"
#include "core/profiles/ProfileFile.h"
#include "core/profiles/ProfileTransfer.h"
#include "core/text/LanguageTable.h"
#include "gui/firmware/UpdateDlg.h"
#include "tests/gui/profiles/ProfileWindowsFixture.h"

using namespace talvenix;
using namespace talvenix::test;
using Dlg = gui::CTalvenix_DlgUpdate;

namespace {

class UpdateTest : public ProfileWindowsTest {
protected:
    void SetUp() override {
        ProfileWindowsTest::SetUp();
        Dlg::SetChosenPath({});
        folder = QString::fromStdString(home_->Path().string());
    }
    std::unique_ptr<Dlg> Open() {
        gui::UpdateDialogContext ctx;
        ctx.layoutPath = SkinFile("UpdateDlg.ini");
        ctx.updateFolder = folder;
        ctx.backupFolder = folder;
        ctx.prompt = &prompt_;
        ctx.applyRunning = [this] { return applyRunning; };
        ctx.enterBootMode = [this](std::function<void(int)> done) {
            ++bootFrames;
            done(device::EnterBootMode(sim_->Transport()));
        };
        ctx.backup = [this](const QString& path) {
            return profiles::ExportProfileFile(QFile::encodeName(path).toStdString(), working_);
        };
        auto dlg = std::make_unique<Dlg>(std::move(ctx));
        dlg->Init();
        return dlg;
    }
    // A small updater that records that it ran.
    QString Updater(bool executable = true) {
        const QString script = folder + "/updater.sh";
        QFile file(script);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("#!/bin/sh\necho ran > '%1'\n").arg(Marker()).toUtf8());
        file.close();
        QFile::Permissions p = QFile::ReadOwner | QFile::WriteOwner;
        if (executable) p |= QFile::ExeOwner;
        file.setPermissions(p);
        return script;
    }
    QString Marker() const { return folder + "/updater-ran"; }
    bool Plugged() { return sim_->Control("status").find("plugged=1") != std::string::npos; }
    QString Text(text::TextId id) const { return QString::fromStdString(text::LanguageText(id)); }

    QString folder;
    bool applyRunning = false;
    int bootFrames = 0;
};

}  // namespace

TEST_F(UpdateTest, RefusalsComeBeforeAnythingIsSent) {
    auto dlg = Open();
    dlg->Update();  // no updater chosen
    prompt_.openFile = Updater(false);
    dlg->Choose();
    EXPECT_EQ(dlg->PathBox()->text(), prompt_.openFile);
    dlg->Update();  // not executable
    ASSERT_EQ(prompt_.messages.size(), 2);
    EXPECT_EQ(prompt_.messages[0], Text(text::TextId::MAIN_UPDATE_ERROR_TEXT));
    EXPECT_EQ(prompt_.messages[1], Text(text::TextId::MAIN_UPDATE_ERROR_TEXT));

    prompt_.openFile = Updater(true);
    dlg->Choose();
    applyRunning = true;
    dlg->Update();
    ASSERT_EQ(prompt_.messages.size(), 3);
    EXPECT_TRUE(prompt_.messages[2].contains("Apply"));
    EXPECT_EQ(bootFrames, 0);
    EXPECT_TRUE(sim_->Frames().empty());
    EXPECT_TRUE(prompt_.questions.isEmpty());
    EXPECT_TRUE(Plugged());
    EXPECT_EQ(Dlg::ChosenPath(), prompt_.openFile);  // kept, to try again
}

TEST_F(UpdateTest, RefusedBootModeDoesNotStartTheUpdater) {
    auto dlg = Open();
    prompt_.openFile = Updater();
    dlg->Choose();
    prompt_.answers = {false};  // no backup
    sim_->Control("fault refuse-write");
    dlg->Update();
    EXPECT_EQ(bootFrames, 1);
    ASSERT_EQ(prompt_.messages.size(), 1);
    EXPECT_EQ(prompt_.messages[0], Text(text::TextId::MAIN_BOOT_ERROR_TEXT));
    EXPECT_FALSE(WaitFor([&] { return QFileInfo::exists(Marker()); }, 300));
    EXPECT_TRUE(Plugged());
    EXPECT_EQ(Dlg::ChosenPath(), prompt_.openFile);
    EXPECT_NE(dlg->result(), QDialog::Accepted);
}

TEST_F(UpdateTest, SuccessSendsBootModeStartsTheUpdaterAndTheKeyboardLeaves) {
    auto dlg = Open();
    prompt_.openFile = Updater();
    dlg->Choose();
    prompt_.answers = {false};
    dlg->Update();
    EXPECT_TRUE(prompt_.messages.isEmpty()) << prompt_.messages.join("|").toStdString();
    EXPECT_EQ(prompt_.questions.size(), 1);  // the backup was offered
    EXPECT_TRUE(WaitFor([&] { return QFileInfo::exists(Marker()); }));
    EXPECT_FALSE(Plugged());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(Dlg::ChosenPath().isEmpty());
}

TEST_F(UpdateTest, UpdaterThatCannotStartLeavesAnEmptyPathAndTheDialogOpen) {
    auto dlg = Open();
    // Executable, but not a program the system can run.
    const QString bogus = folder + "/bogus-updater";
    QFile file(bogus);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x01\x02 not a program\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    prompt_.openFile = bogus;
    dlg->Choose();
    prompt_.answers = {false};
    dlg->Update();
    ASSERT_EQ(prompt_.messages.size(), 1);
    EXPECT_EQ(prompt_.messages[0], Text(text::TextId::MAIN_SHELL_ERROR_TEXT));
    EXPECT_FALSE(Plugged());  // the keyboard took boot mode and stays in it
    EXPECT_TRUE(Dlg::ChosenPath().isEmpty());
    EXPECT_TRUE(dlg->PathBox()->text().isEmpty());
    EXPECT_NE(dlg->result(), QDialog::Accepted);
}

TEST_F(UpdateTest, BackupThenCancelWritesNothingAndBackupWritesAValidFile) {
    auto dlg = Open();
    prompt_.saveFile.clear();
    dlg->Backup();
    EXPECT_TRUE(prompt_.messages.isEmpty());
    EXPECT_EQ(QDir(folder).entryList({"*.tvx"}, QDir::Files).size(), 0);

    prompt_.saveFile = folder + "/backup.tvx";
    dlg->Backup();
    ASSERT_EQ(prompt_.messages.size(), 1);
    EXPECT_EQ(prompt_.messages[0], Text(text::TextId::MAIN_UPDATE_BACKUP_OK));
    EXPECT_EQ(profiles::ValidateProfileFile(prompt_.saveFile.toStdString()),
              profiles::ProfileFileCheck::Valid);

    prompt_.saveFile = folder + "/missing-folder/backup.tvx";
    dlg->Backup();
    EXPECT_EQ(prompt_.messages.value(1), Text(text::TextId::MAIN_UPDATE_BACKUP_NG));
}

TEST_F(UpdateTest, AcceptedBackupOfferWritesTheBackupBeforeBootMode) {
    auto dlg = Open();
    prompt_.openFile = Updater();
    dlg->Choose();
    prompt_.answers = {true};
    prompt_.saveFile.clear();  // ...then cancelled in the save dialog: no update
    dlg->Update();
    EXPECT_EQ(bootFrames, 0);
    EXPECT_TRUE(Plugged());

    prompt_.answers = {true};
    prompt_.saveFile = folder + "/before-update.tvx";
    dlg->Update();
    EXPECT_TRUE(QFileInfo::exists(prompt_.saveFile));
    EXPECT_EQ(bootFrames, 1);
    EXPECT_TRUE(WaitFor([&] { return QFileInfo::exists(Marker()); }));
}

TEST_F(UpdateTest, CancelClearsTheChosenPath) {
    auto dlg = Open();
    prompt_.openFile = Updater();
    dlg->Choose();
    dlg->Button(Dlg::kIdCancelUpdate)->click();
    EXPECT_TRUE(Dlg::ChosenPath().isEmpty());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
}

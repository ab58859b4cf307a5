#include "gui/profiles/ProfileWindows.h"

#include <QInputDialog>

#include "gui/firmware/UpdateDlg.h"
#include "gui/profiles/ProfileTexts.h"

namespace talvenix::gui {

ProfileWindows::ProfileWindows(ProfileWindowsContext context, QObject* parent)
    : QObject(parent), ctx_(std::move(context)), naming_(ProfileSettingsFile(ctx_.paths)) {
    ProfileSwitchContext sw;
    sw.prompt = ctx_.prompt;
    sw.editors = ctx_.editors;
    sw.currentProfile = ctx_.currentProfile;
    // The manager's own unapplied rows count as unapplied changes too.
    sw.unappliedChanges = [this] {
        return (ctx_.applyPending && ctx_.applyPending()) || (manager_ && manager_->Modified());
    };
    sw.applyRunning = ctx_.applyRunning;
    sw.apply = ctx_.apply;
    sw.dropChanges = ctx_.dropChanges;
    sw.setProfile = ctx_.setProfile;
    sw.refresh = [this] { Refresh(); };
    switcher_ = std::make_unique<ProfileSwitcher>(std::move(sw));
    connect(switcher_.get(), &ProfileSwitcher::Switched, this, [this](int profile) {
        if (manager_) manager_->OnSwitchedTo(profile);
    });

    FastSwitchMenuContext mc;
    mc.currentProfile = ctx_.currentProfile;
    mc.profileNames = [this] { return naming_.Names(); };
    mc.switchProfile = [this](int request) { MenuSwitch(request); };
    mc.renameCurrent = [this] { RenameCurrent(); };
    menu_ = std::make_unique<FastSwitchMenu>(std::move(mc), ctx_.dialogParent);
    menu_->SetLabel(ctx_.bar.label);

    ProfileBarContext bc;
    bc.skin = ctx_.mainSkin;
    bc.arrowPicture = ctx_.arrowPicture;
    bc.settingsFile = ProfileSettingsFile(ctx_.paths);
    bc.profileClicked = [this](int profile) { ButtonSwitch(profile); };
    bc.showMenu = [this](QPoint at) { ShowMenu(at); };
    bc.connectProfileButtons = !ctx_.mainRoutesProfileButtons;
    bar_ = std::make_unique<ProfileBar>(ctx_.bar, std::move(bc));
    if (ctx_.managerButton)
        connect(ctx_.managerButton, &QAbstractButton::clicked, this, &ProfileWindows::OpenManager);
    Refresh();
}

ProfileWindows::~ProfileWindows() = default;

void ProfileWindows::Refresh() {
    menu_->Rebuild();
    bar_->SetNames(naming_.Names());
    const int current = ctx_.currentProfile ? ctx_.currentProfile() : -1;
    if (current >= 0 && current <= 2) bar_->ShowProfile(current);
}

void ProfileWindows::ButtonSwitch(int profile) {
    if (ctx_.applyRunning && ctx_.applyRunning()) return;
    if (ctx_.beforeButtonSwitch) ctx_.beforeButtonSwitch(profile);
    QPointer<ProfileWindows> self(this);
    switcher_->Request(profile, [self, profile](bool ok) {
        if (!self) return;
        if (ok) {
            if (self->ctx_.showProfile) self->ctx_.showProfile(profile);
            self->bar_->ShowProfile(profile);
        }
        Q_EMIT self->SwitchFinished(ok);
    });
}

void ProfileWindows::MenuSwitch(int request) {
    QPointer<ProfileWindows> self(this);
    switcher_->Request(request, [self, request](bool ok) {
        if (!self) return;
        const int shown = profiles::SwitchTarget(request);
        // "<Default Profile>" only refreshes.
        if (ok && shown >= 0) {
            if (self->ctx_.showProfile) self->ctx_.showProfile(shown);
            self->bar_->ShowProfile(shown);
        }
        Q_EMIT self->SwitchFinished(ok);
    });
}

void ProfileWindows::ShowMenu(QPoint globalPos) {
    if (ctx_.dialogParent) {
        ctx_.dialogParent->raise();
        ctx_.dialogParent->activateWindow();
    }
    menu_->Rebuild();
    menu_->popup(globalPos);
}

void ProfileWindows::RenameCurrent() {
    const int current = ctx_.currentProfile ? ctx_.currentProfile() : -1;
    auto ask = ctx_.askText;
    if (!ask) {
        ask = [this](const QString& label, const QString& now) -> std::optional<QString> {
            bool ok = false;
            const QString text =
                QInputDialog::getText(ctx_.dialogParent, FileTextOr("PROFILE_RENAME", "Rename"), label,
                                      QLineEdit::Normal, now, &ok);
            if (!ok) return std::nullopt;
            return text;
        };
    }
    if (naming_.Rename(current, *ctx_.prompt, ask)) Refresh();
}

void ProfileWindows::OpenManager() {
    if (manager_) return;
    ProfileManagerContext mc;
    mc.layoutPath = ctx_.paths.SkinFile(QStringLiteral("Profile.ini"));
    mc.storeFile = ctx_.paths.StoreFolder() + QStringLiteral("/$Profile0");
    mc.settingsFile = ProfileSettingsFile(ctx_.paths);
    mc.prompt = ctx_.prompt;
    mc.currentProfile = ctx_.currentProfile;
    mc.mainApplyPending = ctx_.applyPending;
    mc.applyMain = ctx_.apply;
    mc.applyToKeyboard = ctx_.setProfileAndReadBack;
    mc.afterApply = [this] {
        if (ctx_.afterReadBack) ctx_.afterReadBack();
        const int current = ctx_.currentProfile ? ctx_.currentProfile() : -1;
        if (current >= 0 && current <= 2 && ctx_.showProfile) ctx_.showProfile(current);
        Refresh();
    };
    auto* dlg = new CTalvenix_DlgProfile(std::move(mc), ctx_.dialogParent);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->Init();
    manager_ = dlg;
    if (ctx_.registerDialog) ctx_.registerDialog(dlg);
    dlg->open();
}

void ProfileWindows::OpenUpdate() {
    UpdateDialogContext uc;
    uc.layoutPath = ctx_.paths.SkinFile(QStringLiteral("UpdateDlg.ini"));
    uc.updateFolder = ctx_.paths.programFolder;
    uc.backupFolder = ctx_.paths.StoreFolder();
    uc.prompt = ctx_.prompt;
    uc.applyRunning = ctx_.applyRunning;
    uc.enterBootMode = ctx_.enterBootMode;
    uc.backup = ctx_.backup;
    auto* dlg = new CTalvenix_DlgUpdate(std::move(uc), ctx_.dialogParent);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->Init();
    // Not registered with the editors: the keyboard leaving after the boot-mode frame is
    // expected and must not close the dialog under its own messages.
    dlg->open();
}

QAction* ProfileWindows::AddUpdateEntry(QMenu& mainMenu) {
    return mainMenu.addAction(FileTextOr("MENU_UPDATE", "Firmware Update..."), this,
                              &ProfileWindows::OpenUpdate);
}

}  // namespace talvenix::gui

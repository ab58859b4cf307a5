// The main window's wiring of the profile windows and the key assignment dialogs: each gets a
// narrow context built here, never the window itself.
#include <QCursor>
#include <QMenu>

#include "core/device/Commands.h"
#include "core/keys/KeyButtons.h"
#include "core/text/LanguageTable.h"
#include "gui/keys/KeyDialogLauncher.h"
#include "gui/keys/WindowKeyEditHost.h"
#include "gui/main/MainControls.h"
#include "gui/main/TalvenixDlg.h"
#include "gui/profiles/ProfileWindows.h"

namespace talvenix::gui {

// ---------------------------------------------------------------------------------------------
// Profiles and the firmware update: their windows get this narrow context, never the window.

void CTalvenixDlg::CreateProfileWindows() {
    ProfileWindowsContext pc;
    pc.paths = ctx_.paths;
    pc.prompt = ctx_.prompt;
    pc.dialogParent = this;
    pc.mainSkin = &Skin();
    // The arrows' faces come from the window's pictures; the bar only moves their face source.
    pc.bar.profileButtons = {Button(kIdProfile1), Button(kIdProfile2), Button(kIdProfile3)};
    pc.bar.flipButtons = {Button(1189), Button(1190), Button(1193)};
    pc.bar.arrows = {findChild<CPngButton*>(QStringLiteral("LEFT_ARROW")),
                     findChild<CPngButton*>(QStringLiteral("RIGHT_ARROW"))};
    pc.bar.label = profileLabel_;
    pc.managerButton = Button(kIdProfiles);
    pc.mainRoutesProfileButtons = true;
    pc.currentProfile = [this] { return keyboard_.CachedProfile(); };
    pc.editors = [this] {
        // The profile manager is registered for closing on removal, but it is no editor.
        profiles::OpenEditors open;
        CBaseDialog* manager = profiles_ ? profiles_->OpenManagerDialog() : nullptr;
        if (manager) dialogs_.UnregisterDialog(manager);
        open.composite = dialogs_.EditorOpen() ? 1 : 0;
        if (manager) dialogs_.RegisterDialog(manager);
        return open;
    };
    pc.applyPending = [this] { return apply_->Pending(); };
    pc.applyRunning = [this] { return apply_->Running(); };
    pc.apply = [this](std::function<void(bool)> done) {
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = connect(apply_, &ApplyController::ApplyFinished, this, [once, done](bool ok) {
            QObject::disconnect(*once);
            done(ok);
        });
        apply_->Apply();
    };
    pc.dropChanges = [this] {
        apply_->SetPending(false);
        if (keyboard_.CachedProfile() >= 0) keyboard_.ReloadFromStore(working_);
        RefreshKeys(true);
    };
    pc.setProfile = [this](int profile, std::function<void(bool)> done) {
        jobs_->Post(
            [this, profile](JobContext& job) {
                return keyboard_.SwitchKeyboardProfile(job.Transport(), profile);
            },
            this, [done](bool ok) { done(ok); });
    };
    pc.setProfileAndReadBack = [this](int profile, std::function<void(bool)> done) {
        jobs_->Post(
            [this, profile](JobContext& job) {
                const bool set =
                    profile < 0 || keyboard_.State().SetCurrentProfile(job.Transport(), profile) == 1;
                keyboard_.ReadBackAndLoad(job.Transport(), working_);
                return set;
            },
            this, [done](bool ok) { done(ok); });
    };
    pc.enterBootMode = [this](std::function<void(int)> done) {
        jobs_->Post([](JobContext& job) { return device::EnterBootMode(job.Transport()); }, this,
                    [done](int result) { done(result); });
    };
    pc.backup = [this](const QString& path) { return keyboard_.Export(path, working_); };
    pc.beforeButtonSwitch = [this](int profile) {
        // The chosen profile's lighting, read again from the keyboard.
        const int language = text::CurrentLanguageTable()->Index();
        jobs_->Post([this, profile, language](JobContext&) { lighting_->ReadOnWorker(profile, language); },
                    this, [this] { lighting_->Refresh(); });
    };
    pc.showProfile = [this](int profile) { ShowProfile(profile); };
    pc.afterReadBack = [this] { ReadBackDone(); };
    pc.registerDialog = [this](CBaseDialog* dialog) { dialogs_.RegisterDialog(dialog); };
    profiles_ = new ProfileWindows(std::move(pc), this);
    connect(profiles_, &ProfileWindows::SwitchFinished, this, &CTalvenixDlg::ProfileSwitchFinished);
    // The hidden quick-switch button still answers its command.
    connect(Button(kIdQuickSwitch), &QAbstractButton::clicked, this,
            [this] { profiles_->ShowMenu(QCursor::pos()); });
}

void CTalvenixDlg::SetKeyDialogsModal(bool modal) {
    keyDialogsModal_ = modal;
    if (keyDialogs_) keyDialogs_->SetModal(modal);
}

void CTalvenixDlg::WireKeyDialogs() {
    KeyDialogLauncher::Hooks hooks;
    hooks.switchMode = [] { return false; };  // the Switch button is not offered yet
    hooks.dialogOpen = [this](CBaseDialog* dialog, bool open) {
        if (open)
            dialogs_.RegisterDialog(dialog);
        else
            dialogs_.UnregisterDialog(dialog);
    };
    hooks.modal = keyDialogsModal_;
    keyDialogs_ =
        new KeyDialogLauncher(ServicesFromContext(
                                  Context(), [this] { return shownProfile_; }, [this] { RefreshKeys(true); }),
                              std::move(hooks), this);
    connect(grid_.get(), &CKeyGrid::KeyClicked, this, [this](int i) {
        if (!ColourKeysMode()) keyDialogs_->OpenForKey(i, grid_->KeyButton(i));
    });
    connect(grid_.get(), &CKeyGrid::GClicked, this,
            [this](int n) { keyDialogs_->OpenForG(n, BankB(), grid_->GButton(n)); });
    connect(Button(kIdMacro), &QAbstractButton::clicked, this,
            [this] { keyDialogs_->OpenMacroCommand(BankB(), Button(kIdMacro)); });
    auto menuOn = [this](CPngButton* button, std::function<std::optional<keys::DialogTarget>()> target,
                         std::function<QString()> name) {
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(button, &QWidget::customContextMenuRequested, this,
                [this, button, target, name](const QPoint& at) {
                    if (const auto t = target())
                        keyDialogs_->ShowKeyMenu(*t, name(), button->mapToGlobal(at));
                });
    };
    for (int i = 0; i < keys::kKeyButtonCount; ++i) {
        const keys::KeyCode code = keys::kKeyButtons[static_cast<std::size_t>(i)].code;
        menuOn(
            grid_->KeyButton(i), [code, i] { return keys::TargetOfKeyButton(code, i); },
            [code] { return QString::fromStdString(keys::KeyNameOf(code)); });
    }
    for (int n = 0; n < keys::kGButtonCount; ++n) {
        menuOn(
            grid_->GButton(n), [this, n] { return keys::TargetOfGButton(n, BankB()); },
            [n] { return QStringLiteral("G%1").arg(n + 1); });
    }
    Button(kIdMacro)->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Button(kIdMacro), &QWidget::customContextMenuRequested, this,
            [this] { keyDialogs_->OpenMacroEditor(); });
}

}  // namespace talvenix::gui

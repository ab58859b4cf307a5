// The profile manager, the quick-switch menu and the firmware update dialog, for the
// screenshot tool: each window with a context of its own against the simulated keyboard.
#include "gui/tools/ProfileScreenshots.h"

#include <QDir>
#include <QFile>
#include <QLabel>

#include "core/profiles/KeyboardState.h"
#include "core/profiles/ProfileStore.h"
#include "core/profiles/ReadBack.h"
#include "gui/firmware/UpdateDlg.h"
#include "gui/profiles/FastSwitchMenu.h"
#include "gui/profiles/ProfileManagerDlg.h"
#include "gui/profiles/ProfileNaming.h"
#include "gui/profiles/ProfileTexts.h"

namespace talvenix::gui {

int ShootProfileWindows(const AppPaths& paths, device::DeviceLink& link, Prompt& prompt, const QString& out,
                        const std::function<bool(QWidget&, const QString&)>& save,
                        const std::function<void(int)>& settle) {
    int result = 0;
    profiles::KeyboardState keyboard;
    keyboard.OnKeyboardArrived(link.Transport());
    keyboard.SetCurrentProfile(link.Transport(), 1);
    const profiles::ProfileStore store(QFile::encodeName(paths.documentsFolder).toStdString());
    macros::WorkingConfig working;
    profiles::ReadBackAndLoad(store, keyboard, link.Transport(), working);
    const QString storeFile = QString::fromStdString(store.StoreFile().string());

    // Profile names: one named, two default.
    ProfileNaming naming(ProfileSettingsFile(paths));
    naming.Rename(2, prompt, [](const QString&, const QString&) {
        return std::optional<QString>(QStringLiteral("FPS"));
    });

    {
        ProfileManagerContext ctx;
        ctx.layoutPath = paths.SkinFile(QStringLiteral("Profile.ini"));
        ctx.storeFile = storeFile;
        ctx.settingsFile = ProfileSettingsFile(paths);
        ctx.prompt = &prompt;
        ctx.currentProfile = [&] { return keyboard.CachedProfile(); };
        ctx.applyToKeyboard = [](int, std::function<void(bool)> done) { done(true); };
        CTalvenix_DlgProfile dlg(std::move(ctx));
        dlg.Init();
        dlg.show();
        settle(200);
        if (!save(dlg, QDir(out).filePath(QStringLiteral("profile-manager.png")))) result = 1;
    }
    {
        QWidget host;
        host.resize(260, 40);
        QLabel label(&host);
        FastSwitchMenuContext ctx;
        ctx.currentProfile = [&] { return keyboard.CachedProfile(); };
        ctx.profileNames = [&] { return naming.Names(); };
        ctx.switchProfile = [](int) {};
        ctx.renameCurrent = [] {};
        FastSwitchMenu menu(std::move(ctx));
        menu.SetLabel(&label);
        menu.Rebuild();
        menu.popup(QPoint(0, 0));
        settle(200);
        if (!save(menu, QDir(out).filePath(QStringLiteral("quick-switch-menu.png")))) result = 1;
        menu.hide();
    }
    {
        UpdateDialogContext ctx;
        ctx.layoutPath = paths.SkinFile(QStringLiteral("UpdateDlg.ini"));
        ctx.prompt = &prompt;
        ctx.enterBootMode = [](std::function<void(int)> done) { done(0); };
        CTalvenix_DlgUpdate::SetChosenPath(QStringLiteral("/opt/keyboard-update/flash-tool"));
        CTalvenix_DlgUpdate dlg(std::move(ctx));
        dlg.Init();
        dlg.show();
        settle(200);
        if (!save(dlg, QDir(out).filePath(QStringLiteral("update-dialog.png")))) result = 1;
        CTalvenix_DlgUpdate::SetChosenPath({});
    }
    return result;
}

}  // namespace talvenix::gui

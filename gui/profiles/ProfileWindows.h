// Everything the main window offers about profiles and the firmware update, put together: the
// profile bar, the quick-switch menu, switching, profile names, the profile manager and the
// firmware update dialog. The main window hands it a narrow context (its widgets and a few
// hooks into its Apply and its keyboard worker) and calls it from one place.
#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "core/profiles/SwitchRules.h"
#include "gui/app/AppPaths.h"
#include "gui/common/Prompt.h"
#include "gui/profiles/FastSwitchMenu.h"
#include "gui/profiles/ProfileBar.h"
#include "gui/profiles/ProfileManagerDlg.h"
#include "gui/profiles/ProfileNaming.h"
#include "gui/profiles/ProfileSwitcher.h"
#include "gui/skin/BaseDialog.h"

namespace talvenix::gui {

struct ProfileWindowsContext {
    AppPaths paths;
    Prompt* prompt = nullptr;
    QWidget* dialogParent = nullptr;  // parent of the dialogs and the menu
    const SkinFile* mainSkin = nullptr;
    QPixmap arrowPicture;
    ProfileBarWidgets bar;
    CPngButton* managerButton = nullptr;  // FUNC_PROFILES

    std::function<int()> currentProfile;  // the keyboard's current profile as last known
    std::function<profiles::OpenEditors()> editors;
    std::function<bool()> applyPending;
    std::function<bool()> applyRunning;
    // The main window's Apply; `done(ok)` when it has finished.
    std::function<void(std::function<void(bool ok)> done)> apply;
    // Clear Apply and reload the store file (the changes are dropped).
    std::function<void()> dropChanges;
    // Keyboard worker jobs; `done` on the UI thread.
    std::function<void(int profile, std::function<void(bool ok)> done)> setProfile;
    std::function<void(int profile, std::function<void(bool setOk)> done)> setProfileAndReadBack;
    std::function<void(std::function<void(int result)> done)> enterBootMode;
    // Writes the working configuration to a file (the update's backup).
    std::function<bool(const QString& path)> backup;
    // The main window's part of a profile button press (the lighting of that profile), before
    // the switch.
    std::function<void(int profile)> beforeButtonSwitch;
    // Make `profile` the shown one (buttons, key faces, key-function view).
    std::function<void(int profile)> showProfile;
    // After the manager's read-back: redraw keys, Apply off.
    std::function<void()> afterReadBack;
    // Sub-dialogs are closed when the keyboard goes away.
    std::function<void(CBaseDialog*)> registerDialog;
    // The top bar's profile buttons already call ButtonSwitch.
    bool mainRoutesProfileButtons = false;
    // Asks for a text (profile names); empty: a QInputDialog.
    std::function<std::optional<QString>(const QString& label, const QString& current)> askText;
};

class ProfileWindows : public QObject {
    Q_OBJECT
public:
    explicit ProfileWindows(ProfileWindowsContext context, QObject* parent = nullptr);
    ~ProfileWindows() override;

    // Menu, label, tooltips and the pressed profile button, from the keyboard's profile.
    void Refresh();
    // A profile button (either set) or the arrows' neighbours.
    void ButtonSwitch(int profile);
    // A quick-switch request (command - 9001).
    void MenuSwitch(int request);
    void ShowMenu(QPoint globalPos);
    void OpenManager();
    void OpenUpdate();
    void RenameCurrent();
    // Adds "Firmware Update..." to the main menu.
    QAction* AddUpdateEntry(QMenu& mainMenu);

    ProfileSwitcher& Switcher() { return *switcher_; }
    FastSwitchMenu& Menu() { return *menu_; }
    ProfileBar& Bar() { return *bar_; }
    CTalvenix_DlgProfile* OpenManagerDialog() const { return manager_; }
    bool ManagerOpen() const { return !manager_.isNull(); }

Q_SIGNALS:
    // A profile button's or menu item's request ended; `switched` false when it was refused.
    void SwitchFinished(bool switched);

private:
    ProfileWindowsContext ctx_;
    ProfileNaming naming_;
    std::unique_ptr<ProfileSwitcher> switcher_;
    std::unique_ptr<FastSwitchMenu> menu_;
    std::unique_ptr<ProfileBar> bar_;
    QPointer<CTalvenix_DlgProfile> manager_;
};

}  // namespace talvenix::gui

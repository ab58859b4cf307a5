// CTalvenixDlg: the program's one top-level window. It lives hidden behind the notification
// icon and wires its parts together: the key grid, the lighting panel, presence and Apply
// (each its own class), the window commands and the keyboard's events. Keyboard work runs
// on the keyboard worker, never on the UI thread.
#pragma once

#include <QLabel>
#include <QPointer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "core/device/DeviceLink.h"
#include "core/macros/WorkingConfig.h"
#include "gui/app/AppPaths.h"
#include "gui/app/TrayIcon.h"
#include "gui/common/KeyboardJobs.h"
#include "gui/common/KeyboardSession.h"
#include "gui/common/OpenDialogs.h"
#include "gui/common/Prompt.h"
#include "gui/common/WindowContext.h"
#include "gui/lighting/LightingPanel.h"
#include "gui/main/ApplyController.h"
#include "gui/main/KeyGrid.h"
#include "gui/main/MainControls.h"
#include "gui/main/PresenceController.h"
#include "gui/skin/BaseDialog.h"
#include "gui/skin/FaceSheets.h"
#include "gui/skin/PngButton.h"

namespace talvenix::gui {

class KeyDialogLauncher;

class CTrayIcon;
class ProfileWindows;

// What the main window needs from outside; the program fills it from the platform, tests
// from their fixtures.
struct MainWindowContext {
    AppPaths paths;
    device::DeviceLink* link = nullptr;  // bound and initialised; not owned
    Prompt* prompt = nullptr;            // not owned
    bool initialOpenDone = false;        // "/Start": stay in the notification area on first arrival
    bool useTray = true;                 // add the notification icon when the desktop has one
    // Whether the desktop has a notification area to hide into; empty asks Qt each time.
    std::function<bool()> trayHostAvailable;
};

class CTalvenixDlg : public CBaseDialog, public device::DeviceEventSink {
    Q_OBJECT
public:
    explicit CTalvenixDlg(MainWindowContext context, QWidget* parent = nullptr);
    ~CTalvenixDlg() override;

    // Bring-up: skin, pictures, controls, key grid, standing reads, the first presence check;
    // the deferred part (tray, ready, hide) follows from the event loop. Throws SkinError
    // naming a missing skin file.
    void BringUp();

    // --- commands ---
    void Show();             // OPEN, tray Show, double-click
    void Quit();             // KILL, close button, tray and menu Quit
    void Apply();            // starts Apply on the keyboard worker (queued while one runs)
    void RestoreDefaults();  // asks, resets the shown keys, applies
    void ImportProfile();    // menu: Import
    void ExportProfile();    // menu: Export
    void ImportProfileFrom(const QString& path);
    void ExportProfileTo(const QString& path);
    void SelectLanguage(int index);
    void ShowAbout();  // the about box, modeless

    // --- keyboard events (called on the UI thread; the sink marshals them here) ---
    void HandleConsumerUsage(std::uint16_t usage);
    void HandleDeviceCount(int count);

    // What other windows get: never this window itself.
    WindowContext Context();

    // Editor dialogs register here while open.
    DialogRegistry& Dialogs() { return dialogs_; }

    // --- state, for the tray, tests and screenshots ---
    bool WindowReady() const { return presence_ && presence_->WindowReady(); }
    bool ApplyPending() const { return apply_ && apply_->Pending(); }
    bool ApplyRunning() const { return apply_ && apply_->Running(); }
    bool QuitDone() const { return quitDone_; }
    int LastDeviceCount() const { return keyboard_.LastCount(); }
    std::array<std::uint8_t, 2> GBankState() const { return gBank_; }
    bool BankB() const { return (gBank_[1] & 0x01) != 0; }
    int ShownProfile() const { return shownProfile_; }
    CTrayIcon* Tray() const { return tray_; }
    KeyboardSession& Keyboard() { return keyboard_; }
    KeyboardJobs& Jobs() { return *jobs_; }
    macros::WorkingConfig& Working() { return working_; }
    CKeyGrid& Grid() { return *grid_; }
    LightingPanel& Lighting() { return *lighting_; }
    bool ColourKeysMode() const { return lighting_ && lighting_->ColourKeysMode(); }
    CPngButton* Button(int id) const;
    // The pieces of the window's pictures the buttons show (released while hidden).
    FaceSheets& Faces() { return *faces_; }
    // The busy animation runs (a download, or a shown window waiting for the read-back).
    bool BusyShown() const { return apply_ && apply_->BusyShown(); }
    // Its timer runs: busy, and the window can be seen.
    bool BusyAnimating() const { return apply_ && apply_->BusyAnimating(); }
    // Hiding goes to the notification area when there is one, else to the task bar.
    bool HidesToTray() const;
    // Keyboard work not finished yet, its UI part included (tests wait for 0).
    int PresenceWorkersRunning() const {
        return (presence_ ? presence_->Running() : 0) + (jobs_ ? jobs_->Outstanding() : 0);
    }
    // Marks a key or macro edit: Apply becomes enabled.
    void SetApplyPending(bool pending);

Q_SIGNALS:
    void Finished();  // Quit ran to the end: the program ends
    void ApplyFinished(bool ok);
    void ReadBackFinished();
    void ImportFinished(bool ok);
    void ProfileSwitchFinished(bool switched);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // DeviceEventSink, on the library's thread: marshal to the UI thread.
    void OnConsumerUsage(std::uint16_t usage) override;
    void OnDeviceCountChanged(int count) override;

    void LoadPictures();
    void ReleasePictures();
    void StartKeyboard();  // the keyboard worker, the presence and the first read-back
    void PlaceControls();
    void CreateParts();
    void ApplyTexts();
    void UpdateProfileLabel();
    void ShowProfile(int profile);
    void DeferredInit();
    void HideToTray();
    void ShowMainMenu();
    void OpenLink();
    void OpenHelp();
    void OnProfileButton(int profile);
    void ToggleGBank();
    void FollowKeyboardProfile();
    void ReadBackDone();  // after the worker's read-back
    void PresenceSettled();
    void ShowNow();
    void StopWorkers();
    void RefreshKeys(bool withFaces);
    void CreateProfileWindows();  // the profile bar, quick-switch menu, manager and update dialog

    MainWindowContext ctx_;
    macros::WorkingConfig working_;
    KeyboardSession keyboard_;
    std::unique_ptr<KeyboardJobs> jobs_;  // made at bring-up: it needs the link
    LightingPanel* lighting_ = nullptr;   // owned by this window (QObject child)
    ApplyController* apply_ = nullptr;
    PresenceController* presence_ = nullptr;

    // The full-window pictures, kept only as the pieces the buttons show, and only while the
    // window is shown.
    std::unique_ptr<FaceSheets> faces_;
    StateSheets mainSheets_;
    StateSheets abSheets_;  // the second set: swapped in for bank B
    int arrowSheet_ = -1;
    std::map<int, CPngButton*> buttons_;
    std::unique_ptr<CKeyGrid> grid_;
    QLabel* busyLabel_ = nullptr;
    QLabel* profileLabel_ = nullptr;
    CTrayIcon* tray_ = nullptr;
    TrayState presenceIcon_ = TrayState::NoKeyboard;
    QString linkTarget_;

    std::array<std::uint8_t, 2> gBank_{0x05, 0x02};
    bool quitDone_ = false;
    bool quitting_ = false;
    bool showWhenReady_ = false;
    bool waitingForKeyboard_ = false;  // shown while the arrival's read-back still runs
    bool paintAfterShow_ = false;      // the next paint is the first since the window was shown
    int shownProfile_ = 0;
    OpenDialogs dialogs_;
    QPointer<QDialog> about_;
    ProfileWindows* profiles_ = nullptr;  // owned by this window (QObject child)

    // --- key assignment dialogs and macro editor ---
public:
    KeyDialogLauncher* KeyDialogs() const { return keyDialogs_; }
    // Tests run the dialogs without a nested event loop.
    void SetKeyDialogsModal(bool modal);

private:
    void WireKeyDialogs();
    KeyDialogLauncher* keyDialogs_ = nullptr;
    bool keyDialogsModal_ = true;
};

}  // namespace talvenix::gui

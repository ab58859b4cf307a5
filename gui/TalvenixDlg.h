// CTalvenixDlg: the program's one top-level window. It lives hidden behind the notification
// icon, shows the on-screen keyboard and the lighting panel, answers the instance tags,
// dispatches the keyboard's events, runs Apply, import and export, and quits cleanly.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/device/DeviceLink.h"
#include "core/lighting/LightingController.h"
#include "core/macros/WorkingConfig.h"
#include "gui/AppPaths.h"
#include "gui/BaseDialog.h"
#include "gui/BitmapSlider.h"
#include "gui/KeyGrid.h"
#include "gui/KeyboardSession.h"
#include "gui/PngButton.h"
#include "gui/Prompt.h"
#include "gui/TrayIcon.h"

namespace talvenix::gui {

class CTrayIcon;
class KeyDialogLauncher;

// Control ids of the main window (the skin names them; the handlers use the ids).
enum MainControl : int {
    kIdOk = 1,
    kIdCancel = 2,
    kIdProfiles = 1005,
    kIdApply = 1006,
    kIdQuickSwitch = 1009,
    kIdLink = 1121,
    kIdHelp = 1122,
    kIdMinimize = 1123,
    kIdClose = 1124,
    kIdProfile1 = 1135,
    kIdProfile2 = 1136,
    kIdProfile3 = 1137,
    kIdDefault = 1138,
    kIdMenu = 1139,
    kIdSwitch = 1144,
    kIdMacro = 1145,
    kIdReport1 = 1147,
    kIdReport2 = 1168,
    kIdReport3 = 1169,
    kIdReport4 = 1170,
    kIdLockAB = 1171,
    kIdLockCaps = 1172,
    kIdLockNum = 1173,
    kIdLockScroll = 1176,
    kIdVersion = 1177,
    kIdLamp = 1167,
    kIdEffectCombo = 1146,
    kIdBrightness = 1178,
    kIdSpeed = 1179,
};

// What the main window needs from outside; the program fills it from the platform, tests
// from their fixtures.
struct MainWindowContext {
    AppPaths paths;
    device::DeviceLink* link = nullptr;  // bound and initialised; not owned
    Prompt* prompt = nullptr;            // not owned
    bool initialOpenDone = false;        // "/Start": stay in the notification area on first arrival
    bool useTray = true;                 // add the notification icon when the desktop has one
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
    void Apply();            // starts Apply off the UI thread (no-op while one runs)
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

    // --- state, for the tray, tests and screenshots ---
    bool WindowReady() const { return windowReady_.load(); }
    bool ApplyPending() const { return applyPending_; }
    bool ApplyRunning() const { return applyRunning_; }
    bool QuitDone() const { return quitDone_; }
    int LastDeviceCount() const { return keyboard_.LastCount(); }
    std::array<std::uint8_t, 2> GBankState() const { return gBank_; }
    bool BankB() const { return (gBank_[1] & 0x01) != 0; }
    int ShownProfile() const { return shownProfile_; }
    CTrayIcon* Tray() const { return tray_; }
    KeyboardSession& Keyboard() { return keyboard_; }
    macros::WorkingConfig& Working() { return working_; }
    CKeyGrid& Grid() { return *grid_; }
    bool ColourKeysMode();
    CPngButton* Button(int id) const;
    // Presence workers still running (tests wait for 0).
    int PresenceWorkersRunning() const { return presenceRunning_.load(); }
    // Marks a key or macro edit: Apply becomes enabled.
    void SetApplyPending(bool pending);

    // Sub-dialogs register themselves while open; unplug closes them, Quit asks them first.
    void RegisterSubDialog(CBaseDialog* dialog);

Q_SIGNALS:
    void Finished();  // Quit ran to the end: the program ends
    void ApplyFinished(bool ok);
    void ReadBackFinished();
    void ImportFinished(bool ok);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // DeviceEventSink, on the library's thread: marshal to the UI thread.
    void OnConsumerUsage(std::uint16_t usage) override;
    void OnDeviceCountChanged(int count) override;

    void LoadPictures();
    void PlaceControls();
    CPngButton* AddButton(int id, const QString& key, const StatePictures& pictures);
    void BuildLightingPanel();
    void ApplyTexts();
    void UpdateProfileLabel();
    // The lighting state: read from the keyboard (any thread), shown on the panel (UI thread).
    void ReadLighting(bool followKeyboard = false);
    void ShowProfile(int profile);
    bool SwitchProfile(int profile);
    void RefreshLightingPanel();
    void SetPicture(const char* control, const QString& bitmap);
    void DeferredInit();
    void HideToTray();
    void ShowMainMenu();
    void OpenLink();
    void OpenHelp();
    void OnButton(int id);
    void OnProfileButton(int profile);
    void StartBusy();
    void StopBusy();
    void UpdateApplyButton();
    void ToggleGBank();
    void UpdateGButtonLabels();
    void CloseSubDialogs();
    bool AskSubDialogsToClose();

    // Presence: each device-count change is handled by the presence worker, in arrival order,
    // on its own thread (it sleeps while there is nothing to do).
    void StartPresenceWorker(int count);
    void PresenceLoop();
    void PresenceStep(int count);
    void RunOnUiAndWait(const std::function<void()>& fn);
    void ReadBackDone();  // on the UI thread, after the worker's read-back
    void StopWorkers();
    void FinishApply(const ApplyOutcome& outcome);
    void RefreshKeys(bool withFaces);

    MainWindowContext ctx_;
    macros::WorkingConfig working_;
    macros::DownloadSnapshot snapshot_;
    KeyboardSession keyboard_;

    StatePictures mainPictures_;
    StatePictures abPictures_;  // the second set: swapped in for bank B
    QPixmap arrow_, colour0_, colour1_;
    std::map<int, CPngButton*> buttons_;
    std::unique_ptr<CKeyGrid> grid_;
    QComboBox* effectCombo_ = nullptr;
    CBitmapSlider* brightness_ = nullptr;
    CBitmapSlider* speed_ = nullptr;
    std::array<QLineEdit*, 3> rgbEdits_{};
    QLabel* busyLabel_ = nullptr;
    QLabel* profileLabel_ = nullptr;
    std::vector<QPixmap> busyFrames_;
    int busyFrame_ = 0;
    QTimer busyTimer_;  // 1050: runs only while Apply runs
    CTrayIcon* tray_ = nullptr;
    TrayState presenceIcon_ = TrayState::NoKeyboard;
    QString linkTarget_;

    std::atomic<bool> windowReady_{false};
    std::atomic<bool> initialOpenDone_{false};
    std::array<std::uint8_t, 2> gBank_{0x05, 0x02};
    bool applyPending_ = false;
    bool applyRunning_ = false;
    // Edits made while an Apply runs are not in its snapshot: they keep Apply pending, and an
    // Apply asked for meanwhile runs when the current one ends.
    unsigned editSerial_ = 0;
    unsigned applySerial_ = 0;
    bool applyQueued_ = false;
    std::atomic<bool> resetLightingOnApply_{false};  // restore defaults with the colour keys on
    bool quitDone_ = false;
    bool quitting_ = false;
    bool showWhenReady_ = false;
    int shownProfile_ = 0;
    std::vector<QPointer<CBaseDialog>> subDialogs_;

    // --- key assignment dialogs and macro editor ---
public:
    KeyDialogLauncher* KeyDialogs() const { return keyDialogs_; }
    // Tests run the dialogs without a nested event loop.
    void SetKeyDialogsModal(bool modal);

private:
    void WireKeyDialogs();
    KeyDialogLauncher* keyDialogs_ = nullptr;
    bool keyDialogsModal_ = true;
    QPointer<QDialog> about_;

    // The presence worker and its queue of device counts.
    std::mutex presenceMutex_;
    std::condition_variable presenceCv_;
    std::deque<int> presenceQueue_;
    std::thread presenceThread_;
    std::atomic<int> presenceRunning_{0};  // counts queued or being handled
    std::atomic<bool> stopping_{false};
    std::thread applyThread_;
    std::thread importThread_;
    std::mutex lightingMutex_;  // the lighting controller is used by the presence worker and the UI
    std::unique_ptr<lighting::LightingController> lighting_;
};

}  // namespace talvenix::gui

// ApplyController: sends the working configuration to the keyboard. It keeps Apply's state
// (pending, running, asked for again while running), runs every download as a keyboard job
// (Apply, import, the Apply before a profile switch), and plays the busy animation meanwhile.
#pragma once

#include <QLabel>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <vector>

#include "core/macros/WorkingConfig.h"
#include "gui/common/KeyboardJobs.h"
#include "gui/common/KeyboardSession.h"
#include "gui/common/Prompt.h"
#include "gui/common/WindowContext.h"

namespace talvenix::gui {

class LightingPanel;

class ApplyController : public QObject, public ApplyRequests {
    Q_OBJECT
public:
    // What the main window does when a download ends.
    struct Hooks {
        std::function<void(bool withFaces)> refreshKeys;
        std::function<void(bool enabled)> setApplyEnabled;
        std::function<void(int profile)> profileShown;  // the keyboard is on `profile` now
    };

    ApplyController(macros::WorkingConfig& working, KeyboardSession& keyboard, KeyboardJobs& jobs,
                    Prompt& prompt, LightingPanel& lighting, Hooks hooks, QObject* parent = nullptr);

    // The busy animation: `label` shows `frames` in turn while a download runs.
    void SetBusyAnimation(QLabel* label, std::vector<QPixmap> frames);

    // ApplyRequests
    void MarkApplyPending() override { SetPending(true); }
    void RequestApply() override { Apply(); }

    void SetPending(bool pending);
    bool Pending() const { return pending_; }
    bool Running() const { return running_; }
    // Starts Apply (queued behind a running one; a short animation only when nothing is pending).
    void Apply();
    // Restore defaults with the colour keys shown: the next Apply first resets the lighting.
    void ResetLightingWithNextApply() { resetLighting_ = true; }
    void Import(const QString& path);
    // A profile button: read that profile's lighting, ask about unapplied changes, switch.
    void SwitchProfile(int profile);
    // Quit: nothing more is started.
    void Stop();
    // The busy animation while the window waits for something other than a download (the
    // read-back on arrival); a download's own animation ends with it as before.
    void SetWaiting(bool waiting);
    bool BusyShown() const { return busy_; }
    // The animation's timer runs (busy, and the window can be seen).
    bool BusyAnimating() const { return busyTimer_.isActive(); }

Q_SIGNALS:
    void ApplyFinished(bool ok);
    void ImportFinished(bool ok);
    void ProfileSwitchFinished(bool switched);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateBusyTimer();
    void BeginDownload();
    void FinishApply(const ApplyOutcome& outcome);
    void FinishImport(const ImportOutcome& outcome);
    void RunQueuedApply();
    void SwitchAfterAsking(int profile);
    void StartBusy();
    void StopBusy();
    void UpdateApplyButton();
    void TellNotTaken(const QString& reason);

    macros::WorkingConfig& working_;
    KeyboardSession& keyboard_;
    KeyboardJobs& jobs_;
    Prompt& prompt_;
    LightingPanel& lighting_;
    Hooks hooks_;
    macros::DownloadSnapshot snapshot_;  // used by keyboard jobs only

    bool pending_ = false;
    bool running_ = false;
    bool switching_ = false;
    bool stopped_ = false;
    // Edits made while a download runs are not in its snapshot: they keep Apply pending, and an
    // Apply asked for meanwhile runs when the current one ends.
    unsigned editSerial_ = 0;
    unsigned applySerial_ = 0;
    bool applyQueued_ = false;
    bool resetLighting_ = false;
    bool waiting_ = false;

    QPointer<QLabel> busyLabel_;
    std::vector<QPixmap> busyFrames_;
    int busyFrame_ = 0;
    bool busy_ = false;  // a download runs, or the window waits for the keyboard
    QTimer busyTimer_;   // runs only while busy and the window can be seen
};

}  // namespace talvenix::gui

// PresenceController: follows the keyboard's coming and going. Each device-count change
// becomes a keyboard job (factory layout, read-back, lighting on arrival), handled in arrival
// order; the window is told on the UI thread. Icon changes and the first showing wait until
// the window is ready.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "core/macros/WorkingConfig.h"
#include "gui/app/TrayIcon.h"
#include "gui/common/KeyboardJobs.h"
#include "gui/common/KeyboardSession.h"
#include "gui/common/Prompt.h"

namespace talvenix::gui {

class LightingPanel;

class PresenceController : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> removed;             // close the editors, hide the window
        std::function<void()> readBackDone;        // show what was read
        std::function<void(TrayState)> trayState;  // the notification icon
        std::function<void()> firstArrival;        // show the window (no "/Start")
    };

    PresenceController(KeyboardJobs& jobs, KeyboardSession& keyboard, macros::WorkingConfig& working,
                       LightingPanel& lighting, Prompt& prompt, Hooks hooks, QObject* parent = nullptr);

    // The first check: counts the keyboards on the keyboard thread. `initialOpenDone` is "/Start".
    void Start(bool initialOpenDone);
    // A device-count change from the library (UI thread).
    void OnDeviceCount(int count);
    // The window finished its deferred start: run what waited for it.
    void SetWindowReady();
    bool WindowReady() const { return ready_; }
    // Changes posted and not fully handled yet (tests wait for 0).
    int Running() const { return running_; }

Q_SIGNALS:
    void ReadBackFinished();
    // Every posted change has been handled: the window knows whether a keyboard is there.
    void Settled();

private:
    struct Step {
        bool counted = false;  // the job read the count itself
        int count = 0;
        bool changed = false;
        bool layoutOk = true;
        std::uint64_t exchanges = 0;  // reports sent so far, for the benchmarks
    };
    void Post(bool countFirst, int count);
    void Handle(const Step& step);
    void Finish(int count);
    void Done();

    KeyboardJobs& jobs_;
    KeyboardSession& keyboard_;
    macros::WorkingConfig& working_;
    LightingPanel& lighting_;
    Prompt& prompt_;
    Hooks hooks_;
    bool initialOpenDone_ = false;
    bool ready_ = false;
    int running_ = 0;
    std::vector<int> waitingForReady_;  // counts whose icon and showing wait for the window
};

}  // namespace talvenix::gui

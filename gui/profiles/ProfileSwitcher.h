// SwitchProfile for the window: plans a request with the core rules, asks the save question,
// runs Apply or drops the changes, then has the keyboard worker make the profile current. Every
// keyboard step is asynchronous; `done` reports on the UI thread whether the profile changed.
#pragma once

#include <QObject>
#include <functional>

#include "core/profiles/SwitchRules.h"
#include "gui/common/Prompt.h"

namespace talvenix::gui {

struct ProfileSwitchContext {
    Prompt* prompt = nullptr;
    std::function<profiles::OpenEditors()> editors;
    std::function<int()> currentProfile;  // the keyboard's current profile as last known (-1 unknown)
    std::function<bool()> unappliedChanges;
    std::function<bool()> applyRunning;
    // The main window's Apply (save the store, download the current profile); `done(ok)`.
    std::function<void(std::function<void(bool ok)> done)> apply;
    // No to the save question: clear Apply and, when the profile is known, reload the store file.
    std::function<void()> dropChanges;
    // SetCurrentProfile through the keyboard worker; `done(ok)`.
    std::function<void(int profile, std::function<void(bool ok)> done)> setProfile;
    // After every request that was not refused: redraw keys, menu and label for the profile now
    // current (-1 unknown).
    std::function<void()> refresh;
};

class ProfileSwitcher : public QObject {
    Q_OBJECT
public:
    explicit ProfileSwitcher(ProfileSwitchContext context, QObject* parent = nullptr);

    // `requested`: 0..2 (>= 3 means 0), negative for "<Default Profile>". `done(switched)`:
    // true when the keyboard's profile changed or only a refresh was asked for.
    void Request(int requested, std::function<void(bool ok)> done = {});
    bool Busy() const { return gate_.Busy(); }

Q_SIGNALS:
    // The keyboard's current profile became `profile`.
    void Switched(int profile);

private:
    void SetProfile(int target, std::function<void(bool)> done);
    void Finish(bool ok, const std::function<void(bool)>& done);

    ProfileSwitchContext ctx_;
    profiles::SwitchGate gate_;
};

}  // namespace talvenix::gui

// When and how the keyboard's current profile may change. The window asks `PlanSwitch` what a
// profile button or a quick-switch item should do, then carries the plan out through its
// keyboard worker; `SwitchGate` keeps a second request out while the first one is still asking
// its save question or waiting for its Apply.
//
//   SwitchGate gate;
//   SwitchPlan plan = gate.Plan(request);   // may take the gate
//   ... ask, apply, switch ...
//   gate.Finish();                          // whatever happened
#pragma once

namespace talvenix::profiles {

inline constexpr int kHardwareProfileCount = 3;

// Dialogs whose edits a switch would pull the key block from under.
struct OpenEditors {
    int singleKey = 0;    // the single-key dialog
    int macroEditor = 0;  // the macro editor
    int composite = 0;    // the composite key / macro / media / function dialog
    int manager = 0;      // the profile manager (does not block a switch)
    bool AnyBlocking() const { return singleKey > 0 || macroEditor > 0 || composite > 0; }
};

struct SwitchRequest {
    int requested = 0;              // 0..2; >= 3 means 0; negative: the "<Default Profile>" item
    int currentProfile = -1;        // the keyboard's current profile, -1 when unknown
    OpenEditors editors;            //
    bool unappliedChanges = false;  // the main window's Apply or the manager's Apply is enabled
    bool applyRunning = false;      // an Apply is on its way to the keyboard
};

struct SwitchPlan {
    enum class Action {
        RefuseEditorOpen,  // show PROFILE_SEELCT_PROMPT2; nothing changes
        Busy,              // another switch or an Apply is under way: drop this request quietly
        RefreshOnly,       // "<Default Profile>" or the profile already current: nothing is sent
        Switch,            // write the ConfigBlock with `target`
    };
    Action action = Action::RefreshOnly;
    int target = -1;       // 0..2 for Switch
    bool askSave = false;  // ask PROFILE_SELECT_PROMPT before switching (Switch only)

    bool Sends() const { return action == Action::Switch; }
};

// The profile a request names: >= 3 gives 0, negative gives -1 (no profile).
int SwitchTarget(int requested);

// The rules, without state: editors open refuse; "<Default Profile>" and the current profile
// only refresh (so pressing the current profile's button twice writes nothing); unapplied
// changes ask the save question first.
SwitchPlan PlanSwitch(const SwitchRequest& request);

// What to do after the save question (Switch plans with askSave).
enum class SaveAnswerStep {
    ApplyThenSwitch,  // Yes: save and download, then switch if that worked
    DropThenSwitch,   // No: clear Apply, reload the store file (when the profile is known), switch
};
SaveAnswerStep AfterSaveQuestion(bool yes);
// Yes was answered and the Apply ended: switch only when it succeeded, so the changes made for
// the profile being left are never stranded in a profile the keyboard no longer shows.
bool SwitchAfterApply(bool applyOk);

// One switch at a time. A request arriving while a save question is on screen (or its Apply
// and switch are still under way) is Busy instead of skipping the question.
class SwitchGate {
public:
    // Plans the request; a Switch plan takes the gate until Finish().
    SwitchPlan Plan(SwitchRequest request);
    void Finish() { busy_ = false; }
    bool Busy() const { return busy_; }

private:
    bool busy_ = false;
};

}  // namespace talvenix::profiles

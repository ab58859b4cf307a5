#include "core/profiles/SwitchRules.h"

namespace talvenix::profiles {

int SwitchTarget(int requested) {
    if (requested < 0) return -1;
    return requested >= kHardwareProfileCount ? 0 : requested;
}

SwitchPlan PlanSwitch(const SwitchRequest& request) {
    SwitchPlan plan;
    if (request.editors.AnyBlocking()) {
        plan.action = SwitchPlan::Action::RefuseEditorOpen;
        return plan;
    }
    if (request.applyRunning) {
        plan.action = SwitchPlan::Action::Busy;
        return plan;
    }
    const int target = SwitchTarget(request.requested);
    // Nothing to send: the keyboard stays where it is and the unapplied changes stay with it.
    if (target < 0 || target == request.currentProfile) {
        plan.action = SwitchPlan::Action::RefreshOnly;
        plan.target = target;
        return plan;
    }
    plan.action = SwitchPlan::Action::Switch;
    plan.target = target;
    plan.askSave = request.unappliedChanges;
    return plan;
}

SaveAnswerStep AfterSaveQuestion(bool yes) {
    return yes ? SaveAnswerStep::ApplyThenSwitch : SaveAnswerStep::DropThenSwitch;
}

bool SwitchAfterApply(bool applyOk) { return applyOk; }

SwitchPlan SwitchGate::Plan(SwitchRequest request) {
    if (busy_) request.applyRunning = true;
    SwitchPlan plan = PlanSwitch(request);
    if (plan.action == SwitchPlan::Action::Switch) busy_ = true;
    return plan;
}

}  // namespace talvenix::profiles

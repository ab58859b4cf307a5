#include "gui/profiles/ProfileSwitcher.h"

#include <QPointer>

#include "gui/profiles/ProfileTexts.h"

namespace talvenix::gui {

using profiles::SwitchPlan;

ProfileSwitcher::ProfileSwitcher(ProfileSwitchContext context, QObject* parent)
    : QObject(parent), ctx_(std::move(context)) {}

void ProfileSwitcher::Request(int requested, std::function<void(bool ok)> done) {
    profiles::SwitchRequest request;
    request.requested = requested;
    request.currentProfile = ctx_.currentProfile ? ctx_.currentProfile() : -1;
    if (ctx_.editors) request.editors = ctx_.editors();
    request.unappliedChanges = ctx_.unappliedChanges && ctx_.unappliedChanges();
    request.applyRunning = ctx_.applyRunning && ctx_.applyRunning();
    const SwitchPlan plan = gate_.Plan(request);
    switch (plan.action) {
        case SwitchPlan::Action::RefuseEditorOpen:
            ctx_.prompt->ShowMessage(TableText(text::TextId::PROFILE_SEELCT_PROMPT2));
            if (done) done(false);
            return;
        case SwitchPlan::Action::Busy:
            if (done) done(false);
            return;
        case SwitchPlan::Action::RefreshOnly:
            if (ctx_.refresh) ctx_.refresh();
            if (done) done(true);
            return;
        case SwitchPlan::Action::Switch:
            break;
    }
    const int target = plan.target;
    if (!plan.askSave) {
        SetProfile(target, std::move(done));
        return;
    }
    const bool yes = ctx_.prompt->AskYesNo(TableText(text::TextId::PROFILE_SELECT_PROMPT));
    if (profiles::AfterSaveQuestion(yes) == profiles::SaveAnswerStep::DropThenSwitch) {
        ctx_.dropChanges();
        SetProfile(target, std::move(done));
        return;
    }
    QPointer<ProfileSwitcher> self(this);
    ctx_.apply([self, target, done = std::move(done)](bool ok) mutable {
        if (!self) return;
        // A failed Apply has told the user why; the keyboard stays where the changes belong.
        if (!profiles::SwitchAfterApply(ok)) {
            self->Finish(false, done);
            return;
        }
        self->SetProfile(target, std::move(done));
    });
}

void ProfileSwitcher::SetProfile(int target, std::function<void(bool)> done) {
    QPointer<ProfileSwitcher> self(this);
    ctx_.setProfile(target, [self, target, done = std::move(done)](bool ok) {
        if (!self) return;
        if (ok)
            Q_EMIT self->Switched(target);
        else
            self->ctx_.prompt->ShowMessage(
                FileTextOr("PROFILE_SET_FAILED", "The keyboard did not switch to the chosen profile."));
        self->Finish(ok, done);
    });
}

void ProfileSwitcher::Finish(bool ok, const std::function<void(bool)>& done) {
    gate_.Finish();
    if (ctx_.refresh) ctx_.refresh();
    if (done) done(ok);
}

}  // namespace talvenix::gui

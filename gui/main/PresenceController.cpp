#include "gui/main/PresenceController.h"

#include "core/text/LanguageTable.h"
#include "gui/app/Milestones.h"
#include "gui/common/Texts.h"
#include "gui/lighting/LightingPanel.h"

namespace talvenix::gui {

PresenceController::PresenceController(KeyboardJobs& jobs, KeyboardSession& keyboard,
                                       macros::WorkingConfig& working, LightingPanel& lighting,
                                       Prompt& prompt, Hooks hooks, QObject* parent)
    : QObject(parent),
      jobs_(jobs),
      keyboard_(keyboard),
      working_(working),
      lighting_(lighting),
      prompt_(prompt),
      hooks_(std::move(hooks)) {}

void PresenceController::Start(bool initialOpenDone) {
    initialOpenDone_ = initialOpenDone;
    Post(true, 0);
}

void PresenceController::OnDeviceCount(int count) { Post(false, count); }

void PresenceController::Post(bool countFirst, int count) {
    if (jobs_.Stopped()) return;
    ++running_;
    const int language = text::CurrentLanguageTable()->Index();
    jobs_.Post(
        [this, countFirst, count, language](JobContext& job) {
            Step step;
            step.counted = countFirst;
            step.count = countFirst ? job.Transport().DeviceCount() : count;
            if (step.count == keyboard_.LastCount()) return step;
            step.changed = true;
            if (step.count == 0) {
                keyboard_.OnRemoved();
            } else {
                step.layoutOk = keyboard_.ReadPresence(job.Transport());
                // The keyboard's reads happen here; loading and redrawing on the UI thread.
                keyboard_.ReadBackAndLoad(job.Transport(), working_);
                lighting_.ReadOnWorker(keyboard_.CachedProfile(), language);
                step.exchanges = job.Transport().Stats().exchanges;
            }
            // Later changes compare against this one, whatever the UI is doing meanwhile.
            keyboard_.SetLastCount(step.count);
            return step;
        },
        this, [this](Step step) { Handle(step); });
}

void PresenceController::Handle(const Step& step) {
    // Started without a keyboard: its arrival later does not open the window.
    if (step.counted && step.count == 0) {
        initialOpenDone_ = true;
        Milestone("no-keyboard");
    }
    if (!step.changed) {
        Done();
        return;
    }
    if (step.count == 0) {
        if (hooks_.removed) hooks_.removed();
    } else {
        if (!step.layoutOk) prompt_.ShowMessage(Text(text::TextId::MAIN_DEFAULT_MATRIX_PROMPT), QString());
        if (hooks_.readBackDone) hooks_.readBackDone();
        Milestone("read-back-complete", QStringLiteral("exchanges=%1").arg(step.exchanges));
        Q_EMIT ReadBackFinished();
    }
    if (ready_)
        Finish(step.count);
    else
        waitingForReady_.push_back(step.count);
}

void PresenceController::SetWindowReady() {
    ready_ = true;
    const auto waiting = std::exchange(waitingForReady_, {});
    for (int count : waiting) Finish(count);
}

void PresenceController::Done() {
    if (--running_ == 0) Q_EMIT Settled();
}

void PresenceController::Finish(int count) {
    if (hooks_.trayState) hooks_.trayState(count > 0 ? TrayState::Attached : TrayState::NoKeyboard);
    if (!initialOpenDone_ && count > 0) {
        initialOpenDone_ = true;
        if (hooks_.firstArrival) QMetaObject::invokeMethod(this, hooks_.firstArrival, Qt::QueuedConnection);
    }
    Done();
}

}  // namespace talvenix::gui

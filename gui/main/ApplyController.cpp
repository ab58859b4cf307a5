#include "gui/main/ApplyController.h"

#include <QEvent>

#include "core/text/LanguageTable.h"
#include "gui/common/Texts.h"
#include "gui/lighting/LightingPanel.h"

namespace talvenix::gui {

using text::TextId;

ApplyController::ApplyController(macros::WorkingConfig& working, KeyboardSession& keyboard,
                                 KeyboardJobs& jobs, Prompt& prompt, LightingPanel& lighting, Hooks hooks,
                                 QObject* parent)
    : QObject(parent),
      working_(working),
      keyboard_(keyboard),
      jobs_(jobs),
      prompt_(prompt),
      lighting_(lighting),
      hooks_(std::move(hooks)) {
    busyTimer_.setParent(this);
    busyTimer_.setObjectName(QStringLiteral("BusyAnimation"));
    busyTimer_.setInterval(50);
    connect(&busyTimer_, &QTimer::timeout, this, [this] {
        if (busyFrames_.empty() || !busyLabel_) return;
        busyFrame_ = (busyFrame_ + 1) % static_cast<int>(busyFrames_.size());
        busyLabel_->setPixmap(busyFrames_[static_cast<std::size_t>(busyFrame_)]);
    });
}

void ApplyController::SetBusyAnimation(QLabel* label, std::vector<QPixmap> frames) {
    busyLabel_ = label;
    busyFrames_ = std::move(frames);
    if (busyLabel_ && !busyFrames_.empty()) busyLabel_->setPixmap(busyFrames_.front());
    // The animation plays only where it can be seen: a download behind a hidden or minimised
    // window runs without a timer.
    if (busyLabel_) busyLabel_->window()->installEventFilter(this);
}

bool ApplyController::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowStateChange:
            UpdateBusyTimer();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void ApplyController::UpdateBusyTimer() {
    const QWidget* window = busyLabel_ ? busyLabel_->window() : nullptr;
    const bool seen = window && window->isVisible() && !window->isMinimized();
    if (busy_ && seen && !stopped_) {
        if (!busyTimer_.isActive()) busyTimer_.start();
    } else {
        busyTimer_.stop();
    }
}

void ApplyController::SetPending(bool pending) {
    pending_ = pending;
    if (pending) ++editSerial_;
    UpdateApplyButton();
}

void ApplyController::UpdateApplyButton() {
    if (hooks_.setApplyEnabled) hooks_.setApplyEnabled(pending_ && !running_);
}

void ApplyController::StartBusy() {
    busyFrame_ = 0;
    if (busyLabel_ && !busyFrames_.empty()) {
        busyLabel_->setPixmap(busyFrames_.front());
        busyLabel_->show();
    }
    busy_ = true;
    UpdateBusyTimer();
}

void ApplyController::StopBusy() {
    if (waiting_) return;  // the window still waits for the keyboard's read-back
    busy_ = false;
    busyTimer_.stop();
    if (busyLabel_) busyLabel_->hide();
}

void ApplyController::Stop() {
    stopped_ = true;
    pending_ = false;
    busy_ = false;
    busyTimer_.stop();
}

void ApplyController::BeginDownload() {
    StartBusy();
    running_ = true;
    applySerial_ = editSerial_;
    UpdateApplyButton();
}

void ApplyController::Apply() {
    if (stopped_) return;
    if (running_ || switching_) {
        applyQueued_ = true;
        return;
    }
    StartBusy();
    if (!pending_) {
        QTimer::singleShot(100, this, [this] {
            StopBusy();
            Q_EMIT ApplyFinished(true);
        });
        return;
    }
    BeginDownload();
    const bool reset = std::exchange(resetLighting_, false);
    jobs_.Post(
        [this, reset](JobContext& job) {
            // The shown profile's lighting goes back to the reset image before the keys are written.
            if (reset) lighting_.ResetOnWorker();
            return keyboard_.Apply(job.Transport(), working_, snapshot_);
        },
        this, [this](ApplyOutcome outcome) { FinishApply(outcome); });
}

void ApplyController::FinishApply(const ApplyOutcome& outcome) {
    running_ = false;
    if (lighting_.ColourKeysMode()) lighting_.Refresh();
    if (outcome.Ok() && editSerial_ == applySerial_) pending_ = false;
    UpdateApplyButton();
    if (!outcome.downloaded)
        TellNotTaken(outcome.message);
    else if (!outcome.message.isEmpty())
        prompt_.ShowMessage(outcome.message, QString(), PromptIcon::Warning);
    QTimer::singleShot(100, this, [this] { StopBusy(); });
    Q_EMIT ApplyFinished(outcome.Ok());
    RunQueuedApply();
}

void ApplyController::TellNotTaken(const QString& reason) {
    // A download that failed must never look like a success: say so once, with the keyboard's
    // own reason first when it gave one.
    const QString notTaken = Text(TextId::APPLY_NOT_TAKEN);
    prompt_.ShowMessage(reason.isEmpty() ? notTaken : reason + QStringLiteral("\n\n") + notTaken, QString(),
                        PromptIcon::Warning);
}

void ApplyController::SetWaiting(bool waiting) {
    waiting_ = waiting;
    if (waiting)
        StartBusy();
    else if (!running_)
        StopBusy();
}

void ApplyController::RunQueuedApply() {
    if (!applyQueued_) return;
    applyQueued_ = false;
    Apply();
}

void ApplyController::Import(const QString& path) {
    if (running_ || switching_ || stopped_) return;
    BeginDownload();
    jobs_.Post([this, path](
                   JobContext& job) { return keyboard_.Import(path, job.Transport(), working_, snapshot_); },
               this, [this](ImportOutcome outcome) { FinishImport(outcome); });
}

void ApplyController::FinishImport(const ImportOutcome& outcome) {
    running_ = false;
    StopBusy();
    if (!outcome.valid) {
        // One message: the refused file and that nothing changed, or that it could not be read.
        prompt_.ShowMessage(
            outcome.formatMessage.isEmpty() ? Text(TextId::MAIN_PROMPT_INPORT) : outcome.formatMessage,
            QString(), PromptIcon::Warning);
        UpdateApplyButton();
        Q_EMIT ImportFinished(false);
    } else {
        if (hooks_.refreshKeys) hooks_.refreshKeys(true);
        // The imported configuration is the working one now. A keyboard that did not take it
        // leaves Apply enabled, as a failed Apply does, so it can be sent again.
        if (outcome.downloaded && editSerial_ == applySerial_)
            pending_ = false;
        else if (!outcome.downloaded)
            pending_ = true;
        UpdateApplyButton();
        if (!outcome.downloaded)
            TellNotTaken(outcome.message);
        else if (!outcome.message.isEmpty())
            prompt_.ShowMessage(outcome.message, QString(), PromptIcon::Warning);
        Q_EMIT ImportFinished(outcome.downloaded);
    }
    RunQueuedApply();
}

void ApplyController::SwitchProfile(int profile) {
    if (running_ || switching_ || stopped_) return;
    switching_ = true;
    const int language = text::CurrentLanguageTable()->Index();
    // First the chosen profile's lighting and which profile the keyboard is on.
    jobs_.Post(
        [this, profile, language](JobContext& job) {
            lighting_.ReadOnWorker(profile, language);
            return keyboard_.State().GetCurrentProfile(job.Transport());
        },
        this,
        [this, profile](int current) {
            lighting_.Refresh();
            if (stopped_) {
                switching_ = false;
                return;
            }
            if (current == profile) {
                switching_ = false;
                if (hooks_.profileShown) hooks_.profileShown(profile);
                Q_EMIT ProfileSwitchFinished(true);
                RunQueuedApply();
                return;
            }
            SwitchAfterAsking(profile);
        });
}

void ApplyController::SwitchAfterAsking(int profile) {
    bool applyFirst = false;
    if (pending_) {
        if (prompt_.AskYesNo(Text(TextId::PROFILE_SELECT_PROMPT))) {
            // Save and download the changes before the keyboard moves on.
            applyFirst = true;
            BeginDownload();
        } else {
            SetPending(false);
            if (keyboard_.CachedProfile() >= 0) keyboard_.ReloadFromStore(working_);
        }
    }
    struct Result {
        bool applied = false;
        ApplyOutcome apply;
        bool switched = false;
    };
    jobs_.Post(
        [this, profile, applyFirst](JobContext& job) {
            Result r;
            if (applyFirst) {
                r.applied = true;
                r.apply = keyboard_.Apply(job.Transport(), working_, snapshot_);
            }
            r.switched = keyboard_.SwitchKeyboardProfile(job.Transport(), profile);
            return r;
        },
        this,
        [this, profile](Result r) {
            switching_ = false;
            // FinishApply may start a queued Apply: the switch is over by then.
            if (r.applied) FinishApply(r.apply);
            if (hooks_.refreshKeys) hooks_.refreshKeys(true);
            // A keyboard that did not take the switch keeps showing the profile it is on.
            if (r.switched && hooks_.profileShown) hooks_.profileShown(profile);
            Q_EMIT ProfileSwitchFinished(r.switched);
            if (!r.applied) RunQueuedApply();
        });
}

}  // namespace talvenix::gui

// The composite key dialog's commit and close: Apply stores the macro list and the chosen
// assignment together; every way of closing ends a recording and drops the dialog's copies.
#include <QCloseEvent>

#include "core/macros/KeyEdit.h"
#include "gui/common/Prompt.h"
#include "gui/keys/CompositeKeyDialog.h"
#include "gui/keys/DialogKit.h"
#include "gui/keys/KeyEditHost.h"
#include "gui/macros/ActionListView.h"
#include "gui/macros/KeyEventFilter.h"
#include "gui/macros/MacroGauge.h"
#include "gui/macros/RecordingSession.h"

namespace talvenix::gui {

using kit::Fx;

bool Talvenix_DlgComposite::Apply() {
    if (recording_->Recording() && !recording_->Stop()) return false;
    StoreSelectedRow();
    UpdateGauge();
    if (!gauge_->AcceptedForApply(host_.Ask())) return false;
    macros::CommitOutcome outcome;
    {
        auto cfg = host_.Working().Lock();
        outcome = list_.Commit(*cfg);
        if (outcome.result == macros::CommitOutcome::Result::Committed && !keepRecord_) {
            macros::StoreKeyEdit(*cfg, profile_, target_.slot, ChosenRecord());
            original_ = cfg->AssignmentOf(profile_, target_.slot);
        }
    }
    if (outcome.result != macros::CommitOutcome::Result::Committed) {
        host_.Ask().ShowMessage(
            Fx("MACRO_ERR_COMMIT", "The macro list could not be saved; nothing was changed."));
        return false;
    }
    modified_ = false;
    UpdateButtons();
    host_.KeysChanged(outcome.unboundRecords);
    return true;
}

void Talvenix_DlgComposite::CloseSteps() {
    capture_->SetActive(false);
    recording_->Abort();
    actions_->Load({});
    list_.Load({});
    shownRow_ = -1;
    rebuilding_ = true;
    macroCombo_->clear();
    rebuilding_ = false;
    modified_ = false;
    UpdateButtons();
}

void Talvenix_DlgComposite::Ok() {
    if (!Apply()) return;
    CloseSteps();
    accept();
}

void Talvenix_DlgComposite::Cancel() {
    CloseSteps();
    reject();
}

void Talvenix_DlgComposite::done(int result) {
    CloseSteps();
    CBaseDialog::done(result);
}

void Talvenix_DlgComposite::closeEvent(QCloseEvent* event) {
    CloseSteps();
    CBaseDialog::closeEvent(event);
}

}  // namespace talvenix::gui

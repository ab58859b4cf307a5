#include "core/profiles/ProfileStore.h"
#include "core/text/LanguageTable.h"
#include "gui/lighting/LightingPanel.h"
#include "gui/main/TalvenixDlg.h"

// What the keyboard reports (its consumer usages and presence), handled on the main window.
namespace talvenix::gui {

namespace {

constexpr std::uint16_t kUsageGBank = 0x02FF;
constexpr std::uint16_t kUsageConfigChanged = 0x0401;
constexpr std::uint16_t kUsageIconEvent = 0x1811;
constexpr std::uint16_t kUsageIconBack = 0x1810;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Keyboard events

void CTalvenixDlg::OnConsumerUsage(std::uint16_t usage) {
    QMetaObject::invokeMethod(
        this, [this, usage] { HandleConsumerUsage(usage); }, Qt::QueuedConnection);
}

void CTalvenixDlg::OnDeviceCountChanged(int count) {
    QMetaObject::invokeMethod(
        this, [this, count] { HandleDeviceCount(count); }, Qt::QueuedConnection);
}

void CTalvenixDlg::HandleConsumerUsage(std::uint16_t usage) {
    if (quitting_) return;
    switch (usage) {
        case kUsageGBank:
            ToggleGBank();
            break;
        case kUsageConfigChanged:
            // The keyboard changed its configuration itself (a profile chosen on the keyboard):
            // re-read the lighting once the event has been handled.
            FollowKeyboardProfile();
            break;
        case kUsageIconEvent:
            if (tray_) tray_->SetState(TrayState::Event);
            break;
        case kUsageIconBack:
            if (tray_) tray_->SetState(presenceIcon_);
            break;
        default:
            break;
    }
}

void CTalvenixDlg::ToggleGBank() {
    gBank_[1] ^= 0x01;
    const auto state = gBank_;
    jobs_->Post([state](JobContext& job) { job.Link().WriteLedStatus(state[0], state[1]); });
    if (auto* ab = Button(kIdLockAB)) ab->SetStateSheets(faces_.get(), BankB() ? abSheets_ : mainSheets_);
    if (grid_) grid_->SetBankLabels(BankB());
    RefreshKeys(true);
}

void CTalvenixDlg::FollowKeyboardProfile() {
    // A profile chosen on the keyboard itself: ask it which one is current now, and read that
    // profile's lighting.
    const int language = text::CurrentLanguageTable()->Index();
    jobs_->Post(
        [this, language](JobContext& job) {
            keyboard_.State().ForgetCurrentProfile();
            keyboard_.State().GetCurrentProfile(job.Transport());
            lighting_->ReadOnWorker(keyboard_.CachedProfile(), language);
        },
        this,
        [this] {
            const int active = keyboard_.CachedProfile();
            if (active >= 0 && active <= 2 && active != shownProfile_) ShowProfile(active);
            UpdateProfileLabel();
            lighting_->Refresh();
        });
}

void CTalvenixDlg::HandleDeviceCount(int count) {
    if (!quitting_) presence_->OnDeviceCount(count);
}

void CTalvenixDlg::ReadBackDone() {
    const int active = keyboard_.CachedProfile();
    if (active >= 0 && active <= 2)
        ShowProfile(active);
    else
        RefreshKeys(true);
    UpdateProfileLabel();
    lighting_->Refresh();
    apply_->SetPending(false);
}
}  // namespace talvenix::gui

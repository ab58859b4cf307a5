// The main window's visibility: showing it on request (busy while a keyboard is arriving),
// hiding it to the tray, and the pictures it holds only while it can be seen.
#include <QCloseEvent>
#include <QHideEvent>
#include <QShowEvent>
#include <QSystemTrayIcon>

#include "gui/app/Milestones.h"
#include "gui/common/Texts.h"
#include "gui/main/ApplyController.h"
#include "gui/main/PresenceController.h"
#include "gui/main/TalvenixDlg.h"
#include "platform/Process.h"

namespace talvenix::gui {

using text::TextId;

// ---------------------------------------------------------------------------------------------
// Window commands

void CTalvenixDlg::Show() {
    if (quitting_) return;
    Milestone("show-requested");
    if (!WindowReady()) {
        // Asked before the deferred initialisation hid the window: show it after that.
        showWhenReady_ = true;
        return;
    }
    if (keyboard_.LastCount() == 0) {
        if (presence_->Running() > 0) {
            // A keyboard may be arriving: show the window busy until its read-back ends.
            waitingForKeyboard_ = true;
            apply_->SetWaiting(true);
            ShowNow();
            return;
        }
        ctx_.prompt->ShowMessage(Text(TextId::MAIN_NO_DEVICE_PROMPT), QString());
        return;
    }
    ShowNow();
}

void CTalvenixDlg::ShowNow() {
    showNormal();
    raise();
    activateWindow();
}

void CTalvenixDlg::PresenceSettled() {
    if (!std::exchange(waitingForKeyboard_, false)) return;
    apply_->SetWaiting(false);
    if (quitting_ || keyboard_.LastCount() > 0) return;
    HideToTray();
    ctx_.prompt->ShowMessage(Text(TextId::MAIN_NO_DEVICE_PROMPT), QString());
}

bool CTalvenixDlg::HidesToTray() const {
    if (!ctx_.useTray) return false;
    return ctx_.trayHostAvailable ? ctx_.trayHostAvailable() : QSystemTrayIcon::isSystemTrayAvailable();
}

void CTalvenixDlg::HideToTray() {
    // Without a notification area a hidden window could only be found again by starting the
    // program a second time.
    if (HidesToTray())
        hide();
    else
        showMinimized();
}

void CTalvenixDlg::closeEvent(QCloseEvent* event) {
    // The window manager's close hides to the tray; Quit ends the program.
    event->ignore();
    if (!quitting_) HideToTray();
}

void CTalvenixDlg::showEvent(QShowEvent* event) {
    CBaseDialog::showEvent(event);
    paintAfterShow_ = true;
    // The pictures are cut by the first paint, each when a button first shows it: a picture
    // only hovered or pressed later (over, down) is decoded then.
    // Nothing takes the focus by itself: a text box holding it would blink its cursor, and wake
    // the program, while nobody types. Tab reaches the controls from here.
    if (QWidget* focused = focusWidget(); focused && focused != this) focused->clearFocus();
    setFocus(Qt::OtherFocusReason);
}

void CTalvenixDlg::hideEvent(QHideEvent* event) {
    CBaseDialog::hideEvent(event);
    if (event->spontaneous()) return;
    ReleasePictures();
    Milestone("hidden");
}

void CTalvenixDlg::changeEvent(QEvent* event) {
    CBaseDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isVisible()) return;
    // Without a notification area hiding minimises: the pictures go as they do when hidden.
    if (isMinimized()) ReleasePictures();
}

void CTalvenixDlg::ReleasePictures() {
    if (faces_) faces_->Release();
    ReleaseBackground();
    // The decoded pictures were megabytes of heap; the allocator would keep them for reuse.
    platform::ReturnFreedMemory();
}

void CTalvenixDlg::paintEvent(QPaintEvent* event) {
    CBaseDialog::paintEvent(event);
    if (std::exchange(paintAfterShow_, false)) Milestone("shown");
}

}  // namespace talvenix::gui

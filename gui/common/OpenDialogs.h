// The editor dialogs open right now. Unplugging the keyboard closes them; Quit asks each
// first and stays when one refuses.
#pragma once

#include <QPointer>
#include <vector>

#include "gui/common/WindowContext.h"
#include "gui/skin/BaseDialog.h"

namespace talvenix::gui {

class OpenDialogs : public DialogRegistry {
public:
    void RegisterDialog(CBaseDialog* dialog) override;
    void UnregisterDialog(CBaseDialog* dialog) override;
    bool EditorOpen() const override;

    // Rejects every open dialog.
    void CloseAll();
    // Asks every open dialog to close; false as soon as one refuses (its closeEvent ignored).
    bool AskAllToClose();

private:
    std::vector<QPointer<CBaseDialog>> dialogs_;  // a deleted dialog reads as null
};

}  // namespace talvenix::gui

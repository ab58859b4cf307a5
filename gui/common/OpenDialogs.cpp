#include "gui/common/OpenDialogs.h"

#include <algorithm>

namespace talvenix::gui {

void OpenDialogs::RegisterDialog(CBaseDialog* dialog) {
    if (dialog && std::find(dialogs_.begin(), dialogs_.end(), dialog) == dialogs_.end())
        dialogs_.emplace_back(dialog);
}

void OpenDialogs::UnregisterDialog(CBaseDialog* dialog) {
    std::erase_if(dialogs_, [dialog](const QPointer<CBaseDialog>& d) { return !d || d == dialog; });
}

bool OpenDialogs::EditorOpen() const {
    return std::any_of(dialogs_.begin(), dialogs_.end(),
                       [](const QPointer<CBaseDialog>& d) { return !d.isNull(); });
}

void OpenDialogs::CloseAll() {
    const auto open = std::exchange(dialogs_, {});
    for (const auto& d : open)
        if (d) d->reject();
}

bool OpenDialogs::AskAllToClose() {
    for (auto& d : dialogs_) {
        if (!d) continue;
        if (!d->close()) return false;
        d = nullptr;
    }
    dialogs_.clear();
    return true;
}

}  // namespace talvenix::gui

// The quick-switch menu: "<Default Profile>", a separator, the three hardware profiles by name
// with the current one checked, and (after a second separator) renaming the current profile.
// Rebuild() refreshes it and the label and tooltip that follow its check mark.
#pragma once

#include <QLabel>
#include <QMenu>
#include <array>
#include <functional>

#include "core/profiles/FastSwitchMenu.h"

namespace talvenix::gui {

struct FastSwitchMenuContext {
    std::function<int()> currentProfile;                   // -1 unknown
    std::function<std::array<QString, 3>()> profileNames;  // the names to show
    std::function<void(int request)> switchProfile;        // SwitchProfile(command - 9001)
    std::function<void()> renameCurrent;                   // empty: no rename item
};

class FastSwitchMenu : public QMenu {
    Q_OBJECT
public:
    explicit FastSwitchMenu(FastSwitchMenuContext context, QWidget* parent = nullptr);

    // Empties and refills the menu; sets `label`'s text and tooltip when given.
    void Rebuild();
    void SetLabel(QLabel* label) { label_ = label; }
    const profiles::FastSwitchMenuModel& Model() const { return model_; }
    // Runs a menu command as a click on its item would (9000..9200).
    void RunCommand(int command);

private:
    FastSwitchMenuContext ctx_;
    profiles::FastSwitchMenuModel model_;
    QLabel* label_ = nullptr;
};

}  // namespace talvenix::gui

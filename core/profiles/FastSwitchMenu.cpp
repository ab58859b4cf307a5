#include "core/profiles/FastSwitchMenu.h"

namespace talvenix::profiles {

int FastSwitchMenuModel::CheckedPosition() const {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].checked) return static_cast<int>(i);
    return -1;
}

FastSwitchMenuModel BuildFastSwitchMenu(int currentProfile, const std::array<std::string, 3>& names,
                                        std::string_view defaultName, std::string_view tipPrefix) {
    FastSwitchMenuModel menu;
    menu.items.push_back({kFastSwitchDefaultCommand, std::string(defaultName), false});
    menu.items.push_back({0, {}, false});
    for (int i = 0; i < 3; ++i)
        menu.items.push_back({kFastSwitchFirstProfileCommand + i, names[static_cast<std::size_t>(i)], false});
    const std::size_t checked =
        currentProfile >= 0 && currentProfile <= 2 ? static_cast<std::size_t>(currentProfile) + 2 : 0;
    menu.items[checked].checked = true;
    menu.label = menu.items[checked].text;
    menu.tooltip = std::string(tipPrefix) + menu.label;
    return menu;
}

std::optional<int> FastSwitchRequest(int command) {
    if (command < kFastSwitchDefaultCommand || command > kFastSwitchLastCommand) return std::nullopt;
    return command - kFastSwitchFirstProfileCommand;
}

}  // namespace talvenix::profiles

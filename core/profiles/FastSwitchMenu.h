// The quick-switch menu's contents: "<Default Profile>" (command 9000), a separator, one item
// per hardware profile (9001 + i) labelled with the profile's name, the current profile checked
// ("<Default Profile>" while it is unknown), and the profile label's text and tooltip that
// follow the check mark.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvenix::profiles {

inline constexpr int kFastSwitchDefaultCommand = 9000;
inline constexpr int kFastSwitchFirstProfileCommand = 9001;
inline constexpr int kFastSwitchLastCommand = 9200;

struct FastSwitchItem {
    int command = 0;  // 0 for the separator
    std::string text;
    bool checked = false;
    bool IsSeparator() const { return command == 0; }
};

struct FastSwitchMenuModel {
    std::vector<FastSwitchItem> items;
    std::string label;    // the checked item's text
    std::string tooltip;  // tip prefix + label
    int CheckedPosition() const;
};

// `currentProfile` -1 when unknown; a value outside 0..2 checks nothing but the default item.
FastSwitchMenuModel BuildFastSwitchMenu(int currentProfile, const std::array<std::string, 3>& names,
                                        std::string_view defaultName, std::string_view tipPrefix);

// The SwitchProfile argument a menu command stands for (command - 9001: -1 for the default
// item); nullopt for commands outside 9000..9200.
std::optional<int> FastSwitchRequest(int command);

}  // namespace talvenix::profiles

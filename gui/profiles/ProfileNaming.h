// The names of the three hardware profiles: kept in the settings ("ProfileName1..3"), the
// language file's "Profile 1..3" when none is set, and renaming with a clear message for a name
// that cannot be kept.
#pragma once

#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "gui/common/Prompt.h"

namespace talvenix::gui {

class ProfileNaming {
public:
    explicit ProfileNaming(QString settingsFile) : settingsFile_(std::move(settingsFile)) {}

    std::array<QString, 3> Names() const;
    // Asks for a new name of `profile` (askText returns nullopt on Cancel); true when a name
    // was stored or cleared.
    bool Rename(
        int profile, Prompt& prompt,
        const std::function<std::optional<QString>(const QString& label, const QString& current)>& askText);

private:
    QString settingsFile_;
};

}  // namespace talvenix::gui

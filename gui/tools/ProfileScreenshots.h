// Screenshots of the profile and firmware windows (see Screenshots.cpp).
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "core/device/DeviceLink.h"
#include "gui/app/AppPaths.h"
#include "gui/common/Prompt.h"

namespace talvenix::gui {

// Writes profile-manager.png, quick-switch-menu.png and update-dialog.png into `out`; 0 when
// all were written.
int ShootProfileWindows(const AppPaths& paths, device::DeviceLink& link, Prompt& prompt, const QString& out,
                        const std::function<bool(QWidget&, const QString&)>& save,
                        const std::function<void(int)>& settle);

}  // namespace talvenix::gui

// Starting the desktop's on-screen keyboard, when one is installed.
#pragma once

#include <QString>
#include <QStringList>

namespace talvenix::gui {

// The on-screen keyboards looked for on PATH, in order of preference.
const QStringList& OnScreenKeyboardPrograms();
// The full path of the first one installed; empty when none is.
QString FindOnScreenKeyboard();
// Starts it detached; false (and `message` says why) when none is installed or it fails to start.
bool StartOnScreenKeyboard(QString* message);

}  // namespace talvenix::gui

// CTalvenixApp: start-up. Settles the language, enforces the single instance, starts the
// companion program, binds the service library and runs the main window until Quit.
#pragma once

#include <QStringList>

namespace talvenix::gui {

// Runs the program; returns the process exit code. A missing start-up resource (service
// library, entry point, skin file) is reported on stderr (and in a box when a display is
// available) and gives a non-zero code.
int RunTalvenix(const QStringList& arguments);

}  // namespace talvenix::gui

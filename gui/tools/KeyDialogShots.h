// Screenshots of the key dialogs and the macro editor, with sample macros and assignments.
#pragma once

#include <QString>

namespace talvenix::gui {

// Renders every page of the key dialog, the single-key dialog and the macro editor into `out`.
// False when a picture could not be written.
bool SaveKeyDialogShots(const QString& out, const QString& skinFolder);

}  // namespace talvenix::gui

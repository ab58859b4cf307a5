// The about box: what the program is, its version and rights. Modeless, deletes itself on close.
#pragma once

#include <QDialog>
#include <QString>

namespace talvenix::gui {

QDialog* ShowAboutBox(QWidget* parent, const QString& versionText);

}  // namespace talvenix::gui

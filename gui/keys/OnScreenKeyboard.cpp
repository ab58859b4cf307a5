#include "gui/keys/OnScreenKeyboard.h"

#include <QProcess>
#include <QStandardPaths>

#include "gui/keys/DialogKit.h"

namespace talvenix::gui {

const QStringList& OnScreenKeyboardPrograms() {
    static const QStringList programs = {
        QStringLiteral("onboard"),           QStringLiteral("squeekboard"), QStringLiteral("florence"),
        QStringLiteral("matchbox-keyboard"), QStringLiteral("kvkbd"),       QStringLiteral("xvkbd"),
        QStringLiteral("maliit-keyboard")};
    return programs;
}

QString FindOnScreenKeyboard() {
    for (const QString& name : OnScreenKeyboardPrograms()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty()) return path;
    }
    return {};
}

bool StartOnScreenKeyboard(QString* message) {
    const QString path = FindOnScreenKeyboard();
    if (path.isEmpty()) {
        if (message)
            *message = kit::Fx("OSK_NONE", "No on-screen keyboard is installed (looked for %1).")
                           .arg(OnScreenKeyboardPrograms().join(QStringLiteral(", ")));
        return false;
    }
    if (!QProcess::startDetached(path, {})) {
        if (message)
            *message = kit::Fx("OSK_FAILED", "The on-screen keyboard %1 could not be started.").arg(path);
        return false;
    }
    return true;
}

}  // namespace talvenix::gui

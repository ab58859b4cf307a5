#include <QApplication>

#include "gui/app/TalvenixApp.h"
#include "platform/FileSync.h"

int main(int argc, char* argv[]) {
    talvenix::platform::InstallFileSync();  // a saved store or colour file survives a power cut
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("talvenix"));
    return talvenix::gui::RunTalvenix(QApplication::arguments().mid(1));
}

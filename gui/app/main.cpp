#include <QApplication>

#include "gui/app/TalvenixApp.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("talvenix"));
    return talvenix::gui::RunTalvenix(QApplication::arguments().mid(1));
}

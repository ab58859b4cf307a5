#include <QApplication>

#include "gui/TalvenixApp.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("talvenix"));
    return talvenix::gui::RunTalvenix(QApplication::arguments().mid(1));
}

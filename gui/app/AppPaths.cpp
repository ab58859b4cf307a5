#include "gui/app/AppPaths.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "platform/UserFolders.h"

namespace talvenix::gui {

namespace {
QString FromPath(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }
}  // namespace

AppPaths AppPaths::ForProgramFolder(const QString& programFolder) {
    AppPaths paths;
    paths.programFolder = programFolder;
    paths.ownFileName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    paths.skinFolder = programFolder + QStringLiteral("/Skins");
    paths.helpFolder = programFolder + QStringLiteral("/Help");
    paths.companion = programFolder + QStringLiteral("/Kestrald");
    paths.configFolder = FromPath(platform::ConfigFolder());
    paths.documentsFolder = FromPath(platform::DocumentsFolder());
    return paths;
}

AppPaths AppPaths::FromPlatform() { return ForProgramFolder(FromPath(platform::ProgramFolder())); }

}  // namespace talvenix::gui

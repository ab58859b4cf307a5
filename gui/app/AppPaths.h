// Where the program finds its files: the skin and help beside the executable, the user's
// settings under the config folder, the profile store in the Documents folder.
#pragma once

#include <QString>

namespace talvenix::gui {

struct AppPaths {
    QString programFolder;
    QString ownFileName;      // the executable's file name (the instance search compares it)
    QString skinFolder;       // programFolder/Skins
    QString helpFolder;       // programFolder/Help
    QString companion;        // programFolder/Kestrald (started if present, otherwise ignored)
    QString configFolder;     // the user's config folder (settings INI files)
    QString documentsFolder;  // the user's documents folder (the store lives in its Talvenix folder)

    QString SkinFile(const QString& name) const { return skinFolder + QLatin1Char('/') + name; }
    QString MainSkin() const { return SkinFile(QStringLiteral("Main.ini")); }
    QString LanguageFile() const { return SkinFile(QStringLiteral("language.ini")); }
    // The per-user store folder: Documents/Talvenix.
    QString StoreFolder() const { return documentsFolder + QStringLiteral("/Talvenix"); }
    // The user settings file of the lighting panel (wskb.ini).
    QString UserSettingsFile() const { return StoreFolder() + QStringLiteral("/wskb.ini"); }

    // From the platform layer: the running executable's folder and the XDG folders.
    static AppPaths FromPlatform();
    // For a program folder given explicitly (tests, screenshots).
    static AppPaths ForProgramFolder(const QString& programFolder);
};

}  // namespace talvenix::gui

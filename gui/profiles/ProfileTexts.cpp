#include "gui/profiles/ProfileTexts.h"

namespace talvenix::gui {

QString TableText(text::TextId id) { return QString::fromStdString(text::LanguageText(id)); }

QString FileTextOr(const char* key, const char* fallback) {
    const QString value = QString::fromStdString(text::LanguageFileText(key));
    return value.trimmed().isEmpty() ? QString::fromUtf8(fallback) : value;
}

}  // namespace talvenix::gui

#include <QFile>

#include "core/profiles/ProfileSettings.h"
#include "gui/app/AppPaths.h"

namespace talvenix::gui {

QString ProfileSettingsFile(const AppPaths& paths) {
    return QFile::decodeName(QByteArray::fromStdString(
        profiles::ProfileSettings::FileFor(QFile::encodeName(paths.configFolder).toStdString(), "Talvenix")
            .string()));
}

}  // namespace talvenix::gui

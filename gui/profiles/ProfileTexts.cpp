#include "gui/profiles/ProfileTexts.h"

namespace talvenix::gui {

QString TableText(text::TextId id) { return QString::fromStdString(text::LanguageText(id)); }

QString FileTextOr(const char* key, const char* fallback) {
    const QString value = QString::fromStdString(text::LanguageFileText(key));
    return value.trimmed().isEmpty() ? QString::fromUtf8(fallback) : value;
}

}  // namespace talvenix::gui

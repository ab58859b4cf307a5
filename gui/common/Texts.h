// The language table's texts as Qt strings, for every window.
#pragma once

#include <QString>

#include "core/text/LanguageTable.h"

namespace talvenix::gui {

inline QString Text(text::TextId id) { return QString::fromStdString(text::LanguageText(id)); }
inline QString FileText(const char* key) { return QString::fromStdString(text::LanguageFileText(key)); }
inline QString FileText(const char* section, const char* key) {
    return QString::fromStdString(text::LanguageFileText(section, key));
}

}  // namespace talvenix::gui

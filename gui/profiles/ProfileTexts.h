// Texts of the profile and firmware windows. Table texts come from the language table; the
// windows' own captions are keys of the same language file, with an English fallback when the
// file lacks them (a missing key would otherwise read as a single blank).
#pragma once

#include <QString>

#include "core/text/LanguageTable.h"

namespace talvenix::gui {

QString TableText(text::TextId id);
QString FileTextOr(const char* key, const char* fallback);

}  // namespace talvenix::gui

namespace talvenix::gui {
struct AppPaths;
// The settings file holding section "PROFILES" (Flip, the manager's rows, profile names).
QString ProfileSettingsFile(const AppPaths& paths);
}  // namespace talvenix::gui

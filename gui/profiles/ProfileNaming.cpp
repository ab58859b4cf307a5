#include "gui/profiles/ProfileNaming.h"

#include <QFile>
#include <filesystem>

#include "core/profiles/ProfileNames.h"
#include "core/profiles/ProfileSettings.h"
#include "gui/profiles/ProfileTexts.h"

namespace talvenix::gui {

namespace {
std::filesystem::path FsPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
}  // namespace

std::array<QString, 3> ProfileNaming::Names() const {
    profiles::ProfileSettings settings(FsPath(settingsFile_));
    const std::array<std::string, 3> defaults{FileTextOr("PROFILE_1", "Profile 1").toStdString(),
                                              FileTextOr("PROFILE_2", "Profile 2").toStdString(),
                                              FileTextOr("PROFILE_3", "Profile 3").toStdString()};
    const auto shown = profiles::ShownProfileNames(settings.ProfileNames(), defaults);
    return {QString::fromStdString(shown[0]), QString::fromStdString(shown[1]),
            QString::fromStdString(shown[2])};
}

bool ProfileNaming::Rename(
    int profile, Prompt& prompt,
    const std::function<std::optional<QString>(const QString& label, const QString& current)>& askText) {
    if (profile < 0 || profile > 2) return false;
    const QString current = Names()[static_cast<std::size_t>(profile)];
    const auto typed = askText(
        FileTextOr("PROFILE_RENAME_PROMPT", "Name of the current profile (empty for the default name):"),
        current);
    if (!typed) return false;
    const profiles::ProfileNameCheck check = profiles::CheckProfileName(typed->toStdString());
    using R = profiles::ProfileNameCheck::Result;
    if (check.result == R::TooLong) {
        prompt.ShowMessage(
            FileTextOr("PROFILE_NAME_TOO_LONG", "A profile name holds at most 32 characters."));
        return false;
    }
    if (check.result == R::ControlCharacter) {
        prompt.ShowMessage(FileTextOr(
            "PROFILE_NAME_BAD", "A profile name cannot contain line breaks or other control characters."));
        return false;
    }
    const auto file = FsPath(settingsFile_);
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (!profiles::ProfileSettings(file).SetProfileName(profile, check.name)) {
        prompt.ShowMessage(FileTextOr("PROFILE_NAME_SAVE_FAILED",
                                      "The profile name could not be saved in the settings file."));
        return false;
    }
    return true;
}

}  // namespace talvenix::gui

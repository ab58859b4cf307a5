#include "core/profiles/ProfileManager.h"

#include "core/profiles/SwitchRules.h"

namespace talvenix::profiles {

std::string ProfileRow::SettingsPath() const { return folder + name + ".tvx"; }

ProfileRow RowForFile(const std::filesystem::path& file) {
    ProfileRow row;
    row.name = file.stem().string();
    std::string folder = file.parent_path().string();
    if (folder.empty() || folder.back() != std::filesystem::path::preferred_separator)
        folder += std::filesystem::path::preferred_separator;
    row.folder = std::move(folder);
    return row;
}

ProfileManagerModel::ProfileManagerModel(const std::filesystem::path& storeFile, int currentProfile) {
    for (int p = 0; p < kHardwareProfileCount; ++p) rows_.push_back(RowForFile(storeFile));
    if (currentProfile >= 0 && currentProfile < kHardwareProfileCount) checked_ = currentProfile;
}

void ProfileManagerModel::Append(const std::filesystem::path& file) {
    rows_.push_back(RowForFile(file));
    modified_ = true;
}

bool ProfileManagerModel::Delete(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return false;
    rows_.erase(rows_.begin() + row);
    // The check stays with its row.
    if (checked_ == row)
        checked_ = -1;
    else if (checked_ > row)
        --checked_;
    modified_ = true;
    return true;
}

ProfileManagerModel::CheckResult ProfileManagerModel::SetChecked(int row, bool checked) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return CheckResult::NotARow;
    if (!checked) {
        if (checked_ == row) {
            checked_ = -1;
            modified_ = true;
        }
        return CheckResult::Unchecked;
    }
    if (row >= kHardwareProfileCount) return CheckResult::BeyondKeyboardProfiles;
    if (checked_ != row) {
        checked_ = row;
        modified_ = true;
    }
    return CheckResult::Checked;
}

std::vector<std::filesystem::path> ProfileManagerModel::SettingsRows() const {
    std::vector<std::filesystem::path> out;
    out.reserve(rows_.size());
    for (const auto& row : rows_) out.emplace_back(row.SettingsPath());
    return out;
}

void ProfileManagerModel::CheckFromSwitch(int profile) {
    if (profile >= 0 && profile < kHardwareProfileCount && profile < static_cast<int>(rows_.size()))
        checked_ = profile;
    modified_ = false;
}

}  // namespace talvenix::profiles

// The profile manager's list: one row per profile file, one row checkable as the keyboard's
// current profile. The window shows and edits this model; Apply stores the rows under
// "PROFILES" and makes the checked row the keyboard's current profile.
//
// The rows' index is the profile number sent to the keyboard, and the keyboard has three
// profiles: a row past the third cannot be checked (Check says so; the window explains), so
// Apply never sends a profile the keyboard does not have.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace talvenix::profiles {

struct ProfileRow {
    std::string name;    // the file name without its extension
    std::string folder;  // the folder, with a trailing separator
    // folder + name + ".tvx": what the settings keep for the row.
    std::string SettingsPath() const;
};

ProfileRow RowForFile(const std::filesystem::path& file);

class ProfileManagerModel {
public:
    // Three rows showing the store file; the current profile's row checked when known.
    ProfileManagerModel(const std::filesystem::path& storeFile, int currentProfile);

    const std::vector<ProfileRow>& Rows() const { return rows_; }
    int Checked() const { return checked_; }  // -1: none
    bool Modified() const { return modified_; }

    // Add (after the new file was written) and Load: a row at the end.
    void Append(const std::filesystem::path& file);
    // False when `row` is not a row.
    bool Delete(int row);

    enum class CheckResult { Checked, Unchecked, NotARow, BeyondKeyboardProfiles };
    // Checks `row` (unchecking any other) or unchecks it. A row past the third is refused.
    CheckResult SetChecked(int row, bool checked);

    // What Apply stores: the rows' settings paths, in order.
    std::vector<std::filesystem::path> SettingsRows() const;
    // The profile Apply makes current: the checked row, -1 when none is checked.
    int ProfileToSet() const { return checked_; }
    // After a successful Apply, or when a switch checked `profile` from outside.
    void MarkApplied() { modified_ = false; }
    void CheckFromSwitch(int profile);

private:
    std::vector<ProfileRow> rows_;
    int checked_ = -1;
    bool modified_ = false;
};

}  // namespace talvenix::profiles

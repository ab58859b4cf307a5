#include "core/profiles/ProfileSettings.h"

#include <cstdio>

namespace talvenix::profiles {

std::filesystem::path ProfileSettings::FileFor(const std::filesystem::path& configFolder,
                                               std::string_view programName) {
    return configFolder / "Talvenix_Oberdin" / (std::string(programName) + ".ini");
}

ProfileSettings::ProfileSettings(std::filesystem::path file) : ini_(std::move(file)) {}

bool ProfileSettings::ReadSwitch(std::string_view name) {
    ini_.Reload();
    if (!ini_.Has(kProfilesSection, name)) return false;
    const int v = ini_.GetInt(kProfilesSection, name, 0);
    if (v == 0 || v == 1) return v == 1;
    ini_.Set(kProfilesSection, name, "0");
    return false;
}

bool ProfileSettings::Flip() { return ReadSwitch(kFlipValue); }

bool ProfileSettings::SetFlip(bool on) { return ini_.Set(kProfilesSection, kFlipValue, on ? "1" : "0"); }

bool ProfileSettings::RecordDelay(std::string_view valueName) { return ReadSwitch(valueName); }

bool ProfileSettings::SetRecordDelay(bool on, std::string_view valueName) {
    return ini_.Set(kProfilesSection, valueName, on ? "1" : "0");
}

std::string ProfileSettings::RowValueName(int row) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "PROFILE%02d", row);
    return buf;
}

bool ProfileSettings::SetProfileRows(const std::vector<std::filesystem::path>& rows) {
    // One write for all rows and the count, so the count never describes rows that are not there.
    std::vector<std::pair<std::string, std::string>> entries;
    for (std::size_t r = 0; r < rows.size(); ++r)
        entries.emplace_back(RowValueName(static_cast<int>(r + 1)), rows[r].string());
    entries.emplace_back(RowValueName(0), std::to_string(rows.size()));
    return ini_.SetMany(kProfilesSection, entries);
}

std::vector<std::filesystem::path> ProfileSettings::ProfileRows() {
    ini_.Reload();
    const int count = ini_.GetInt(kProfilesSection, RowValueName(0), 0);
    std::vector<std::filesystem::path> rows;
    for (int r = 1; r <= count && r <= 999; ++r) {
        const auto value = ini_.Find(kProfilesSection, RowValueName(r));
        if (!value) break;
        rows.emplace_back(*value);
    }
    return rows;
}

}  // namespace talvenix::profiles

namespace talvenix::profiles {

std::string ProfileSettings::ProfileNameValue(int profile) {
    return "ProfileName" + std::to_string(profile + 1);
}

std::optional<std::string> ProfileSettings::ProfileName(int profile) {
    if (profile < 0 || profile > 2) return std::nullopt;
    ini_.Reload();
    if (!ini_.Has(kProfilesSection, ProfileNameValue(profile))) return std::nullopt;
    std::string value = ini_.Get(kProfilesSection, ProfileNameValue(profile));
    if (value.empty()) return std::nullopt;
    return value;
}

std::array<std::optional<std::string>, 3> ProfileSettings::ProfileNames() {
    std::array<std::optional<std::string>, 3> names;
    for (int p = 0; p < 3; ++p) names[static_cast<std::size_t>(p)] = ProfileName(p);
    return names;
}

bool ProfileSettings::SetProfileName(int profile, std::string_view name) {
    if (profile < 0 || profile > 2) return false;
    if (name.empty()) return ini_.Remove(kProfilesSection, ProfileNameValue(profile));
    return ini_.Set(kProfilesSection, ProfileNameValue(profile), name);
}

}  // namespace talvenix::profiles

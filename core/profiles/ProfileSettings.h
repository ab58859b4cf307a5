// The per-user values of section "PROFILES" in the settings file
// (<config folder>/Talvenix_Oberdin/<program name>.ini), all stored as text:
//   "Flip"                   "0" or "1": which of the main window's two control sets is active
//   record-delay value       "0" or "1": record delays while recording a macro; its name is the
//                            language text MACRO_ACTION_RECORD_DELAY (default "RecordDelay")
//   "PROFILE00"              number of rows of the profile manager's list at its last Apply
//   "PROFILE01", "PROFILE02", ...  the path of each row (folder + name + ".tvx")
//   "ProfileName1".."ProfileName3"  the names users gave the three hardware profiles (absent:
//                            the default name)
// The 0/1 values read any other number as 0 and write it back as "0".
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/IniFile.h"

namespace talvenix::profiles {

inline constexpr std::string_view kProfilesSection = "PROFILES";
inline constexpr std::string_view kFlipValue = "Flip";
inline constexpr std::string_view kDefaultRecordDelayValue = "RecordDelay";

class ProfileSettings {
public:
    // The settings file of `programName` under `configFolder`.
    static std::filesystem::path FileFor(const std::filesystem::path& configFolder,
                                         std::string_view programName);

    explicit ProfileSettings(std::filesystem::path file);

    bool Flip();
    bool SetFlip(bool on);
    // `valueName` is the current language's text for the record-delay value.
    bool RecordDelay(std::string_view valueName = kDefaultRecordDelayValue);
    bool SetRecordDelay(bool on, std::string_view valueName = kDefaultRecordDelayValue);

    // "PROFILE" followed by `row` as two digits (00 is the row count).
    static std::string RowValueName(int row);
    // Stores the rows' paths under PROFILE01.. and their count under PROFILE00.
    bool SetProfileRows(const std::vector<std::filesystem::path>& rows);
    // The rows stored by the last SetProfileRows (only as many as PROFILE00 says).
    std::vector<std::filesystem::path> ProfileRows();

    // The name stored for hardware profile `profile` (0..2); nullopt when none is.
    std::optional<std::string> ProfileName(int profile);
    std::array<std::optional<std::string>, 3> ProfileNames();
    // Stores `name` for `profile`; an empty name removes it (back to the default name).
    bool SetProfileName(int profile, std::string_view name);
    static std::string ProfileNameValue(int profile);

private:
    // A 0/1 value: anything else reads as 0 and is written back as "0".
    bool ReadSwitch(std::string_view name);
    text::IniFile ini_;
};

}  // namespace talvenix::profiles

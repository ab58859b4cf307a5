// The colour-keys mode: whether the on-screen keyboard shows (and paints) key colours. It is
// kept in the user settings file wskb.ini (the Talvenix folder of the Documents folder),
// section "KEYCOLOR", key "DengCheck": "1" on, anything else off (missing reads as "0").
// The same section holds "usermodeCheck", set once the user colour files are installed.
#pragma once

#include <filesystem>
#include <string_view>

namespace talvenix::lighting {

inline constexpr std::string_view kSettingsFileName = "wskb.ini";
inline constexpr std::string_view kKeyColourSection = "KEYCOLOR";
inline constexpr std::string_view kColourKeysModeKey = "DengCheck";
inline constexpr std::string_view kUserFilesInstalledKey = "usermodeCheck";

bool ReadColourKeysMode(const std::filesystem::path& settingsFile);
// Writes "1" or "0"; false when the file could not be written.
bool WriteColourKeysMode(const std::filesystem::path& settingsFile, bool on);

}  // namespace talvenix::lighting

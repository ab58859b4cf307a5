#include "core/lighting/ColourKeysMode.h"

#include "core/text/IniFile.h"

namespace talvenix::lighting {

bool ReadColourKeysMode(const std::filesystem::path& settingsFile) {
    return text::IniFile(settingsFile).GetInt(kKeyColourSection, kColourKeysModeKey, 0) == 1;
}

bool WriteColourKeysMode(const std::filesystem::path& settingsFile, bool on) {
    return text::WriteProfileString(settingsFile, kKeyColourSection, kColourKeysModeKey, on ? "1" : "0");
}

}  // namespace talvenix::lighting

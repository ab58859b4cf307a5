// INI text (settings, skins, language and colour files): parse, read every key, change one,
// and parse the result again; the colour-file value forms along the way.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/lighting/UserColourSet.h"
#include "core/text/IniFile.h"

using namespace talvenix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    text::IniFile ini = text::IniFile::FromString(bytes);
    for (const std::string& section : ini.Sections()) {
        for (const std::string& key : ini.Keys(section)) {
            const std::string value = ini.Get(section, key);
            (void)ini.GetInt(section, key, 0);
            const auto slot = lighting::ParseSlotEntry(value);
            if (lighting::ParseSlotEntry(lighting::FormatSlotEntry(slot)).colour != slot.colour) std::abort();
            (void)lighting::ParseRgb(value);
        }
    }
    ini.Set("KEYCOLOR", "Mode1", "1,2,3,1");
    const text::IniFile again = text::IniFile::FromString(ini.ToString());
    if (again.Get("KEYCOLOR", "Mode1") != "1,2,3,1") std::abort();
    return 0;
}

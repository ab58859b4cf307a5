// Names around profiles:
//  - the file name the profile manager's Add suggests, made from the language text PROFILE_NEW.
//    That text may carry path separators (its built-in form starts with one); the suggestion is
//    always a plain file name in the store folder. What the user types in the save dialog is
//    used as typed.
//  - the names users give the three hardware profiles, shown on the profile buttons' tooltips,
//    in the quick-switch menu and in the profile label instead of the store file's name.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace talvenix::profiles {

// Longest suggested file name (without ".tvx") and longest profile name, in characters.
inline constexpr std::size_t kMaxNewProfileNameChars = 64;
inline constexpr std::size_t kMaxProfileNameChars = 32;

// A plain file name stem from `text`: path separators become blanks, control characters go,
// blanks and leading dots are trimmed (no hidden files, no "." or ".."), cut to
// kMaxNewProfileNameChars characters. `fallback` when nothing is left.
std::string SafeFileStem(std::string_view text, std::string_view fallback = "New Profile");

// storeFolder / (SafeFileStem(languageText) + ".tvx"); when `exists` says that file is there,
// " (2)", " (3)", ... is added so the suggestion never points at an existing file.
std::filesystem::path SuggestNewProfilePath(
    const std::filesystem::path& storeFolder, std::string_view languageText,
    const std::function<bool(const std::filesystem::path&)>& exists = {});

// A typed hardware profile name, checked.
struct ProfileNameCheck {
    enum class Result {
        Ok,                // `name` is the trimmed text
        Cleared,           // empty: the profile goes back to its default name
        TooLong,           // more than kMaxProfileNameChars characters
        ControlCharacter,  // line breaks, tabs and other control characters cannot be shown or stored
    };
    Result result = Result::Ok;
    std::string name;
    bool Ok() const { return result == Result::Ok || result == Result::Cleared; }
};
ProfileNameCheck CheckProfileName(std::string_view typed);

// The three names to show: a stored name where there is one, else the default name.
std::array<std::string, 3> ShownProfileNames(const std::array<std::optional<std::string>, 3>& stored,
                                             const std::array<std::string, 3>& defaults);

}  // namespace talvenix::profiles

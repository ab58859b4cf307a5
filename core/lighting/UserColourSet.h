// The user colour files: per hardware profile, ten named colour sets for the per-key colour
// effect (20). Four files, numbered n = 0..3, live in the Talvenix folder of the user's
// Documents folder (beside wskb.ini) and are named "UserDengColor_<n>.userd". File n belongs to
// profile n (0..2); file 3 is never edited and serves as the factory copy. At first start all
// four are copied from the template "UserDengColor_3.userd" in the skin folder.
//
// Each file is an INI file, read and written key by key:
//
//   section        key            value                                 read default
//   PRESENTMODE    mode           current set index 0..9                "0"
//   MODENAME       0 .. 9         display name of set n                 "0"
//   Mode<s>        tool           0 paint with the colour, 1 with the    "0"
//                                 base colour
//   Mode<s>        jcolor         base colour "R,G,B"                   "0,0,0"
//   Mode<s>        color          colour "R,G,B"                        "0,0,0"
//   Mode<s>        <slot>         "R,G,B,flag" for LED slot 0..125;     "255,0,0,1"
//                                 flag 1 = painted with the base colour
//                                 (any non-zero reads as 1)
//
// Reading is forgiving: components are cut to 0..255, an entry that is not a list of numbers
// reads as its default, and a set index outside 0..9 reads as 0.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/lighting/Colour.h"

namespace talvenix::lighting {

inline constexpr int kUserColourFiles = 4;
inline constexpr int kFactoryColourFile = 3;
inline constexpr int kColourSets = 10;

inline constexpr std::string_view kPresentModeSection = "PRESENTMODE";
inline constexpr std::string_view kPresentModeKey = "mode";
inline constexpr std::string_view kSetNamesSection = "MODENAME";
inline constexpr std::string_view kToolKey = "tool";
inline constexpr std::string_view kBaseColourKey = "jcolor";
inline constexpr std::string_view kPaintColourKey = "color";
inline constexpr std::string_view kSlotEntryDefault = "255,0,0,1";
inline constexpr std::string_view kRgbDefault = "0,0,0";
inline constexpr std::string_view kSetNameDefault = "0";

// <folder>/UserDengColor_<n>.userd
std::filesystem::path UserColourFilePath(const std::filesystem::path& folder, int n);
// The template in the skin folder: <skinFolder>/UserDengColor_3.userd
std::filesystem::path UserColourTemplatePath(const std::filesystem::path& skinFolder);

// "Mode<set>"
std::string ColourSetSection(int set);

struct SlotEntry {
    Colour colour = kRed;
    bool baseFlag = true;
};

SlotEntry ParseSlotEntry(std::string_view text);
std::string FormatSlotEntry(const SlotEntry& entry);
// "R,G,B"; black when the text is not three numbers.
Colour ParseRgb(std::string_view text);
std::string FormatRgb(Colour colour);

// Copies a file so that the target is either its old self or a complete copy: the bytes go
// to a temporary file in the target's folder (created when missing), then replace the target.
bool CopyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to);

// Sets several keys of one section in one atomic rewrite of the file, keeping every other line
// (a base-colour change rewrites up to 114 entries; one rewrite each would make the click lag).
// False, with the file unchanged, when a key or value cannot be stored or the file not written.
bool WriteColourFileKeys(const std::filesystem::path& file, std::string_view section,
                         const std::vector<std::pair<std::string, std::string>>& entries);

// At start-up: unless "KEYCOLOR"/"usermodeCheck" of the settings file reads 1, copies the
// template to files 0..3 in `folder` and then sets "usermodeCheck" = "1". When a copy fails the
// key is not set, so the next start tries again. Returns 1 (installed, or nothing to do) or 0.
int InstallUserColourFiles(const std::filesystem::path& settingsFile,
                           const std::filesystem::path& templateFile, const std::filesystem::path& folder);

}  // namespace talvenix::lighting

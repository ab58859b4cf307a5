// Where the program's own files are: beside the executable in a build tree (and wherever
// TALVENIX_PROGRAM_DIR points), or in their FHS places once installed (the service libraries in
// a private library folder, the skin under the data folder).
#pragma once

#include <filesystem>

namespace talvenix::platform {

struct InstallLayout {
    std::filesystem::path libraryFolder;  // libPelloran.so, libPelloranSim.so
    std::filesystem::path skinFolder;     // Skins: layout files, pictures, language.ini
    bool installed = false;               // false: everything sits beside the program
};

// The layout for a program in `programFolder`. `overridden`: the folder was named by
// TALVENIX_PROGRAM_DIR, so everything is taken from beside it.
InstallLayout InstallLayoutFor(const std::filesystem::path& programFolder, bool overridden = false);

// The layout of the running program.
InstallLayout FindInstallLayout();

// Shorthands for FindInstallLayout().
std::filesystem::path LibraryFolder();
std::filesystem::path SkinFolder();

}  // namespace talvenix::platform

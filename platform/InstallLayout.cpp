#include "platform/InstallLayout.h"

#include <cstdlib>

#include "platform/UserFolders.h"

// Relative to the installation prefix, as the build configured them.
#ifndef TALVENIX_INSTALL_PKGLIBDIR
#define TALVENIX_INSTALL_PKGLIBDIR "lib/talvenix"
#endif
#ifndef TALVENIX_INSTALL_PKGDATADIR
#define TALVENIX_INSTALL_PKGDATADIR "share/talvenix"
#endif
#ifndef TALVENIX_INSTALL_BINDIR
#define TALVENIX_INSTALL_BINDIR "bin"
#endif

namespace talvenix::platform {

namespace {

bool Exists(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::exists(p, ec);
}

// The prefix of a program installed in <prefix>/<bindir>; empty when `programFolder` is not
// such a folder.
std::filesystem::path PrefixOf(const std::filesystem::path& programFolder) {
    std::filesystem::path folder = programFolder.lexically_normal();
    if (!folder.empty() && !folder.has_filename()) folder = folder.parent_path();  // trailing '/'
    std::filesystem::path bindir = std::filesystem::path(TALVENIX_INSTALL_BINDIR).lexically_normal();
    if (bindir.is_absolute()) return folder == bindir ? std::filesystem::path("/") : std::filesystem::path();
    for (auto part = bindir.end(); part != bindir.begin();) {
        --part;
        if (folder.filename() != *part) return {};
        folder = folder.parent_path();
    }
    return folder;
}

std::filesystem::path UnderPrefix(const std::filesystem::path& prefix, const char* dir) {
    const std::filesystem::path p(dir);
    return p.is_absolute() ? p : prefix / p;
}

}  // namespace

InstallLayout InstallLayoutFor(const std::filesystem::path& programFolder, bool overridden) {
    InstallLayout beside{programFolder, programFolder / "Skins", false};
    // A build tree (or a folder named on purpose) has the libraries and the skin beside the
    // program; only when neither is there does the program look in the installed places.
    if (overridden || Exists(programFolder / "Skins") || Exists(programFolder / "libPelloran.so") ||
        Exists(programFolder / "libPelloranSim.so")) {
        return beside;
    }
    const std::filesystem::path prefix = PrefixOf(programFolder);
    if (prefix.empty()) return beside;
    InstallLayout installed{UnderPrefix(prefix, TALVENIX_INSTALL_PKGLIBDIR),
                            UnderPrefix(prefix, TALVENIX_INSTALL_PKGDATADIR) / "Skins", true};
    // Half an installation is reported against the build-tree places, which name the program's
    // own folder in the error the user sees.
    if (!Exists(installed.libraryFolder) && !Exists(installed.skinFolder)) return beside;
    return installed;
}

InstallLayout FindInstallLayout() {
    const char* dir = std::getenv("TALVENIX_PROGRAM_DIR");
    return InstallLayoutFor(ProgramFolder(), dir != nullptr && *dir != '\0');
}

std::filesystem::path LibraryFolder() { return FindInstallLayout().libraryFolder; }

std::filesystem::path SkinFolder() { return FindInstallLayout().skinFolder; }

}  // namespace talvenix::platform

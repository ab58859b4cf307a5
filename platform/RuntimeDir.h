// The private per-user runtime folder that holds the program's sockets and lock files.
//
// $XDG_RUNTIME_DIR when it is set, else /tmp/talvenix-<uid>, created with mode 0700. Either way
// the folder is used only when it is a real folder (not a symbolic link), owned by this user and
// closed to everyone else (no group or other permission bits); otherwise it is refused, so
// another local user can never pre-create the sockets or lock files we would then trust.
#pragma once

#include <filesystem>
#include <string>

namespace talvenix::platform {

struct RuntimeDirResult {
    std::filesystem::path folder;  // set when usable
    std::string error;             // one line naming the folder and what is wrong with it, else empty
    bool Ok() const { return error.empty(); }
};

// Finds (and when needed creates) the folder. Cheap enough to call for every socket path.
RuntimeDirResult PrivateRuntimeDir();

// Checks an existing folder as PrivateRuntimeDir does: empty when it is a private folder of
// this user, else the reason it is refused.
std::string CheckPrivateFolder(const std::filesystem::path& folder);

// True when the process at the other end of the connected UNIX socket `fd` runs as this user
// (or `error` says who it is).
bool PeerIsThisUser(int fd, std::string& error);

}  // namespace talvenix::platform

#include "platform/RuntimeDir.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace talvenix::platform {

std::string CheckPrivateFolder(const std::filesystem::path& folder) {
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        return folder.string() + ": " + std::strerror(errno);
    }
    if (S_ISLNK(st.st_mode)) return folder.string() + ": is a symbolic link, not a private folder; refused";
    if (!S_ISDIR(st.st_mode)) return folder.string() + ": is not a folder; refused";
    if (st.st_uid != ::getuid()) {
        return folder.string() + ": belongs to uid " + std::to_string(st.st_uid) +
               ", not to this user (uid " + std::to_string(::getuid()) + "); refused";
    }
    if ((st.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        return folder.string() + ": mode " + mode + " lets other users in (it must be 0700); refused";
    }
    return {};
}

RuntimeDirResult PrivateRuntimeDir() {
    RuntimeDirResult r;
    if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg != nullptr && *xdg != '\0') {
        const std::filesystem::path folder(xdg);
        if (!folder.is_absolute()) {
            r.error = std::string("XDG_RUNTIME_DIR='") + xdg + "' is not an absolute path; refused";
            return r;
        }
        r.error = CheckPrivateFolder(folder);
        if (r.Ok()) r.folder = folder;
        return r;
    }
    const std::filesystem::path folder = "/tmp/talvenix-" + std::to_string(::getuid());
    // Created private; if it already exists (ours from an earlier run, or someone else's) the
    // check below decides.
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        r.error = folder.string() + ": cannot be created: " + std::strerror(errno);
        return r;
    }
    r.error = CheckPrivateFolder(folder);
    if (r.Ok()) r.folder = folder;
    return r;
}

bool PeerIsThisUser(int fd, std::string& error) {
#ifdef SO_PEERCRED
    struct ucred cred {};
    socklen_t len = sizeof cred;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0) {
        error = std::string("cannot tell who is at the other end: ") + std::strerror(errno);
        return false;
    }
    if (cred.uid != ::getuid()) {
        error = "the other end runs as uid " + std::to_string(cred.uid) + ", not as this user";
        return false;
    }
    return true;
#else
    (void)fd;
    error = "cannot tell who is at the other end on this system";
    return false;
#endif
}

}  // namespace talvenix::platform

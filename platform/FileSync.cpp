#include "platform/FileSync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "core/text/AtomicFile.h"

namespace talvenix::platform {

namespace {

bool SyncPath(const std::filesystem::path& path, int flags) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    ::close(fd);
    return rc == 0;
}

bool SyncFile(const std::filesystem::path& file) { return SyncPath(file, O_RDONLY); }
bool SyncFolder(const std::filesystem::path& folder) { return SyncPath(folder, O_RDONLY | O_DIRECTORY); }

}  // namespace

void InstallFileSync() { text::SetFileSyncSteps({&SyncFile, &SyncFolder}); }

}  // namespace talvenix::platform

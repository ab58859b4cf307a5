#include "platform/Process.h"

#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <cctype>
#include <charconv>
#include <system_error>

namespace talvenix::platform {

namespace {

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

void ReturnFreedMemory() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

unsigned long CurrentUserId() { return static_cast<unsigned long>(::getuid()); }

long FindProcessByExecutable(const std::string& fileName, const std::filesystem::path& procRoot) {
    if (fileName.empty()) return 0;
    const long self = static_cast<long>(::getpid());
    std::error_code ec;
    std::filesystem::directory_iterator it(procRoot, ec);
    if (ec) return 0;
    for (const auto& entry : it) {
        const std::string name = entry.path().filename().string();
        long pid = 0;
        const auto [end, err] = std::from_chars(name.data(), name.data() + name.size(), pid);
        if (err != std::errc() || end != name.data() + name.size() || pid <= 0 || pid == self) continue;
        std::error_code linkError;
        const std::filesystem::path exe = std::filesystem::read_symlink(entry.path() / "exe", linkError);
        if (linkError || exe.empty()) continue;
        std::string exeName = exe.filename().string();
        // A replaced executable still names the running program.
        constexpr std::string_view kDeleted = " (deleted)";
        if (exeName.size() > kDeleted.size() && exeName.ends_with(kDeleted))
            exeName.resize(exeName.size() - kDeleted.size());
        if (SameNameIgnoringCase(exeName, fileName)) return pid;
    }
    return 0;
}

}  // namespace talvenix::platform

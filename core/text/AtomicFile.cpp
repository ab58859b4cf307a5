#include "core/text/AtomicFile.h"

#include <atomic>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>

namespace talvenix::text {

namespace fs = std::filesystem;

namespace {

// Unique per process and call, so two threads saving the same file never share a temporary.
fs::path TemporaryNameFor(const fs::path& path) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    fs::path tmp = path;
    tmp += ".tmp" + std::to_string(seed) + "-" + std::to_string(counter.fetch_add(1));
    return tmp;
}

std::mutex gSyncMutex;
FileSyncSteps gSyncSteps;

bool Fail(std::string* error, std::string text) {
    if (error != nullptr) *error = std::move(text);
    return false;
}

}  // namespace

void SetFileSyncSteps(FileSyncSteps steps) {
    std::lock_guard lock(gSyncMutex);
    gSyncSteps = steps;
}

FileSyncSteps CurrentFileSyncSteps() {
    std::lock_guard lock(gSyncMutex);
    return gSyncSteps;
}

std::optional<fs::path> ResolveWriteTarget(const fs::path& path, std::string& error) {
    // Links are followed one by one so a loop or a dangling link is named as such.
    constexpr int kMaxLinks = 40;
    fs::path p = path;
    for (int hops = 0;; ++hops) {
        if (hops > kMaxLinks) {
            error = path.string() + ": symbolic link loop";
            return std::nullopt;
        }
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(p, ec);
        if (ec && ec != std::errc::no_such_file_or_directory) {
            error = path.string() + ": " + ec.message();
            return std::nullopt;
        }
        if (!fs::exists(st)) {
            if (hops == 0) return p;  // a new file
            error = path.string() + ": is a symbolic link to a missing file (" + p.string() + ")";
            return std::nullopt;
        }
        if (fs::is_symlink(st)) {
            const fs::path next = fs::read_symlink(p, ec);
            if (ec) {
                error = path.string() + ": " + ec.message();
                return std::nullopt;
            }
            p = next.is_absolute() ? next : p.parent_path() / next;
            continue;
        }
        if (fs::is_regular_file(st)) return p;
        if (fs::is_directory(st)) {
            error = path.string() + ": is a folder";
        } else {
            error = path.string() + ": is not a regular file (a device, FIFO or socket); it is left alone";
        }
        return std::nullopt;
    }
}

bool WriteFileAtomically(const fs::path& path, std::string_view bytes, std::string* error) {
    std::string why;
    const auto target = ResolveWriteTarget(path, why);
    if (!target) return Fail(error, why);

    std::error_code ec;
    std::optional<fs::perms> keep;
    if (fs::exists(*target, ec)) {
        keep = fs::status(*target, ec).permissions();
        if (ec) return Fail(error, path.string() + ": " + ec.message());
    }
    const fs::path tmp = TemporaryNameFor(*target);
    auto discard = [&tmp] {
        std::error_code ignored;
        fs::remove(tmp, ignored);
    };
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return Fail(error, path.string() + ": cannot create a file in its folder");
        // The mode is set before any byte goes in, so a private file is never readable by others.
        if (keep) {
            fs::permissions(tmp, *keep, fs::perm_options::replace, ec);
            if (ec) {
                out.close();
                discard();
                return Fail(error, path.string() + ": cannot keep its permissions: " + ec.message());
            }
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();  // flushes: a full disk shows up here
        if (out.fail()) {
            discard();
            return Fail(error, path.string() + ": cannot be written (is the disk full?)");
        }
    }
    const FileSyncSteps sync = CurrentFileSyncSteps();
    if (sync.syncFile != nullptr && !sync.syncFile(tmp)) {
        discard();
        return Fail(error, path.string() + ": cannot be flushed to disk");
    }
    fs::rename(tmp, *target, ec);
    if (ec) {
        discard();
        return Fail(error, path.string() + ": cannot replace it: " + ec.message());
    }
    // Makes the rename itself durable. A folder that cannot be synced (some file systems refuse)
    // still holds the complete new file, so this is not a failure of the write.
    if (sync.syncFolder != nullptr)
        sync.syncFolder(target->parent_path().empty() ? fs::path(".") : target->parent_path());
    return true;
}

bool WriteFileAtomically(const fs::path& path, std::span<const std::uint8_t> bytes, std::string* error) {
    return WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
}

std::optional<std::string> ReadWholeFile(const fs::path& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(buffer).str();
}

}  // namespace talvenix::text

#include "core/text/AtomicFile.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>

namespace talvenix::text {

namespace {
// Unique per process and call, so two threads saving the same file never share a temporary.
std::filesystem::path TemporaryNameFor(const std::filesystem::path& path) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    std::filesystem::path tmp = path;
    tmp += ".tmp" + std::to_string(seed) + "-" + std::to_string(counter.fetch_add(1));
    return tmp;
}
}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    std::error_code ec;
    const auto tmp = TemporaryNameFor(path);
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();  // flushes: a full disk shows up here
        if (out.fail()) {
            std::filesystem::remove(tmp, ec);
            return false;
        }
    }
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(tmp, ignored);
        return false;
    }
    return true;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(buffer).str();
}

}  // namespace talvenix::text

namespace talvenix::text {

bool WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    return WriteFileAtomically(path,
                               std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace talvenix::text

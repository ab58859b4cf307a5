#include "tests/support/TempHome.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace talvenix::test {

TempHome::TempHome() {
    std::random_device rd;
    for (int i = 0; i < 100 && root_.empty(); ++i) {
        auto candidate = std::filesystem::temp_directory_path() / ("talvenix-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(candidate)) root_ = candidate;
    }
    if (root_.empty()) throw std::runtime_error("cannot create a temporary HOME");
    std::filesystem::create_directories(ConfigFolder());
    std::filesystem::create_directories(DocumentsFolder());
    std::filesystem::create_directories(RuntimeFolder());
    std::filesystem::permissions(RuntimeFolder(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    SetEnv("HOME", root_.string());
    SetEnv("XDG_CONFIG_HOME", ConfigFolder().string());
    SetEnv("XDG_RUNTIME_DIR", RuntimeFolder().string());
    SetEnv("XDG_DOCUMENTS_DIR", DocumentsFolder().string());
}

TempHome::~TempHome() {
    for (const auto& [name, value] : saved_) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

void TempHome::SetEnv(const char* name, const std::string& value) {
    if (!saved_.count(name)) {
        const char* old = std::getenv(name);
        saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    setenv(name, value.c_str(), 1);
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace talvenix::test

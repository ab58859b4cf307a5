#include "platform/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace talvenix::platform {

namespace {
std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::string(v) : std::string();
}
}  // namespace

std::filesystem::path ProgramFolder() {
    if (auto dir = Env("TALVENIX_PROGRAM_DIR"); !dir.empty()) return dir;
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path();
    return exe.parent_path();
}

std::filesystem::path HomeFolder() {
    if (auto home = Env("HOME"); !home.empty()) return home;
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr) return pw->pw_dir;
    return "/tmp";
}

std::filesystem::path ConfigFolder() {
    if (auto dir = Env("XDG_CONFIG_HOME"); !dir.empty()) return dir;
    return HomeFolder() / ".config";
}

std::filesystem::path DocumentsFolder() {
    // user-dirs.dirs holds shell assignments such as XDG_DOCUMENTS_DIR="$HOME/Documents".
    std::ifstream in(ConfigFolder() / "user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) value = HomeFolder().string() + value.substr(5);
        if (!value.empty() && value.front() == '/' && value != HomeFolder().string() &&
            value != HomeFolder().string() + "/") {
            return value;
        }
    }
    return HomeFolder() / "Documents";
}

std::string SystemLanguageString() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (auto v = Env(name); !v.empty()) return v;
    }
    return {};
}

}  // namespace talvenix::platform

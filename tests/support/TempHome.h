// A temporary HOME (with XDG folders inside it) for the life of a test; restores the
// environment afterwards.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace talvenix::test {

class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::filesystem::path& Path() const { return root_; }
    std::filesystem::path ConfigFolder() const { return root_ / ".config"; }
    std::filesystem::path DocumentsFolder() const { return root_ / "Documents"; }
    std::filesystem::path RuntimeFolder() const { return root_ / "run"; }

private:
    void SetEnv(const char* name, const std::string& value);

    std::filesystem::path root_;
    std::map<std::string, std::optional<std::string>> saved_;
};

// Reads a whole file (empty when missing).
std::string ReadFileBytes(const std::filesystem::path& path);
// Writes a whole file.
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace talvenix::test

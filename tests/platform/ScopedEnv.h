// Sets or clears environment variables for one test and puts the old values back afterwards.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace talvenix::test {

class ScopedEnv {
public:
    ScopedEnv() = default;
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void Set(const char* name, const std::string& value);
    void Unset(const char* name);

private:
    void Save(const char* name);
    std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace talvenix::test

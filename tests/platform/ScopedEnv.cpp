#include "tests/platform/ScopedEnv.h"

#include <cstdlib>

namespace talvenix::test {

ScopedEnv::~ScopedEnv() {
    for (const auto& [name, value] : saved_) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
}

void ScopedEnv::Save(const char* name) {
    if (saved_.count(name)) return;
    const char* old = std::getenv(name);
    saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
}

void ScopedEnv::Set(const char* name, const std::string& value) {
    Save(name);
    setenv(name, value.c_str(), 1);
}

void ScopedEnv::Unset(const char* name) {
    Save(name);
    unsetenv(name);
}

}  // namespace talvenix::test

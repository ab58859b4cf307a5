// Runs the built talvenix-cli as a child process in a temporary HOME, against the simulated
// keyboard (its state file in that HOME, no reply latency), and hands back what it printed.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/macros/WorkingConfig.h"
#include "tests/support/TempHome.h"

namespace talvenix::test {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The child's environment is this process's, plus `extraEnv`.
CliResult RunCliBinary(const std::vector<std::string>& args,
                       const std::map<std::string, std::string>& extraEnv = {});

class CliTest : public ::testing::Test {
protected:
    CliTest();

    // talvenix-cli --simulate ARGS...
    CliResult Sim(const std::vector<std::string>& args,
                  const std::map<std::string, std::string>& extraEnv = {});
    // talvenix-cli ARGS... (no keyboard needed)
    CliResult Run(const std::vector<std::string>& args) { return RunCliBinary(args); }

    std::filesystem::path StateFile() const { return home_.Path() / "sim.state"; }
    std::vector<std::uint8_t> State() const;  // the whole state file
    std::filesystem::path File(const std::string& name) const { return home_.Path() / name; }
    std::filesystem::path StoreFile() const { return home_.DocumentsFolder() / "Talvenix" / "$Profile0"; }

    TempHome home_;
};

// State file layout of the simulated keyboard.
inline constexpr std::size_t kStateLighting = 52;
inline constexpr std::size_t kStateKeyBlocks = 556;
inline constexpr std::size_t kStateColours = 1690;
inline constexpr std::size_t kStateMacros = 3226;
inline constexpr std::size_t kStateSize = 68770;

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// A configuration the keyboard can hold whole: assignments it stores in its key blocks (keys,
// modifiers, disabled, macros, stop-macro, media, office functions) in profiles 0..2, G slots at
// their numbers in every block, macros with ids 1..n, play mode 0, delays in 10 ms steps. A
// backup after restoring it gives the same file, byte for byte.
macros::Configuration KeyboardRepresentableConfig();

// A configuration that uses every field of the file: strings, G keys in both banks, block 3,
// play modes, odd kinds and values, the bytes beyond the assignment.
macros::Configuration RichConfig();

}  // namespace talvenix::test

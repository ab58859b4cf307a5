// The writing commands killed with SIGKILL at random moments: every file they write is left
// as it was or as the finished command leaves it, never in between. TALVENIX_KILL_TRIALS sets
// the number of trials per command (default 3; the long run uses 70 or more).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <thread>

#include "cli/ProfileJson.h"
#include "core/profiles/ProfileFile.h"
#include "tests/cli/CliRunner.h"

namespace talvenix::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

int Trials() {
    const char* n = std::getenv("TALVENIX_KILL_TRIALS");
    return n != nullptr ? std::max(1, std::atoi(n)) : 3;
}

class KillTest : public CliTest {
protected:
    // Starts talvenix-cli quietly; SIGKILLs it after `delay` unless it finished. True when it
    // was killed.
    bool RunAndKill(const std::vector<std::string>& args, std::chrono::microseconds delay, bool simulate) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
            if (simulate) {
                ::setenv("TALVENIX_SIM_STATE", StateFile().c_str(), 1);
                ::setenv("TALVENIX_SIM_LATENCY_US", "0", 1);
            }
            std::string binary = TALVENIX_CLI_BINARY;
            std::vector<std::string> all;
            if (simulate) all.push_back("--simulate");
            all.insert(all.end(), args.begin(), args.end());
            std::vector<char*> argv{binary.data()};
            for (auto& a : all) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(binary.c_str(), argv.data());
            ::_exit(127);
        }
        std::this_thread::sleep_for(delay);
        const bool killed = ::kill(pid, SIGKILL) == 0;
        int status = 0;
        ::waitpid(pid, &status, 0);
        return killed && WIFSIGNALED(status);
    }

    // Runs `args` to the end once and says how long it took.
    std::chrono::microseconds Duration(const std::vector<std::string>& args, bool simulate) {
        const auto start = Clock::now();
        const CliResult r = simulate ? Sim(args) : Run(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
    }

    static bool ValidProfile(const Bytes& b) {
        return profiles::CheckProfileFileBytes(b) == profiles::ProfileFileCheck::Valid;
    }

    std::mt19937 random_{std::random_device{}()};
    std::chrono::microseconds Somewhere(std::chrono::microseconds d) {
        return std::chrono::microseconds(std::uniform_int_distribution<long>(0, d.count())(random_));
    }
};

TEST_F(KillTest, WritingCommandsLeaveEveryFileOldOrNew) {
    macros::Configuration a = KeyboardRepresentableConfig();
    macros::Configuration b = RichConfig();
    const Bytes fileA = profiles::SerializeProfileFile(a);
    const Bytes fileB = profiles::SerializeProfileFile(b);
    const fs::path json = File("b.json");
    { std::ofstream(json) << cli::ProfileFileToJson(fileB); }
    const fs::path out = File("out.tvx");
    const fs::path restoreA = File("a.tvx");
    const fs::path restoreB = File("b.tvx");
    WriteBytes(restoreA, fileA);
    WriteBytes(restoreB, fileB);

    // The keyboard and store as restore leaves them from A, and from B; the backups of each.
    ASSERT_EQ(Sim({"restore", restoreA.string()}).exitCode, 0);
    const Bytes stateA = State();
    const Bytes storeA = ReadBytes(StoreFile());
    ASSERT_EQ(Sim({"backup", out.string()}).exitCode, 0);
    const Bytes backupA = ReadBytes(out);
    const auto restoreTime = Duration({"restore", restoreB.string()}, true);
    const Bytes stateB = State();
    const Bytes storeB = ReadBytes(StoreFile());
    const auto backupTime = Duration({"backup", out.string()}, true);
    const Bytes backupB = ReadBytes(out);
    const auto fromJsonTime = Duration({"from-json", json.string(), out.string()}, false);
    ASSERT_EQ(ReadBytes(out), fileB);

    int killedMidway = 0;
    for (int trial = 0; trial < Trials(); ++trial) {
        // from-json over an older file.
        WriteBytes(out, fileA);
        killedMidway +=
            RunAndKill({"from-json", json.string(), out.string()}, Somewhere(fromJsonTime), false);
        const Bytes afterJson = ReadBytes(out);
        EXPECT_TRUE(afterJson == fileA || afterJson == fileB) << "from-json trial " << trial;

        // backup of keyboard B over the backup of keyboard A.
        WriteBytes(out, backupA);
        killedMidway += RunAndKill({"backup", out.string()}, Somewhere(backupTime), true);
        const Bytes afterBackup = ReadBytes(out);
        EXPECT_TRUE(afterBackup == backupA || afterBackup == backupB) << "backup trial " << trial;
        EXPECT_TRUE(ValidProfile(afterBackup));

        // restore of B onto a keyboard and store holding A.
        WriteBytes(StateFile(), stateA);
        WriteBytes(StoreFile(), storeA);
        killedMidway += RunAndKill({"restore", restoreB.string()}, Somewhere(restoreTime), true);
        const Bytes state = State();
        const Bytes store = ReadBytes(StoreFile());
        EXPECT_TRUE(state == stateA || state == stateB) << "restore trial " << trial << ": keyboard state";
        EXPECT_TRUE(store == storeA || store == storeB) << "restore trial " << trial << ": store";
        WriteBytes(StateFile(), stateB);  // the next backup reads keyboard B
    }
    std::printf("kill -9: %d trials of 3 commands, %d killed before they finished\n", Trials(), killedMidway);
}

}  // namespace
}  // namespace talvenix::test

#include "tests/cli/CliRunner.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "core/keys/KeyAssignment.h"
#include "core/profiles/ProfileFile.h"

extern char** environ;

namespace talvenix::test {

CliResult RunCliBinary(const std::vector<std::string>& args,
                       const std::map<std::string, std::string>& extraEnv) {
    int outPipe[2];
    int errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        close(outPipe[0]);
        close(errPipe[0]);
        close(outPipe[1]);
        close(errPipe[1]);
        for (const auto& [k, v] : extraEnv) setenv(k.c_str(), v.c_str(), 1);
        std::vector<char*> argv;
        std::string binary = TALVENIX_CLI_BINARY;
        argv.push_back(binary.data());
        std::vector<std::string> copy = args;
        for (auto& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(binary.c_str(), argv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    CliResult r;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    int open = 2;
    char buf[4096];
    while (open > 0) {
        if (poll(fds, 2, 30000) <= 0) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
            const ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n <= 0) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            } else {
                (i == 0 ? r.out : r.err).append(buf, static_cast<std::size_t>(n));
            }
        }
    }
    for (auto& f : fds) {
        if (f.fd >= 0) close(f.fd);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
}

CliTest::CliTest() = default;

CliResult CliTest::Sim(const std::vector<std::string>& args,
                       const std::map<std::string, std::string>& extraEnv) {
    std::map<std::string, std::string> env = extraEnv;
    env["TALVENIX_SIM_STATE"] = StateFile().string();
    env.insert_or_assign("TALVENIX_SIM_LATENCY_US", std::string(1, '0'));  // no reply latency
    std::vector<std::string> full{"--simulate"};
    full.insert(full.end(), args.begin(), args.end());
    return RunCliBinary(full, env);
}

std::vector<std::uint8_t> CliTest::State() const { return ReadBytes(StateFile()); }

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

namespace {

keys::KeyAssignment Record(std::uint16_t kind, std::uint32_t value, std::uint16_t tag = 0) {
    keys::KeyAssignment r;
    r.kind = kind;
    r.value = value;
    r.tag = tag;
    return r;
}

macros::MacroRecord Macro(std::uint16_t id, const std::u16string& name, std::uint8_t cycles,
                          std::vector<macros::MacroAction> actions) {
    macros::MacroRecord m;
    m.id = id;
    m.SetName(name);
    m.cycles = cycles;
    for (std::size_t i = 0; i < actions.size(); ++i) m.actions[i] = actions[i];
    m.actionCount = static_cast<std::uint16_t>(actions.size());
    return m;
}

void GNumbersEverywhere(macros::Configuration& c, int blocks) {
    for (int b = 0; b < blocks; ++b) {
        for (int slot = keys::kGSlotBankA; slot < keys::kUsedSlots; ++slot) {
            c.image.Block(b)[static_cast<std::size_t>(slot)].tag = keys::GKeyNumber(slot);
        }
    }
}

}  // namespace

macros::Configuration KeyboardRepresentableConfig() {
    macros::Configuration c;
    c.image = macros::DefaultProfileImage();
    GNumbersEverywhere(c, 3);
    // Profile 0: A acts as B, Caps Lock disabled, F1 plays macro 1, F2 stops macros.
    c.StoreAssignment(0, 0x1E, Record(2, 0x30));
    c.StoreAssignment(0, 0x3A, Record(1, 0));
    c.StoreAssignment(0, 0x3B, Record(4, 1));
    c.StoreAssignment(0, 0x3C, Record(5, 0));
    // Profile 1: right Alt acts as left Ctrl, F3 is volume up, F4 is "Copy", Esc plays macro 2.
    c.StoreAssignment(1, 0xB8 /* 0x138 */, Record(2, 0x1D));
    c.StoreAssignment(1, 0x3D, Record(7, 6));
    c.StoreAssignment(1, 0x3E, Record(8, 4));
    c.StoreAssignment(1, 0x01, Record(4, 2));
    // Profile 2: Space disabled, Z acts as the mute key's media function.
    c.StoreAssignment(2, 0x39, Record(1, 0));
    c.StoreAssignment(2, 0x2C, Record(7, 7));
    c.macros.push_back(Macro(
        1, u"Hello", 1, {{0, 0x02A, 0}, {20, 0x023, 0}, {30, 0x023, 1}, {10, 0x02A, 1}, {40000, 0x130, 0}}));
    c.macros.push_back(Macro(2, u"Second macro", 3, {{100, 0x01E, 0}, {100, 0x01E, 1}}));
    c.RefreshHeader();
    return c;
}

macros::Configuration RichConfig() {
    macros::Configuration c = KeyboardRepresentableConfig();
    c.StoreAssignment(0, 0x3F, Record(3, 0));  // F5 launches a program
    c.strings.Set(0x3F, u"/usr/bin/xterm -e top");
    c.StoreAssignment(2, 0x40, Record(6, 0));  // F6 of profile 2 types a text
    c.strings.Set(2 * 512 + 0x40, u"Grüße, 世界");
    c.StoreAssignment(0, keys::kGSlotBankA + 2, Record(4, 2, 5));  // G3 of bank A: macro 2, 5 cycles
    c.StoreAssignment(1, keys::kGSlotBankB + 8, Record(7, 17, keys::GKeyNumber(keys::kGSlotBankB + 8)));
    c.StoreAssignment(3, 0x10, Record(2, 0x11));   // the spare block 3
    c.StoreAssignment(0, 0x11, Record(9, 1234));   // a kind this program does not know
    c.StoreAssignment(0, 0x12, Record(8, 13));     // a function read back as "A3"
    c.StoreAssignment(0, 0x13, Record(2, 0x136));  // right Shift by its second code
    keys::KeyAssignment withExtra = Record(1, 0);
    c.image.Block(1)[0x14] = withExtra;
    c.image.Block(1)[0x14].extra = {1, 2, 3, 4, 5, 6, 7, 8};
    c.image.Block(2)[300].value = 7;  // an unused slot that is not zero
    c.macros[1].playMode = 2;
    c.macros.push_back(Macro(7, u"Empty", 0, {}));
    c.macros.back().playMode = 1;
    c.macros.push_back(Macro(9, u"odd", 255, {{5, 0x055, 3}}));  // unnamed key, direction 3
    c.RefreshHeader();
    return c;
}

}  // namespace talvenix::test

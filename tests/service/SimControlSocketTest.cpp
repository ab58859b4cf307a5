// The per-user control socket and its client.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>

#include "service/simulator/SimControlClient.h"
#include "tests/service/SimHarness.h"

namespace talvenix::service::test {
namespace {

namespace fs = std::filesystem;

class SimControlSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/talvenix-simsock-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
        ::unsetenv("TALVENIX_SIM_SOCKET");
        ::unsetenv("TALVENIX_SIM_STATE");
        ::setenv("TALVENIX_SIM_LATENCY_US", "0", 1);
        socket_ = dir_ / "talvenix-sim.sock";
    }
    void TearDown() override {
        if (open_) End();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void Open() {
        ASSERT_EQ(Init(0), 1);
        open_ = true;
    }
    static std::string Ask(const std::string& line) {
        std::string reply, error;
        EXPECT_TRUE(SendSimCommand(line, reply, error)) << error;
        return reply;
    }
    fs::path dir_;
    fs::path socket_;
    bool open_ = false;
};

TEST_F(SimControlSocketTest, PathFollowsTheEnvironment) {
    EXPECT_EQ(SimControlSocketPath(), socket_.string());
    ::setenv("TALVENIX_SIM_SOCKET", "/tmp/elsewhere.sock", 1);
    EXPECT_EQ(SimControlSocketPath(), "/tmp/elsewhere.sock");
    ::setenv("TALVENIX_SIM_SOCKET", "none", 1);
    EXPECT_EQ(SimControlSocketPath(), "");
    std::string reply, error;
    EXPECT_FALSE(SendSimCommand("status", reply, error));
    EXPECT_FALSE(error.empty());
    ::unsetenv("TALVENIX_SIM_SOCKET");
    ::unsetenv("XDG_RUNTIME_DIR");
    // Never a name in the shared /tmp that another user could take first.
    const fs::path privateDir = "/tmp/talvenix-" + std::to_string(::getuid());
    EXPECT_EQ(SimControlSocketPath(), (privateDir / "talvenix-sim.sock").string());
    struct stat st {};
    ASSERT_EQ(::lstat(privateDir.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, ::getuid());

    // A runtime folder others can enter is refused, and with it the socket.
    ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    std::string why;
    EXPECT_EQ(SimControlSocketPath(&why), "");
    EXPECT_NE(why.find("0755"), std::string::npos) << why;
}

// Another user listening where our simulator should be never receives our commands.
TEST_F(SimControlSocketTest, ClientRefusesAServerOfAnotherUser) {
    if (::getuid() != 0) GTEST_SKIP() << "needs root to run a listener as another user";
    char pattern[] = "/tmp/talvenix-shared-XXXXXX";  // reachable by the other user
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path shared = pattern;
    fs::permissions(shared, fs::perms::all);
    const fs::path path = shared / "impostor.sock";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 1) != 0)
            ::_exit(3);
        (void)!::write(ready[1], "r", 1);
        const int client = ::accept(fd, nullptr, nullptr);
        char buf[256];
        (void)!::read(client, buf, sizeof buf);
        (void)!::write(client, "ok impostor\n", 12);
        ::_exit(0);
    }
    char r = 0;
    ASSERT_EQ(::read(ready[0], &r, 1), 1);
    ::setenv("TALVENIX_SIM_SOCKET", path.c_str(), 1);
    std::string reply, error;
    EXPECT_FALSE(SendSimCommand("unplug", reply, error)) << reply;
    EXPECT_NE(error.find("not our simulated keyboard"), std::string::npos) << error;
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    ::unsetenv("TALVENIX_SIM_SOCKET");
    fs::remove_all(shared);
}

TEST_F(SimControlSocketTest, CommandsRoundTripAndActOnTheKeyboard) {
    Open();
    struct stat st {};
    ASSERT_EQ(::lstat(socket_.c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    EXPECT_EQ(Ask("status"), "ok plugged=1 profile=0 latency=0 faults=none");
    EXPECT_EQ(Ask("unplug"), "ok unplugged");
    EXPECT_EQ(DeviceCount(), 0);
    EXPECT_EQ(Ask("plug"), "ok plugged");
    EXPECT_EQ(Ask("switch-profile 2"), "ok profile 2");
    EXPECT_EQ(Memory(PELLORAN_SIM_CONFIG, 10, 1)[0], 2);
    EXPECT_EQ(Ask("  fault   drop  3 "), "ok fault drop x3");
    EXPECT_EQ(Ask("bogus").rfind("error: ", 0), 0u);
    std::string reply, error;
    EXPECT_FALSE(SendSimCommand("status\nunplug", reply, error));  // one line per command
}

TEST_F(SimControlSocketTest, StaleSocketIsReplacedAndRemovedAtEnd) {
    {
        // A socket file left by a simulator that died.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, socket_.c_str(), sizeof addr.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::close(fd);
    }
    ASSERT_TRUE(fs::exists(socket_));
    Open();
    EXPECT_EQ(Ask("status").rfind("ok ", 0), 0u);
    End();
    open_ = false;
    EXPECT_FALSE(fs::exists(socket_));
    std::string reply, error;
    EXPECT_FALSE(SendSimCommand("status", reply, error));
    EXPECT_NE(error.find(socket_.string()), std::string::npos) << error;
}

TEST_F(SimControlSocketTest, SomethingElseAtThePathIsLeftAloneAndInitStillWorks) {
    { std::ofstream(socket_) << "precious"; }
    Open();
    EXPECT_EQ(DeviceCount(), 1);
    std::ifstream in(socket_);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "precious");
}

TEST_F(SimControlSocketTest, UnwritableFolderDoesNotBreakInit) {
    ::setenv("TALVENIX_SIM_SOCKET", (dir_ / "missing" / "sim.sock").c_str(), 1);
    Open();
    EXPECT_EQ(DeviceCount(), 1);
    ::unsetenv("TALVENIX_SIM_SOCKET");
}

TEST_F(SimControlSocketTest, AClientThatNeverReadsItsRepliesCannotHoldUpEnd) {
    Open();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, socket_.c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    // Commands until neither side can take more: the server is then stuck sending replies.
    const std::string lines = [] {
        std::string text;
        for (int i = 0; i < 64; ++i) text += "status\n";
        return text;
    }();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int full = 0;
    while (full < 20 && std::chrono::steady_clock::now() < until) {
        const ssize_t n = ::send(fd, lines.data(), lines.size(), MSG_NOSIGNAL);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            ++full;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } else {
            full = 0;
        }
    }
    ASSERT_EQ(full, 20) << "the server kept reading; the buffers never filled";

    auto ended = std::async(std::launch::async, [] { return End(); });
    const bool prompt = ended.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    ::close(fd);  // lets a stuck server go, so a failing run still finishes
    EXPECT_TRUE(prompt) << "End waited for a client that does not read";
    EXPECT_EQ(ended.get(), 1);
    open_ = false;
}

}  // namespace
}  // namespace talvenix::service::test

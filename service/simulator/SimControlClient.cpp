#include "service/simulator/SimControlClient.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/RuntimeDir.h"

namespace talvenix::service::sim {

namespace {
constexpr int kReplyTimeoutMs = 5000;
constexpr std::size_t kMaxReply = 4096;
}  // namespace

std::string SimControlSocketPath(std::string* error) {
    if (const char* explicitPath = std::getenv("TALVENIX_SIM_SOCKET"); explicitPath && *explicitPath) {
        if (std::string(explicitPath) == "none") {
            if (error != nullptr)
                *error = "the simulator's control socket is turned off (TALVENIX_SIM_SOCKET=none)";
            return {};
        }
        return explicitPath;
    }
    const platform::RuntimeDirResult runtime = platform::PrivateRuntimeDir();
    if (!runtime.Ok()) {
        if (error != nullptr) *error = "no private runtime folder for the control socket: " + runtime.error;
        return {};
    }
    return (runtime.folder / "talvenix-sim.sock").string();
}

bool SendSimCommand(const std::string& line, std::string& reply, std::string& error) {
    reply.clear();
    error.clear();
    if (line.find('\n') != std::string::npos) {
        error = "a command is one line";
        return false;
    }
    const std::string path = SimControlSocketPath(&error);
    if (path.empty()) return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
        error = "socket path too long: " + path;
        return false;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::string("cannot create a socket: ") + std::strerror(errno);
        return false;
    }
    auto fail = [&](const std::string& what) {
        error = what;
        ::close(fd);
        return false;
    };
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        return fail("no simulated keyboard is listening on " + path + " (" + std::strerror(errno) + ")");
    }
    // Commands go only to a simulator of our own: anyone else listening there is an impostor.
    if (std::string who; !platform::PeerIsThisUser(fd, who)) {
        return fail(path + ": not our simulated keyboard (" + who + "); nothing was sent");
    }
    const std::string out = line + "\n";
    std::size_t sent = 0;
    while (sent < out.size()) {
        const ssize_t n = ::send(fd, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail(std::string("cannot send the command: ") + std::strerror(errno));
        sent += static_cast<std::size_t>(n);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
    std::string received;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return fail("the simulator did not answer within 5 s");
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return fail("the simulator did not answer within 5 s");
        char buf[512];
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail("the simulator closed the connection without a reply");
        received.append(buf, static_cast<std::size_t>(n));
        if (const auto nl = received.find('\n'); nl != std::string::npos) {
            reply = received.substr(0, nl);
            ::close(fd);
            return true;
        }
        if (received.size() > kMaxReply) return fail("the simulator's reply is too long");
    }
}

}  // namespace talvenix::service::sim

#include "service/simulator/SimControlServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace talvenix::service::sim {

namespace {
constexpr std::size_t kMaxLine = 1024;
constexpr int kClientIdleMs = 10000;  // a silent client is dropped, so it cannot hold the socket

bool MakeAddress(const std::string& path, sockaddr_un& addr) {
    addr = {};
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool SomeoneListens(const sockaddr_un& addr) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool live = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return live;
}

// Sends without ever blocking on a client that does not read its replies: the wait for room
// also watches the wake-up pipe, so Stop (and with it End) is never held up by a client.
bool SendAll(int fd, int wakeFd, const std::string& text) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd fds[2] = {{fd, POLLOUT, 0}, {wakeFd, POLLIN, 0}};
            const int ready = ::poll(fds, 2, kClientIdleMs);
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0 || fds[1].revents != 0) return false;
            continue;
        }
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}
}  // namespace

SimControlServer::SimControlServer(Handler handler) : handler_(std::move(handler)) {}

SimControlServer::~SimControlServer() { Stop(); }

bool SimControlServer::Start(const std::string& path, std::string& error) {
    sockaddr_un addr{};
    if (!MakeAddress(path, addr)) {
        error = "unusable socket path '" + path + "'";
        return false;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode) || st.st_uid != ::getuid()) {
            error = path + " exists and is not our socket; left alone";
            return false;
        }
        if (SomeoneListens(addr)) {
            error = "another simulated keyboard already listens on " + path;
            return false;
        }
        ::unlink(path.c_str());  // stale: its simulator is gone
    }
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    auto fail = [&](const char* what) {
        error = std::string(what) + " " + path + ": " + std::strerror(errno);
        ::close(listenFd_);
        listenFd_ = -1;
        return false;
    };
    if (::bind(listenFd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
        return fail("cannot bind");
    if (::chmod(path.c_str(), 0600) != 0 || ::listen(listenFd_, 8) != 0) {
        ::unlink(path.c_str());
        return fail("cannot listen on");
    }
    if (::stat(path.c_str(), &st) == 0) inode_ = st.st_ino;
    if (::pipe2(wakeFds_, O_CLOEXEC) != 0) {
        ::unlink(path.c_str());
        return fail("cannot create a wake-up pipe for");
    }
    path_ = path;
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void SimControlServer::Stop() {
    if (!thread_.joinable()) return;
    const char wake = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeFds_[1], &wake, 1);
    thread_.join();
    // Remove the file only if it is still the one we bound.
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0 && st.st_ino == inode_) ::unlink(path_.c_str());
    ::close(listenFd_);
    ::close(wakeFds_[0]);
    ::close(wakeFds_[1]);
    listenFd_ = wakeFds_[0] = wakeFds_[1] = -1;
}

void SimControlServer::Serve() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents != 0) return;
        if (fds[0].revents & POLLIN) {
            const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            ucred peer{};
            socklen_t len = sizeof peer;
            if (::getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &len) == 0 && peer.uid == ::getuid()) {
                ServeClient(client);
            }
            ::close(client);
        }
    }
}

void SimControlServer::ServeClient(int fd) {
    std::string buffer;
    for (;;) {
        std::size_t nl;
        while ((nl = buffer.find('\n')) != std::string::npos) {
            std::string line = buffer.substr(0, nl);
            buffer.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!SendAll(fd, wakeFds_[0], handler_(line) + "\n")) return;
        }
        if (buffer.size() > kMaxLine) {
            SendAll(fd, wakeFds_[0], "error: command line too long\n");
            return;
        }
        pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
        const int ready = ::poll(fds, 2, kClientIdleMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0 || fds[1].revents != 0) return;
        char chunk[256];
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        buffer.append(chunk, static_cast<std::size_t>(n));
    }
}

}  // namespace talvenix::service::sim

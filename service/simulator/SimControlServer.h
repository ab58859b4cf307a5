// The simulated keyboard's per-user control socket (AF_UNIX stream, mode 0600): one command
// line in, one reply line out, any number of lines per connection. Only the same user may
// talk to it (checked by peer credentials as well as by the file mode).
#pragma once

#include <functional>
#include <string>
#include <thread>

namespace talvenix::service::sim {

class SimControlServer {
public:
    using Handler = std::function<std::string(const std::string& line)>;

    explicit SimControlServer(Handler handler);
    ~SimControlServer();
    SimControlServer(const SimControlServer&) = delete;
    SimControlServer& operator=(const SimControlServer&) = delete;

    // Binds `path`, replacing a stale socket file of ours; leaves a live one (another
    // simulator) and anything that is not a socket alone. False with `error` on failure.
    bool Start(const std::string& path, std::string& error);
    // Stops serving and removes the socket file if it is still ours.
    void Stop();

private:
    void Serve();
    void ServeClient(int fd);

    Handler handler_;
    std::string path_;
    int listenFd_ = -1;
    int wakeFds_[2] = {-1, -1};  // a pipe that wakes the server thread to stop
    unsigned long long inode_ = 0;
    std::thread thread_;
};

}  // namespace talvenix::service::sim

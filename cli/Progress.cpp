#include "cli/Progress.h"

#include <unistd.h>

#include <cstdio>

namespace talvenix::cli {

bool Progress::StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

Progress::Progress(std::string label, bool enabled)
    : label_(std::move(label)), start_(std::chrono::steady_clock::now()) {
    if (enabled && StderrIsTerminal()) thread_ = std::thread([this] { Run(); });
}

Progress::~Progress() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
        std::fputs("\r\033[K", stderr);  // leave a clean line for what follows
        std::fflush(stderr);
    }
}

void Progress::Step(std::string label) {
    std::lock_guard lock(mutex_);
    label_ = std::move(label);
}

void Progress::Run() {
    static const char kSpinner[] = {'|', '/', '-', '\\'};
    int tick = 0;
    while (!stop_) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        {
            std::lock_guard lock(mutex_);
            std::fprintf(stderr, "\r\033[K%c %s (%.1f s)", kSpinner[tick % 4], label_.c_str(), seconds);
        }
        std::fflush(stderr);
        ++tick;
        for (int i = 0; i < 10 && !stop_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace talvenix::cli

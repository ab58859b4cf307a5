// A progress line for long keyboard operations (backup, restore). Shown on stderr only when
// stderr is a terminal, so scripts and logs never see it. The keyboard commands do not report
// how far they are, so the line shows what is being done and the time it has taken so far.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

namespace talvenix::cli {

class Progress {
public:
    // Starts showing `label` (nothing happens when stderr is not a terminal, or `enabled` is false).
    explicit Progress(std::string label, bool enabled = true);
    ~Progress();  // clears the line
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Changes the text shown (the next step of a longer operation).
    void Step(std::string label);

    // Whether stderr is a terminal.
    static bool StderrIsTerminal();

private:
    void Run();

    std::mutex mutex_;
    std::string label_;
    std::atomic<bool> stop_{false};
    std::chrono::steady_clock::time_point start_;
    std::thread thread_;
};

}  // namespace talvenix::cli

#include "service/common/DueAlarm.h"

#ifdef __linux__
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#endif

namespace talvenix::service {

DueAlarm::DueAlarm() {
#ifdef __linux__
    fd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
#endif
}

DueAlarm::~DueAlarm() {
#ifdef __linux__
    if (fd_ >= 0) ::close(fd_);
#endif
}

void DueAlarm::Set(Time when) {
#ifdef __linux__
    if (fd_ >= 0) {
        // The timer counts CLOCK_MONOTONIC; the time is carried over as a distance from now, so
        // nothing depends on how the standard clock is built.
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        const auto ahead =
            std::chrono::duration_cast<std::chrono::nanoseconds>(when - std::chrono::steady_clock::now());
        std::int64_t ns = static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
        if (ahead.count() > 0) ns += ahead.count();
        itimerspec due{};
        due.it_value.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
        due.it_value.tv_nsec = static_cast<long>(ns % 1'000'000'000);
        // A time in the past goes off at once; an all-zero one would disarm the timer instead.
        if (due.it_value.tv_sec == 0 && due.it_value.tv_nsec == 0) due.it_value.tv_nsec = 1;
        ::timerfd_settime(fd_, TFD_TIMER_ABSTIME, &due, nullptr);
        return;
    }
#endif
    std::lock_guard lock(mutex_);
    when_ = when;
    armed_ = true;
    changed_.notify_one();
}

void DueAlarm::Wait() {
#ifdef __linux__
    if (fd_ >= 0) {
        std::uint64_t expirations = 0;
        // EINTR and the like return early, which the caller allows for.
        [[maybe_unused]] const ssize_t n = ::read(fd_, &expirations, sizeof expirations);
        return;
    }
#endif
    std::unique_lock lock(mutex_);
    for (;;) {
        if (!armed_) {
            changed_.wait(lock);
            continue;
        }
        if (std::chrono::steady_clock::now() >= when_) {
            armed_ = false;
            return;
        }
        const Time when = when_;
        changed_.wait_until(lock, when);
    }
}

}  // namespace talvenix::service

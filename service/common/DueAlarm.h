// DueAlarm: how the notification thread sleeps until the earliest queued event falls due.
//
// Whoever changes the earliest due time sets the alarm, and only the notification thread waits
// on it. Setting it does not wake the sleeper unless the new time has come: a reply queued for
// the simulated keyboard's latency costs the notification thread one wake-up (when it is due),
// not one when it is queued and another when it is due.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace talvenix::service {

class DueAlarm {
public:
    using Time = std::chrono::steady_clock::time_point;

    DueAlarm();
    ~DueAlarm();
    DueAlarm(const DueAlarm&) = delete;
    DueAlarm& operator=(const DueAlarm&) = delete;

    // Any thread: the alarm goes off at `when` (at once if it has passed), replacing the time
    // set before.
    void Set(Time when);
    // One thread only: returns once the time set has come. May also return early (a time that
    // was replaced, a signal); the caller checks what is due and waits again.
    void Wait();

private:
    int fd_ = -1;  // a timer file descriptor where the system has them, else -1
    // Without one: a time and a condition variable.
    std::mutex mutex_;
    std::condition_variable changed_;
    Time when_{};
    bool armed_ = false;
};

}  // namespace talvenix::service

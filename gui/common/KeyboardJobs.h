// KeyboardJobs: the one thread that talks to the keyboard for the GUI. Windows post work to it
// and get the result back on the UI thread, so the UI thread never waits on the keyboard.
// Jobs run one at a time, in the order they were posted.
#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>

#include "core/device/DeviceLink.h"

namespace talvenix::gui {

// What a job may use. Only valid inside the job.
class JobContext {
public:
    explicit JobContext(device::DeviceLink& link, const std::atomic<bool>& stopping)
        : link_(link), stopping_(stopping) {}
    device::DeviceLink& Link() { return link_; }
    device::ReportTransport& Transport() { return link_.Transport(); }
    // True once Stop() was called: a long job may end early.
    bool Stopping() const { return stopping_.load(); }

private:
    device::DeviceLink& link_;
    const std::atomic<bool>& stopping_;
};

class KeyboardJobs : public QObject {
    Q_OBJECT
public:
    // `link` is bound and initialised and outlives this object.
    explicit KeyboardJobs(device::DeviceLink& link, QObject* parent = nullptr);
    ~KeyboardJobs() override;  // stops
    KeyboardJobs(const KeyboardJobs&) = delete;
    KeyboardJobs& operator=(const KeyboardJobs&) = delete;

    // Runs `work` on the keyboard thread after every job posted before it; then `done(result)`
    // runs on the UI thread, unless `receiver` is gone by then (or was null). Ignored after Stop().
    template <typename Work, typename Done>
    void Post(Work&& work, QObject* receiver, Done&& done) {
        Enqueue({}, Wrap(std::forward<Work>(work), receiver, std::forward<Done>(done)));
    }
    // Fire and forget.
    template <typename Work>
    void Post(Work&& work) {
        Post(std::forward<Work>(work), nullptr, [](auto&&...) {});
    }
    // Like Post, but a job with the same `key` still waiting in the queue is replaced by this one
    // (it keeps the replaced job's place; the replaced job's `done` never runs). For streams of
    // writes where only the latest value matters.
    template <typename Work, typename Done>
    void PostLatest(const std::string& key, Work&& work, QObject* receiver, Done&& done) {
        Enqueue(key, Wrap(std::forward<Work>(work), receiver, std::forward<Done>(done)));
    }

    // Jobs posted and not yet finished, their `done` included (UI thread: tests wait for 0).
    int Outstanding() const { return outstanding_.load(); }
    bool Idle() const { return Outstanding() == 0; }
    // True on the keyboard thread.
    bool OnJobThread() const { return std::this_thread::get_id() == thread_.get_id(); }

    // Drops waiting jobs, lets the running one finish, ends the thread. Results not yet
    // delivered are dropped. Safe to call twice.
    void Stop();
    bool Stopped() const { return stopping_.load(); }

private:
    using Task = std::function<void(JobContext&)>;

    template <typename Work, typename Done>
    Task Wrap(Work&& work, QObject* receiver, Done&& done) {
        using R = std::invoke_result_t<Work&, JobContext&>;
        QPointer<QObject> target(receiver);
        const bool hasReceiver = receiver != nullptr;
        return [this, work = std::forward<Work>(work), target, hasReceiver,
                done = std::forward<Done>(done)](JobContext& context) mutable {
            if constexpr (std::is_void_v<R>) {
                work(context);
                Deliver([target, hasReceiver, done]() mutable {
                    if (hasReceiver && target) done();
                });
            } else {
                auto result = std::make_shared<R>(work(context));
                Deliver([target, hasReceiver, done, result]() mutable {
                    if (hasReceiver && target) done(std::move(*result));
                });
            }
        };
    }

    void Enqueue(const std::string& key, Task task);
    // Queues `fn` onto the UI thread (this object's thread).
    void Deliver(std::function<void()> fn);
    void Loop();

    struct Job {
        std::string key;  // empty: never coalesced
        Task task;
    };

    device::DeviceLink& link_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<Job> queue_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> outstanding_{0};
    std::thread thread_;
};

}  // namespace talvenix::gui

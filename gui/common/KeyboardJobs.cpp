#include "gui/common/KeyboardJobs.h"

#include <QMetaObject>

namespace talvenix::gui {

KeyboardJobs::KeyboardJobs(device::DeviceLink& link, QObject* parent) : QObject(parent), link_(link) {
    setObjectName(QStringLiteral("KeyboardJobs"));
    thread_ = std::thread([this] { Loop(); });
}

KeyboardJobs::~KeyboardJobs() { Stop(); }

void KeyboardJobs::Enqueue(const std::string& key, Task task) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        if (!key.empty()) {
            for (auto& job : queue_)
                if (job.key == key) {
                    job.task = std::move(task);
                    return;
                }
        }
        queue_.push_back(Job{key, std::move(task)});
        ++outstanding_;
    }
    cv_.notify_one();
}

void KeyboardJobs::Deliver(std::function<void()> fn) {
    // The result is counted outstanding until its handler ran, so "idle" means the UI is
    // up to date as well.
    QMetaObject::invokeMethod(
        this,
        [this, fn = std::move(fn)] {
            --outstanding_;
            if (!stopping_) fn();
        },
        Qt::QueuedConnection);
}

void KeyboardJobs::Loop() {
    JobContext context(link_, stopping_);
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            cv_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        job.task(context);
    }
}

void KeyboardJobs::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        outstanding_ -= static_cast<int>(queue_.size());
        queue_.clear();
    }
    cv_.notify_all();
    if (thread_.joinable()) thread_.join();
}

}  // namespace talvenix::gui

// A stream of values for the keyboard paced by the UI thread's timer: at most one goes out per
// interval and the last one always does (WriteCoalescer), so dragging a slider end to end or a
// colour around the wheel queues no backlog of writes.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <utility>

#include "core/lighting/WriteCoalescer.h"

namespace talvenix::gui {

template <class T>
class PacedWrite {
public:
    using Send = std::function<void(const T&)>;

    PacedWrite(QObject* owner, Send send, std::chrono::milliseconds interval = std::chrono::milliseconds(50))
        : pace_(interval), send_(std::move(send)), timer_(new QTimer(owner)) {
        timer_->setSingleShot(true);
        QObject::connect(timer_, &QTimer::timeout, owner, [this] { Fire(); });
    }
    PacedWrite(const PacedWrite&) = delete;
    PacedWrite& operator=(const PacedWrite&) = delete;

    void Offer(T value) {
        if (auto out = pace_.Offer(std::move(value)))
            send_(*out);
        else
            Arm();
    }
    // Sends a held value at once (the mouse button was released).
    void Flush() {
        timer_->stop();
        if (auto out = pace_.Flush()) send_(*out);
    }
    // Forgets a held value (the panel re-read the keyboard).
    void Drop() {
        timer_->stop();
        pace_.Drop();
    }
    bool Holding() const { return pace_.Holding(); }

private:
    void Arm() {
        if (timer_->isActive()) return;
        if (auto due = pace_.DueIn())
            timer_->start(std::chrono::duration_cast<std::chrono::milliseconds>(*due) +
                          std::chrono::milliseconds(1));
    }
    void Fire() {
        if (auto out = pace_.TakeDue()) send_(*out);
        Arm();
    }

    lighting::WriteCoalescer<T> pace_;
    Send send_;
    QTimer* timer_;
};

}  // namespace talvenix::gui

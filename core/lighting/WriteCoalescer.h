// Paces a stream of values bound for the keyboard (a slider dragged end to end, a colour dragged
// around the wheel): at most one value goes out per interval, values that arrive in between
// replace each other, and the last one always goes out. Nothing is ever dropped silently: a
// held value leaves through TakeDue() once its time has come, or through Flush().
//
// The owner drives it: Offer() every new value and send what it returns; when it returns
// nothing, arm a timer for DueIn() and send what TakeDue() returns when the timer fires. The
// clock is injected so tests can step time.
//
//   WriteCoalescer<int> pace(std::chrono::milliseconds(50));
//   if (auto v = pace.Offer(position)) Send(*v); else timer.start(*pace.DueIn());
//   ... timer fired: if (auto v = pace.TakeDue()) Send(*v);
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <utility>

namespace talvenix::lighting {

template <class T>
class WriteCoalescer {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    explicit WriteCoalescer(Clock::duration interval, Now now = {})
        : interval_(interval), now_(now ? std::move(now) : Now([] { return Clock::now(); })) {}

    // A new value. Returned at once when nothing went out within the interval (it then counts
    // as sent); otherwise held, replacing an older held value, and nullopt is returned.
    std::optional<T> Offer(T value) {
        const auto now = now_();
        if (!held_ && (!lastSent_ || now - *lastSent_ >= interval_)) {
            lastSent_ = now;
            return value;
        }
        held_ = std::move(value);
        return std::nullopt;
    }

    // The held value once the interval since the last value sent has passed; it then counts as
    // sent. Nullopt when nothing is held or it is too early.
    std::optional<T> TakeDue() {
        if (!held_) return std::nullopt;
        const auto now = now_();
        if (lastSent_ && now - *lastSent_ < interval_) return std::nullopt;
        return Release(now);
    }

    // The held value at once, whatever the time (the button was released, the window closes).
    std::optional<T> Flush() {
        if (!held_) return std::nullopt;
        return Release(now_());
    }

    // How long until the held value is due (zero when it is due now); nullopt when nothing is
    // held.
    std::optional<Clock::duration> DueIn() const {
        if (!held_) return std::nullopt;
        if (!lastSent_) return Clock::duration::zero();
        const auto elapsed = now_() - *lastSent_;
        return elapsed >= interval_ ? Clock::duration::zero() : interval_ - elapsed;
    }

    bool Holding() const { return held_.has_value(); }

    // Forgets the held value (the keyboard left, or the panel re-read what it holds).
    void Drop() { held_.reset(); }

private:
    std::optional<T> Release(Clock::time_point now) {
        lastSent_ = now;
        std::optional<T> out = std::move(held_);
        held_.reset();
        return out;
    }

    Clock::duration interval_;
    Now now_;
    std::optional<Clock::time_point> lastSent_;
    std::optional<T> held_;
};

}  // namespace talvenix::lighting

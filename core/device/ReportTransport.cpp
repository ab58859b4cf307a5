#include "core/device/ReportTransport.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "core/device/DeviceReport.h"
#include "core/device/ResultCodes.h"

namespace talvenix::device {

ReportTransport::ReportTransport(const ServiceLibraryLink& link, TransportTiming timing)
    : link_(link), timing_(timing) {}

int ReportTransport::QueryDeviceCount() const {
    if (link_.RequestGetDeviceCount == nullptr) return 0;
    const HidUnitFilter filter = ControlFilter();
    const std::uint32_t checksum = TalvenixRequestChecksum(&filter, 0, 0, nullptr, 0);
    const int count = link_.RequestGetDeviceCount(&filter, 0, 0, checksum, 0);
    return count > 0 ? count : 0;
}

int ReportTransport::DeviceCount() {
    std::uint64_t heardBefore = 0;
    {
        std::lock_guard lock(slotMutex_);
        heardBefore = countChanges_;
    }
    const int count = QueryDeviceCount();
    std::lock_guard lock(slotMutex_);
    // A notification that came while we asked is newer than our answer.
    if (hearingChanges_ && countChanges_ == heardBefore) heardCount_ = count;
    return count;
}

int ReportTransport::CountForExchange(bool& fromLibrary) {
    {
        std::lock_guard lock(slotMutex_);
        fromLibrary = !(hearingChanges_ && heardCount_ > 0);
        if (!fromLibrary) return heardCount_;
    }
    // Nothing known, or no keyboard: ask, so a keyboard that has just arrived is not missed
    // while its notification is on its way.
    return DeviceCount();
}

void ReportTransport::SetHearingDeviceChanges(bool hearing) {
    std::lock_guard lock(slotMutex_);
    hearingChanges_ = hearing;
    heardCount_ = -1;  // whatever was heard before may be out of date now
    ++countChanges_;
}

void ReportTransport::OnDeviceCountChanged(int count) {
    std::lock_guard lock(slotMutex_);
    ++countChanges_;
    if (hearingChanges_) heardCount_ = std::max(count, 0);
}

TransportStats ReportTransport::Stats() {
    std::lock_guard lock(slotMutex_);
    return stats_;
}

void ReportTransport::EraseNewestOf(std::uint64_t exchange) {
    for (auto it = outstanding_.rbegin(); it != outstanding_.rend(); ++it) {
        if (it->exchange == exchange) {
            outstanding_.erase(std::next(it).base());
            return;
        }
    }
}

void ReportTransport::ForgetExpiredLocked(std::chrono::steady_clock::time_point now) {
    // A reply this late is taken as lost; the exchange in progress keeps all its attempts.
    std::erase_if(outstanding_, [&](const Outstanding& o) {
        return o.exchange != exchange_ && now - o.sentAt > timing_.staleReplyWindow;
    });
}

int ReportTransport::SendReport(const std::uint8_t* request, std::size_t length, std::uint8_t* reply,
                                std::size_t capacity, std::size_t* received) {
    // One exchange at a time, whichever thread asks: a reply can only be paired with the
    // request that is waiting for it.
    std::lock_guard exchange(exchangeMutex_);
    if (received != nullptr) *received = 0;
    bool countAsked = false;
    if (CountForExchange(countAsked) == 0) return kNoKeyboard;

    DeviceReport frame{};
    std::memcpy(frame.data(), request, std::min(length, kReportSize));
    const HidUnitFilter filter = ControlFilter();
    const std::uint32_t checksum = TalvenixRequestChecksum(&filter, 0, 0, frame.data(), frame.size());
    const Echo echo{frame[kOffCommand], frame[kOffLength], frame[kOffAddress], frame[kOffAddress + 1]};

    std::unique_lock lock(slotMutex_);
    const std::uint64_t id = nextExchange_++;
    exchange_ = id;
    ++stats_.exchanges;

    auto finish = [&](int result, std::size_t length_out) {
        busy_ = false;
        replyBuffer_ = nullptr;
        replyCapacity_ = 0;
        exchange_ = 0;  // replies still owed to this exchange are stale from now on
        if (received != nullptr) *received = length_out;
        return result;
    };

    // Late replies come in any order, so a reply with this request's echo could still be the
    // answer to an earlier request given up with the same frame (old data, or an old "done").
    // Wait until every such reply has come or is past the stale window; from then on, any reply
    // with this echo is this request's.
    for (;;) {
        ForgetExpiredLocked(std::chrono::steady_clock::now());
        const auto earlier =
            std::find_if(outstanding_.begin(), outstanding_.end(),
                         [&](const Outstanding& o) { return o.echo == echo && o.exchange != id; });
        if (earlier == outstanding_.end()) break;
        ++stats_.echoWaits;
        turnEvent_.wait_until(lock,
                              earlier->sentAt + timing_.staleReplyWindow + std::chrono::milliseconds(1));
    }

    int failedAttempts = 0;
    for (;;) {
        if (busy_) {
            // Second guard only: the exchange mutex already keeps exchanges apart.
            lock.unlock();
            std::this_thread::sleep_for(timing_.busyBackoff);
            lock.lock();
            busy_ = false;
        }
        const auto now = std::chrono::steady_clock::now();
        ForgetExpiredLocked(now);
        replyBuffer_ = reply;
        replyCapacity_ = capacity;
        receivedLength_ = 0;
        signalled_ = false;
        foreign_ = false;
        busy_ = true;
        outstanding_.push_back(Outstanding{echo, id, now});
        ++stats_.writes;

        lock.unlock();
        const bool written = link_.RequestWriteOne != nullptr &&
                             link_.RequestWriteOne(&filter, 0, 0, frame.data(),
                                                   static_cast<std::uint32_t>(frame.size()), checksum, 0) > 0;
        lock.lock();
        if (!written) {
            EraseNewestOf(id);  // nothing went out, so no reply is owed for this attempt
            if (failedAttempts == 0 && !countAsked) {
                // The count we went by was the library's last word; if the keyboard has gone
                // since and the notification is still on its way, say so as asking would have.
                busy_ = false;  // no reply is awaited while we ask
                replyBuffer_ = nullptr;
                lock.unlock();
                const int count = DeviceCount();
                lock.lock();
                if (count == 0) return finish(kNoKeyboard, 0);
            }
            return finish(kRefused, 0);
        }

        const bool signalled = replyEvent_.wait_for(lock, timing_.attemptWait, [this] { return signalled_; });
        bool retry = false;
        if (!signalled) {
            ++stats_.timeouts;  // its reply stays owed: if it turns up later it is dropped
            retry = true;
        } else if (foreign_) {
            retry = true;
        } else {
            const std::size_t gotLength = receivedLength_;
            const bool errorStatus = gotLength > kOffStatus && (reply[kOffStatus] == kStatusChecksumError ||
                                                                reply[kOffStatus] == kStatusRangeError);
            if (!errorStatus || failedAttempts + 1 >= kAttempts) {
                // A rejection on the last attempt is returned with its status left in the reply
                // for the caller to decode.
                return finish(kOk, gotLength);
            }
            retry = true;
        }
        if (retry) {
            if (++failedAttempts >= kAttempts) return finish(kNoReply, 0);
            busy_ = false;
            lock.unlock();
            std::this_thread::sleep_for(timing_.retryPause);
            lock.lock();
        }
    }
}

int ReportTransport::PostRawReport(const std::uint8_t* bytes, std::size_t length) {
    DeviceReport frame{};
    std::memcpy(frame.data(), bytes, std::min(length, kReportSize));
    if (link_.RequestWriteOne == nullptr) return kRefused;
    const HidUnitFilter filter = ControlFilter();
    const std::uint32_t checksum = TalvenixRequestChecksum(&filter, 0, 0, frame.data(), frame.size());
    return link_.RequestWriteOne(&filter, 0, 0, frame.data(), static_cast<std::uint32_t>(frame.size()),
                                 checksum, 0);
}

void ReportTransport::OnControlReport(const std::uint8_t* bytes, std::size_t count) {
    std::lock_guard lock(slotMutex_);
    const bool waiting = busy_ && !signalled_ && replyBuffer_ != nullptr;
    // Shorter than its header: no echo to match and no status to read.
    if (bytes != nullptr && count > kOffStatus) {
        const Echo echo{bytes[kOffCommand], bytes[kOffLength], bytes[kOffAddress], bytes[kOffAddress + 1]};
        ForgetExpiredLocked(std::chrono::steady_clock::now());
        // The keyboard answers in order, so the oldest attempt with this echo is the one answered.
        const auto owed = std::find_if(outstanding_.begin(), outstanding_.end(),
                                       [&](const Outstanding& o) { return o.echo == echo; });
        if (owed != outstanding_.end()) {
            const std::uint64_t owner = owed->exchange;
            outstanding_.erase(owed);
            if (!waiting || owner != exchange_) {
                // The answer to an exchange already given up or already answered.
                ++stats_.staleDiscarded;
                // A request waiting for its turn checks again.
                turnEvent_.notify_all();
                return;
            }
            // Any attempt of the exchange in progress carried the same frame: take it.
            const std::size_t n = std::min(count, replyCapacity_);
            if (n > 0) std::memcpy(replyBuffer_, bytes, n);
            receivedLength_ = n;
            signalled_ = true;
            // Notified under the lock: once the waiter sees the reply it may return and its
            // owner may destroy the transport, so nothing here may touch it afterwards. Only
            // the exchange in progress waits on this one.
            replyEvent_.notify_one();
            return;
        }
    }
    if (!waiting) return;  // nobody waiting: dropped
    // A reply that answers nothing we sent (a wrong echo, or too short to tell) settles the
    // attempt in progress as failed; the keyboard owes nothing more for it.
    ++stats_.foreignReplies;
    EraseNewestOf(exchange_);
    foreign_ = true;
    signalled_ = true;
    replyEvent_.notify_one();
}

}  // namespace talvenix::device

#include "core/device/ReportTransport.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "core/device/DeviceReport.h"
#include "core/device/ResultCodes.h"

namespace talvenix::device {

ReportTransport::ReportTransport(const ServiceLibraryLink& link, TransportTiming timing)
    : link_(link), timing_(timing) {}

int ReportTransport::DeviceCount() const {
    if (link_.RequestGetDeviceCount == nullptr) return 0;
    const HidUnitFilter filter = ControlFilter();
    const std::uint32_t checksum = TalvenixRequestChecksum(&filter, 0, 0, nullptr, 0);
    const int count = link_.RequestGetDeviceCount(&filter, 0, 0, checksum, 0);
    return count > 0 ? count : 0;
}

ReportTransport::WaitResult ReportTransport::WaitForReply() {
    std::unique_lock lock(slotMutex_);
    const bool got = slotEvent_.wait_for(lock, timing_.attemptWait, [this] { return signalled_; });
    return got ? WaitResult::Signalled : WaitResult::Timeout;
}

int ReportTransport::SendReport(const std::uint8_t* request, std::size_t length, std::uint8_t* reply,
                                std::size_t capacity, std::size_t* received) {
    // One exchange at a time, whichever thread asks: a reply can only be paired with the
    // request that is waiting for it.
    std::lock_guard exchange(exchangeMutex_);
    if (received != nullptr) *received = 0;
    if (DeviceCount() == 0) return kNoKeyboard;

    DeviceReport frame{};
    std::memcpy(frame.data(), request, std::min(length, kReportSize));
    const HidUnitFilter filter = ControlFilter();
    const std::uint32_t checksum = TalvenixRequestChecksum(&filter, 0, 0, frame.data(), frame.size());

    auto finish = [&](int result, std::size_t length_out) {
        std::lock_guard lock(slotMutex_);
        busy_ = false;
        replyBuffer_ = nullptr;
        replyCapacity_ = 0;
        if (received != nullptr) *received = length_out;
        return result;
    };

    int failedAttempts = 0;
    for (;;) {
        {
            std::unique_lock lock(slotMutex_);
            if (busy_) {
                // Second guard only: the exchange mutex already keeps exchanges apart.
                lock.unlock();
                std::this_thread::sleep_for(timing_.busyBackoff);
                lock.lock();
                busy_ = false;
            }
            replyBuffer_ = reply;
            replyCapacity_ = capacity;
            receivedLength_ = 0;
            signalled_ = false;
            busy_ = true;
        }
        if (link_.RequestWriteOne == nullptr ||
            link_.RequestWriteOne(&filter, 0, 0, frame.data(), static_cast<std::uint32_t>(frame.size()),
                                  checksum, 0) <= 0) {
            return finish(kRefused, 0);
        }

        bool retry = false;
        std::size_t gotLength = 0;
        if (WaitForReply() == WaitResult::Timeout) {
            retry = true;
        } else {
            std::lock_guard lock(slotMutex_);
            gotLength = receivedLength_;
            const bool sameCommand = gotLength > kOffCommand && reply[kOffCommand] == frame[kOffCommand];
            const bool errorStatus = gotLength > kOffStatus && (reply[kOffStatus] == kStatusChecksumError ||
                                                                reply[kOffStatus] == kStatusRangeError);
            if (!sameCommand) {
                retry = true;
                gotLength = 0;
            } else if (errorStatus) {
                // The keyboard answered but rejected it: try again; after the last attempt the
                // caller decodes the status left in the reply.
                if (failedAttempts + 1 >= kAttempts) {
                    busy_ = false;
                    replyBuffer_ = nullptr;
                    if (received != nullptr) *received = gotLength;
                    return kOk;
                }
                retry = true;
            } else {
                busy_ = false;
                replyBuffer_ = nullptr;
                if (received != nullptr) *received = gotLength;
                return kOk;
            }
        }
        if (retry) {
            if (++failedAttempts >= kAttempts) return finish(kNoReply, 0);
            {
                std::lock_guard lock(slotMutex_);
                busy_ = false;
            }
            std::this_thread::sleep_for(timing_.retryPause);
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
    // Nobody waiting, or this attempt already has its reply: drop it.
    if (!busy_ || signalled_ || replyBuffer_ == nullptr) return;
    const std::size_t n = std::min(count, replyCapacity_);
    if (bytes != nullptr && n > 0) std::memcpy(replyBuffer_, bytes, n);
    receivedLength_ = n;
    signalled_ = true;
    // Notified under the lock: once the waiter sees the reply it may return and its owner may
    // destroy the transport, so nothing here may touch it after the lock is released.
    slotEvent_.notify_all();
}

}  // namespace talvenix::device

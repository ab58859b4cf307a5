// Send-and-wait exchange of 64-byte reports with the keyboard: one request on the control
// interface, one reply handed over from the library's notification thread.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

#include "core/device/ServiceLibraryLink.h"

namespace talvenix::device {

// Waits of the exchange loop. The defaults are the keyboard's; tests shorten them.
struct TransportTiming {
    std::chrono::milliseconds attemptWait{1000};   // wait for a reply, per attempt
    std::chrono::milliseconds retryPause{10};      // between attempts
    std::chrono::milliseconds busyBackoff{1001};   // when another exchange is still in flight
    std::chrono::milliseconds endUpdatePause{10};  // before the end-update command
    // How long the reply of an attempt that was given up may still turn up. Until then a later
    // request with the same echo waits for it, so the two are never confused; a reply later
    // than this is taken as lost.
    std::chrono::milliseconds staleReplyWindow{2500};
};

// Running totals of the exchange loop, for soak tests and benchmarks.
struct TransportStats {
    std::uint64_t exchanges = 0;       // SendReport calls that reached the library
    std::uint64_t writes = 0;          // frames handed to the library
    std::uint64_t timeouts = 0;        // attempts whose wait ran out
    std::uint64_t staleDiscarded = 0;  // late replies of given-up or answered attempts, dropped
    std::uint64_t foreignReplies = 0;  // replies matching no request sent (wrong echo, too short)
    std::uint64_t echoWaits = 0;       // waits for an earlier request's reply with the same echo
};

class ReportTransport {
public:
    static constexpr int kAttempts = 3;

    explicit ReportTransport(const ServiceLibraryLink& link, TransportTiming timing = {});
    ReportTransport(const ReportTransport&) = delete;
    ReportTransport& operator=(const ReportTransport&) = delete;

    // Sends `request` (zero-filled or cut to 64 bytes) and waits for its reply: the one echoing
    // the request's command, length and address (bytes 3..6) and not owed to an earlier attempt
    // that was given up. Returns 1 (reply copied, `*received` bytes; its status may still be an
    // error), 0 (no keyboard / wait failed), -1 (library refused), -2 (no matching reply after
    // three attempts). Callers on any thread are served one at a time.
    int SendReport(const std::uint8_t* request, std::size_t length, std::uint8_t* reply, std::size_t capacity,
                   std::size_t* received);

    // Pads to 64 bytes and hands the frame to the library at once: no count check, no
    // checksum, no wait, no retry. Returns the library's result.
    int PostRawReport(const std::uint8_t* bytes, std::size_t length);

    // Reply hand-over: called from the notification thread with a CTRL report. Dropped when
    // no exchange is waiting.
    void OnControlReport(const std::uint8_t* bytes, std::size_t count);

    // Whether the library's device-count changes reach OnDeviceCountChanged (a registered CTRL
    // read). While they do, a count the library gave stays true until it says otherwise, so an
    // exchange asks for it only while no keyboard is known to be attached.
    void SetHearingDeviceChanges(bool hearing);
    // The library's notification of a new count (notification thread).
    void OnDeviceCountChanged(int count);

    // Attached control interfaces, as the library counts them (always asks the library).
    int DeviceCount();

    const TransportTiming& Timing() const { return timing_; }
    TransportStats Stats();
    const ServiceLibraryLink& Link() const { return link_; }

private:
    using Echo = std::array<std::uint8_t, 4>;  // bytes 3..6: command, length, address
    // An attempt whose reply has not arrived yet.
    struct Outstanding {
        Echo echo;
        std::uint64_t exchange;
        std::chrono::steady_clock::time_point sentAt;
    };
    void ForgetExpiredLocked(std::chrono::steady_clock::time_point now);
    void EraseNewestOf(std::uint64_t exchange);  // the latest attempt of `exchange` is owed nothing
    int QueryDeviceCount() const;
    // The count to go by at the start of an exchange; `fromLibrary` says whether it was asked.
    int CountForExchange(bool& fromLibrary);

    ServiceLibraryLink link_;
    TransportTiming timing_;
    std::mutex exchangeMutex_;  // held for a whole SendReport

    // ExchangeSlot: shared with the notification thread.
    std::mutex slotMutex_;
    std::condition_variable replyEvent_;  // the waiting exchange's reply (or foreign reply) came
    std::condition_variable turnEvent_;   // an owed reply came: a request waiting for its echo checks
    bool busy_ = false;
    bool signalled_ = false;
    std::uint8_t* replyBuffer_ = nullptr;
    std::size_t replyCapacity_ = 0;
    std::size_t receivedLength_ = 0;
    bool foreign_ = false;        // the attempt was answered by a reply that matches nothing
    std::uint64_t exchange_ = 0;  // id of the exchange in progress, 0 between exchanges
    std::uint64_t nextExchange_ = 1;
    std::deque<Outstanding> outstanding_;  // oldest first
    TransportStats stats_;
    bool hearingChanges_ = false;
    int heardCount_ = -1;             // the library's last word on the count; -1 none yet
    std::uint64_t countChanges_ = 0;  // notifications heard, so an older answer never overwrites one
};

}  // namespace talvenix::device

#include "service/common/ServiceCore.h"

#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <algorithm>
#include <array>
#include <cstdio>

namespace talvenix::service {

namespace {
// The largest report any of the keyboard's interfaces takes.
constexpr std::uint32_t kMaxReport = 64;

bool IsWellFormed(const HidUnitFilter* filter) {
    return filter != nullptr && filter->selector == TALVENIX_FILTER_SELECTOR;
}

bool NamesOurKeyboard(const HidUnitFilter& filter) {
    return filter.vendorId == TALVENIX_VENDOR_ID && filter.productId == TALVENIX_PRODUCT_ID &&
           std::all_of(std::begin(filter.reserved), std::end(filter.reserved),
                       [](std::uint8_t b) { return b == 0; });
}

std::uint32_t CallbackBytes(ServiceNotifyFn callback) {
    return TalvenixPointerChecksumBytes(reinterpret_cast<const void*>(callback));
}
}  // namespace

ServiceCore& ServiceCore::Instance() {
    // Never destroyed: callbacks and backend threads may still reach it while the process exits.
    static ServiceCore* core = new ServiceCore();
    return *core;
}

int ServiceCore::SetDebug(int level) {
    debugLevel_ = level;
    return 1;
}

void ServiceCore::Refuse(const char* call, const char* why) const {
    if (debugLevel_ > 0) std::fprintf(stderr, "Pelloran: %s refused: %s\n", call, why);
}

std::shared_ptr<HidBackend> ServiceCore::Backend() {
    std::lock_guard lock(backendMutex_);
    return backend_;
}

int ServiceCore::Init(int /*flags*/) {
    std::lock_guard life(lifecycleMutex_);
    if (initCount_ > 0) {
        ++initCount_;
        return 1;
    }
    std::shared_ptr<HidBackend> backend = CreateBackend();
    if (!backend) return 0;
    StartDispatcher();
    if (!backend->Start(*this)) {
        StopDispatcher();
        return 0;
    }
    {
        std::lock_guard lock(backendMutex_);
        backend_ = std::move(backend);
    }
    initCount_ = 1;
    return 1;
}

int ServiceCore::End() {
    std::lock_guard life(lifecycleMutex_);
    if (initCount_ == 0) return 0;
    if (--initCount_ > 0) return 1;
    std::shared_ptr<HidBackend> backend;
    {
        std::lock_guard lock(backendMutex_);
        backend.swap(backend_);
    }
    backend->Stop();
    StopDispatcher();
    {
        std::lock_guard lock(registrationMutex_);
        registrations_.clear();
    }
    return 1;
}

std::optional<HidInterface> ServiceCore::Accept(const char* call, const HidUnitFilter* filter,
                                                std::uint32_t a2, std::uint32_t a3, const void* payload,
                                                std::size_t length, std::uint32_t checksum) {
    if (!IsWellFormed(filter)) {
        Refuse(call, "no filter, or not a device filter");
        return std::nullopt;
    }
    if (TalvenixRequestChecksum(filter, a2, a3, payload, payload ? length : 0) != checksum) {
        Refuse(call, "request checksum mismatch");
        return std::nullopt;
    }
    const auto iface = InterfaceOfUsage(filter->usagePage, filter->usage);
    if (!NamesOurKeyboard(*filter) || !iface) {
        Refuse(call, "the filter names no interface of this keyboard");
        return std::nullopt;
    }
    return iface;
}

int ServiceCore::GetDeviceCount(const HidUnitFilter* filter, std::uint32_t a2, std::uint32_t a3,
                                std::uint32_t checksum) {
    auto backend = Backend();
    if (!backend) return -1;
    if (!IsWellFormed(filter) || TalvenixRequestChecksum(filter, a2, a3, nullptr, 0) != checksum) {
        Refuse("RequestGetDeviceCount", "malformed filter or request checksum mismatch");
        return -1;
    }
    const auto iface = InterfaceOfUsage(filter->usagePage, filter->usage);
    // A well-formed question about some other device has a true answer: none attached.
    if (!NamesOurKeyboard(*filter) || !iface) return 0;
    return backend->DeviceCount(*iface);
}

std::uint32_t ServiceCore::Register(HidInterface iface, ServiceNotifyFn callback, std::uint32_t tag,
                                    bool isRead) {
    std::lock_guard lock(registrationMutex_);
    std::uint32_t id = nextUnitId_++;
    if (id == 0) id = nextUnitId_++;  // 0 means "no request" to the program
    registrations_.push_back(Registration{id, iface, callback, tag, isRead});
    return id;
}

bool ServiceCore::IsRegistered(std::uint32_t unitId) {
    std::lock_guard lock(registrationMutex_);
    return std::any_of(registrations_.begin(), registrations_.end(),
                       [unitId](const Registration& r) { return r.unitId == unitId; });
}

void ServiceCore::WaitForDelivery() {
    // A callback cancelling its own (or another) request must not wait for itself.
    if (std::this_thread::get_id() == dispatcherId_.load()) return;
    std::lock_guard wait(deliveryMutex_);
}

int ServiceCore::DeleteRequestFromUnitId(std::uint32_t unitId) {
    if (!Backend()) return 0;
    bool found = false;
    {
        std::lock_guard lock(registrationMutex_);
        auto it = std::find_if(registrations_.begin(), registrations_.end(),
                               [unitId](const Registration& r) { return r.unitId == unitId; });
        if (it != registrations_.end()) {
            registrations_.erase(it);
            found = true;
        }
    }
    if (found) WaitForDelivery();
    return found ? 1 : 0;
}

int ServiceCore::DeleteRequestFromHandle(void* handle) {
    if (!Backend() || handle == nullptr) return 0;
    std::size_t removed = 0;
    {
        std::lock_guard lock(registrationMutex_);
        removed = std::erase_if(registrations_, [handle](const Registration& r) {
            return reinterpret_cast<void*>(r.callback) == handle;
        });
    }
    if (removed > 0) WaitForDelivery();
    return removed > 0 ? 1 : 0;
}

int ServiceCore::Write(const HidUnitFilter* filter, std::uint32_t a2, std::uint32_t a3,
                       const std::uint8_t* data, std::uint32_t length, std::uint32_t checksum,
                       std::uint32_t* unitId) {
    const int result = WriteOne(filter, a2, a3, data, length, checksum);
    if (result > 0 && unitId != nullptr) {
        std::lock_guard lock(registrationMutex_);
        *unitId = nextUnitId_++;
    }
    return result;
}

int ServiceCore::WriteOne(const HidUnitFilter* filter, std::uint32_t a2, std::uint32_t a3,
                          const std::uint8_t* data, std::uint32_t length, std::uint32_t checksum) {
    auto backend = Backend();
    if (!backend) return 0;
    if (data == nullptr || length == 0 || length > kMaxReport) {
        Refuse("RequestWriteOne", "no report, or longer than 64 bytes");
        return 0;
    }
    const auto iface = Accept("RequestWriteOne", filter, a2, a3, data, length, checksum);
    if (!iface) return 0;
    if (*iface != HidInterface::Control) {
        Refuse("RequestWriteOne", "only the control interface takes reports");
        return 0;
    }
    std::array<std::uint8_t, kMaxReport> report{};  // a short report goes out zero-filled
    std::copy_n(data, length, report.begin());
    // Replies that arrived before this request but were not handed over yet answer earlier
    // requests; drop them so they cannot pass for this one's.
    DrainArrivedInput(*iface);
    return backend->WriteReport(*iface, report) ? 1 : 0;
}

int ServiceCore::StatusWrite(const HidUnitFilter* filter, ServiceNotifyFn callback, std::uint32_t tag,
                             const std::uint8_t* data, std::uint32_t length, std::uint32_t checksum,
                             std::uint32_t* unitId) {
    auto backend = Backend();
    if (!backend) return 0;
    if (data == nullptr || length == 0 || length > kMaxReport) {
        Refuse("RequestStatusWrite", "no status bytes, or more than 64");
        return 0;
    }
    const auto iface =
        Accept("RequestStatusWrite", filter, CallbackBytes(callback), tag, data, length, checksum);
    if (!iface) return 0;
    if (!backend->WriteStatus(*iface, std::span<const std::uint8_t>(data, length))) return 0;
    const std::uint32_t id = Register(*iface, callback, tag, false);
    if (unitId != nullptr) *unitId = id;
    return 1;
}

int ServiceCore::StatusGet(const HidUnitFilter* filter, ServiceNotifyFn callback, std::uint32_t tag,
                           std::uint8_t* data, std::uint32_t length, std::uint32_t checksum,
                           std::uint32_t* unitId) {
    auto backend = Backend();
    if (!backend) return 0;
    if (data == nullptr || length == 0) {
        Refuse("RequestStatusGet", "no buffer");
        return 0;
    }
    const auto iface = Accept("RequestStatusGet", filter, CallbackBytes(callback), tag, nullptr, 0, checksum);
    if (!iface) return 0;
    if (backend->ReadStatus(*iface, std::span<std::uint8_t>(data, length)) < 0) return 0;
    if (unitId != nullptr) {
        std::lock_guard lock(registrationMutex_);
        *unitId = nextUnitId_++;
    }
    return 1;
}

int ServiceCore::AsyncRead(const HidUnitFilter* filter, ServiceNotifyFn callback, std::uint32_t tag,
                           std::uint32_t checksum, std::uint32_t* unitId) {
    if (!Backend()) return 0;
    if (callback == nullptr) {
        Refuse("RequestAsyncRead", "no callback");
        return 0;
    }
    const auto iface = Accept("RequestAsyncRead", filter, CallbackBytes(callback), tag, nullptr, 0, checksum);
    if (!iface) return 0;
    // Accepted whether or not a keyboard is attached: the read is how its arrival is heard.
    const std::uint32_t id = Register(*iface, callback, tag, true);
    if (unitId != nullptr) *unitId = id;
    return 1;
}

int ServiceCore::SetFeature(const HidUnitFilter* filter, std::uint32_t a2, std::uint32_t a3,
                            const std::uint8_t* data, std::uint32_t length, std::uint32_t checksum,
                            std::uint32_t* unitId) {
    auto backend = Backend();
    if (!backend) return 0;
    if (data == nullptr || length == 0 || length > kMaxReport) {
        Refuse("RequestStatusSetFeature", "no report, or longer than 64 bytes");
        return 0;
    }
    const auto iface = Accept("RequestStatusSetFeature", filter, a2, a3, data, length, checksum);
    if (!iface) return 0;
    if (!backend->SetFeature(*iface, std::span<const std::uint8_t>(data, length))) return 0;
    if (unitId != nullptr) {
        std::lock_guard lock(registrationMutex_);
        *unitId = nextUnitId_++;
    }
    return 1;
}

// ---- notification thread ----

void ServiceCore::PostInput(HidInterface iface, std::span<const std::uint8_t> bytes,
                            std::optional<std::uint16_t> usage, SteadyTime due) {
    Event e;
    e.iface = iface;
    e.bytes.assign(bytes.begin(), bytes.end());
    e.usage = usage;
    std::lock_guard lock(queueMutex_);
    if (!running_) return;
    EnqueueLocked(due, std::move(e));
}

void ServiceCore::PostDeviceChange(int count) {
    Event e;
    e.deviceChange = true;
    e.count = count;
    std::lock_guard lock(queueMutex_);
    if (!running_) return;
    EnqueueLocked(std::chrono::steady_clock::now(), std::move(e));
}

void ServiceCore::EnqueueLocked(SteadyTime due, Event event) {
    const auto placed = queue_.emplace(EventKey{due, nextSeq_++}, std::move(event)).first;
    // Only a new first event moves the wake-up; a later one is reached in turn.
    if (placed == queue_.begin()) SetAlarmLocked(due);
}

void ServiceCore::DiscardPendingInput(HidInterface iface) {
    std::lock_guard lock(queueMutex_);
    std::erase_if(queue_, [iface](const auto& entry) {
        return !entry.second.deviceChange && entry.second.iface == iface;
    });
}

void ServiceCore::DrainArrivedInput(HidInterface iface) {
    const SteadyTime now = std::chrono::steady_clock::now();
    std::lock_guard lock(queueMutex_);
    std::erase_if(queue_, [&](const auto& entry) {
        return entry.first.first <= now && !entry.second.deviceChange && entry.second.iface == iface;
    });
}

void ServiceCore::StartDispatcher() {
    std::uint64_t run = 0;
    {
        std::lock_guard lock(queueMutex_);
        running_ = true;
        queue_.clear();
        run = ++run_;
    }
    dispatcher_ = std::thread([this, run] { DispatchLoop(run); });
}

void ServiceCore::StopDispatcher() {
    {
        std::lock_guard lock(queueMutex_);
        running_ = false;
        queue_.clear();
        alarmLearnable_ = false;
        alarm_.Set(std::chrono::steady_clock::now());  // the loop wakes and sees it must end
    }
    if (!dispatcher_.joinable()) return;
    if (std::this_thread::get_id() == dispatcher_.get_id()) {
        dispatcher_.detach();  // End called from a callback: the loop ends when it returns
    } else {
        dispatcher_.join();
    }
    dispatcherId_ = std::thread::id{};
}

namespace {
// How late the alarm is believed to go off is learnt from alarms set at least this far ahead,
// from lateness up to the cap (a longer delay is a preempted thread, not the timer), and it
// never exceeds the cap, which bounds the time the loop spends watching the clock.
constexpr auto kLearnAhead = std::chrono::microseconds(100);
constexpr auto kLatenessCap = std::chrono::microseconds(200);

void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}
}  // namespace

void ServiceCore::SetAlarmLocked(SteadyTime due) {
    // Early by the timer's usual lateness, so the event goes out when it is due rather than
    // that much after: the simulated keyboard's reply latency is kept to the microsecond.
    const SteadyTime now = std::chrono::steady_clock::now();
    alarmFor_ = due - alarmLateness_;
    alarmLearnable_ = alarmFor_ - now >= kLearnAhead;
    alarm_.Set(alarmFor_);
}

void ServiceCore::SleepLocked(std::unique_lock<std::mutex>& lock) {
    lock.unlock();
    alarm_.Wait();
    const SteadyTime woke = std::chrono::steady_clock::now();
    lock.lock();
    // alarmFor_ is the latest time set, the one the alarm keeps; it may have moved while we slept.
    if (!alarmLearnable_ || woke < alarmFor_ || woke - alarmFor_ > kLatenessCap) return;
    alarmLateness_ +=
        (std::chrono::duration_cast<std::chrono::nanoseconds>(woke - alarmFor_) - alarmLateness_) / 8;
    alarmLateness_ =
        std::clamp<std::chrono::nanoseconds>(alarmLateness_, std::chrono::nanoseconds(0), kLatenessCap);
    alarmLearnable_ = false;  // one sample per setting
}

void ServiceCore::DispatchLoop(std::uint64_t run) {
    dispatcherId_ = std::this_thread::get_id();
#ifdef __linux__
    // Replies are scheduled to the microsecond; the default 50 us timer slack would add up over
    // the hundreds of exchanges of one write.
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
#endif
    std::unique_lock lock(queueMutex_);
    while (running_ && run_ == run) {
        if (queue_.empty()) {
            SleepLocked(lock);  // the next event sets the alarm
            continue;
        }
        auto first = queue_.begin();
        const SteadyTime due = first->first.first;
        const SteadyTime now = std::chrono::steady_clock::now();
        if (due > now) {
            if (due - now > alarmLateness_) {
                // Set again: the first event may have changed since the alarm was last set (a
                // delivered or discarded one).
                SetAlarmLocked(due);
                SleepLocked(lock);
            } else {
                // Closer than the alarm can be trusted to wake: watch the clock for the rest.
                lock.unlock();
                while (std::chrono::steady_clock::now() < due) CpuRelax();
                lock.lock();
            }
            continue;
        }
        Event event = std::move(first->second);
        queue_.erase(first);
        lock.unlock();
        Deliver(event);
        lock.lock();
    }
}

void ServiceCore::Deliver(const Event& event) {
    // Held across the snapshot and the calls, so a cancelled request's callback has finished
    // by the time DeleteRequestFromUnitId returns.
    std::lock_guard delivering(deliveryMutex_);
    std::vector<Registration> targets;
    {
        std::lock_guard lock(registrationMutex_);
        for (const Registration& r : registrations_) {
            if (r.isRead && (event.deviceChange || r.iface == event.iface)) targets.push_back(r);
        }
    }
    const std::uint16_t usageValue = event.usage.value_or(0);
    const ServiceUsageRecord usageRecord{&usageValue};
    for (const Registration& r : targets) {
        // An earlier callback of this event may have cancelled this request (or called End):
        // a cancelled request is never called again.
        if (!IsRegistered(r.unitId)) continue;
        ServiceRequestRecord record{};
        record.tag = r.tag;
        ServiceNotification n{};
        n.request = &record;
        if (event.deviceChange) {
            n.kind = SERVICE_NOTIFY_DEVICE_CHANGE;
            record.count = static_cast<std::uint32_t>(std::max(event.count, 0));
        } else {
            n.kind = SERVICE_NOTIFY_DATA;
            record.count = static_cast<std::uint32_t>(event.bytes.size());
            record.bytes = event.bytes.data();
            record.usage = event.usage ? &usageRecord : nullptr;
        }
        r.callback(&n);
    }
}

}  // namespace talvenix::service

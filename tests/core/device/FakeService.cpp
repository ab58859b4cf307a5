#include "tests/core/device/FakeService.h"

#include <cstring>

namespace talvenix::test {

namespace {
FakeService* gFake = nullptr;
}

FakeService::FakeService() {
    gFake = this;
    responder_ = [](const device::DeviceReport& r) { return std::optional(Echo(r)); };
}

FakeService::~FakeService() {
    for (auto& t : threads_) t.join();
    gFake = nullptr;
}

device::ServiceLibraryLink FakeService::Link() const {
    device::ServiceLibraryLink link;
    link.Init = &FakeService::Init;
    link.End = &FakeService::End;
    link.RequestGetDeviceCount = &FakeService::GetDeviceCount;
    link.RequestWriteOne = &FakeService::WriteOne;
    link.RequestAsyncRead = &FakeService::AsyncRead;
    link.DeleteRequestFromUnitId = &FakeService::DeleteUnit;
    return link;
}

void FakeService::SetDeviceCount(int count, bool quietly) {
    ServiceNotifyFn callback = nullptr;
    {
        std::lock_guard l(mutex_);
        count_ = count;
        callback = controlCallback_;
    }
    if (quietly || callback == nullptr) return;
    ServiceRequestRecord record{TALVENIX_TAG_CTRL, static_cast<std::uint32_t>(count), nullptr, nullptr};
    ServiceNotification n{SERVICE_NOTIFY_DEVICE_CHANGE, &record};
    callback(&n);
}

int FakeService::CountQueries() const {
    std::lock_guard l(mutex_);
    return countQueries_;
}

void FakeService::SetWriteResult(int result) {
    std::lock_guard l(mutex_);
    writeResult_ = result;
}

void FakeService::SetResponder(Responder responder) {
    std::lock_guard l(mutex_);
    responder_ = std::move(responder);
}

void FakeService::SetDelayer(Delayer delayer) {
    std::lock_guard l(mutex_);
    delayer_ = std::move(delayer);
}

std::vector<device::DeviceReport> FakeService::Frames() const {
    std::lock_guard l(mutex_);
    return frames_;
}

std::vector<std::uint8_t> FakeService::Echo(const device::DeviceReport& request, std::uint8_t status) {
    std::vector<std::uint8_t> reply(request.begin(), request.end());
    reply[device::kOffStatus] = status;
    return reply;
}

int FakeService::Init(int) { return 1; }
int FakeService::End() { return 1; }
int FakeService::DeleteUnit(std::uint32_t) { return 1; }

int FakeService::GetDeviceCount(const HidUnitFilter*, std::uint32_t, std::uint32_t, std::uint32_t,
                                std::uint32_t) {
    std::lock_guard l(gFake->mutex_);
    ++gFake->countQueries_;
    return gFake->count_;
}

int FakeService::AsyncRead(const HidUnitFilter* filter, ServiceNotifyFn callback, std::uint32_t tag,
                           std::uint32_t, std::uint32_t* unit) {
    std::lock_guard l(gFake->mutex_);
    if (tag == TALVENIX_TAG_CTRL && filter->usagePage == TALVENIX_CONTROL_USAGE_PAGE) {
        gFake->controlCallback_ = callback;
    }
    if (unit != nullptr) *unit = tag;
    return 1;
}

int FakeService::WriteOne(const HidUnitFilter*, std::uint32_t, std::uint32_t, const std::uint8_t* data,
                          std::uint32_t length, std::uint32_t, std::uint32_t) {
    device::DeviceReport frame{};
    std::memcpy(frame.data(), data, std::min<std::size_t>(length, frame.size()));
    std::optional<std::vector<std::uint8_t>> reply;
    std::chrono::milliseconds delay{0};
    {
        std::lock_guard l(gFake->mutex_);
        gFake->frames_.push_back(frame);
        if (gFake->writeResult_ <= 0) return gFake->writeResult_;
        reply = gFake->responder_(frame);
        if (gFake->delayer_) delay = gFake->delayer_(frame);
    }
    if (reply) gFake->Deliver(std::move(*reply), delay);
    return gFake->writeResult_;
}

void FakeService::Deliver(std::vector<std::uint8_t> bytes, std::chrono::milliseconds delay) {
    std::lock_guard l(mutex_);
    ServiceNotifyFn callback = controlCallback_;
    threads_.emplace_back([callback, delay, bytes = std::move(bytes)] {
        if (delay.count() > 0) std::this_thread::sleep_for(delay);
        ServiceRequestRecord record{TALVENIX_TAG_CTRL, static_cast<std::uint32_t>(bytes.size()), bytes.data(),
                                    nullptr};
        ServiceNotification n{SERVICE_NOTIFY_DATA, &record};
        if (callback != nullptr) callback(&n);
    });
}

}  // namespace talvenix::test

#include "core/device/DeviceLink.h"

namespace talvenix::device {

namespace {
// The library's callback carries no context, so notifications go to the link that
// registered its reads last (there is one per process).
std::atomic<DeviceLink*> gActiveLink{nullptr};
}  // namespace

DeviceLink::DeviceLink(const ServiceLibraryLink& link, TransportTiming timing)
    : link_(link), transport_(link, timing) {
    ready_ = link_.Init != nullptr && link_.Init(0) > 0;
}

DeviceLink::~DeviceLink() {
    DeviceLink* self = this;
    gActiveLink.compare_exchange_strong(self, nullptr);
    transport_.SetHearingDeviceChanges(false);
    if (link_.DeleteRequestFromUnitId != nullptr) {
        for (std::uint32_t unit : {consumerUnit_, controlUnit_, ledUnit_}) {
            if (unit != 0) link_.DeleteRequestFromUnitId(unit);
        }
    }
    if (ready_ && link_.End != nullptr) link_.End();
}

void DeviceLink::RegisterStandingReads() {
    gActiveLink.store(this);
    // Between cancelling the control read and its new registration a change could go unheard.
    transport_.SetHearingDeviceChanges(false);
    if (link_.RequestAsyncRead == nullptr) return;
    auto reRegister = [this](const HidUnitFilter& filter, std::uint32_t tag, std::uint32_t& unit) {
        if (link_.DeleteRequestFromUnitId != nullptr) link_.DeleteRequestFromUnitId(unit);
        const std::uint32_t checksum = TalvenixRequestChecksum(
            &filter,
            TalvenixPointerChecksumBytes(reinterpret_cast<const void*>(&DeviceLink::OnServiceNotify)), tag,
            nullptr, 0);
        return link_.RequestAsyncRead(&filter, &DeviceLink::OnServiceNotify, tag, checksum, &unit) > 0;
    };
    reRegister(ConsumerFilter(), TALVENIX_TAG_CONS, consumerUnit_);
    // The library tells the control read of every arrival and removal from now on.
    if (reRegister(ControlFilter(), TALVENIX_TAG_CTRL, controlUnit_))
        transport_.SetHearingDeviceChanges(true);
}

void DeviceLink::WriteLedStatus(std::uint8_t b0, std::uint8_t b1) {
    if (link_.RequestStatusWrite == nullptr) return;
    if (link_.DeleteRequestFromUnitId != nullptr) link_.DeleteRequestFromUnitId(ledUnit_);
    const HidUnitFilter filter = LedFilter();
    const std::uint8_t bytes[2] = {b0, b1};
    const std::uint32_t checksum = TalvenixRequestChecksum(
        &filter, TalvenixPointerChecksumBytes(reinterpret_cast<const void*>(&DeviceLink::OnServiceNotify)),
        TALVENIX_TAG_LED, bytes, sizeof bytes);
    link_.RequestStatusWrite(&filter, &DeviceLink::OnServiceNotify, TALVENIX_TAG_LED, bytes, sizeof bytes,
                             checksum, &ledUnit_);
}

void DeviceLink::SetEventSink(DeviceEventSink* sink) {
    std::lock_guard lock(sinkMutex_);
    sink_ = sink;
}

int DeviceLink::OnServiceNotify(const ServiceNotification* notification) {
    DeviceLink* link = gActiveLink.load();
    if (link != nullptr && notification != nullptr && notification->request != nullptr) {
        link->Dispatch(*notification);
    }
    return 1;
}

void DeviceLink::Dispatch(const ServiceNotification& n) {
    const ServiceRequestRecord& req = *n.request;
    if (n.kind == SERVICE_NOTIFY_DATA && req.tag == TALVENIX_TAG_CTRL) {
        transport_.OnControlReport(req.bytes, req.count);
        return;
    }
    if (n.kind == SERVICE_NOTIFY_DEVICE_CHANGE && req.tag == TALVENIX_TAG_CTRL) {
        transport_.OnDeviceCountChanged(static_cast<int>(req.count));
    }
    std::lock_guard lock(sinkMutex_);
    if (sink_ == nullptr) return;
    if (n.kind == SERVICE_NOTIFY_DATA && req.tag == TALVENIX_TAG_CONS) {
        if (req.usage != nullptr && req.usage->usage != nullptr) sink_->OnConsumerUsage(*req.usage->usage);
    } else if (n.kind == SERVICE_NOTIFY_DEVICE_CHANGE && req.tag == TALVENIX_TAG_CTRL) {
        sink_->OnDeviceCountChanged(static_cast<int>(req.count));
    }
}

}  // namespace talvenix::device

#include "core/device/ServiceLibraryLink.h"

namespace talvenix::device {

namespace {
template <typename Fn>
void Bind(Fn& slot, void* address) {
    slot = reinterpret_cast<Fn>(address);
}

HidUnitFilter MakeFilter(std::uint16_t page, std::uint16_t usage) {
    HidUnitFilter f{};
    f.selector = TALVENIX_FILTER_SELECTOR;
    f.vendorId = TALVENIX_VENDOR_ID;
    f.productId = TALVENIX_PRODUCT_ID;
    f.usagePage = page;
    f.usage = usage;
    return f;
}
}  // namespace

void BindServiceEntryPoint(ServiceLibraryLink& link, std::size_t index, void* address) {
    switch (index) {
        case 0:
            Bind(link.Debug, address);
            break;
        case 1:
            Bind(link.Init, address);
            break;
        case 2:
            Bind(link.End, address);
            break;
        case 3:
            Bind(link.RequestGetDeviceCount, address);
            break;
        case 4:
            Bind(link.DeleteRequestFromUnitId, address);
            break;
        case 5:
            Bind(link.DeleteRequestFromHandle, address);
            break;
        case 6:
            Bind(link.RequestWrite, address);
            break;
        case 7:
            Bind(link.RequestWriteOne, address);
            break;
        case 8:
            Bind(link.RequestStatusWrite, address);
            break;
        case 9:
            Bind(link.RequestStatusGet, address);
            break;
        case 10:
            Bind(link.RequestAsyncRead, address);
            break;
        case 11:
            Bind(link.RequestStatusSetFeature, address);
            break;
        default:
            break;
    }
}

HidUnitFilter ControlFilter() { return MakeFilter(TALVENIX_CONTROL_USAGE_PAGE, TALVENIX_CONTROL_USAGE); }
HidUnitFilter ConsumerFilter() { return MakeFilter(TALVENIX_CONSUMER_USAGE_PAGE, TALVENIX_CONSUMER_USAGE); }
HidUnitFilter LedFilter() { return MakeFilter(TALVENIX_LED_USAGE_PAGE, TALVENIX_LED_USAGE); }

}  // namespace talvenix::device

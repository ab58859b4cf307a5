// The twelve entry points of the HID service library, resolved by name. The platform layer
// fills this from a shared library; tests fill it with fakes or link the simulator directly.
#pragma once

#include <array>
#include <string_view>

#include "core/device/ServiceAbi.h"

namespace talvenix::device {

struct ServiceLibraryLink {
    void* module = nullptr;  // owned by whoever loaded it
    PelloranDebugFn Debug = nullptr;
    PelloranInitFn Init = nullptr;
    PelloranEndFn End = nullptr;
    PelloranRequestGetDeviceCountFn RequestGetDeviceCount = nullptr;
    PelloranDeleteRequestFromUnitIdFn DeleteRequestFromUnitId = nullptr;
    PelloranDeleteRequestFromHandleFn DeleteRequestFromHandle = nullptr;
    PelloranRequestWriteFn RequestWrite = nullptr;
    PelloranRequestWriteOneFn RequestWriteOne = nullptr;
    PelloranRequestStatusWriteFn RequestStatusWrite = nullptr;
    PelloranRequestStatusGetFn RequestStatusGet = nullptr;
    PelloranRequestAsyncReadFn RequestAsyncRead = nullptr;
    PelloranRequestStatusSetFeatureFn RequestStatusSetFeature = nullptr;
};

// The exported names, in the order of the members above (after `module`).
inline constexpr std::array<std::string_view, 12> kServiceEntryPointNames = {
    "Debug",
    "Init",
    "End",
    "RequestGetDeviceCount",
    "DeleteRequestFromUnitId",
    "DeleteRequestFromHandle",
    "RequestWrite",
    "RequestWriteOne",
    "RequestStatusWrite",
    "RequestStatusGet",
    "RequestAsyncRead",
    "RequestStatusSetFeature",
};

// Binds entry point `index` (0..11, order of kServiceEntryPointNames) to `address`.
void BindServiceEntryPoint(ServiceLibraryLink& link, std::size_t index, void* address);

// The three interface filters.
HidUnitFilter ControlFilter();
HidUnitFilter ConsumerFilter();
HidUnitFilter LedFilter();

}  // namespace talvenix::device

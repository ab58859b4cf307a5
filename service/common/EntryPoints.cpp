// The exported C entry points: thin forwards to ServiceCore.
#include "service/common/ServiceCore.h"
#include "service/common/ServiceEntryPoints.h"

using talvenix::service::ServiceCore;

extern "C" {

int Debug(int level) { return ServiceCore::Instance().SetDebug(level); }

int Init(int flags) { return ServiceCore::Instance().Init(flags); }

int End(void) { return ServiceCore::Instance().End(); }

int RequestGetDeviceCount(const HidUnitFilter* filter, uint32_t a2, uint32_t a3, uint32_t checksum,
                          uint32_t /*reserved*/) {
    return ServiceCore::Instance().GetDeviceCount(filter, a2, a3, checksum);
}

int DeleteRequestFromUnitId(uint32_t unitId) {
    return ServiceCore::Instance().DeleteRequestFromUnitId(unitId);
}

int DeleteRequestFromHandle(void* handle) { return ServiceCore::Instance().DeleteRequestFromHandle(handle); }

int RequestWrite(const HidUnitFilter* filter, uint32_t a2, uint32_t a3, const uint8_t* data, uint32_t length,
                 uint32_t checksum, uint32_t* unitId) {
    return ServiceCore::Instance().Write(filter, a2, a3, data, length, checksum, unitId);
}

int RequestWriteOne(const HidUnitFilter* filter, uint32_t a2, uint32_t a3, const uint8_t* data,
                    uint32_t length, uint32_t checksum, uint32_t /*reserved*/) {
    return ServiceCore::Instance().WriteOne(filter, a2, a3, data, length, checksum);
}

int RequestStatusWrite(const HidUnitFilter* filter, ServiceNotifyFn callback, uint32_t tag,
                       const uint8_t* data, uint32_t length, uint32_t checksum, uint32_t* unitId) {
    return ServiceCore::Instance().StatusWrite(filter, callback, tag, data, length, checksum, unitId);
}

int RequestStatusGet(const HidUnitFilter* filter, ServiceNotifyFn callback, uint32_t tag, uint8_t* data,
                     uint32_t length, uint32_t checksum, uint32_t* unitId) {
    return ServiceCore::Instance().StatusGet(filter, callback, tag, data, length, checksum, unitId);
}

int RequestAsyncRead(const HidUnitFilter* filter, ServiceNotifyFn callback, uint32_t tag, uint32_t checksum,
                     uint32_t* unitId) {
    return ServiceCore::Instance().AsyncRead(filter, callback, tag, checksum, unitId);
}

int RequestStatusSetFeature(const HidUnitFilter* filter, uint32_t a2, uint32_t a3, const uint8_t* data,
                            uint32_t length, uint32_t checksum, uint32_t* unitId) {
    return ServiceCore::Instance().SetFeature(filter, a2, a3, data, length, checksum, unitId);
}

}  // extern "C"

// The twelve C entry points every service library exports (libPelloran.so, libPelloranSim.so).
// Signatures match the function types of core/device/ServiceAbi.h; see ServiceCore.h for what
// each call accepts and returns.
#ifndef TALVENIX_SERVICE_COMMON_SERVICEENTRYPOINTS_H
#define TALVENIX_SERVICE_COMMON_SERVICEENTRYPOINTS_H

#include "core/device/ServiceAbi.h"

#define TALVENIX_SERVICE_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

TALVENIX_SERVICE_EXPORT int Debug(int level);
TALVENIX_SERVICE_EXPORT int Init(int flags);
TALVENIX_SERVICE_EXPORT int End(void);
TALVENIX_SERVICE_EXPORT int RequestGetDeviceCount(const HidUnitFilter* filter, uint32_t a2, uint32_t a3,
                                                  uint32_t checksum, uint32_t reserved);
TALVENIX_SERVICE_EXPORT int DeleteRequestFromUnitId(uint32_t unitId);
TALVENIX_SERVICE_EXPORT int DeleteRequestFromHandle(void* handle);
TALVENIX_SERVICE_EXPORT int RequestWrite(const HidUnitFilter* filter, uint32_t a2, uint32_t a3,
                                         const uint8_t* data, uint32_t length, uint32_t checksum,
                                         uint32_t* unitId);
TALVENIX_SERVICE_EXPORT int RequestWriteOne(const HidUnitFilter* filter, uint32_t a2, uint32_t a3,
                                            const uint8_t* data, uint32_t length, uint32_t checksum,
                                            uint32_t reserved);
TALVENIX_SERVICE_EXPORT int RequestStatusWrite(const HidUnitFilter* filter, ServiceNotifyFn callback,
                                               uint32_t tag, const uint8_t* data, uint32_t length,
                                               uint32_t checksum, uint32_t* unitId);
TALVENIX_SERVICE_EXPORT int RequestStatusGet(const HidUnitFilter* filter, ServiceNotifyFn callback,
                                             uint32_t tag, uint8_t* data, uint32_t length, uint32_t checksum,
                                             uint32_t* unitId);
TALVENIX_SERVICE_EXPORT int RequestAsyncRead(const HidUnitFilter* filter, ServiceNotifyFn callback,
                                             uint32_t tag, uint32_t checksum, uint32_t* unitId);
TALVENIX_SERVICE_EXPORT int RequestStatusSetFeature(const HidUnitFilter* filter, uint32_t a2, uint32_t a3,
                                                    const uint8_t* data, uint32_t length, uint32_t checksum,
                                                    uint32_t* unitId);

#ifdef __cplusplus
}  // extern "C"
#endif

#endif

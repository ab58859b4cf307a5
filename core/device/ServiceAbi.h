// The C interface between the program and its HID service library (libPelloran.so,
// libPelloranSim.so). Both sides compile this header; the program resolves the twelve
// entry points by name at run time, the library exports them with C linkage.
#ifndef TALVENIX_CORE_DEVICE_SERVICEABI_H
#define TALVENIX_CORE_DEVICE_SERVICEABI_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// The keyboard's USB ids and the three interfaces the program talks to.
#define TALVENIX_VENDOR_ID 0x0C45u
#define TALVENIX_PRODUCT_ID 0x5204u
#define TALVENIX_FILTER_SELECTOR 15u

#define TALVENIX_CONTROL_USAGE_PAGE 0xFF1Cu
#define TALVENIX_CONTROL_USAGE 0x0092u
#define TALVENIX_CONSUMER_USAGE_PAGE 0x000Cu
#define TALVENIX_CONSUMER_USAGE 0x0001u
#define TALVENIX_LED_USAGE_PAGE 0x0008u
#define TALVENIX_LED_USAGE 0x0089u

// Four-character tags, first character in the high byte ('CTRL' == 0x4354524C).
#define TALVENIX_TAG(a, b, c, d) \
    ((uint32_t)(((uint32_t)(a) << 24) | ((uint32_t)(b) << 16) | ((uint32_t)(c) << 8) | (uint32_t)(d)))
#define TALVENIX_TAG_CTRL TALVENIX_TAG('C', 'T', 'R', 'L')
#define TALVENIX_TAG_CONS TALVENIX_TAG('C', 'O', 'N', 'S')
#define TALVENIX_TAG_LED TALVENIX_TAG(0, 'L', 'E', 'D')

// 16 bytes, little-endian: which interface of which device a request is for.
typedef struct HidUnitFilter {
    uint32_t selector;  // always TALVENIX_FILTER_SELECTOR
    uint16_t vendorId;
    uint16_t productId;
    uint16_t usagePage;
    uint16_t usage;
    uint8_t reserved[4];
} HidUnitFilter;

typedef struct ServiceUsageRecord {
    const uint16_t* usage;  // the 16-bit consumer usage of a CONS report
} ServiceUsageRecord;

typedef struct ServiceRequestRecord {
    uint32_t tag;                     // CTRL, CONS or LED
    uint32_t count;                   // bytes received (kind 1) or attached devices (kind 0)
    const uint8_t* bytes;             // the report, valid only during the callback
    const ServiceUsageRecord* usage;  // consumer usage of a CONS report, else NULL
} ServiceRequestRecord;

#define SERVICE_NOTIFY_DEVICE_CHANGE 0
#define SERVICE_NOTIFY_DATA 1

typedef struct ServiceNotification {
    int32_t kind;  // SERVICE_NOTIFY_DATA or SERVICE_NOTIFY_DEVICE_CHANGE
    const ServiceRequestRecord* request;
} ServiceNotification;

// Called on the library's own thread; the notification and everything it points to are
// valid only until it returns, so receivers copy what they keep. Always returns 1.
typedef int (*ServiceNotifyFn)(const ServiceNotification* notification);

// The twelve entry points. `a2`/`a3` are the call's second and third arguments as the
// checksum sees them: 32-bit values, little-endian. Where a callback is passed, its
// checksum bytes are the low 32 bits of its address.
typedef int (*PelloranDebugFn)(int level);
typedef int (*PelloranInitFn)(int flags);
typedef int (*PelloranEndFn)(void);
typedef int (*PelloranRequestGetDeviceCountFn)(const HidUnitFilter* filter, uint32_t a2, uint32_t a3,
                                               uint32_t checksum, uint32_t reserved);
typedef int (*PelloranDeleteRequestFromUnitIdFn)(uint32_t unitId);
typedef int (*PelloranDeleteRequestFromHandleFn)(void* handle);
typedef int (*PelloranRequestWriteFn)(const HidUnitFilter* filter, uint32_t a2, uint32_t a3,
                                      const uint8_t* data, uint32_t length, uint32_t checksum,
                                      uint32_t* unitId);
typedef int (*PelloranRequestWriteOneFn)(const HidUnitFilter* filter, uint32_t a2, uint32_t a3,
                                         const uint8_t* data, uint32_t length, uint32_t checksum,
                                         uint32_t reserved);
typedef int (*PelloranRequestStatusWriteFn)(const HidUnitFilter* filter, ServiceNotifyFn callback,
                                            uint32_t tag, const uint8_t* data, uint32_t length,
                                            uint32_t checksum, uint32_t* unitId);
typedef int (*PelloranRequestStatusGetFn)(const HidUnitFilter* filter, ServiceNotifyFn callback, uint32_t tag,
                                          uint8_t* data, uint32_t length, uint32_t checksum,
                                          uint32_t* unitId);
typedef int (*PelloranRequestAsyncReadFn)(const HidUnitFilter* filter, ServiceNotifyFn callback, uint32_t tag,
                                          uint32_t checksum, uint32_t* unitId);
typedef int (*PelloranRequestStatusSetFeatureFn)(const HidUnitFilter* filter, uint32_t a2, uint32_t a3,
                                                 const uint8_t* data, uint32_t length, uint32_t checksum,
                                                 uint32_t* unitId);

// Checksum table T, shared by both sides. A permutation of 0..255 (T[b] = (b * 29 + 101) mod 256),
// so every single-byte change of a request changes the sum.
static inline uint32_t TalvenixChecksumTableEntry(uint8_t b) { return (uint32_t)((b * 29u + 101u) & 0xFFu); }

static inline uint32_t TalvenixChecksumBytes(uint32_t sum, const void* data, size_t length) {
    const uint8_t* p = (const uint8_t*)data;
    for (size_t i = 0; i < length; ++i) sum += TalvenixChecksumTableEntry(p[i]);
    return sum;
}

static inline uint32_t TalvenixChecksumU32(uint32_t sum, uint32_t value) {
    for (int i = 0; i < 4; ++i) sum += TalvenixChecksumTableEntry((uint8_t)(value >> (8 * i)));
    return sum;
}

// RequestChecksum: T summed over the filter's 16 bytes, the second and third arguments
// (4 bytes each) and the payload, if any.
static inline uint32_t TalvenixRequestChecksum(const HidUnitFilter* filter, uint32_t a2, uint32_t a3,
                                               const void* payload, size_t length) {
    uint32_t sum = TalvenixChecksumBytes(0, filter, sizeof(HidUnitFilter));
    sum = TalvenixChecksumU32(sum, a2);
    sum = TalvenixChecksumU32(sum, a3);
    if (payload != NULL) sum = TalvenixChecksumBytes(sum, payload, length);
    return sum;
}

static inline uint32_t TalvenixPointerChecksumBytes(const void* p) { return (uint32_t)(uintptr_t)p; }

#ifdef __cplusplus
}  // extern "C"
static_assert(sizeof(HidUnitFilter) == 16, "HidUnitFilter is 16 bytes");
#endif

#endif

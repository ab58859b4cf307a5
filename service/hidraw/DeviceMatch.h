// Which hidraw entries belong to the keyboard, and what its input reports mean. Pure code,
// so it can be checked without a device.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "service/common/HidBackend.h"

namespace talvenix::service::hidraw {

// One entry of a HID enumeration (hidapi lists each top-level collection separately, so one
// hidraw node may appear several times with different usages).
struct HidEntry {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
};

// The interface of the keyboard an entry is, if any.
std::optional<HidInterface> MatchEntry(const HidEntry& entry);

// The keyboard's hidraw nodes: for each node, the interfaces it carries.
struct KeyboardNodes {
    std::map<std::string, std::set<HidInterface>> nodes;
    // Attached keyboards that have `iface` (nodes carrying it).
    int Count(HidInterface iface) const;
    // The first node carrying `iface`, or empty.
    std::string NodeOf(HidInterface iface) const;
};
KeyboardNodes MatchEntries(const std::vector<HidEntry>& entries);

// Which standing reads hear an input report of a node: those of the control or the consumer
// interface, whichever the node carries. A node carrying both (collections sharing one USB
// interface) tells them apart by report id: replies begin with the control report id 0x04,
// everything else is a consumer report. Nothing for a node with neither, or an empty report.
inline constexpr std::uint8_t kControlReportId = 0x04;
std::optional<HidInterface> InputInterfaceOf(const std::set<HidInterface>& carried,
                                             std::span<const std::uint8_t> report);

// The 16-bit consumer usage of a consumer-interface input report: a report id byte followed by
// the usage, low byte first. Nothing for a report too short to hold one.
std::optional<std::uint16_t> ConsumerUsageOf(std::span<const std::uint8_t> report);

}  // namespace talvenix::service::hidraw

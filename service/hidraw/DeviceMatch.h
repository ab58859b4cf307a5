// Which hidraw nodes belong to the keyboard, and what their input reports mean. Pure code, so it
// can be checked without a device: the nodes come from sysfs (HidrawNodes), their meaning from
// the report descriptor each node carries.
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

// One top-level collection of a report descriptor and the report ids its main items use
// (0 when the descriptor declares no report ids at all).
struct ReportCollection {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::set<std::uint8_t> inputIds;
    std::set<std::uint8_t> outputIds;
    std::set<std::uint8_t> featureIds;
};

struct ReportDescriptor {
    std::vector<ReportCollection> collections;
    // True when the descriptor declares report ids: every report then starts with its id.
    bool numbered = false;
    // Empty when the whole descriptor parsed; else what was wrong (the collections before the
    // fault are kept).
    std::string error;
};

ReportDescriptor ParseReportDescriptor(std::span<const std::uint8_t> bytes);

// A hidraw node as sysfs shows it.
struct HidrawNode {
    std::string path;     // /dev/hidrawN
    std::string sysPath;  // the hidraw device in sysfs: unique per attachment
    std::uint16_t bus = 0;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    ReportDescriptor descriptor;
};

// What one of the keyboard's nodes carries, and how its input reports are told apart.
struct NodeLayout {
    std::set<HidInterface> carried;
    bool numbered = false;
    // Numbered nodes: the interface whose input report has this id.
    std::map<std::uint8_t, HidInterface> inputIds;
    // Unnumbered nodes: the one interface whose input reports the node delivers.
    std::optional<HidInterface> unnumberedInput;
    // True when the node also carries a collection the program does not use (the keyboard's
    // typing collection, a mouse...).
    bool carriesOthers = false;
};

// The interfaces of the keyboard a node carries; empty for another device's node.
NodeLayout LayoutOf(const HidrawNode& node);

// The keyboard's nodes, keyed by sysfs path (a node that goes and comes back under the same
// /dev name is a different node).
struct KeyboardNodes {
    struct Entry {
        std::string path;
        NodeLayout layout;
    };
    std::map<std::string, Entry> nodes;
    // Nodes carrying `iface`.
    int Count(HidInterface iface) const;
    // The first node carrying `iface`, or empty.
    std::string NodeOf(HidInterface iface) const;
};
KeyboardNodes MatchNodes(const std::vector<HidrawNode>& nodes);

// Which standing reads hear an input report of a node, by its report id when the node numbers
// its reports; nothing for a report of a collection the program does not use.
std::optional<HidInterface> InputInterfaceOf(const NodeLayout& layout, std::span<const std::uint8_t> report);

// The 16-bit consumer usage of a consumer input report (low byte first, after the report id
// when the node numbers its reports). Nothing for a report too short to hold one.
std::optional<std::uint16_t> ConsumerUsageOf(const NodeLayout& layout, std::span<const std::uint8_t> report);

// "control", "consumer" or "LED".
const char* InterfaceName(HidInterface iface);

}  // namespace talvenix::service::hidraw

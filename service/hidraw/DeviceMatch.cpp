#include "service/hidraw/DeviceMatch.h"

#include "core/device/ServiceAbi.h"

namespace talvenix::service::hidraw {

std::optional<HidInterface> MatchEntry(const HidEntry& entry) {
    if (entry.vendorId != TALVENIX_VENDOR_ID || entry.productId != TALVENIX_PRODUCT_ID ||
        entry.path.empty()) {
        return std::nullopt;
    }
    return InterfaceOfUsage(entry.usagePage, entry.usage);
}

KeyboardNodes MatchEntries(const std::vector<HidEntry>& entries) {
    KeyboardNodes result;
    for (const HidEntry& e : entries) {
        if (auto iface = MatchEntry(e)) result.nodes[e.path].insert(*iface);
    }
    return result;
}

int KeyboardNodes::Count(HidInterface iface) const {
    int n = 0;
    for (const auto& [path, carried] : nodes) n += carried.count(iface) ? 1 : 0;
    return n;
}

std::string KeyboardNodes::NodeOf(HidInterface iface) const {
    for (const auto& [path, carried] : nodes) {
        if (carried.count(iface)) return path;
    }
    return {};
}

std::optional<HidInterface> InputInterfaceOf(const std::set<HidInterface>& carried,
                                             std::span<const std::uint8_t> report) {
    const bool control = carried.count(HidInterface::Control) > 0;
    const bool consumer = carried.count(HidInterface::Consumer) > 0;
    if (report.empty() || (!control && !consumer)) return std::nullopt;
    if (control && consumer)
        return report[0] == kControlReportId ? HidInterface::Control : HidInterface::Consumer;
    return control ? HidInterface::Control : HidInterface::Consumer;
}

std::optional<std::uint16_t> ConsumerUsageOf(std::span<const std::uint8_t> report) {
    if (report.size() < 3) return std::nullopt;
    return static_cast<std::uint16_t>(report[1] | (report[2] << 8));
}

}  // namespace talvenix::service::hidraw

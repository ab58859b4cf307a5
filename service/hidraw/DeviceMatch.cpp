#include "service/hidraw/DeviceMatch.h"

#include <vector>

#include "core/device/ServiceAbi.h"

namespace talvenix::service::hidraw {

namespace {

// Item types and tags of the HID report descriptor's short items.
constexpr int kTypeMain = 0;
constexpr int kTypeGlobal = 1;
constexpr int kTypeLocal = 2;
constexpr int kMainInput = 0x8;
constexpr int kMainOutput = 0x9;
constexpr int kMainCollection = 0xA;
constexpr int kMainFeature = 0xB;
constexpr int kMainEndCollection = 0xC;
constexpr int kGlobalUsagePage = 0x0;
constexpr int kGlobalReportId = 0x8;
constexpr int kGlobalPush = 0xA;
constexpr int kGlobalPop = 0xB;
constexpr int kLocalUsage = 0x0;
constexpr std::uint8_t kLongItem = 0xFE;
// Deeper push stacks are a broken or hostile descriptor, not a keyboard.
constexpr std::size_t kMaxPushDepth = 16;

struct Globals {
    std::uint16_t usagePage = 0;
    std::uint8_t reportId = 0;
};

}  // namespace

ReportDescriptor ParseReportDescriptor(std::span<const std::uint8_t> bytes) {
    ReportDescriptor out;
    Globals globals;
    std::vector<Globals> stack;
    // The first Usage since the last main item.
    bool haveUsage = false;
    std::uint32_t firstUsage = 0;
    bool firstUsageExtended = false;
    int depth = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::uint8_t prefix = bytes[i];
        if (prefix == kLongItem) {  // long items carry nothing we read: skip them whole
            if (i + 2 >= bytes.size() || i + 3 + bytes[i + 1] > bytes.size()) {
                out.error = "long item cut short at byte " + std::to_string(i);
                return out;
            }
            i += 3 + bytes[i + 1];
            continue;
        }
        const std::size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;
        if (i + 1 + size > bytes.size()) {
            out.error = "item cut short at byte " + std::to_string(i);
            return out;
        }
        std::uint32_t value = 0;
        for (std::size_t b = 0; b < size; ++b) value |= std::uint32_t(bytes[i + 1 + b]) << (8 * b);
        i += 1 + size;

        if (type == kTypeGlobal) {
            if (tag == kGlobalUsagePage) globals.usagePage = static_cast<std::uint16_t>(value);
            if (tag == kGlobalReportId) {
                if (value == 0 || value > 0xFF) {
                    out.error = "report id " + std::to_string(value) + " is not 1..255";
                    return out;
                }
                globals.reportId = static_cast<std::uint8_t>(value);
                out.numbered = true;
            }
            if (tag == kGlobalPush) {
                if (stack.size() >= kMaxPushDepth) {
                    out.error = "too many nested pushes";
                    return out;
                }
                stack.push_back(globals);
            }
            if (tag == kGlobalPop) {
                if (stack.empty()) {
                    out.error = "pop without push";
                    return out;
                }
                globals = stack.back();
                stack.pop_back();
            }
        } else if (type == kTypeLocal) {
            if (tag == kLocalUsage && !haveUsage) {
                haveUsage = true;
                firstUsage = value;
                firstUsageExtended = size == 4;
            }
        } else if (type == kTypeMain) {
            if (tag == kMainCollection) {
                if (depth == 0) {
                    ReportCollection c;
                    const std::uint32_t usage = haveUsage ? firstUsage : 0;
                    c.usagePage =
                        firstUsageExtended ? static_cast<std::uint16_t>(usage >> 16) : globals.usagePage;
                    c.usage = static_cast<std::uint16_t>(usage & 0xFFFF);
                    out.collections.push_back(c);
                }
                ++depth;
            } else if (tag == kMainEndCollection) {
                if (depth == 0) {
                    out.error = "end of a collection that was never opened";
                    return out;
                }
                --depth;
            } else if ((tag == kMainInput || tag == kMainOutput || tag == kMainFeature) && depth > 0) {
                ReportCollection& c = out.collections.back();
                (tag == kMainInput    ? c.inputIds
                 : tag == kMainOutput ? c.outputIds
                                      : c.featureIds)
                    .insert(globals.reportId);
            }
            haveUsage = false;  // local items last until the next main item
            firstUsage = 0;
        }
    }
    if (depth != 0) out.error = "a collection is never closed";
    return out;
}

NodeLayout LayoutOf(const HidrawNode& node) {
    NodeLayout layout;
    if (node.vendorId != TALVENIX_VENDOR_ID || node.productId != TALVENIX_PRODUCT_ID || node.path.empty())
        return layout;
    layout.numbered = node.descriptor.numbered;
    for (const ReportCollection& c : node.descriptor.collections) {
        const auto iface = InterfaceOfUsage(c.usagePage, c.usage);
        if (!iface) {
            layout.carriesOthers = true;
            continue;
        }
        layout.carried.insert(*iface);
        if (c.inputIds.empty()) continue;
        if (layout.numbered) {
            for (std::uint8_t id : c.inputIds) layout.inputIds.emplace(id, *iface);
        } else if (!layout.unnumberedInput) {
            layout.unnumberedInput = *iface;
        }
    }
    return layout;
}

KeyboardNodes MatchNodes(const std::vector<HidrawNode>& nodes) {
    KeyboardNodes result;
    for (const HidrawNode& node : nodes) {
        NodeLayout layout = LayoutOf(node);
        if (!layout.carried.empty()) result.nodes[node.sysPath] = {node.path, std::move(layout)};
    }
    return result;
}

int KeyboardNodes::Count(HidInterface iface) const {
    int n = 0;
    for (const auto& [key, entry] : nodes) n += entry.layout.carried.count(iface) ? 1 : 0;
    return n;
}

std::string KeyboardNodes::NodeOf(HidInterface iface) const {
    for (const auto& [key, entry] : nodes) {
        if (entry.layout.carried.count(iface)) return entry.path;
    }
    return {};
}

std::optional<HidInterface> InputInterfaceOf(const NodeLayout& layout, std::span<const std::uint8_t> report) {
    if (report.empty()) return std::nullopt;
    if (!layout.numbered) return layout.unnumberedInput;
    const auto it = layout.inputIds.find(report[0]);
    if (it == layout.inputIds.end()) return std::nullopt;
    return it->second;
}

std::optional<std::uint16_t> ConsumerUsageOf(const NodeLayout& layout, std::span<const std::uint8_t> report) {
    const std::size_t at = layout.numbered ? 1 : 0;
    if (report.size() < at + 2) return std::nullopt;
    return static_cast<std::uint16_t>(report[at] | (report[at + 1] << 8));
}

const char* InterfaceName(HidInterface iface) {
    switch (iface) {
        case HidInterface::Control:
            return "control";
        case HidInterface::Consumer:
            return "consumer";
        case HidInterface::Led:
            return "LED";
    }
    return "?";
}

}  // namespace talvenix::service::hidraw

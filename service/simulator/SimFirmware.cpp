#include "service/simulator/SimFirmware.h"

#include <algorithm>

namespace talvenix::service::sim {

namespace {

constexpr std::size_t kPayload = 8;
constexpr std::size_t kMaxPayload = 56;

enum class Access { Control, Read, Write, ReadWindow };

struct CommandArea {
    std::uint8_t command;
    Access access;
    SimArea area;
};

// Command 5 always answers with the 56 bytes from its address, whatever its length byte says;
// the last record (address 84) ends 14 bytes earlier, so bytes past the area read as zero.
constexpr CommandArea kCommands[] = {
    {1, Access::Control, SimArea::Config},      {2, Access::Control, SimArea::Config},
    {3, Access::Read, SimArea::Config},         {4, Access::Write, SimArea::Config},
    {5, Access::ReadWindow, SimArea::Lighting}, {6, Access::Write, SimArea::Lighting},
    {7, Access::Read, SimArea::KeyBlocks},      {8, Access::Write, SimArea::KeyBlocks},
    {9, Access::Read, SimArea::Macros},         {10, Access::Write, SimArea::Macros},
    {15, Access::Read, SimArea::Layout},        {17, Access::Write, SimArea::Colours},
};

}  // namespace

std::uint16_t FrameSum(const Frame& frame) {
    unsigned sum = 0;
    for (std::size_t i = 3; i < frame.size(); ++i) sum += frame[i];
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

FrameOutcome HandleFrame(SimMemory& memory, const Frame& request) {
    FrameOutcome out;
    const std::uint8_t command = request[3];
    if (command == kCommandBootMode) {
        out.replies = false;
        out.bootMode = true;
        return out;
    }
    const std::size_t length = request[4];
    const std::size_t address = request[5] | (request[6] << 8);
    std::copy_n(request.begin(), kPayload, out.reply.begin());
    out.reply[1] = out.reply[2] = 0;
    std::uint8_t& status = out.reply[7];
    status = kStatusOk;

    const std::uint16_t stamped = static_cast<std::uint16_t>(request[1] | (request[2] << 8));
    const auto* entry = std::find_if(std::begin(kCommands), std::end(kCommands),
                                     [command](const CommandArea& c) { return c.command == command; });
    if (stamped != FrameSum(request) || entry == std::end(kCommands)) {
        status = kStatusBadFrame;
    } else if (entry->access != Access::Control) {
        auto area = memory.Area(entry->area);
        const bool inRange = entry->access == Access::ReadWindow
                                 ? length <= kMaxPayload && address < area.size()
                                 : length <= kMaxPayload && address + length <= area.size();
        if (!inRange) {
            status = kStatusOutOfRange;
        } else if (entry->access == Access::Write) {
            std::copy_n(request.begin() + kPayload, length,
                        area.begin() + static_cast<std::ptrdiff_t>(address));
        } else {
            const std::size_t want = entry->access == Access::ReadWindow ? kMaxPayload : length;
            const std::size_t n = std::min(want, area.size() - address);
            std::copy_n(area.begin() + static_cast<std::ptrdiff_t>(address), n, out.reply.begin() + kPayload);
        }
    } else if (command == kCommandEndUpdate) {
        out.endUpdate = true;
    }
    const std::uint16_t sum = FrameSum(out.reply);
    out.reply[1] = static_cast<std::uint8_t>(sum & 0xFF);
    out.reply[2] = static_cast<std::uint8_t>(sum >> 8);
    return out;
}

}  // namespace talvenix::service::sim

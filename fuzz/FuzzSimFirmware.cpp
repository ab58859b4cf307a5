// The simulated keyboard's request handling: any frame sequence against its memory, and any
// line of its control language. Replies echo the request's header; memory outside the areas
// is never touched (AddressSanitizer watches).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "service/simulator/SimFirmware.h"
#include "service/simulator/SimMemory.h"

using namespace talvenix::service::sim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SimMemory memory;  // carried over between inputs, as the keyboard's is
    if (size > 0 && data[0] == 0) {
        memory.ResetToFactory();
        // A state file image: must load or be refused, never read past its end.
        std::string error;
        SimMemory loaded;
        const std::vector<std::uint8_t> image(data + 1, data + size);
        if (loaded.Deserialize(image, error)) {
            if (loaded.Serialize() != image) std::abort();
        }
        return 0;
    }
    for (std::size_t at = 0; at + 8 <= size; at += 64) {
        Frame frame{};
        std::memcpy(frame.data(), data + at, std::min<std::size_t>(64, size - at));
        if (size - at >= 64 && (frame[0] & 0x80)) {
            const std::uint16_t sum = FrameSum(frame);  // mostly well-formed frames, to get past the check
            frame[1] = static_cast<std::uint8_t>(sum & 0xFF);
            frame[2] = static_cast<std::uint8_t>(sum >> 8);
        }
        const FrameOutcome out = HandleFrame(memory, frame);
        if (out.replies && std::memcmp(out.reply.data() + 3, frame.data() + 3, 4) != 0) std::abort();
    }
    return 0;
}

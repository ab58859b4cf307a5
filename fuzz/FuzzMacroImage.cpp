// The keyboard's macro memory image and key block as read back from a keyboard that may hold
// anything. Decoding stays within the bytes; what decodes re-encodes to an image that decodes
// to the same macros, and a key block settles after one decode and encode.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "core/device/ConfigBlock.h"
#include "core/keys/KeyBlockCodec.h"
#include "core/macros/MacroImage.h"

using namespace talvenix;

namespace {

void MacroImageRoundTrip(std::span<const std::uint8_t> image) {
    const auto first = macros::DecodeMacroImage(image);
    if (!first.Ok()) return;
    const auto encoded = macros::EncodeMacroImage(first.macros, true);
    if (!encoded) return;  // too large for the size field: refused, fine
    const auto second = macros::DecodeMacroImage(*encoded);
    if (!second.Ok() || second.macros != first.macros) std::abort();
}

void KeyBlockRoundTrip(std::span<const std::uint8_t> block, std::span<const std::uint8_t> layoutBytes) {
    const auto decoded = keys::DecodeKeyBlock(block, layoutBytes);
    if (!decoded) return;
    device::KeyBlock layout{};
    std::memcpy(layout.data(), layoutBytes.data(), layout.size());
    // Read-back ids are 1..n by position: position = id - 1.
    const auto position = [](std::uint16_t id) { return static_cast<std::uint8_t>(id == 0 ? 0 : id - 1); };
    auto round = [&](const device::KeyBlock& bytes) {
        const auto again = keys::DecodeKeyBlock(bytes, layoutBytes);
        if (!again) std::abort();
        return keys::EncodeKeyBlock(*again, layout, position);
    };
    // Some usages have no 3-byte form and settle on "no key" and then on "disabled" (the
    // restore warns about them); after that the form must be a fixed point.
    const device::KeyBlock once = keys::EncodeKeyBlock(*decoded, layout, position);
    const device::KeyBlock twice = round(once);
    if (round(twice) != twice) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // First byte picks the target, so one corpus serves both.
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    if ((data[0] & 1) == 0) {
        MacroImageRoundTrip(rest);
    } else if (rest.size() >= 2 * device::kKeyBlockSize) {
        KeyBlockRoundTrip(rest.first(device::kKeyBlockSize), rest.subspan(device::kKeyBlockSize));
    }
    return 0;
}

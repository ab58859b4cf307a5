// SimMemory: everything the simulated keyboard remembers, its factory contents and the state
// file that carries it from one run to the next.
//
// State file (little-endian, 68770 bytes):
//   0 "TVXSIM01" | 8 ConfigBlock (44) | 52 lighting records (126) | 178 default layout (378)
//   556 key blocks (1134) | 1690 per-key colour banks (1536) | 3226 macro memory (65536)
//   68762 "TVXEND01"
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace talvenix::service::sim {

enum class SimArea : int { Config = 0, Lighting = 1, Layout = 2, KeyBlocks = 3, Colours = 4, Macros = 5 };

inline constexpr std::size_t kConfigSize = 44;
inline constexpr std::size_t kLightingRecordSize = 42;
inline constexpr std::size_t kLightingSize = 3 * kLightingRecordSize;  // 126
inline constexpr std::size_t kLayoutSize = 378;
inline constexpr std::size_t kKeyBlocksSize = 3 * kLayoutSize;  // 1134
inline constexpr std::size_t kColourBankSize = 512;
inline constexpr std::size_t kColoursSize = 3 * kColourBankSize;  // 1536
inline constexpr std::size_t kMacrosSize = 65536;
inline constexpr std::size_t kStateFileSize =
    8 + kConfigSize + kLightingSize + kLayoutSize + kKeyBlocksSize + kColoursSize + kMacrosSize + 8;
static_assert(kStateFileSize == 68770);

// ConfigBlock bytes the keyboard itself uses.
inline constexpr std::size_t kCurrentProfileByte = 10;
inline constexpr std::size_t kMacroSpaceByte = 11;
inline constexpr std::size_t kEffectListOffset = 12;

// The factory key layout: entry i (3 bytes) is the key at LED slot i of the 6 x 21 matrix
// (slot = row * 21 + column) in key-block form: 02 02 usage for a key, 02 01 bit for a
// modifier, 00 00 00 where no key-coded key sits (Fn, the shared G-key slot, empty cells).
std::array<std::uint8_t, kLayoutSize> FactoryLayout();

// The first 35 bytes of a lighting record after "restore the default settings".
inline constexpr std::array<std::uint8_t, 35> kLightingResetImage = {
    0x01, 0x04, 0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x08, 0xFF, 0xFF, 0xFF,
    0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00,
    0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00};

class SimMemory {
public:
    SimMemory() { ResetToFactory(); }

    // ConfigBlock: profile 0, 16384 bytes of macro space, effects 1..18 and 20; every lighting
    // record the reset image; key blocks equal to the factory layout; colours black; no macros.
    void ResetToFactory();

    std::span<std::uint8_t> Area(SimArea area);
    std::span<const std::uint8_t> Area(SimArea area) const;

    std::vector<std::uint8_t> Serialize() const;
    // Fills the memory from a state-file image; on a wrong size or magic it changes nothing
    // and says why in `error`.
    bool Deserialize(std::span<const std::uint8_t> image, std::string& error);

private:
    std::array<std::uint8_t, kConfigSize> config_{};
    std::array<std::uint8_t, kLightingSize> lighting_{};
    std::array<std::uint8_t, kLayoutSize> layout_{};
    std::array<std::uint8_t, kKeyBlocksSize> keyBlocks_{};
    std::array<std::uint8_t, kColoursSize> colours_{};
    std::vector<std::uint8_t> macros_ = std::vector<std::uint8_t>(kMacrosSize);
};

enum class LoadResult { Loaded, Missing, Invalid };

// Reads a state file into `memory` (unchanged unless Loaded).
LoadResult LoadStateFile(SimMemory& memory, const std::string& path, std::string& error);
// Writes the state file through a temporary file in the same folder and a rename, so the file
// is always either the old or the new state; the new one is on the disk before the rename.
bool SaveStateFile(const SimMemory& memory, const std::string& path, std::string& error);
// The same for an image SimMemory::Serialize made.
bool SaveStateImage(std::span<const std::uint8_t> image, const std::string& path, std::string& error);

// Removes the temporaries (PATH.tmp.<pid>) that a simulator killed while saving left behind;
// those of a process still running are its own business and stay. The number removed.
int RemoveStaleTemporaries(const std::string& path);

}  // namespace talvenix::service::sim

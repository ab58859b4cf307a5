// The first 32832 bytes of every profile file and the profile image of the working
// configuration: `ProfileHeader`, the key section header, then 2048 key assignment records in
// four blocks of 512 (block n = profile n for n = 0..2; block 3 is carried along, never sent).
// The layout binds: profile files store these bytes unchanged.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/keys/KeyAssignment.h"

namespace talvenix::macros {

inline constexpr int kKeyRecords = keys::kSlotsPerBlock * keys::kBlockCount;  // 2048
inline constexpr std::size_t kProfileImageSize = 32832;
inline constexpr std::size_t kMacroRecordSize = 16512;

#pragma pack(push, 1)
// 32 bytes. The checksum is the sum of bytes 0..30 modulo 256.
struct ProfileHeader {
    static constexpr std::uint16_t kMagic = 0x4446;  // "FD"
    static constexpr std::uint16_t kSize = 32;
    static constexpr std::uint16_t kVersion = 3;
    static constexpr std::uint16_t kKind = 1;

    std::uint16_t magic = 0;
    std::uint16_t headerSize = 0;
    std::uint16_t version = 0;
    std::uint16_t kind = 0;
    std::uint32_t totalSize = 0;   // 32832 + 16512 * macroCount + stringSize
    std::uint16_t keyRecords = 0;  // 2048
    std::uint16_t macroCount = 0;  // 0..100
    std::uint32_t stringSize = 0;  // bytes of the string block
    std::array<std::uint8_t, 10> reserved{};
    std::uint8_t flag = 0;  // written 0; 0 or 1 accepted
    std::uint8_t checksum = 0;

    // The sum of bytes 0..30 modulo 256.
    std::uint8_t ComputeChecksum() const;
    bool operator==(const ProfileHeader&) const = default;
};

// 32 bytes, constant.
struct KeySectionHeader {
    std::uint16_t magic = 0x484B;  // "KH"
    std::uint16_t headerSize = 32;
    std::uint16_t sectionSize = 32800;  // header + key table
    std::uint16_t reserved1 = 0;
    std::uint16_t blocks = 4;
    std::uint16_t recordsPerBlock = 512;
    std::uint32_t reserved2 = 0;
    std::uint16_t vendorId = 0x0C45;
    std::uint16_t productId = 0x5204;
    std::uint16_t constant1 = 0x1C4F;  // meaning unknown; written unchanged, never checked
    std::uint16_t constant2 = 0x000E;
    std::array<std::uint8_t, 8> reserved3{};

    bool operator==(const KeySectionHeader&) const = default;
};

struct ProfileImage {
    ProfileHeader header;
    KeySectionHeader keySection;
    std::array<keys::KeyAssignment, kKeyRecords> keys{};

    // The 512 records of block `block` (0..3).
    std::span<keys::KeyAssignment, keys::kSlotsPerBlock> Block(int block) {
        return std::span<keys::KeyAssignment, keys::kSlotsPerBlock>(
            keys.data() + block * keys::kSlotsPerBlock, keys::kSlotsPerBlock);
    }
    std::span<const keys::KeyAssignment, keys::kSlotsPerBlock> Block(int block) const {
        return std::span<const keys::KeyAssignment, keys::kSlotsPerBlock>(
            keys.data() + block * keys::kSlotsPerBlock, keys::kSlotsPerBlock);
    }
    bool operator==(const ProfileImage&) const = default;
};
#pragma pack(pop)

static_assert(sizeof(ProfileHeader) == 32, "ProfileHeader is 32 bytes");
static_assert(offsetof(ProfileHeader, totalSize) == 8);
static_assert(offsetof(ProfileHeader, macroCount) == 14);
static_assert(offsetof(ProfileHeader, stringSize) == 16);
static_assert(offsetof(ProfileHeader, flag) == 30);
static_assert(sizeof(KeySectionHeader) == 32, "the key section header is 32 bytes");
static_assert(offsetof(KeySectionHeader, vendorId) == 16);
static_assert(sizeof(ProfileImage) == kProfileImageSize, "the profile image is 32832 bytes");

// A header for `macroCount` macros and a string block of `stringSize` bytes, flag 0,
// checksum stamped.
ProfileHeader MakeProfileHeader(int macroCount, std::uint32_t stringSize);

// The image of a new profile file: header for no macros and no strings, the key section
// header, the default key table (all zero but the G-key numbers of block 0).
ProfileImage DefaultProfileImage();

// The key table of a new file: all records zero except the G-key numbers in block 0.
void FillDefaultKeyTable(ProfileImage& image);

}  // namespace talvenix::macros

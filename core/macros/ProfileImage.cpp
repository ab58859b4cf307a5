#include "core/macros/ProfileImage.h"

#include <cstring>

namespace talvenix::macros {

std::uint8_t ProfileHeader::ComputeChecksum() const {
    std::array<std::uint8_t, sizeof(ProfileHeader)> bytes{};
    std::memcpy(bytes.data(), this, bytes.size());
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) sum += bytes[i];
    return static_cast<std::uint8_t>(sum & 0xFF);
}

ProfileHeader MakeProfileHeader(int macroCount, std::uint32_t stringSize) {
    ProfileHeader h;
    h.magic = ProfileHeader::kMagic;
    h.headerSize = ProfileHeader::kSize;
    h.version = ProfileHeader::kVersion;
    h.kind = ProfileHeader::kKind;
    h.totalSize = static_cast<std::uint32_t>(kProfileImageSize + kMacroRecordSize * macroCount + stringSize);
    h.keyRecords = static_cast<std::uint16_t>(kKeyRecords);
    h.macroCount = static_cast<std::uint16_t>(macroCount);
    h.stringSize = stringSize;
    h.flag = 0;
    h.checksum = h.ComputeChecksum();
    return h;
}

void FillDefaultKeyTable(ProfileImage& image) {
    image.keys.fill(keys::KeyAssignment{});
    for (int slot = keys::kGSlotBankA; slot < keys::kUsedSlots; ++slot)
        image.keys[slot].tag = keys::GKeyNumber(slot);
}

ProfileImage DefaultProfileImage() {
    ProfileImage image;
    image.header = MakeProfileHeader(0, 0);
    image.keySection = KeySectionHeader{};
    FillDefaultKeyTable(image);
    return image;
}

}  // namespace talvenix::macros

#include <gtest/gtest.h>

#include "core/keys/KeyBlockCodec.h"
#include "core/keys/KeyButtons.h"
#include "core/keys/MediaCatalogue.h"
#include "core/keys/StoredAssignment.h"

namespace talvenix::keys {
namespace {

constexpr KeyCode kA = 0x01E, kCapsLock = 0x03A, kRightAlt = 0x138, kVolumeUp = 0x130, kPower = 0x15E,
                  kZoomOut = 0x174, kMute = 0x120;

KeyAssignment Assign(AssignmentKind kind, std::uint32_t value) {
    KeyAssignment r;
    r.kind = static_cast<std::uint16_t>(kind);
    r.value = value;
    return r;
}

KeptAssignment Keeps(KeyCode key, KeyAssignment wanted) {
    const auto entry = EverySlotEntry()[KeyIndexOf(key)];
    EXPECT_TRUE(entry.has_value()) << std::hex << key;
    return KeyboardKeeps(wanted, entry.value_or(EntryBytes{}), 3);
}

TEST(StoredAssignmentTest, KeysWithoutAKeyboardUsageBecomeDisabledKeys) {
    for (KeyCode target : {kVolumeUp, kPower, kZoomOut, KeyCode{0}, KeyCode{0x0FF}}) {
        const auto kept = Keeps(kCapsLock, Assign(AssignmentKind::Key, target));
        EXPECT_FALSE(kept.faithful) << std::hex << target;
        EXPECT_EQ(kept.stored.Kind(), AssignmentKind::Disabled) << std::hex << target;
    }
    EXPECT_FALSE(Keeps(kCapsLock, Assign(AssignmentKind::Key, 0x1001E)).faithful);  // beyond 16 bits
}

TEST(StoredAssignmentTest, WhatTheKeyboardCanHoldIsKeptAsIs) {
    const struct {
        KeyAssignment wanted;
        KeyAssignment stored;
    } cases[] = {
        {Assign(AssignmentKind::Key, kA), Assign(AssignmentKind::Key, kA)},
        {Assign(AssignmentKind::Key, kRightAlt), Assign(AssignmentKind::Key, kRightAlt)},
        // A key set to act as itself keeps its own entry: what the user asked for.
        {Assign(AssignmentKind::Key, kCapsLock), Assign(AssignmentKind::Default, 0)},
        {Assign(AssignmentKind::Disabled, 0), Assign(AssignmentKind::Disabled, 0)},
        {Assign(AssignmentKind::StopMacro, 0), Assign(AssignmentKind::StopMacro, 0)},
        {Assign(AssignmentKind::Media, 17), Assign(AssignmentKind::Media, 17)},
        {Assign(AssignmentKind::Function, 10), Assign(AssignmentKind::Function, 10)},
        {Assign(AssignmentKind::Macro, 42), Assign(AssignmentKind::Macro, 4)},  // position 3, read back
        // The program's own kinds: the keyboard keeps the default, or nothing, by design.
        {Assign(AssignmentKind::Launch, 0), Assign(AssignmentKind::Default, 0)},
        {Assign(AssignmentKind::Text, 0), Assign(AssignmentKind::Disabled, 0)},
    };
    for (const auto& c : cases) {
        const auto kept = Keeps(kCapsLock, c.wanted);
        EXPECT_TRUE(kept.faithful) << c.wanted.kind << " " << c.wanted.value;
        EXPECT_EQ(kept.stored, c.stored) << c.wanted.kind << " " << c.wanted.value;
    }
    // A media key set to its own media usage keeps its entry, and that is right too.
    const auto mute = *MediaIndexOfUsage(0x0E2);
    EXPECT_TRUE(Keeps(kMute, Assign(AssignmentKind::Media, static_cast<std::uint32_t>(mute))).faithful);
}

TEST(StoredAssignmentTest, ValuesThatNameNothingAreNotKept) {
    auto kept = Keeps(kCapsLock, Assign(AssignmentKind::Media, kMediaCount));
    EXPECT_FALSE(kept.faithful);
    EXPECT_EQ(kept.stored.Kind(), AssignmentKind::Default);
    kept = Keeps(kMute, Assign(AssignmentKind::Media, 200));
    EXPECT_FALSE(kept.faithful);
    kept = Keeps(kCapsLock, Assign(AssignmentKind::Function, 0x10A));
    EXPECT_FALSE(kept.faithful);
    EXPECT_EQ(kept.stored, Assign(AssignmentKind::Function, 0x0A));
    kept = Keeps(kCapsLock, Assign(static_cast<AssignmentKind>(9), 1));
    EXPECT_FALSE(kept.faithful);
    EXPECT_EQ(kept.stored.Kind(), AssignmentKind::Default);
}

TEST(StoredAssignmentTest, OnlySlotsALayoutCanNameHaveAnEntry) {
    EXPECT_FALSE(NaturalEntryOfSlot(0));
    EXPECT_FALSE(NaturalEntryOfSlot(kGSlotBankA));
    EXPECT_FALSE(NaturalEntryOfSlot(kSlotsPerBlock - 1));
    EXPECT_EQ(NaturalEntryOfSlot(KeyIndexOf(kA)), (EntryBytes{0x02, 0x02, 0x04}));
    EXPECT_EQ(NaturalEntryOfSlot(KeyIndexOf(kRightAlt)), (EntryBytes{0x02, 0x01, 0x40}));
    EXPECT_EQ(NaturalEntryOfSlot(KeyIndexOf(kPower)), (EntryBytes{0x04, 0x81, 0x00}));
    // 0x136 shares its device byte with right Shift: an entry for it names right Shift's slot.
    EXPECT_FALSE(NaturalEntryOfSlot(KeyIndexOf(0x136)));
}

// The per-key answer must be the one the block codec gives: write a whole profile through a
// layout that holds keys in their natural entries and read it back.
TEST(StoredAssignmentTest, AgreesWithTheBlockCodecForEveryKeyAndKind) {
    device::KeyBlock layout{};
    std::vector<int> slots;
    for (int s = 0; s < kKeyTableSize && slots.size() < device::kKeyBlockEntries; ++s) {
        if (const auto e = NaturalEntryOfSlot(s)) {
            std::copy(e->begin(), e->end(), layout.begin() + static_cast<std::ptrdiff_t>(3 * slots.size()));
            slots.push_back(s);
        }
    }
    ASSERT_GT(slots.size(), 100u);
    const auto entries = SlotEntriesOfLayout(layout);
    std::vector<KeyAssignment> records = {
        Assign(AssignmentKind::Disabled, 0), Assign(AssignmentKind::StopMacro, 0),
        Assign(AssignmentKind::Media, 3),    Assign(AssignmentKind::Media, 30),
        Assign(AssignmentKind::Function, 7), Assign(AssignmentKind::Function, 0x305)};
    for (int s = 0; s < kKeyTableSize; ++s) records.push_back(Assign(AssignmentKind::Key, KeyCodeOf(s)));
    for (const KeyAssignment& wanted : records) {
        AssignmentBlock block{};
        for (int s : slots) block[static_cast<std::size_t>(s)] = wanted;
        const auto back = DecodeKeyBlock(EncodeKeyBlock(block, layout, {}), layout);
        ASSERT_TRUE(back);
        for (int s : slots) {
            ASSERT_TRUE(entries[static_cast<std::size_t>(s)]);
            const auto kept = KeyboardKeeps(wanted, *entries[static_cast<std::size_t>(s)]);
            const KeyAssignment& got = (*back)[static_cast<std::size_t>(s)];
            EXPECT_EQ(kept.stored.kind, got.kind) << s << " " << wanted.kind << " " << wanted.value;
            EXPECT_EQ(kept.stored.value, got.value) << s << " " << wanted.kind << " " << wanted.value;
            // Whatever is called kept reads back as the same kind (or the key's own entry).
            if (kept.faithful && got.kind != 0) {
                EXPECT_EQ(got.kind, wanted.kind) << s;
            }
        }
    }
}

}  // namespace
}  // namespace talvenix::keys

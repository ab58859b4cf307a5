#include <gtest/gtest.h>

#include "core/keys/KeyBlockCodec.h"
#include "core/profiles/Storable.h"

namespace talvenix::profiles {
namespace {

using keys::AssignmentKind;

constexpr keys::KeyCode kA = 0x01E, kF3 = 0x03D, kF4 = 0x03E, kVolumeUp = 0x130, kPower = 0x15E;

keys::KeyAssignment Assign(AssignmentKind kind, std::uint32_t value) {
    keys::KeyAssignment r;
    r.kind = static_cast<std::uint16_t>(kind);
    r.value = value;
    return r;
}

macros::MacroRecord Macro(std::uint16_t id, std::initializer_list<keys::KeyCode> keys) {
    macros::MacroRecord m;
    m.id = id;
    for (keys::KeyCode k : keys) m.actions[m.actionCount++].keyCode = k;
    return m;
}

TEST(StorableTest, NamesEachKeyTheKeyboardCannotHoldWithWhatItWillDo) {
    macros::Configuration cfg;
    cfg.StoreAssignment(0, keys::KeyIndexOf(kF3), Assign(AssignmentKind::Key, kPower));
    cfg.StoreAssignment(0, keys::KeyIndexOf(kF4), Assign(AssignmentKind::Key, kA));
    cfg.StoreAssignment(2, keys::KeyIndexOf(kA), Assign(AssignmentKind::Key, kVolumeUp));
    cfg.StoreAssignment(1, keys::KeyIndexOf(kA), Assign(AssignmentKind::Media, 40));
    cfg.StoreAssignment(3, keys::KeyIndexOf(kA), Assign(AssignmentKind::Key, kPower));  // never sent
    cfg.StoreAssignment(0, keys::kGSlotBankA, Assign(AssignmentKind::Key, kPower));     // no entry
    const auto found = UnstorableAssignments(cfg, keys::EverySlotEntry());
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].profile, 0);
    EXPECT_EQ(found[0].slot, keys::KeyIndexOf(kF3));
    EXPECT_EQ(found[0].wanted, Assign(AssignmentKind::Key, kPower));
    EXPECT_EQ(found[0].stored.Kind(), AssignmentKind::Disabled);
    EXPECT_EQ(found[1].profile, 1);
    EXPECT_EQ(found[1].stored.Kind(), AssignmentKind::Default);
    EXPECT_EQ(found[2].profile, 2);
    EXPECT_EQ(found[2].stored.Kind(), AssignmentKind::Disabled);
}

// An unknown macro id encodes as position 0: the key plays the list's first macro, or nothing.
TEST(StorableTest, KeysBoundToAMacroTheListDoesNotHoldSayWhichMacroTheyPlay) {
    macros::Configuration cfg;
    cfg.macros = {Macro(7, {kA}), Macro(3, {kA})};
    cfg.StoreAssignment(0, keys::KeyIndexOf(kF3), Assign(AssignmentKind::Macro, 3));
    cfg.StoreAssignment(0, keys::KeyIndexOf(kF4), Assign(AssignmentKind::Macro, 9));
    cfg.StoreAssignment(1, keys::KeyIndexOf(kF4), Assign(AssignmentKind::Macro, 0));
    auto found = UnstorableAssignments(cfg, keys::EverySlotEntry());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_TRUE(found[0].DanglingMacro());
    EXPECT_EQ(found[0].slot, keys::KeyIndexOf(kF4));
    EXPECT_EQ(found[0].wanted.value, 9u);
    EXPECT_EQ(found[0].stored.value, 7u);
    EXPECT_EQ(found[1].profile, 1);
    EXPECT_EQ(found[1].wanted.value, 0u);

    cfg.macros.clear();
    found = UnstorableAssignments(cfg, keys::EverySlotEntry());
    ASSERT_EQ(found.size(), 3u);
    for (const auto& f : found) EXPECT_EQ(f.stored.value, 0u);  // nothing to play
}

TEST(StorableTest, MacroActionsWhoseKeyTheMemoryCannotHoldAreNamed) {
    const std::vector<macros::MacroRecord> list = {Macro(5, {kA, 0x0FF, kPower}),
                                                   Macro(2, {kVolumeUp, 0x07F})};
    const auto found = UnstorableMacroActions(list);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].macro, 0);
    EXPECT_EQ(found[0].macroId, 5);
    EXPECT_EQ(found[0].action, 1);
    EXPECT_EQ(found[0].wanted, 0x0FF);
    EXPECT_EQ(found[0].stored, keys::kNoKey);
    EXPECT_EQ(found[1].macro, 1);
    EXPECT_EQ(found[1].action, 1);
    // Right Shift's second code plays back as right Shift: one key to the keyboard, no warning.
    EXPECT_TRUE(MacroMemoryHolds(0x136));
    EXPECT_EQ(MacroMemoryKeyOf(0x136), 0x036);
}

}  // namespace
}  // namespace talvenix::profiles

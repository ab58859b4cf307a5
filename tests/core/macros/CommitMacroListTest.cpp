// Committing an edited macro list: bindings that would dangle or silently change meaning are
// repaired in every profile block, and a refused or failed commit changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "core/macros/WorkingConfig.h"

using namespace talvenix;
using namespace talvenix::macros;

namespace {

MacroRecord Macro(int id, bool isNew = false) {
    MacroRecord m;
    m.id = static_cast<std::uint16_t>(id);
    m.newFlag = isNew ? 1 : 0;
    m.SetName(u"M" + std::u16string(1, static_cast<char16_t>(u'0' + id % 10)));
    return m;
}

keys::KeyAssignment BoundTo(int id, std::uint32_t highHalf = 0) {
    keys::KeyAssignment r;
    r.kind = static_cast<std::uint16_t>(keys::AssignmentKind::Macro);
    r.tag = 3;  // cycles entered with it
    r.value = (highHalf << 16) | static_cast<std::uint32_t>(id);
    r.extra = {1, 2, 3, 4, 5, 6, 7, 8};
    return r;
}

int Record(int profile, int slot) { return profile * keys::kSlotsPerBlock + slot; }

class CommitMacroList : public ::testing::Test {
protected:
    void SetUp() override { cfg.macros = {Macro(1), Macro(5), Macro(9)}; }
    keys::KeyAssignment& At(int record) { return cfg.image.keys[static_cast<std::size_t>(record)]; }
    Configuration cfg;
};

}  // namespace

TEST_F(CommitMacroList, DeletedMacroTurnsItsKeysIntoDefaultKeysInEveryBlock) {
    for (int block = 0; block < 4; ++block) At(Record(block, 30)) = BoundTo(5);
    At(Record(1, 40)) = BoundTo(9);
    const std::vector<MacroRecord> edited{Macro(1), Macro(9)};

    const CommitOutcome out = cfg.CommitMacroList(edited);

    ASSERT_EQ(out.result, CommitOutcome::Result::Committed);
    for (int block = 0; block < 4; ++block) {
        EXPECT_EQ(At(Record(block, 30)).kind, 0) << "block " << block;
        EXPECT_EQ(At(Record(block, 30)).extra, (std::array<std::uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
    }
    EXPECT_EQ(At(Record(1, 40)), BoundTo(9));
    EXPECT_EQ(out.unboundRecords,
              (std::vector<int>{Record(0, 30), Record(1, 30), Record(2, 30), Record(3, 30)}));
    ASSERT_EQ(cfg.macros.size(), 2u);
    EXPECT_EQ(cfg.macros[1].id, 9);
}

TEST_F(CommitMacroList, ReusedIdOfANewMacroDoesNotInheritTheOldBindings) {
    At(Record(2, 17)) = BoundTo(5);
    // Macro 5 was deleted and a new macro created while the editor was open: it got id 5.
    const std::vector<MacroRecord> edited{Macro(1), Macro(9), Macro(5, /*isNew=*/true)};

    const CommitOutcome out = cfg.CommitMacroList(edited);

    EXPECT_EQ(At(Record(2, 17)).kind, 0);
    EXPECT_EQ(out.unboundRecords, std::vector<int>{Record(2, 17)});
    ASSERT_EQ(cfg.macros.size(), 3u);
    for (const auto& m : cfg.macros) EXPECT_EQ(m.newFlag, 0) << "id " << m.id;
}

TEST_F(CommitMacroList, IdZeroIsBoundToTheFirstMacroKeepingTheHighHalf) {
    At(Record(0, 4)) = BoundTo(0, 0xABCD);
    const std::vector<MacroRecord> edited{Macro(9), Macro(1)};

    const CommitOutcome out = cfg.CommitMacroList(edited);

    EXPECT_EQ(At(Record(0, 4)).kind, 4);
    EXPECT_EQ(At(Record(0, 4)).value, 0xABCD0009u);
    EXPECT_EQ(out.reboundRecords, std::vector<int>{Record(0, 4)});
}

TEST_F(CommitMacroList, IdZeroStaysWhenTheListIsEmpty) {
    At(Record(0, 4)) = BoundTo(0);
    At(Record(0, 5)) = BoundTo(1);

    const CommitOutcome out = cfg.CommitMacroList({});

    EXPECT_EQ(out.result, CommitOutcome::Result::Committed);
    EXPECT_EQ(At(Record(0, 4)), BoundTo(0));
    EXPECT_EQ(At(Record(0, 5)).kind, 0);
    EXPECT_TRUE(cfg.macros.empty());
}

TEST_F(CommitMacroList, OnlyTheLowHalfOfTheValueIsTheId) {
    At(Record(0, 8)) = BoundTo(1, 0x0005);  // value 0x00050001: id 1, not 5 or 0x50001
    EXPECT_EQ(cfg.CommitMacroList(std::vector<MacroRecord>{Macro(1)}).unboundRecords.size(), 0u);
    EXPECT_EQ(At(Record(0, 8)).kind, 4);
}

TEST_F(CommitMacroList, OtherKindsAreNotTouched) {
    keys::KeyAssignment key;
    key.kind = 2;
    key.value = 5;  // a key target that happens to equal a deleted macro id
    At(Record(0, 9)) = key;
    cfg.CommitMacroList(std::vector<MacroRecord>{Macro(1)});
    EXPECT_EQ(At(Record(0, 9)), key);
}

TEST_F(CommitMacroList, ListBreakingALimitIsRefusedAndChangesNothing) {
    At(Record(0, 30)) = BoundTo(5);
    const Configuration before = cfg;

    std::vector<MacroRecord> tooMany;
    for (int id = 1; id <= 101; ++id) tooMany.push_back(Macro(id > 100 ? 100 : id));
    EXPECT_EQ(cfg.CommitMacroList(tooMany).result, CommitOutcome::Result::Rejected);

    std::vector<MacroRecord> duplicate{Macro(2), Macro(2)};
    EXPECT_EQ(cfg.CommitMacroList(duplicate).result, CommitOutcome::Result::Rejected);

    std::vector<MacroRecord> badId{Macro(101)};
    EXPECT_EQ(cfg.CommitMacroList(badId).result, CommitOutcome::Result::Rejected);

    std::vector<MacroRecord> longMacro{Macro(1)};
    longMacro[0].actionCount = kMaxActions + 1;
    EXPECT_EQ(cfg.CommitMacroList(longMacro).result, CommitOutcome::Result::Rejected);

    EXPECT_TRUE(cfg == before);
}

TEST_F(CommitMacroList, HundredMacrosWithTheFullActionCountAreAccepted) {
    std::vector<MacroRecord> list;
    for (int id = 1; id <= 100; ++id) list.push_back(Macro(id));
    list[99].actionCount = kMaxActions;
    EXPECT_EQ(cfg.CommitMacroList(list).result, CommitOutcome::Result::Committed);
    EXPECT_EQ(cfg.MacroCount(), 100);
}

TEST(WorkingConfig, LockedOperationsFromSeveralThreadsStayConsistent) {
    WorkingConfig working;
    {
        auto cfg = working.Lock();
        cfg->macros = {Macro(1), Macro(2)};
    }
    std::thread writer([&] {
        for (int i = 0; i < 200; ++i) {
            const std::vector<MacroRecord> list = (i % 2) ? std::vector<MacroRecord>{Macro(2), Macro(1)}
                                                          : std::vector<MacroRecord>{Macro(1), Macro(2)};
            working.CommitMacroList(list);
        }
    });
    for (int i = 0; i < 200; ++i) {
        const int pos = working.MacroPositionOfId(2);
        EXPECT_TRUE(pos == 0 || pos == 1);
        const int id = working.MacroIdAtPosition(0);
        EXPECT_TRUE(id == 1 || id == 2);
    }
    writer.join();
    EXPECT_EQ(working.Copy().MacroCount(), 2);
}

TEST(WorkingConfig, StoreAssignmentKeepsTheButtonFlagBytes) {
    Configuration cfg;
    cfg.image.keys[512 + 20].extra = {9, 9, 9, 9, 0, 0, 0, 0};
    keys::KeyAssignment r;
    r.kind = 2;
    r.value = 0x1E;
    r.extra = {1, 1, 1, 1, 1, 1, 1, 1};
    cfg.StoreAssignment(1, 20, r);
    const auto stored = cfg.AssignmentOf(1, 20);
    EXPECT_EQ(stored.kind, 2);
    EXPECT_EQ(stored.value, 0x1Eu);
    EXPECT_EQ(stored.extra, (std::array<std::uint8_t, 8>{9, 9, 9, 9, 0, 0, 0, 0}));
    cfg.StoreAssignment(4, 0, r);  // out of range: ignored
    EXPECT_EQ(cfg.AssignmentOf(4, 0), keys::KeyAssignment{});
}

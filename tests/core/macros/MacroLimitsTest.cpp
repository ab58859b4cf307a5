// The largest legal values (macro id 100, 100 macros, 2000 actions in one macro) are usable,
// not refused as if they were one past the limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/macros/MacroImage.h"
#include "core/macros/WorkingConfig.h"

using namespace talvenix::macros;

namespace {

constexpr std::uint16_t kKeyA = 0x1E;

std::vector<MacroRecord> IdsFromTo(int first, int last) {
    std::vector<MacroRecord> list(static_cast<std::size_t>(last - first + 1));
    for (int id = first; id <= last; ++id)
        list[static_cast<std::size_t>(id - first)].id = static_cast<std::uint16_t>(id);
    return list;
}

MacroRecord Pressing(int id, int actions) {
    MacroRecord m;
    m.id = static_cast<std::uint16_t>(id);
    m.SetName(u"Long");
    m.actionCount = static_cast<std::uint16_t>(actions);
    for (int k = 0; k < actions; ++k) {
        m.actions[static_cast<std::size_t>(k)] = {static_cast<std::uint32_t>(10 * (k % 100)), kKeyA,
                                                  static_cast<std::uint16_t>(k % 2)};
    }
    return m;
}

}  // namespace

TEST(MacroLimits, TheHundredthIdIsHandedOut) {
    EXPECT_EQ(NextFreeMacroId(IdsFromTo(1, 99)), 100);
    EXPECT_EQ(NextFreeMacroId(IdsFromTo(1, 100)), 0);
    auto reversed = IdsFromTo(1, 99);
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(NextFreeMacroId(reversed), 100);
}

TEST(MacroLimits, AMacroOfExactlyTwoThousandActionsSurvivesTheImage) {
    const std::vector<MacroRecord> list = {Pressing(1, 5), Pressing(2, kMaxActions)};
    for (bool withNames : {true, false}) {
        const auto image = EncodeMacroImage(list, withNames);
        ASSERT_TRUE(image);
        const MacroImageDecode d = DecodeMacroImage(*image);
        ASSERT_EQ(d.status, MacroImageDecode::Status::Ok) << DescribeMacroImageStatus(d.status);
        ASSERT_EQ(d.macros.size(), 2u);
        const MacroRecord& m = d.macros[1];
        EXPECT_EQ(m.actionCount, kMaxActions);
        EXPECT_EQ(m.actions[kMaxActions - 1], list[1].actions[kMaxActions - 1]);
        EXPECT_EQ(m.actions[1234], list[1].actions[1234]);
    }
}

TEST(MacroLimits, AHundredMacrosDecode) {
    std::vector<MacroRecord> list;
    for (int id = 1; id <= kMaxMacros; ++id) list.push_back(Pressing(id, 2));
    const auto image = EncodeMacroImage(list, true);
    ASSERT_TRUE(image);
    const MacroImageDecode d = DecodeMacroImage(*image);
    ASSERT_EQ(d.status, MacroImageDecode::Status::Ok) << DescribeMacroImageStatus(d.status);
    ASSERT_EQ(d.macros.size(), static_cast<std::size_t>(kMaxMacros));
    EXPECT_EQ(d.macros.back().id, kMaxMacros);
    EXPECT_EQ(d.macros.back().Name(), u"Long");
}

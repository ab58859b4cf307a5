// Macro names and texts, and the id and position lookups of the macro list.
#include <gtest/gtest.h>

#include <vector>

#include "core/macros/MacroRecord.h"
#include "core/macros/WorkingConfig.h"

using namespace talvenix::macros;

TEST(MacroRecord, NameIsCutTo249UnitsAndAtAnEmbeddedNul) {
    MacroRecord m;
    m.SetName(std::u16string(300, u'x'));
    EXPECT_EQ(m.Name().size(), 249u);
    EXPECT_EQ(m.name[249], u'\0');
    m.SetName(std::u16string(u"ab\0cd", 5));
    EXPECT_EQ(m.Name(), u"ab");
    EXPECT_EQ(m.name[3], u'\0');  // old text does not linger
}

TEST(MacroTexts, DirectionsAndPlayModes) {
    EXPECT_EQ(DirectionText(0), "\u2193");
    EXPECT_EQ(DirectionText(1), "  \u2191");
    EXPECT_EQ(DirectionText(7), "\u2193");
    EXPECT_EQ(NormalisedDirection(5), 0);
    EXPECT_EQ(PlayModeDefaultText(0), "Play macro once");
    EXPECT_EQ(PlayModeDefaultText(1), "Play macro repeat");
    EXPECT_EQ(PlayModeDefaultText(2), "Repeating until key down again");
    EXPECT_TRUE(PlayModeDefaultText(3).empty());
}

TEST(MacroNames, CompareWithoutCase) {
    EXPECT_TRUE(SameMacroName(u"EMPTY macro", kReservedMacroName));
    EXPECT_TRUE(SameMacroName(u"\u00C9t\u00E9", u"\u00E9T\u00C9"));
    EXPECT_FALSE(SameMacroName(u"Macro1", u"Macro10"));
    EXPECT_FALSE(SameMacroName(u"a\u00D7", u"a\u00F7"));
}

namespace {
std::vector<MacroRecord> WithIds(std::initializer_list<int> ids) {
    std::vector<MacroRecord> list;
    for (int id : ids) {
        MacroRecord m;
        m.id = static_cast<std::uint16_t>(id);
        list.push_back(m);
    }
    return list;
}
}  // namespace

TEST(MacroIds, NextFreeReusesTheLowestGap) {
    EXPECT_EQ(NextFreeMacroId(WithIds({})), 1);
    EXPECT_EQ(NextFreeMacroId(WithIds({1, 2, 4})), 3);
    EXPECT_EQ(NextFreeMacroId(WithIds({2, 3})), 1);
    std::vector<MacroRecord> full;
    for (int id = 100; id >= 1; --id) full.push_back(WithIds({id})[0]);
    EXPECT_EQ(NextFreeMacroId(full), 0);
    full.erase(full.begin() + 50);  // id 50
    EXPECT_EQ(NextFreeMacroId(full), 50);
}

TEST(MacroIds, PositionAndIdLookups) {
    Configuration cfg;
    cfg.macros = WithIds({7, 3, 9});
    EXPECT_EQ(cfg.MacroPositionOfId(7), 0);
    EXPECT_EQ(cfg.MacroPositionOfId(9), 2);
    EXPECT_EQ(cfg.MacroPositionOfId(42), 0);  // unknown id: the first macro, as the keyboard sees it
    EXPECT_EQ(cfg.MacroIdAtPosition(1), 3);
    EXPECT_EQ(cfg.MacroIdAtPosition(-1), 0);
    EXPECT_EQ(cfg.MacroIdAtPosition(3), 0);
    EXPECT_EQ(cfg.MacroOfId(9), &cfg.macros[2]);
    EXPECT_EQ(cfg.MacroOfId(1), nullptr);
}

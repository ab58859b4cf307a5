// Editing macros as the dialogs do: the action list, the recorder, the macro list's naming and
// deletion rules, the space gauge and typing text as a macro.
#include <gtest/gtest.h>

#include <memory>

#include "core/keys/KeyCapture.h"
#include "core/keys/KeyDialogRules.h"
#include "core/keys/NativeKeys.h"
#include "core/macros/ActionList.h"
#include "core/macros/KeyEdit.h"
#include "core/macros/MacroImage.h"
#include "core/macros/MacroList.h"
#include "core/macros/MacroRecorder.h"
#include "core/macros/TextToMacro.h"

using namespace talvenix;
using namespace talvenix::macros;

namespace {

constexpr std::uint16_t kPress = 0, kRelease = 1;

MacroAction Act(std::uint32_t delay, std::uint16_t code, std::uint16_t dir = kPress) {
    return {delay, code, dir};
}

struct Ev {
    std::uint32_t vk, flags;
};
Ev Key(std::uint32_t evdev, bool released = false) {
    const auto k = keys::TranslateEvdevKey(evdev, 0, released);
    EXPECT_TRUE(k.has_value());
    return {k->vk, k->flags};
}
Ev Repeat(std::uint32_t evdev) {
    Ev e = Key(evdev);
    e.flags |= keys::kFlagPreviousDown;
    return e;
}

std::vector<MacroAction> Feed(MacroRecorder& rec, ActionList& list,
                              std::initializer_list<std::pair<Ev, std::uint64_t>> events) {
    for (const auto& [e, t] : events) {
        for (const MacroAction& a : rec.OnKeyEvent(e.vk, e.flags, t).actions) list.Insert(a);
    }
    return list.Rows();
}

}  // namespace

TEST(ActionList, InsertsAfterTheSelectionAndStopsAt2000) {
    ActionList list;
    EXPECT_TRUE(list.Insert(Act(10, 0x1E)));
    EXPECT_TRUE(list.Insert(Act(20, 0x1E, kRelease)));
    list.Select(0);
    EXPECT_TRUE(list.Insert(Act(5, 0x30, 7)));  // direction above 1 is a press
    EXPECT_EQ(list.Selected(), 1);
    EXPECT_EQ(list.Rows()[1], Act(5, 0x30, kPress));
    EXPECT_EQ(list.Rows()[2].delayMs, 20u);

    std::vector<MacroAction> many(kMaxActions, Act(0, 0x1E));
    list.Load(many);
    EXPECT_FALSE(list.Insert(Act(1, 0x1F)));
    EXPECT_EQ(list.Count(), kMaxActions);
}

TEST(ActionList, DelayEditsAreClampedAndRoundedWhereAsked) {
    ActionList rounding(true), plain(false);
    rounding.Load(std::vector{Act(0, 0x1E), Act(0, 0x1E, kRelease)});
    plain.Load(rounding.Rows());

    auto e = rounding.EditDelay(1, "50000");
    EXPECT_TRUE(e.accepted && e.clamped);
    EXPECT_EQ(rounding.Rows()[1].delayMs, 40000u);
    EXPECT_EQ(rounding.EditDelay(0, "1234").delayMs, 1230u);
    EXPECT_EQ(rounding.Rows()[0].delayMs, 1230u);  // the row's own action
    EXPECT_EQ(plain.EditDelay(0, "1234").delayMs, 1234u);
    EXPECT_EQ(plain.EditDelay(0, "99999999999999999999999").delayMs, 40000u);

    EXPECT_FALSE(plain.EditDelay(0, "12a").accepted);
    EXPECT_FALSE(plain.EditDelay(0, "").accepted);
    EXPECT_FALSE(plain.EditDelay(0, "-5").accepted);
    EXPECT_EQ(plain.Rows()[0].delayMs, 40000u);  // refused edits change nothing
}

TEST(ActionList, MovesKeepTheMovedRowSelected) {
    ActionList list;
    list.Load(std::vector{Act(1, 0x02), Act(2, 0x03), Act(3, 0x04)});
    list.Select(2);
    EXPECT_TRUE(list.MoveToTop());
    EXPECT_EQ(list.Rows()[0].delayMs, 3u);
    EXPECT_EQ(list.Selected(), 0);
    EXPECT_FALSE(list.MoveUp());
    EXPECT_TRUE(list.MoveToBottom());
    EXPECT_EQ(list.Rows()[2].delayMs, 3u);
    EXPECT_TRUE(list.MoveUp());
    EXPECT_EQ(list.Rows()[1].delayMs, 3u);
    EXPECT_TRUE(list.Remove(1));
    EXPECT_EQ(list.Selected(), 1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_TRUE(list.EditKey(0, *keys::ListPositionOf(0x001)));
    EXPECT_EQ(list.Rows()[0].keyCode, 0x001);
    EXPECT_FALSE(list.EditKey(0, 500));
    EXPECT_FALSE(list.EditDirection(0, 2));
}

TEST(MacroRecorder, HeldKeyRecordsOnePressAndOneReleaseWithMeasuredDelays) {
    MacroRecorder rec(RecorderStyle::MacroEditor);
    rec.SetRecordDelay(true);
    ActionList list;
    rec.Start(1000);
    const auto rows =
        Feed(rec, list, {{Key(30), 1250}, {Repeat(30), 1300}, {Key(30), 1350}, {Key(30, true), 1400}});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], Act(250, 0x1E, kPress));  // from pressing Record to the first key
    EXPECT_EQ(rows[1], Act(150, 0x1E, kRelease));
}

TEST(MacroRecorder, DelaysWithRecordingOffDifferByDialog) {
    MacroRecorder editor(RecorderStyle::MacroEditor), dialog(RecorderStyle::KeyDialog);
    ActionList a, b;
    editor.Start(0);
    dialog.Start(0);
    Feed(editor, a, {{Key(30), 500}, {Key(30, true), 900}});
    Feed(dialog, b, {{Key(30), 500}, {Key(30, true), 900}});
    EXPECT_EQ(a.Rows()[0].delayMs, 0u);
    EXPECT_EQ(a.Rows()[1].delayMs, 0u);
    EXPECT_EQ(b.Rows()[0].delayMs, 50u);
    EXPECT_EQ(b.Rows()[1].delayMs, 50u);
}

TEST(MacroRecorder, PrintScreenGetsASuppliedPress) {
    MacroRecorder rec(RecorderStyle::MacroEditor);
    rec.SetRecordDelay(true);
    ActionList list;
    rec.Start(0);
    EXPECT_TRUE(rec.OnKeyEvent(Key(99).vk, Key(99).flags, 100).swallow);  // the press itself is dropped
    const auto rows = Feed(rec, list, {{Key(99), 100}, {Key(99, true), 300}});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], Act(2, 0x137, kPress));
    EXPECT_EQ(rows[1], Act(300, 0x137, kRelease));

    MacroRecorder off(RecorderStyle::KeyDialog);
    ActionList other;
    off.Start(0);
    const auto r2 = Feed(off, other, {{Key(99, true), 300}});
    EXPECT_EQ(r2[0].delayMs, 50u);
}

TEST(MacroRecorder, KeyDialogLeavesMediaKeysAndTakesWindowsKeys) {
    MacroRecorder dialog(RecorderStyle::KeyDialog), editor(RecorderStyle::MacroEditor);
    dialog.Start(0);
    editor.Start(0);
    const Ev vol = Key(115);
    EXPECT_FALSE(dialog.OnKeyEvent(vol.vk, vol.flags, 10).swallow);
    EXPECT_EQ(editor.OnKeyEvent(vol.vk, vol.flags, 10).actions.size(), 1u);
    const Ev win = Key(125);
    const auto out = dialog.OnKeyEvent(win.vk, win.flags, 20);
    ASSERT_EQ(out.actions.size(), 1u);
    EXPECT_EQ(out.actions[0].keyCode, 0x15B);
    EXPECT_TRUE(dialog.OnKeyEvent(win.vk, win.flags, 30).actions.empty());  // held
}

TEST(MacroRecorder, NothingIsRecordedWhenIdleAndLongPausesAreBounded) {
    MacroRecorder rec(RecorderStyle::MacroEditor);
    rec.SetRecordDelay(true);
    EXPECT_FALSE(rec.OnKeyEvent(Key(30).vk, Key(30).flags, 5).swallow);
    rec.Start(0);
    EXPECT_EQ(rec.OnKeyEvent(Key(30).vk, Key(30).flags, 3'600'000).actions[0].delayMs, kMaxEditorDelayMs);
}

TEST(MacroRecorder, KeysLeftPressedInKeyIndexOrder) {
    const std::vector<MacroAction> list = {Act(0, 0x11D), Act(0, 0x1E), Act(0, 0x1E, kRelease), Act(0, 0x02A),
                                           Act(0, 0x000)};
    EXPECT_EQ(KeysLeftPressed(list), (std::vector<keys::KeyCode>{0x02A, 0x11D}));
}

TEST(MacroList, AddNamesAndLimit) {
    MacroList list;
    EXPECT_EQ(list.AddCounted(u"Macro").row, 0);
    EXPECT_EQ(list.Rows()[0].Name(), u"Macro1");
    EXPECT_EQ(list.Rows()[0].cycles, 1);
    EXPECT_EQ(list.Rows()[0].newFlag, 1);
    ASSERT_EQ(list.Rename(0, u"Macro2"), MacroList::RenameResult::Renamed);
    list.AddCounted(u"Macro");  // counter 2 is taken: moves on to 3
    EXPECT_EQ(list.Rows()[1].Name(), u"Macro3");
    EXPECT_EQ(list.Rows()[1].id, 2);

    list.AddTimed(u"Macro", {23, 59, 59, 990});
    list.AddTimed(u"Macro", {23, 59, 59, 990});  // same millisecond: 16 ms later
    EXPECT_EQ(list.Rows()[2].Name(), u"Macro235959990");
    EXPECT_EQ(list.Rows()[3].Name(), u"Macro000000006");
    EXPECT_EQ(list.Rows()[3].cycles, 0);

    while (list.Count() < kMaxMacros) ASSERT_TRUE(list.AddCounted(u"M").ok);
    EXPECT_FALSE(list.AddCounted(u"M").ok);
    EXPECT_FALSE(list.AddTimed(u"M", {}).ok);
    EXPECT_EQ(list.Count(), kMaxMacros);
    for (const auto& r : list.Rows()) EXPECT_TRUE(r.id >= 1 && r.id <= kMaxMacros);
}

TEST(MacroList, RenameRules) {
    MacroList list;
    list.AddNamed(u"Alpha");
    list.AddNamed(u"Beta");
    using R = MacroList::RenameResult;
    EXPECT_EQ(list.Rename(0, u"  Alpha "), R::Unchanged);
    EXPECT_EQ(list.Rename(0, u"beta"), R::SameName);
    EXPECT_EQ(list.Rename(0, u"empty MACRO"), R::Reserved);
    EXPECT_EQ(list.Rename(0, u"空宏", u"空宏"), R::Reserved);
    EXPECT_EQ(list.Rename(0, u"   "), R::Empty);
    EXPECT_EQ(list.Rename(0, u"ALPHA"), R::Renamed);  // a case change of its own name is fine
    EXPECT_EQ(list.Rename(1, std::u16string(400, u'n')), R::Renamed);
    EXPECT_EQ(list.Rows()[1].Name().size(), static_cast<std::size_t>(kMaxNameLength));
}

TEST(MacroList, DeleteAsksWhenAnyProfileUsesTheMacroAndCommitUnbindsIt) {
    auto config = std::make_unique<Configuration>();
    MacroList editor;
    editor.AddNamed(u"A");
    editor.AddNamed(u"B");
    ASSERT_EQ(editor.Commit(*config).result, CommitOutcome::Result::Committed);
    const int idB = config->macros[1].id;
    keys::KeyAssignment bound;
    bound.kind = 4;
    bound.value = static_cast<std::uint32_t>(idB);
    config->StoreAssignment(2, keys::KeyIndexOf(0x1E), bound);  // profile 2

    MacroList list;
    list.Load(config->macros);
    EXPECT_FALSE(list.DeleteNeedsConfirmation(0, *config));
    EXPECT_TRUE(list.DeleteNeedsConfirmation(1, *config));
    // Record 256 places after a profile's first one is scanned like every other.
    config->StoreAssignment(0, 256, bound);
    config->StoreAssignment(2, keys::KeyIndexOf(0x1E), keys::KeyAssignment{});
    EXPECT_TRUE(list.DeleteNeedsConfirmation(1, *config));
    config->StoreAssignment(2, keys::KeyIndexOf(0x1E), bound);

    ASSERT_TRUE(list.Remove(1));
    EXPECT_EQ(list.Selected(), 0);
    list.AddNamed(u"C");  // takes the freed id
    EXPECT_EQ(list.Rows()[1].id, idB);
    EXPECT_FALSE(list.DeleteNeedsConfirmation(1, *config));  // new rows go without asking
    const CommitOutcome out = list.Commit(*config);
    ASSERT_EQ(out.result, CommitOutcome::Result::Committed);
    EXPECT_EQ(config->AssignmentOf(2, keys::KeyIndexOf(0x1E)).kind, 0);
    EXPECT_EQ(config->AssignmentOf(0, 256).kind, 0);
    EXPECT_EQ(list.Rows()[1].newFlag, 0);
    EXPECT_EQ(config->macros[1].newFlag, 0);
}

TEST(MacroList, GaugeMatchesTheImageTheDownloadBuilds) {
    MacroList list;
    list.AddNamed(u"Name");
    std::vector<MacroAction> acts(7, Act(10, 0x1E));
    list.StoreActions(0, acts);
    list.AddNamed(u"X");
    const MacroSpaceGauge g = GaugeOf(list.Rows(), 16 + 4 + 4 + 28 + 4 + 8 + 2);
    EXPECT_EQ(g.sizes.withoutNames, EncodeMacroImage(list.Rows(), false)->size());
    EXPECT_EQ(g.sizes.withNames, EncodeMacroImage(list.Rows(), true)->size());
    EXPECT_TRUE(g.NamesFit());
    EXPECT_FALSE(GaugeOf(list.Rows(), g.sizes.withNames - 1).NamesFit());
    EXPECT_TRUE(GaugeOf(list.Rows(), g.sizes.withNames - 1).Fits());
    EXPECT_FALSE(GaugeOf(list.Rows(), 0).Fits());
}

TEST(KeyEdit, StringsFollowTheKindAndAreBounded) {
    auto config = std::make_unique<Configuration>();
    keys::KeyAssignment launch;
    launch.kind = 3;
    ASSERT_TRUE(StoreKeyEdit(*config, 1, 0x1E, launch, std::u16string(1000, u'p')));
    const int slot = keys::RecordIndex(1, 0x1E);
    EXPECT_EQ(config->strings.Text(slot).size(), keys::kMaxLaunchPathUnits);
    EXPECT_EQ(config->strings.SizeOf(slot), (keys::kMaxLaunchPathUnits + 1) * 2);

    keys::KeyAssignment key;
    key.kind = 2;
    key.value = 1;
    config->image.keys[static_cast<std::size_t>(slot)].extra[0] = 1;
    ASSERT_TRUE(StoreKeyEdit(*config, 1, 0x1E, key, u"ignored"));
    EXPECT_FALSE(config->strings.Has(slot));
    EXPECT_EQ(config->strings.TotalSize(), 0u);
    EXPECT_EQ(config->image.keys[static_cast<std::size_t>(slot)].extra[0], 1);  // button flag kept
    EXPECT_FALSE(StoreKeyEdit(*config, 4, 0, key));
}

TEST(TextToMacro, TypesWithShiftAndNamesWhatNoKeyTypes) {
    const auto r = TextToActions(u"aB!", 30);
    ASSERT_TRUE(r.Ok());
    const std::vector<MacroAction> expected = {
        Act(30, 0x1E), Act(30, 0x1E, kRelease),                                                    // a
        Act(30, 0x2A), Act(30, 0x30),           Act(30, 0x30, kRelease), Act(30, 0x2A, kRelease),  // B
        Act(30, 0x2A), Act(30, 0x02),           Act(30, 0x02, kRelease), Act(30, 0x2A, kRelease),  // !
    };
    EXPECT_EQ(r.actions, expected);
    const auto bad = TextToActions(u"née é€", 10);
    EXPECT_FALSE(bad.Ok());
    EXPECT_TRUE(bad.actions.empty());
    EXPECT_EQ(bad.unsupported, u"é€");
    EXPECT_EQ(TextToActions(u" ", 99999).actions[0].delayMs, kMaxEditorDelayMs);
}

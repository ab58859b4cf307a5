// The composite key dialog against a real working configuration: key capture from native key
// events, the macro page with its recorder, and what Apply, OK and Cancel leave behind.
#include <QLineEdit>
#include <QTest>

#include "core/device/Commands.h"
#include "core/keys/KeyButtons.h"
#include "core/keys/KeyDialogRules.h"
#include "core/keys/KeyTable.h"
#include "core/macros/MacroDownload.h"
#include "core/text/Utf.h"
#include "gui/keys/CompositeKeyDialog.h"
#include "gui/keys/KeyDialogLauncher.h"
#include "gui/macros/ActionListView.h"
#include "gui/macros/MacroGauge.h"
#include "service/simulator/PelloranSim.h"
#include "tests/gui/keys/KeyDialogHost.h"
#include "tests/support/SimKeyboard.h"

using namespace talvenix;
using namespace talvenix::test;
using gui::Talvenix_DlgComposite;

namespace {

const int kCapsSlot = keys::KeyIndexOf(0x03A);
const int kASlot = keys::KeyIndexOf(0x01E);

class CompositeDialog : public KeyDialogTest {
protected:
    std::unique_ptr<Talvenix_DlgComposite> OpenOn(const keys::DialogTarget& target) {
        auto dlg = std::make_unique<Talvenix_DlgComposite>(host_);
        dlg->Open(target, QStringLiteral("key"));
        dlg->show();
        return dlg;
    }
    std::unique_ptr<Talvenix_DlgComposite> OpenOnKey(int slot) { return OpenOn({slot, 0, false}); }
    keys::KeyAssignment Record(int profile, int slot) {
        return host_.working.Lock()->AssignmentOf(profile, slot);
    }
    void SetMacros(std::vector<macros::MacroRecord> list) { host_.working.Lock()->macros = std::move(list); }
};

TEST_F(CompositeDialog, CapturedKeyIsAppliedAndTheClickedKeyItselfMeansDefault) {
    auto dlg = OpenOnKey(kCapsSlot);
    EXPECT_FALSE(dlg->ApplyEnabled());
    SendKey(dlg.get(), kEvEsc, false);
    SendKey(dlg.get(), kEvEsc, true);
    EXPECT_EQ(dlg->Captured(), 0x001);
    EXPECT_EQ(dlg->findChild<QLineEdit*>("FUNC_KEY_INPUT")->text(),
              QString::fromStdString(keys::KeyNameOf(0x001)));
    EXPECT_TRUE(dlg->ApplyEnabled());
    ASSERT_TRUE(dlg->Apply());
    EXPECT_EQ(Record(0, kCapsSlot).kind, 2);
    EXPECT_EQ(Record(0, kCapsSlot).value, 0x001u);
    EXPECT_EQ(host_.keysChangedCalls, 1);

    dlg = OpenOnKey(kCapsSlot);
    EXPECT_EQ(dlg->Captured(), 0x001);  // the page starts from the stored key
    TapKey(dlg.get(), kEvCapsLock);
    EXPECT_EQ(dlg->Captured(), 0x03A);
    dlg->Ok();
    EXPECT_EQ(Record(0, kCapsSlot).kind, 0);
}

TEST_F(CompositeDialog, PrintScreenCountsOnReleaseAndMediaKeysAreLeftAlone) {
    auto dlg = OpenOnKey(kCapsSlot);
    SendKey(dlg.get(), kEvPrint, false);
    EXPECT_EQ(dlg->Captured(), keys::kNoKey);
    SendKey(dlg.get(), kEvPrint, true);
    EXPECT_EQ(dlg->Captured(), 0x137);
    TapKey(dlg.get(), kEvVolumeUp);
    EXPECT_EQ(dlg->Captured(), 0x137);
}

TEST_F(CompositeDialog, HeldKeyRecordsOnePressAndOneRelease) {
    SetMacros({MacroNamed(1, u"One")});
    auto dlg = OpenOn(*keys::TargetOfGButton(0, false));
    dlg->OnPageButton(Talvenix_DlgComposite::kMacro);
    dlg->ToggleRecording();
    ASSERT_TRUE(dlg->Recording());
    SendKey(dlg.get(), kEvA, false);
    for (int i = 0; i < 3; ++i) {
        SendKey(dlg.get(), kEvA, true, true);  // X11 auto-repeat: release + press pairs
        SendKey(dlg.get(), kEvA, false, true);
    }
    SendKey(dlg.get(), kEvA, true);
    dlg->ToggleRecording();
    EXPECT_FALSE(dlg->Recording());
    const auto& rows = dlg->Actions()->List().Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (macros::MacroAction{50, 0x1E, 0}));  // record delay off: 50 ms
    EXPECT_EQ(rows[1], (macros::MacroAction{50, 0x1E, 1}));
}

TEST_F(CompositeDialog, KeysLeftPressedAreQuestionedAndNoKeepsRecording) {
    SetMacros({MacroNamed(1, u"One")});
    auto dlg = OpenOn(*keys::TargetOfGButton(0, false));
    dlg->OnPageButton(Talvenix_DlgComposite::kMacro);
    dlg->ToggleRecording();
    SendKey(dlg.get(), kEvLeftShift, false);
    host_.prompt.answers = {false};
    dlg->ToggleRecording();
    EXPECT_TRUE(dlg->Recording());
    ASSERT_EQ(host_.prompt.questions.size(), 1);
    EXPECT_TRUE(host_.prompt.questions[0].contains(
        QStringLiteral("[%1]").arg(QString::fromStdString(keys::KeyNameOf(0x02A)))));
    SendKey(dlg.get(), kEvA, false);  // still recording
    EXPECT_EQ(dlg->Actions()->List().Count(), 2);
    host_.prompt.answers = {true};
    dlg->ToggleRecording();
    EXPECT_FALSE(dlg->Recording());
}

TEST_F(CompositeDialog, AddIsRefusedWithAHundredMacros) {
    std::vector<macros::MacroRecord> list;
    for (int i = 1; i <= macros::kMaxMacros; ++i)
        list.push_back(MacroNamed(i, text::Utf8ToUtf16("M" + std::to_string(i))));
    SetMacros(list);
    auto dlg = OpenOn(*keys::TargetOfGButton(0, false));
    dlg->OnPageButton(Talvenix_DlgComposite::kMacro);
    dlg->AddMacro();
    EXPECT_EQ(dlg->Macros().Count(), macros::kMaxMacros);
    ASSERT_FALSE(host_.prompt.messages.isEmpty());
    EXPECT_TRUE(host_.prompt.messages.back().contains(QStringLiteral("100")));
}

TEST_F(CompositeDialog, DeletingAMacroBoundInProfile2AsksAndCommitUnbindsItsKey) {
    SetMacros({MacroNamed(1, u"One"), MacroNamed(2, u"Two")});
    keys::KeyAssignment bound;
    bound.kind = 4;
    bound.value = 2;
    host_.working.Lock()->StoreAssignment(2, kASlot, bound);
    auto dlg = OpenOn(*keys::TargetOfGButton(0, false));
    dlg->OnPageButton(Talvenix_DlgComposite::kMacro);
    dlg->findChild<QComboBox*>("FUNC_MACRO_LIST")->setCurrentIndex(1);
    host_.prompt.answers = {false};
    dlg->DeleteMacro();
    EXPECT_EQ(dlg->Macros().Count(), 2);
    host_.prompt.answers = {true};
    dlg->DeleteMacro();
    EXPECT_EQ(dlg->Macros().Count(), 1);
    EXPECT_EQ(host_.prompt.questions.size(), 2);
    EXPECT_EQ(Record(2, kASlot).kind, 4);  // nothing changes before Apply
    ASSERT_TRUE(dlg->Apply());
    EXPECT_EQ(Record(2, kASlot).kind, 0);
    EXPECT_EQ(host_.lastUnbound, std::vector<int>{keys::RecordIndex(2, kASlot)});
    EXPECT_EQ(host_.working.Lock()->MacroCount(), 1);
}

TEST_F(CompositeDialog, CyclesAndDelaysStayWithinTheirLimits) {
    SetMacros({MacroNamed(1, u"One", 2)});
    auto dlg = OpenOn(*keys::TargetOfGButton(0, false));
    dlg->OnPageButton(Talvenix_DlgComposite::kMacro);
    auto* cycles = dlg->findChild<QLineEdit*>("FUNC_MACRO_CYCLES");
    cycles->clear();
    QTest::keyClicks(cycles, QStringLiteral("300"));
    EXPECT_EQ(cycles->text(), QStringLiteral("255"));
    cycles->selectAll();
    QTest::keyClicks(cycles, QStringLiteral("0"));
    EXPECT_EQ(cycles->text(), QStringLiteral("1"));

    auto* model = dlg->Actions()->model();
    model->setData(model->index(1, 2), QStringLiteral("50000"));
    ASSERT_EQ(host_.prompt.messages.size(), 1);
    EXPECT_TRUE(host_.prompt.messages[0].contains(QStringLiteral("40000")));
    EXPECT_EQ(dlg->Actions()->List().Rows()[1].delayMs, 40000u);
    model->setData(model->index(0, 2), QStringLiteral("1234"));
    EXPECT_EQ(dlg->Actions()->List().Rows()[0].delayMs, 1230u);
    EXPECT_EQ(model->index(0, 2).data().toString(), QStringLiteral("1230"));  // its own row shows it
    ASSERT_TRUE(dlg->Apply());
    const auto stored = *host_.working.Lock()->MacroOfId(1);
    EXPECT_EQ(stored.actions[0].delayMs, 1230u);
    EXPECT_EQ(stored.actions[1].delayMs, 40000u);
    EXPECT_EQ(stored.cycles, 1);
}

TEST_F(CompositeDialog, CancelLeavesTheWorkingConfigurationAsItWas) {
    SetMacros({MacroNamed(1, u"One", 4)});
    const macros::Configuration before = host_.working.Copy();
    auto dlg = OpenOnKey(kCapsSlot);
    TapKey(dlg.get(), kEvEsc);
    dlg->OnPageButton(Talvenix_DlgComposite::kMacro);
    dlg->AddMacro();
    dlg->AddMacro();
    dlg->Actions()->ClearAll();
    dlg->Cancel();
    EXPECT_TRUE(host_.working.Copy() == before);
    EXPECT_EQ(host_.keysChangedCalls, 0);
}

TEST_F(CompositeDialog, MacroOnlyModeBindsG9OfTheCurrentBank) {
    SetMacros({MacroNamed(1, u"One"), MacroNamed(7, u"Seven")});
    auto dlg = OpenOn(keys::MacroEditTarget(true));
    EXPECT_EQ(dlg->PageKind(), Talvenix_DlgComposite::kMacro);
    EXPECT_FALSE(dlg->findChild<gui::CPngButton*>("CONTROL_KEY")->isEnabled());
    EXPECT_FALSE(dlg->findChild<gui::CPngButton*>("CONTROL_CLEAR")->isEnabled());
    dlg->findChild<QComboBox*>("FUNC_MACRO_LIST")->setCurrentIndex(1);
    dlg->Ok();
    const keys::KeyAssignment g9b = Record(0, keys::kGSlotBankB + 8);
    EXPECT_EQ(g9b.kind, 4);
    EXPECT_EQ(g9b.value, 7u);
    EXPECT_EQ(Record(0, keys::kGSlotBankA + 8).kind, 0);
}

TEST_F(CompositeDialog, LaunchKeyKeepsItsPathWhenOnlyTheMacrosChange) {
    keys::KeyAssignment launch;
    launch.kind = 3;
    {
        auto cfg = host_.working.Lock();
        cfg->StoreAssignment(0, kASlot, launch);
        cfg->strings.Set(keys::RecordIndex(0, kASlot), u"/usr/bin/true");
    }
    auto dlg = OpenOnKey(kASlot);
    ASSERT_TRUE(dlg->Apply());
    EXPECT_EQ(Record(0, kASlot).kind, 3);
    EXPECT_EQ(host_.working.Lock()->strings.Text(keys::RecordIndex(0, kASlot)), u"/usr/bin/true");
}

// A whole edit: Caps Lock acts as Escape, A plays a recorded macro, B turns the volume up; the
// download then writes exactly that into the simulated keyboard, and the gauge said its size.
TEST_F(CompositeDialog, AppliedEditsReachTheKeyboardAsShown) {
    auto dlg = OpenOnKey(kCapsSlot);
    TapKey(dlg.get(), kEvEsc);
    dlg->Ok();

    dlg = OpenOnKey(kASlot);
    dlg->OnPageButton(Talvenix_DlgComposite::kMacro);
    dlg->AddMacro();
    dlg->ToggleRecording();
    TapKey(dlg.get(), 35);  // H
    TapKey(dlg.get(), 23);  // I
    dlg->ToggleRecording();
    const auto shown = dlg->Actions()->List().Rows();
    ASSERT_EQ(shown.size(), 4u);
    const std::size_t gaugeWithNames = dlg->Gauge()->Figures().sizes.withNames;
    dlg->Ok();

    const int bSlot = keys::KeyIndexOf(0x030);
    dlg = OpenOnKey(bSlot);
    dlg->OnPageButton(Talvenix_DlgComposite::kMedia);
    dlg->findChild<QComboBox*>("FUNC_MEDIA_SELECT")->setCurrentIndex(6);  // volume up
    dlg->Ok();

    SimKeyboard sim;
    device::KeyBlock layout{};
    ASSERT_EQ(device::ReadDefaultLayout(sim.Transport(), layout), 1);
    macros::DownloadSnapshot snapshot;
    macros::DownloadTarget target;
    target.transport = &sim.Transport();
    target.macroSpace = 16384;
    target.defaultLayout = &layout;
    target.currentProfile = 0;
    const auto out = macros::DownloadConfiguration(host_.working, snapshot, target);
    ASSERT_TRUE(out.Ok());
    EXPECT_EQ(out.imageSize, gaugeWithNames);

    const auto image = sim.Memory(PELLORAN_SIM_MACROS, 0, static_cast<std::uint32_t>(out.imageSize));
    const auto decoded = macros::DecodeMacroImage(image);
    ASSERT_TRUE(decoded.Ok());
    ASSERT_EQ(decoded.macros.size(), 1u);
    ASSERT_EQ(decoded.macros[0].actionCount, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(decoded.macros[0].actions[static_cast<std::size_t>(i)].keyCode,
                  shown[static_cast<std::size_t>(i)].keyCode);
        EXPECT_EQ(decoded.macros[0].actions[static_cast<std::size_t>(i)].direction,
                  shown[static_cast<std::size_t>(i)].direction);
    }
    const auto block = sim.Memory(PELLORAN_SIM_KEYBLOCKS, 0, 378);
    auto entryOf = [&](keys::KeyCode code) {
        for (std::size_t i = 0; i < 126; ++i)
            if (keys::CodeOfEntry(layout, i) == code)
                return std::vector<std::uint8_t>(block.begin() + static_cast<long>(3 * i),
                                                 block.begin() + static_cast<long>(3 * i + 3));
        return std::vector<std::uint8_t>{};
    };
    EXPECT_EQ(entryOf(0x03A), (std::vector<std::uint8_t>{0x02, 0x02, 0x29}));  // Escape's usage
    EXPECT_EQ(entryOf(0x01E), (std::vector<std::uint8_t>{0x05, 0x01, 0x00}));  // macro at position 0
    EXPECT_EQ(entryOf(0x030), (std::vector<std::uint8_t>{0x03, 0xE9, 0x00}));  // volume up
}

}  // namespace

namespace {

// While the lighting panel's Switch mode is on, a click toggles the button's flag in the record
// at the button's position and opens nothing.
TEST_F(KeyDialogTest, SwitchModeTogglesTheButtonFlagInsteadOfOpening) {
    gui::KeyEditServices services;
    services.working = &host_.working;
    services.prompt = &host_.prompt;
    services.skinFolder = host_.SkinFolder();
    services.shownProfile = [] { return 1; };
    int changed = 0;
    services.keysChanged = [&](const std::vector<int>&) { ++changed; };
    bool switchOn = true;
    gui::KeyDialogLauncher::Hooks hooks;
    hooks.switchMode = [&] { return switchOn; };
    hooks.modal = false;
    QWidget window;
    gui::KeyDialogLauncher launcher(std::move(services), std::move(hooks), &window);

    const int position = *keys::KeyButtonOfCode(0x03A);
    EXPECT_EQ(launcher.OpenForKey(position, nullptr), 0);
    EXPECT_FALSE(launcher.IsOpen());
    EXPECT_EQ(keys::ButtonFlagOf(
                  host_.working.Lock()->image.keys[static_cast<std::size_t>(keys::RecordIndex(1, position))]),
              1u);
    EXPECT_EQ(launcher.OpenForG(2, true, nullptr), 0);  // G3 of bank B: position 11
    EXPECT_EQ(keys::ButtonFlagOf(
                  host_.working.Lock()->image.keys[static_cast<std::size_t>(keys::RecordIndex(1, 11))]),
              1u);
    EXPECT_EQ(launcher.OpenForKey(position, nullptr), 0);
    EXPECT_EQ(keys::ButtonFlagOf(
                  host_.working.Lock()->image.keys[static_cast<std::size_t>(keys::RecordIndex(1, position))]),
              0u);
    EXPECT_EQ(changed, 3);

    switchOn = false;
    EXPECT_EQ(launcher.OpenForKey(position, nullptr), 1);
    EXPECT_TRUE(launcher.IsOpen());
    launcher.CloseIfOpen();
    EXPECT_FALSE(launcher.IsOpen());
    EXPECT_EQ(launcher.OpenForKey(104, nullptr), -1);
}

}  // namespace

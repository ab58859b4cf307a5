// The key dialogs from the main window against the in-process simulated keyboard: a click opens
// them, the "Macros" command opens the macro page for G9, and Apply writes what they set.
#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include "core/keys/KeyButtons.h"
#include "core/keys/KeyTable.h"
#include "core/macros/MacroImage.h"
#include "gui/keys/CompositeKeyDialog.h"
#include "gui/keys/KeyDialogLauncher.h"
#include "gui/macros/ActionListView.h"
#include "gui/macros/MacroGauge.h"
#include "service/simulator/PelloranSim.h"
#include "tests/gui/keys/KeyDialogHost.h"

using namespace talvenix;
using namespace talvenix::test;
using gui::Talvenix_DlgComposite;

namespace {

class MainWindowKeys : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // The dialogs' layouts and pictures from the generated skin.
        const QDir generated(QStringLiteral(TALVENIX_BIN_DIR "/Skins"));
        const QStringList patterns = {"Composite*", "Key.ini", "Key_*",    "Macro.ini", "Macro_*",
                                      "key_*",      "macro_*", "macro2_*", "media_*",   "function_*"};
        for (const QString& name : generated.entryList(patterns, QDir::Files))
            QFile::copy(generated.filePath(name), QDir(skin_->SkinFolder()).filePath(name));
    }
    int Position(keys::KeyCode code) { return *keys::KeyButtonOfCode(code); }
    Talvenix_DlgComposite* Composite() { return window_->KeyDialogs()->Composite(); }
};

TEST_F(MainWindowKeys, RemapRecordAndMediaEndInTheKeyboardAfterApply) {
    Start();
    auto& launcher = *window_->KeyDialogs();
    window_->SetKeyDialogsModal(false);
    ASSERT_EQ(launcher.Host().CurrentProfile(), 0);

    // Caps Lock acts as Escape.
    ASSERT_EQ(launcher.OpenForKey(Position(0x03A), window_->Grid().KeyButton(Position(0x03A))), 1);
    ASSERT_NE(Composite(), nullptr);
    EXPECT_TRUE(launcher.IsOpen());
    TapKey(Composite(), kEvEsc);
    Composite()->Ok();
    EXPECT_FALSE(launcher.IsOpen());
    EXPECT_TRUE(window_->Button(gui::kIdApply)->isEnabled());

    // G1 plays a recorded macro.
    ASSERT_EQ(launcher.OpenForG(0, false, window_->Grid().GButton(0)), 1);
    Composite()->OnPageButton(Talvenix_DlgComposite::kMacro);
    Composite()->AddMacro();
    Composite()->ToggleRecording();
    TapKey(Composite(), 35);
    TapKey(Composite(), 23);
    Composite()->ToggleRecording();
    const auto recorded = Composite()->Actions()->List().Rows();
    const std::size_t gauge = Composite()->Gauge()->Figures().sizes.withNames;
    Composite()->Ok();

    // G2 turns the volume up.
    ASSERT_EQ(launcher.OpenForG(1, false, window_->Grid().GButton(1)), 1);
    Composite()->OnPageButton(Talvenix_DlgComposite::kMedia);
    Composite()->findChild<QComboBox*>("FUNC_MEDIA_SELECT")->setCurrentIndex(6);
    Composite()->Ok();

    {
        auto cfg = window_->Working().Lock();
        EXPECT_EQ(cfg->AssignmentOf(0, keys::kGSlotBankA).kind, 4);
        EXPECT_EQ(cfg->AssignmentOf(0, keys::kGSlotBankA + 1).kind, 7);
        EXPECT_EQ(cfg->AssignmentOf(0, keys::kGSlotBankA + 1).value, 6u);
    }
    QSignalSpy finished(window_.get(), &gui::CTalvenixDlg::ApplyFinished);
    window_->Apply();
    ASSERT_TRUE(WaitFor([&] { return finished.count() == 1; }, 10000));
    EXPECT_TRUE(finished.at(0).at(0).toBool());

    const auto header = sim_->Memory(PELLORAN_SIM_MACROS, 0, 16);
    const std::size_t size = header[2] | (header[3] << 8);
    EXPECT_EQ(size, gauge);
    const auto decoded =
        macros::DecodeMacroImage(sim_->Memory(PELLORAN_SIM_MACROS, 0, static_cast<std::uint32_t>(size)));
    ASSERT_TRUE(decoded.Ok());
    ASSERT_EQ(decoded.macros.size(), 1u);
    ASSERT_EQ(decoded.macros[0].actionCount, recorded.size());
    for (std::size_t i = 0; i < recorded.size(); ++i) {
        EXPECT_EQ(decoded.macros[0].actions[i].keyCode, recorded[i].keyCode);
        EXPECT_EQ(decoded.macros[0].actions[i].direction, recorded[i].direction);
    }
    const auto layout = sim_->Memory(PELLORAN_SIM_LAYOUT, 0, 378);
    const auto block = sim_->Memory(PELLORAN_SIM_KEYBLOCKS, 0, 378);
    for (std::size_t i = 0; i < 126; ++i) {
        if (keys::CodeOfEntry(layout, i) != 0x03A) continue;
        EXPECT_EQ(block[3 * i], 0x02);
        EXPECT_EQ(block[3 * i + 1], 0x02);
        EXPECT_EQ(block[3 * i + 2], 0x29);  // Escape
    }
}

TEST_F(MainWindowKeys, MacrosCommandOpensTheMacroPageForG9OfTheBank) {
    Start();
    window_->SetKeyDialogsModal(false);
    window_->HandleConsumerUsage(0x02FF);  // bank B
    ASSERT_TRUE(WaitFor([this] { return window_->BankB(); }));
    window_->Button(gui::kIdMacro)->click();
    ASSERT_NE(Composite(), nullptr);
    EXPECT_TRUE(Composite()->MacroOnly());
    Composite()->AddMacro();
    Composite()->Ok();
    EXPECT_EQ(window_->Working().Lock()->AssignmentOf(0, keys::kGSlotBankB + 8).kind, 4);
    EXPECT_EQ(window_->Working().Lock()->AssignmentOf(0, keys::kGSlotBankA + 8).kind, 0);
}

}  // namespace

// The main window against the in-process simulated keyboard: bring-up, the instance tags,
// unplug and replug, keyboard events, Enter/Escape, restore defaults, import, export, and a
// missing skin picture.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <future>

#include "core/keys/KeyButtons.h"
#include "core/keys/KeyTable.h"
#include "core/lighting/LightingRecord.h"
#include "core/profiles/ProfileFile.h"
#include "core/text/IniFile.h"
#include "core/text/LanguageSettings.h"
#include "core/text/LanguageTable.h"
#include "gui/app/SingleInstance.h"
#include "gui/skin/SkinError.h"
#include "tests/gui/GuiFixture.h"

namespace talvenix::test {
namespace {

using gui::TrayState;

QString Text(text::TextId id) { return QString::fromStdString(text::LanguageText(id)); }

// The position of a key in the keyboard's own key order, from the simulator's factory layout.
int LayoutPositionOfUsage(SimKeyboard& sim, std::uint8_t usage) {
    const auto layout = sim.Memory(PELLORAN_SIM_LAYOUT, 0, 378);
    for (int i = 0; i < 126; ++i)
        if (layout[i * 3] == 0x02 && layout[i * 3 + 1] == 0x02 && layout[i * 3 + 2] == usage) return i;
    return -1;
}

constexpr std::uint8_t kUsageA = 0x04;
constexpr std::uint8_t kUsageB = 0x05;
constexpr int kButtonA = 0;  // the first key button shows A
constexpr int kSlotA = 0x01E;

// An assignment that makes a key act as B (key code 0x030).
keys::KeyAssignment ActsAsB() {
    keys::KeyAssignment r;
    r.kind = static_cast<std::uint16_t>(keys::AssignmentKind::Key);
    r.value = 0x030;
    return r;
}

// Sends a tag from another thread while this one serves the socket.
bool SendTag(const QString& path, const QByteArray& tag) {
    auto result =
        std::async(std::launch::async, [path, tag] { return gui::SendInstanceTag(path, tag, 2000); });
    WaitFor([&] { return result.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; }, 5000);
    return result.get();
}

TEST_F(MainWindowTest, BringUpWithTheStartFlagEndsHiddenWithTheAttachedIcon) {
    Start(true);
    EXPECT_TRUE(window_->WindowReady());
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(window_->LastDeviceCount(), 1);
    ASSERT_NE(window_->Tray(), nullptr);
    EXPECT_EQ(window_->Tray()->State(), TrayState::Attached);
    EXPECT_FALSE(window_->ApplyPending());
    EXPECT_FALSE(window_->Button(gui::kIdApply)->isEnabled());
    EXPECT_TRUE(prompt_.messages.isEmpty()) << prompt_.messages.join(QStringLiteral(" | ")).toStdString();
}

TEST_F(MainWindowTest, TheFirstArrivalWithoutTheStartFlagShowsTheWindow) {
    Start(false);
    EXPECT_TRUE(WaitFor([this] { return window_->isVisible(); }));
}

TEST_F(MainWindowTest, BringUpWithoutAKeyboardStaysHiddenWithTheNoKeyboardIcon) {
    sim_->Control("unplug");
    Start(false);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(window_->LastDeviceCount(), 0);
    ASSERT_NE(window_->Tray(), nullptr);
    EXPECT_EQ(window_->Tray()->State(), TrayState::NoKeyboard);
    EXPECT_TRUE(prompt_.messages.isEmpty());
}

TEST_F(MainWindowTest, ASecondStartShowsTheHiddenWindow) {
    Start(true);
    gui::InstanceServer server(gui::InstanceSocketPath());
    ASSERT_TRUE(server.Listen());
    QObject::connect(&server, &gui::InstanceServer::OpenRequested, window_.get(), &gui::CTalvenixDlg::Show);
    EXPECT_TRUE(SendTag(server.SocketPath(), gui::kTagOpen));
    EXPECT_TRUE(WaitFor([this] { return window_->isVisible(); }));
    EXPECT_TRUE(prompt_.messages.isEmpty());
}

TEST_F(MainWindowTest, ASecondStartWithoutAKeyboardGivesTheNoDeviceMessage) {
    sim_->Control("unplug");
    Start(true);
    gui::InstanceServer server(gui::InstanceSocketPath());
    ASSERT_TRUE(server.Listen());
    QObject::connect(&server, &gui::InstanceServer::OpenRequested, window_.get(), &gui::CTalvenixDlg::Show);
    EXPECT_TRUE(SendTag(server.SocketPath(), gui::kTagOpen));
    EXPECT_TRUE(WaitFor([this] { return !prompt_.messages.isEmpty(); }));
    EXPECT_EQ(prompt_.messages, QStringList{Text(text::TextId::MAIN_NO_DEVICE_PROMPT)});
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(MainWindowTest, KillFromASecondStartQuitsTheRunningInstance) {
    Start(true);
    gui::InstanceServer running(gui::InstanceSocketPath());
    ASSERT_TRUE(running.Listen());
    QObject::connect(&running, &gui::InstanceServer::KillRequested, window_.get(), &gui::CTalvenixDlg::Quit);
    QSignalSpy finished(window_.get(), &gui::CTalvenixDlg::Finished);
    gui::InstanceServer starting(gui::InstanceSocketPath());
    const QString path = starting.SocketPath();
    const auto outcome = gui::ResolveInstance(
        gui::ParseCommandLine({QStringLiteral("/kill")}), starting, [] { return true; },
        [&path](const QByteArray& tag) { return SendTag(path, tag); });
    EXPECT_TRUE(outcome.exitNow);
    EXPECT_TRUE(WaitFor([&] { return finished.count() == 1; }));
    EXPECT_TRUE(window_->QuitDone());
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(MainWindowTest, UnplugHidesAndReplugReadsBackWithoutShowing) {
    Start(true);
    window_->Show();
    ASSERT_TRUE(window_->isVisible());
    QSignalSpy readBack(window_.get(), &gui::CTalvenixDlg::ReadBackFinished);

    sim_->Control("unplug");
    ASSERT_TRUE(WaitFor(
        [this] { return window_->LastDeviceCount() == 0 && window_->PresenceWorkersRunning() == 0; }));
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(window_->Tray()->State(), TrayState::NoKeyboard);
    EXPECT_EQ(window_->Keyboard().CachedProfile(), -1);

    // While it was away the keyboard's A key became B: the read-back must show that.
    const int a = LayoutPositionOfUsage(*sim_, kUsageA);
    ASSERT_GE(a, 0);
    sim_->SetMemory(PELLORAN_SIM_KEYBLOCKS, static_cast<std::uint32_t>(a * 3), {0x02, 0x02, kUsageB});
    sim_->Control("plug");
    ASSERT_TRUE(
        WaitFor([&] { return window_->LastDeviceCount() == 1 && window_->PresenceWorkersRunning() == 0; }));
    EXPECT_EQ(readBack.count(), 1);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(window_->Tray()->State(), TrayState::Attached);
    const auto record = window_->Working().Lock()->AssignmentOf(0, kSlotA);
    EXPECT_EQ(record.kind, 2);
    EXPECT_EQ(record.value, 0x030u);
    auto* buttonA = window_->Grid().KeyButton(kButtonA);
    EXPECT_TRUE(window_->Grid().Assigned(buttonA));
    EXPECT_TRUE(buttonA->Tip().contains(Text(text::TextId::KEY_PROMPT_SET))) << buttonA->Tip().toStdString();
}

TEST_F(MainWindowTest, TheGBankKeyTwiceReturnsToTheStartState) {
    Start(true);
    using Bytes = std::array<std::uint8_t, 2>;
    EXPECT_EQ(window_->GBankState(), (Bytes{0x05, 0x02}));
    sim_->Control("gbank");
    ASSERT_TRUE(WaitFor([this] { return window_->GBankState() == Bytes{0x05, 0x03}; }));
    // The window shows the bank at once; the LED write follows on the keyboard worker.
    ASSERT_TRUE(WaitFor([this] { return window_->Jobs().Idle(); }));
    EXPECT_EQ(sim_->Memory(PELLORAN_SIM_LED, 0, 2), (std::vector<std::uint8_t>{0x05, 0x03}));
    EXPECT_EQ(window_->Grid().GButton(0)->text(), QStringLiteral("B1"));
    EXPECT_EQ(window_->Grid().GButton(4)->text(), QStringLiteral("B5"));
    EXPECT_EQ(window_->Grid().GButton(5)->text(), QStringLiteral("G6"));
    sim_->Control("gbank");
    ASSERT_TRUE(WaitFor([this] { return window_->GBankState() == Bytes{0x05, 0x02}; }));
    // The window shows the bank at once; the LED write follows on the keyboard worker.
    ASSERT_TRUE(WaitFor([this] { return window_->Jobs().Idle(); }));
    EXPECT_EQ(sim_->Memory(PELLORAN_SIM_LED, 0, 2), (std::vector<std::uint8_t>{0x05, 0x02}));
    EXPECT_EQ(window_->Grid().GButton(0)->text(), QStringLiteral("A1"));
}

TEST_F(MainWindowTest, TheGButtonsShowTheCurrentBanksAssignments) {
    Start(true);
    {
        auto cfg = window_->Working().Lock();
        keys::KeyAssignment disabled;
        disabled.kind = 1;
        cfg->StoreAssignment(0, keys::kGSlotBankB, disabled);  // G1 of bank B only
    }
    sim_->Control("gbank");
    ASSERT_TRUE(WaitFor([this] { return window_->BankB(); }));
    EXPECT_TRUE(window_->Grid().Assigned(window_->Grid().GButton(0)));
    EXPECT_TRUE(window_->Grid().GButton(0)->Tip().startsWith(QStringLiteral("G1")));
    sim_->Control("gbank");
    ASSERT_TRUE(WaitFor([this] { return !window_->BankB(); }));
    EXPECT_FALSE(window_->Grid().Assigned(window_->Grid().GButton(0)));
}

TEST_F(MainWindowTest, ShowKeyAsDefaultResetsOnlyTheButtonOfThatSlot) {
    Start(true);
    keys::KeyAssignment disabled;
    disabled.kind = 1;
    {
        auto cfg = window_->Working().Lock();
        cfg->StoreAssignment(0, kSlotA, disabled);
        cfg->StoreAssignment(0, 0x030, disabled);                  // B
        cfg->StoreAssignment(0, keys::kGSlotBankA + 5, disabled);  // G6, disabled at start
        window_->Grid().Refresh(*cfg, 0, false, true);
    }
    auto& grid = window_->Grid();
    auto* a = grid.KeyButton(kButtonA);
    auto* b = grid.KeyButton(1);
    auto* g6 = grid.GButton(5);
    ASSERT_TRUE(grid.Assigned(a));
    ASSERT_TRUE(grid.Assigned(g6));
    grid.ShowKeyAsDefault(kSlotA, false);
    EXPECT_FALSE(grid.Assigned(a));
    EXPECT_EQ(a->Tip().toStdString(), keys::KeyNameOf(0x01E));
    EXPECT_TRUE(grid.Assigned(b));
    // A G slot of the bank not shown has no button; the shown bank's keeps its enabled state.
    grid.ShowKeyAsDefault(keys::kGSlotBankB + 5, false);
    EXPECT_TRUE(grid.Assigned(g6));
    grid.ShowKeyAsDefault(keys::kGSlotBankA + 5, false);
    EXPECT_FALSE(grid.Assigned(g6));
    EXPECT_EQ(g6->Tip(), QStringLiteral("G6"));
    EXPECT_FALSE(g6->isEnabled());
}

TEST_F(MainWindowTest, EnterAndEscapeNeitherApplyNorClose) {
    Start(true);
    window_->Show();
    window_->SetApplyPending(true);
    sim_->ClearFrames();
    QSignalSpy applied(window_.get(), &gui::CTalvenixDlg::ApplyFinished);
    for (auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(window_.get(), key);
        QTest::keyClick(window_->Button(gui::kIdApply), key);
    }
    // Arrow keys do not step through the effect list.
    auto* combo = window_->findChild<QComboBox*>(QStringLiteral("CONTROL_XGcombox"));
    ASSERT_NE(combo, nullptr);
    const int effect = combo->currentIndex();
    for (auto key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Right}) QTest::keyClick(combo, key);
    EXPECT_EQ(combo->currentIndex(), effect);
    QTest::qWait(150);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(window_->ApplyPending());
    EXPECT_EQ(applied.count(), 0);
    EXPECT_TRUE(sim_->Frames().empty());
}

TEST_F(MainWindowTest, RestoreDefaultsResetsTheLightingOnlyWhileTheColourKeysAreShown) {
    const auto settings = home_->DocumentsFolder() / "Talvenix" / "wskb.ini";
    Start(true);
    const std::vector<std::uint8_t> changed(35, 0x03);
    sim_->SetMemory(PELLORAN_SIM_LIGHTING, 42, changed);                   // profile 1's record
    QTest::mouseClick(window_->Button(gui::kIdProfile2), Qt::LeftButton);  // shows profile 1
    ASSERT_TRUE(WaitFor([&] { return sim_->Memory(PELLORAN_SIM_CONFIG, 10, 1)[0] == 1; }));
    ASSERT_TRUE(WaitIdle());
    // Choosing a profile turns the colour keys off: turn them on again on profile 1.
    window_->Lighting().ToggleColourKeysMode();
    ASSERT_TRUE(WaitFor([&] { return window_->ColourKeysMode(); }));
    ASSERT_TRUE(WaitIdle());

    QSignalSpy applied(window_.get(), &gui::CTalvenixDlg::ApplyFinished);
    prompt_.answers = {true};
    window_->RestoreDefaults();
    ASSERT_TRUE(WaitFor([&] { return applied.count() == 1; }, 10000));
    const auto record = sim_->Memory(PELLORAN_SIM_LIGHTING, 42, 35);
    EXPECT_EQ(record, std::vector<std::uint8_t>(lighting::kLightingResetImage.begin(),
                                                lighting::kLightingResetImage.end()));
    EXPECT_EQ(sim_->Memory(PELLORAN_SIM_LIGHTING, 0, 1)[0],
              lighting::kLightingResetImage[0]);  // profile 0 untouched

    // With the colour keys hidden the lighting is left alone.
    ASSERT_TRUE(text::WriteProfileString(settings, "KEYCOLOR", "DengCheck", "0"));
    window_.reset();
    sim_->SetMemory(PELLORAN_SIM_LIGHTING, 42, changed);
    Start(true);
    QTest::mouseClick(window_->Button(gui::kIdProfile2), Qt::LeftButton);  // shows profile 1
    ASSERT_TRUE(WaitFor([&] { return sim_->Memory(PELLORAN_SIM_CONFIG, 10, 1)[0] == 1; }));
    ASSERT_TRUE(WaitIdle());
    QSignalSpy appliedAgain(window_.get(), &gui::CTalvenixDlg::ApplyFinished);
    prompt_.answers = {true};
    window_->RestoreDefaults();
    ASSERT_TRUE(WaitFor([&] { return appliedAgain.count() == 1; }, 10000));
    EXPECT_EQ(sim_->Memory(PELLORAN_SIM_LIGHTING, 42, 35), changed);
}

TEST_F(MainWindowTest, RestoreDefaultsClearsTheShownKeysAndApplies) {
    Start(true);
    const int a = LayoutPositionOfUsage(*sim_, kUsageA);
    ASSERT_GE(a, 0);
    sim_->SetMemory(PELLORAN_SIM_KEYBLOCKS, static_cast<std::uint32_t>(a * 3), {0x02, 0x02, kUsageB});
    {
        auto cfg = window_->Working().Lock();
        const keys::KeyAssignment toB = ActsAsB();
        cfg->StoreAssignment(0, kSlotA, toB);
        keys::KeyAssignment disabled;
        disabled.kind = 1;
        cfg->StoreAssignment(0, keys::kGSlotBankA, disabled);
        cfg->StoreAssignment(0, keys::kGSlotBankB, disabled);  // the other bank is not shown: it stays
        window_->Grid().Refresh(*cfg, 0, false, true);
    }
    ASSERT_TRUE(window_->Grid().Assigned(window_->Grid().KeyButton(kButtonA)));

    prompt_.answers = {false};
    window_->RestoreDefaults();
    EXPECT_EQ(window_->Working().Lock()->AssignmentOf(0, kSlotA).kind, 2);
    EXPECT_FALSE(window_->ApplyPending());

    QSignalSpy applied(window_.get(), &gui::CTalvenixDlg::ApplyFinished);
    prompt_.answers = {true};
    window_->RestoreDefaults();
    EXPECT_EQ(prompt_.questions.last(), Text(text::TextId::MAIN_PROMPT_DEFAULT));
    ASSERT_TRUE(WaitFor([&] { return applied.count() == 1; }, 10000));
    EXPECT_TRUE(applied[0][0].toBool());
    EXPECT_FALSE(window_->ApplyPending());
    EXPECT_FALSE(window_->Grid().Assigned(window_->Grid().KeyButton(kButtonA)));
    EXPECT_FALSE(window_->Grid().Assigned(window_->Grid().GButton(0)));
    {
        auto cfg = window_->Working().Lock();
        EXPECT_EQ(cfg->AssignmentOf(0, kSlotA).kind, 0);
        EXPECT_EQ(cfg->AssignmentOf(0, keys::kGSlotBankA).kind, 0);
        EXPECT_EQ(cfg->AssignmentOf(0, keys::kGSlotBankB).kind, 1);
    }
    // The keyboard got its default A back.
    EXPECT_EQ(sim_->Memory(PELLORAN_SIM_KEYBLOCKS, static_cast<std::uint32_t>(a * 3), 3),
              (std::vector<std::uint8_t>{0x02, 0x02, kUsageA}));
}

TEST_F(MainWindowTest, ImportOfAGoodFileDownloadsAllThreeProfiles) {
    Start(true);
    macros::Configuration config;
    profiles::CreateDefaultProfileFile(config);
    const keys::KeyAssignment toB = ActsAsB();
    for (int p = 0; p < 3; ++p) config.StoreAssignment(p, kSlotA, toB);
    const QString path = QString::fromStdString((home_->Path() / "good.tvx").string());
    ASSERT_TRUE(profiles::SaveProfileFile(QFile::encodeName(path).toStdString(), config));

    QSignalSpy imported(window_.get(), &gui::CTalvenixDlg::ImportFinished);
    prompt_.openFile = path;
    window_->ImportProfile();
    ASSERT_TRUE(WaitFor([&] { return imported.count() == 1; }, 10000));
    EXPECT_TRUE(imported[0][0].toBool());
    EXPECT_TRUE(prompt_.messages.isEmpty()) << prompt_.messages.join(QStringLiteral(" | ")).toStdString();
    const int a = LayoutPositionOfUsage(*sim_, kUsageA);
    ASSERT_GE(a, 0);
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(sim_->Memory(PELLORAN_SIM_KEYBLOCKS, static_cast<std::uint32_t>(p * 378 + a * 3), 3),
                  (std::vector<std::uint8_t>{0x02, 0x02, kUsageB}))
            << "profile " << p;
    EXPECT_TRUE(window_->Grid().Assigned(window_->Grid().KeyButton(kButtonA)));
    EXPECT_FALSE(window_->ApplyPending());
}

TEST_F(MainWindowTest, ImportOfABadFileIsRefusedInOneMessageAndChangesNothing) {
    Start(true);
    {
        auto cfg = window_->Working().Lock();
        keys::KeyAssignment disabled;
        disabled.kind = 1;
        cfg->StoreAssignment(0, kSlotA, disabled);
    }
    const macros::Configuration before = window_->Working().Copy();
    const QString path = QString::fromStdString((home_->Path() / "bad.tvx").string());
    {
        QFile bad(path);
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(32832, '\0'));  // long enough, but no valid header
    }
    sim_->ClearFrames();
    QSignalSpy imported(window_.get(), &gui::CTalvenixDlg::ImportFinished);
    window_->ImportProfileFrom(path);
    ASSERT_TRUE(WaitFor([&] { return imported.count() == 1; }));
    EXPECT_FALSE(imported[0][0].toBool());
    // One message naming the file; it must not claim that anything was reset.
    ASSERT_EQ(prompt_.messages.size(), 1);
    EXPECT_TRUE(prompt_.messages[0].contains(path)) << prompt_.messages[0].toStdString();
    EXPECT_TRUE(prompt_.messages[0].startsWith(Text(text::TextId::IMPORT_REFUSED).section(u'%', 0, 0)));
    EXPECT_FALSE(prompt_.messages[0].contains(QStringLiteral("default"), Qt::CaseInsensitive));
    EXPECT_TRUE(window_->Working().Copy() == before);
    EXPECT_TRUE(sim_->Frames().empty());
}

TEST_F(MainWindowTest, AnExportThatCannotBeWrittenSaysSoAndNamesTheFile) {
    Start(true);
    const QString path = QString::fromStdString((home_->Path() / "no-such-folder" / "out.tvx").string());
    prompt_.saveFile = path;
    window_->ExportProfile();
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_EQ(prompt_.messages.size(), 1);
    EXPECT_TRUE(prompt_.messages[0].startsWith(Text(text::TextId::MAIN_UPDATE_BACKUP_NG)));
    EXPECT_TRUE(prompt_.messages[0].contains(QStringLiteral("no-such-folder")));
}

TEST_F(MainWindowTest, ExportWritesTheWorkingConfigurationAndCancelWritesNothing) {
    Start(true);
    {
        auto cfg = window_->Working().Lock();
        keys::KeyAssignment disabled;
        disabled.kind = 1;
        cfg->StoreAssignment(1, kSlotA, disabled);
    }
    const QString path = QString::fromStdString((home_->Path() / "out.tvx").string());
    prompt_.saveFile = QString();
    window_->ExportProfile();
    EXPECT_FALSE(QFile::exists(path));
    prompt_.saveFile = path;
    window_->ExportProfile();
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(profiles::ValidateProfileFile(QFile::encodeName(path).toStdString()),
              profiles::ProfileFileCheck::Valid);
    const auto load = profiles::ReadProfileFile(QFile::encodeName(path).toStdString());
    ASSERT_TRUE(load.Ok());
    EXPECT_EQ(load.config.AssignmentOf(1, kSlotA).kind, 1);
}

TEST_F(MainWindowTest, QuitEndsTheProgramAndRemovesTheIcon) {
    Start(true);
    window_->Show();
    QSignalSpy finished(window_.get(), &gui::CTalvenixDlg::Finished);
    QTest::mouseClick(window_->Button(gui::kIdClose), Qt::LeftButton);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_FALSE(window_->Tray()->Added());
}

TEST_F(MainWindowTest, EveryKeyButtonIsPlacedFromTheSkin) {
    Start(true);
    for (int i = 0; i < keys::kKeyButtonCount; ++i) {
        auto* button = window_->Grid().KeyButton(i);
        EXPECT_NE(button->geometry(), QRect(1, 1, 1, 1)) << button->objectName().toStdString();
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
        EXPECT_TRUE(button->Tip().startsWith(
            QString::fromStdString(keys::KeyNameOf(keys::kKeyButtons[static_cast<std::size_t>(i)].code))));
    }
    EXPECT_EQ(window_->Grid().KeyButton(85)->objectName(), QStringLiteral("KEY_0DB"));  // left Windows
    EXPECT_TRUE(window_->Grid().GButton(0)->isEnabled());
    EXPECT_FALSE(window_->Grid().GButton(5)->isEnabled());
    EXPECT_EQ(window_->Grid().GButton(2)->Tip(), QStringLiteral("G3"));
}

TEST_F(MainWindowTest, AMissingSkinPictureStopsBringUpNamingTheFile) {
    skin_->Remove(QStringLiteral("main_over.jpg"));
    gui::MainWindowContext context;
    context.paths = gui::AppPaths::ForProgramFolder(skin_->ProgramFolder());
    context.link = &sim_->Link();
    context.prompt = &prompt_;
    gui::CTalvenixDlg window(std::move(context));
    try {
        window.BringUp();
        ADD_FAILURE() << "bring-up must fail";
    } catch (const gui::SkinError& e) {
        EXPECT_TRUE(e.File().endsWith(QStringLiteral("Skins/main_over.jpg"))) << e.what();
    }
}

TEST_F(MainWindowTest, HiddenInTheTrayNothingWakesUpPeriodically) {
    Start(true);
    window_->SetApplyPending(true);
    QSignalSpy applied(window_.get(), &gui::CTalvenixDlg::ApplyFinished);
    window_->Apply();
    ASSERT_TRUE(WaitFor([&] { return applied.count() == 1; }, 10000));
    QTest::qWait(200);  // the busy animation stops 100 ms after Apply
    for (auto* timer : window_->findChildren<QTimer*>())
        EXPECT_FALSE(timer->isActive())
            << timer->objectName().toStdString() << " every " << timer->interval() << " ms";
}

TEST_F(MainWindowTest, TheTrayMenuAndIconFollowTheLanguageFileAndTheKeyboard) {
    Start(true);
    auto* tray = window_->Tray();
    ASSERT_NE(tray, nullptr);
    const auto actions = tray->Menu()->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QString::fromStdString(text::LanguageFileText("MENU_11")));
    EXPECT_EQ(actions[1]->text(), QString::fromStdString(text::LanguageFileText("MENU_22")));
    EXPECT_EQ(actions[2]->text(), QString::fromStdString(text::LanguageFileText("MENU_33")));
    EXPECT_EQ(tray->Tip(), Text(text::TextId::KEYBOARD_TRAY_DESC));
    sim_->Control("icon on");
    EXPECT_TRUE(WaitFor([&] { return tray->State() == TrayState::Event; }));
    sim_->Control("icon off");
    EXPECT_TRUE(WaitFor([&] { return tray->State() == TrayState::Attached; }));
    // The menu's Show item shows the window.
    actions[0]->trigger();
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(MainWindowTest, ChoosingALanguageStoresItAndReloadsEveryText) {
    Start(true);
    const text::IniFile language(
        QFile::encodeName(skin_->SkinFolder() + QStringLiteral("/language.ini")).toStdString());
    window_->SelectLanguage(0);
    ASSERT_TRUE(WaitIdle());  // the lighting is read again on the keyboard worker
    EXPECT_EQ(text::ReadStoredLanguageId(home_->ConfigFolder()), std::optional<std::uint32_t>(2052));
    EXPECT_EQ(window_->windowTitle().toStdString(), language.Get("CHINESE", "MAIN_CAPTION", " "));
    EXPECT_EQ(window_->Button(gui::kIdProfile1)->text().toStdString(),
              language.Get("CHINESE", "PROFILE_1", " "));
    EXPECT_EQ(window_->Tray()->Tip().toStdString(), language.Get("CHINESE", "KEYBOARD_TRAY_DESC", " "));
    EXPECT_EQ(window_->Button(gui::kIdVersion)->text().toStdString(),
              language.Get("CHINESE", "MAIN_BUTTON_KALTEV_VER", " "));
    // The effect list is rebuilt with the names of the new language.
    const text::IniFile mainSkin(
        QFile::encodeName(skin_->SkinFolder() + QStringLiteral("/Main.ini")).toStdString());
    auto* combo = window_->findChild<QComboBox*>(QStringLiteral("CONTROL_XGcombox"));
    ASSERT_NE(combo, nullptr);
    ASSERT_GT(combo->count(), 0);
    const std::string firstCode = std::to_string(combo->itemData(0).toInt());
    EXPECT_EQ(combo->itemText(0).toStdString(), mainSkin.Get("Mode", firstCode, "1"));
    window_->SelectLanguage(1);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(text::ReadStoredLanguageId(home_->ConfigFolder()), std::optional<std::uint32_t>(1033));
    EXPECT_EQ(window_->windowTitle().toStdString(), language.Get("ENGINSH", "MAIN_CAPTION", " "));
    EXPECT_EQ(window_->Button(gui::kIdVersion)->text().toStdString(),
              language.Get("ENGINSH", "MAIN_BUTTON_KALTEV_VER", " "));
    EXPECT_EQ(combo->itemText(0).toStdString(), mainSkin.Get("Mode1", firstCode, "1"));
}

TEST_F(MainWindowTest, AFailedLayoutReadShowsItsMessageAndTheReadBackStillRuns) {
    sim_->Control("fault status-fe 3");  // the first frame, the layout read, fails all three attempts
    Start(true);
    EXPECT_TRUE(WaitFor([this] { return !prompt_.messages.isEmpty(); }));
    EXPECT_EQ(prompt_.messages, QStringList{Text(text::TextId::MAIN_DEFAULT_MATRIX_PROMPT)});
    EXPECT_EQ(window_->LastDeviceCount(), 1);
    EXPECT_EQ(window_->Tray()->State(), TrayState::Attached);
}

TEST_F(MainWindowTest, ApplySavesAndDownloadsTheShownProfileOffTheUiThread) {
    Start(true);
    {
        auto cfg = window_->Working().Lock();
        const keys::KeyAssignment toB = ActsAsB();
        cfg->StoreAssignment(0, kSlotA, toB);
    }
    window_->SetApplyPending(true);
    EXPECT_TRUE(window_->Button(gui::kIdApply)->isEnabled());
    QSignalSpy applied(window_.get(), &gui::CTalvenixDlg::ApplyFinished);
    QTest::mouseClick(window_->Button(gui::kIdApply), Qt::LeftButton);
    auto* busy = window_->findChild<QLabel*>(QStringLiteral("CONTROL_JDTStatic"));
    ASSERT_NE(busy, nullptr);
    EXPECT_FALSE(busy->isHidden());  // the busy animation runs while the keyboard is written
    EXPECT_FALSE(window_->Button(gui::kIdApply)->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return applied.count() == 1; }, 10000));
    EXPECT_TRUE(applied[0][0].toBool());
    EXPECT_FALSE(window_->ApplyPending());
    EXPECT_FALSE(window_->Button(gui::kIdApply)->isEnabled());
    EXPECT_TRUE(WaitFor([&] { return busy->isHidden(); }));
    const int a = LayoutPositionOfUsage(*sim_, kUsageA);
    EXPECT_EQ(sim_->Memory(PELLORAN_SIM_KEYBLOCKS, static_cast<std::uint32_t>(a * 3), 3),
              (std::vector<std::uint8_t>{0x02, 0x02, kUsageB}));
    // The store file holds the applied configuration.
    const auto stored =
        profiles::ReadProfileFile(QFile::encodeName(window_->Keyboard().StoreFile()).toStdString());
    ASSERT_TRUE(stored.Ok());
    EXPECT_EQ(stored.config.AssignmentOf(0, kSlotA).kind, 2);
}

TEST_F(MainWindowTest, AnEditWhileApplyRunsIsNotLostAndItsApplyFollows) {
    Start(true);
    {
        auto cfg = window_->Working().Lock();
        const keys::KeyAssignment toB = ActsAsB();
        cfg->StoreAssignment(0, kSlotA, toB);
    }
    window_->SetApplyPending(true);
    sim_->Control("latency 20000");  // slow enough that restore defaults lands while Apply runs
    QSignalSpy applied(window_.get(), &gui::CTalvenixDlg::ApplyFinished);
    window_->Apply();
    ASSERT_TRUE(window_->ApplyRunning());
    prompt_.answers = {true};
    window_->RestoreDefaults();
    EXPECT_TRUE(window_->ApplyPending());
    ASSERT_TRUE(WaitFor([&] { return applied.count() == 2; }, 30000));
    sim_->Control("latency 0");
    EXPECT_TRUE(applied[0][0].toBool());
    EXPECT_TRUE(applied[1][0].toBool());
    EXPECT_FALSE(window_->ApplyPending());
    // The second Apply carried the restored default A to the keyboard.
    const int a = LayoutPositionOfUsage(*sim_, kUsageA);
    EXPECT_EQ(sim_->Memory(PELLORAN_SIM_KEYBLOCKS, static_cast<std::uint32_t>(a * 3), 3),
              (std::vector<std::uint8_t>{0x02, 0x02, kUsageA}));
}

TEST_F(MainWindowTest, AnImportTheKeyboardDidNotTakeLeavesApplyEnabled) {
    Start(true);
    macros::Configuration config;
    profiles::CreateDefaultProfileFile(config);
    const QString path = QString::fromStdString((home_->Path() / "good.tvx").string());
    ASSERT_TRUE(profiles::SaveProfileFile(QFile::encodeName(path).toStdString(), config));
    sim_->Control("fault status-ff 50");
    QSignalSpy imported(window_.get(), &gui::CTalvenixDlg::ImportFinished);
    window_->ImportProfileFrom(path);
    ASSERT_TRUE(WaitFor([&] { return imported.count() == 1; }, 15000));
    sim_->Control("fault clear");
    EXPECT_FALSE(imported[0][0].toBool());
    EXPECT_TRUE(window_->ApplyPending());
    EXPECT_TRUE(window_->Button(gui::kIdApply)->isEnabled());
    EXPECT_EQ(prompt_.messages, QStringList{Text(text::TextId::APPLY_NOT_TAKEN)});
}

TEST_F(MainWindowTest, AFailedApplyLeavesApplyEnabled) {
    Start(true);
    window_->SetApplyPending(true);
    sim_->Control("fault status-ff 50");
    QSignalSpy applied(window_.get(), &gui::CTalvenixDlg::ApplyFinished);
    window_->Apply();
    ASSERT_TRUE(WaitFor([&] { return applied.count() == 1; }, 15000));
    EXPECT_FALSE(applied[0][0].toBool());
    EXPECT_TRUE(window_->ApplyPending());
    EXPECT_TRUE(window_->Button(gui::kIdApply)->isEnabled());
    // Said once, and the next Apply sends the kept changes.
    EXPECT_EQ(prompt_.messages, QStringList{Text(text::TextId::APPLY_NOT_TAKEN)});
    sim_->Control("fault clear");
    window_->Apply();
    ASSERT_TRUE(WaitFor([&] { return applied.count() == 2; }, 15000));
    EXPECT_TRUE(applied[1][0].toBool());
    EXPECT_FALSE(window_->ApplyPending());
    EXPECT_EQ(prompt_.messages.size(), 1);
}

TEST_F(MainWindowTest, RestoreDefaultsTheKeyboardDidNotTakeSaysSoAndKeepsApplyEnabled) {
    Start(true);
    sim_->Control("fault status-ff 50");
    QSignalSpy applied(window_.get(), &gui::CTalvenixDlg::ApplyFinished);
    prompt_.answers = {true};
    window_->RestoreDefaults();
    ASSERT_TRUE(WaitFor([&] { return applied.count() == 1; }, 15000));
    sim_->Control("fault clear");
    EXPECT_FALSE(applied[0][0].toBool());
    EXPECT_TRUE(window_->ApplyPending());
    EXPECT_TRUE(window_->Button(gui::kIdApply)->isEnabled());
    EXPECT_EQ(prompt_.messages, QStringList{Text(text::TextId::APPLY_NOT_TAKEN)});
}

// A dialog that may refuse to close, as an editor with unsaved work does.
class RefusingDialog : public gui::CBaseDialog {
public:
    using CBaseDialog::CBaseDialog;
    bool refuse = true;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (refuse)
            event->ignore();
        else
            event->accept();
    }
};

TEST_F(MainWindowTest, QuitWhileADialogRefusesLeavesTheProgramRunningAndHidden) {
    Start(true);
    window_->Show();
    RefusingDialog dialog(skin_->SkinFolder() + QStringLiteral("/Main.ini"), window_.get());
    window_->Dialogs().RegisterDialog(&dialog);
    dialog.show();
    EXPECT_TRUE(window_->Dialogs().EditorOpen());
    QSignalSpy finished(window_.get(), &gui::CTalvenixDlg::Finished);
    window_->Quit();
    EXPECT_EQ(finished.count(), 0);
    EXPECT_FALSE(window_->QuitDone());
    EXPECT_FALSE(window_->isVisible());
    EXPECT_TRUE(dialog.isVisible());
    // The program still answers the keyboard.
    sim_->Control("gbank");
    EXPECT_TRUE(WaitFor([this] { return window_->BankB(); }));
    dialog.refuse = false;
    window_->Quit();
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(MainWindowTest, UnplugClosesTheOpenDialogs) {
    Start(true);
    window_->Show();
    RefusingDialog dialog(skin_->SkinFolder() + QStringLiteral("/Main.ini"), window_.get());
    window_->Dialogs().RegisterDialog(&dialog);
    dialog.show();
    sim_->Control("unplug");
    ASSERT_TRUE(WaitFor(
        [this] { return window_->LastDeviceCount() == 0 && window_->PresenceWorkersRunning() == 0; }));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(window_->isVisible());
    EXPECT_FALSE(window_->Dialogs().EditorOpen());
}

TEST_F(MainWindowTest, AnEditorCountsAsOpenUntilItUnregistersOrIsDeleted) {
    Start(true);
    auto& dialogs = window_->Dialogs();
    EXPECT_FALSE(dialogs.EditorOpen());
    auto first = std::make_unique<RefusingDialog>(skin_->SkinFolder() + QStringLiteral("/Main.ini"));
    RefusingDialog second(skin_->SkinFolder() + QStringLiteral("/Main.ini"));
    dialogs.RegisterDialog(first.get());
    dialogs.RegisterDialog(&second);
    dialogs.UnregisterDialog(&second);
    EXPECT_TRUE(dialogs.EditorOpen());
    first.reset();  // a dialog deleted without unregistering
    EXPECT_FALSE(dialogs.EditorOpen());
}

TEST_F(MainWindowTest, AProfileChosenOnTheKeyboardRereadsTheLighting) {
    Start(true);
    auto* combo = window_->findChild<QComboBox*>(QStringLiteral("CONTROL_XGcombox"));
    ASSERT_NE(combo, nullptr);
    ASSERT_GT(combo->count(), 1);
    const int other = combo->itemData(combo->count() - 1).toInt();
    ASSERT_NE(combo->currentData().toInt(), other);
    // Profile 1's record says `other`; the keyboard switches to profile 1 by itself.
    sim_->SetMemory(PELLORAN_SIM_LIGHTING, 42, {static_cast<std::uint8_t>(other)});
    sim_->Control("switch-profile 1");
    EXPECT_TRUE(WaitFor([&] { return combo->currentData().toInt() == other; }));
    // The keys shown follow the keyboard's profile too.
    EXPECT_EQ(window_->ShownProfile(), 1);
    EXPECT_TRUE(window_->Button(gui::kIdProfile2)->SetState());
    EXPECT_FALSE(window_->Button(gui::kIdProfile1)->SetState());
}

TEST_F(MainWindowTest, AProfileButtonSwitchesTheKeyboardAndShowsThatProfile) {
    Start(true);
    ASSERT_EQ(window_->ShownProfile(), 0);
    QTest::mouseClick(window_->Button(gui::kIdProfile3), Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(sim_->Memory(PELLORAN_SIM_CONFIG, 10, 1), std::vector<std::uint8_t>{2});
    EXPECT_EQ(window_->ShownProfile(), 2);
    EXPECT_TRUE(window_->Button(gui::kIdProfile3)->SetState());
    EXPECT_FALSE(window_->Button(gui::kIdProfile1)->SetState());
    // The profile already current: no configuration write.
    sim_->ClearFrames();
    QTest::mouseClick(window_->Button(gui::kIdProfile3), Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(sim_->FramesOf(4).empty());
}

TEST_F(MainWindowTest, SwitchingWithUnappliedChangesAsksFirst) {
    Start(true);
    const int a = LayoutPositionOfUsage(*sim_, kUsageA);
    keys::KeyAssignment disabled;
    disabled.kind = 1;
    window_->Working().Lock()->StoreAssignment(0, kSlotA, disabled);
    window_->SetApplyPending(true);
    prompt_.answers = {false};  // drop the change
    QTest::mouseClick(window_->Button(gui::kIdProfile2), Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(prompt_.questions.last(), Text(text::TextId::PROFILE_SELECT_PROMPT));
    EXPECT_EQ(window_->Working().Lock()->AssignmentOf(0, kSlotA).kind, 0);
    EXPECT_FALSE(window_->ApplyPending());
    EXPECT_EQ(window_->ShownProfile(), 1);

    window_->Working().Lock()->StoreAssignment(1, kSlotA, disabled);
    window_->SetApplyPending(true);
    prompt_.answers = {true};  // apply it first
    QTest::mouseClick(window_->Button(gui::kIdProfile1), Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    EXPECT_FALSE(window_->ApplyPending());
    EXPECT_EQ(sim_->Memory(PELLORAN_SIM_KEYBLOCKS, static_cast<std::uint32_t>(378 + a * 3), 3),
              (std::vector<std::uint8_t>{0x00, 0x00, 0x00}));
    EXPECT_EQ(window_->ShownProfile(), 0);
    EXPECT_EQ(sim_->Memory(PELLORAN_SIM_CONFIG, 10, 1), std::vector<std::uint8_t>{0});
}

// The program itself, as a user starts it.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = std::make_unique<TempHome>();
        skin_ = std::make_unique<TestSkin>();
        QFile::link(QStringLiteral(TALVENIX_BIN_DIR "/libPelloranSim.so"),
                    skin_->ProgramFolder() + QStringLiteral("/libPelloranSim.so"));
    }
    void TearDown() override { QDir(skin_->ProgramFolder()).removeRecursively(); }
    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TALVENIX_PROGRAM_DIR"), skin_->ProgramFolder());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TALVENIX_SIM_SOCKET"), QStringLiteral("none"));
        env.insert(QStringLiteral("TALVENIX_SIM_LATENCY_US"), QStringLiteral("0"));
        return env;
    }
    std::unique_ptr<TempHome> home_;
    std::unique_ptr<TestSkin> skin_;
};

TEST_F(ProgramTest, AMissingSkinPictureExitsNonZeroNamingTheFile) {
    skin_->Remove(QStringLiteral("main_down.jpg"));
    QProcess program;
    program.setProcessEnvironment(Environment());
    program.start(QStringLiteral(TALVENIX_BIN_DIR "/talvenix"),
                  {QStringLiteral("--simulate"), QStringLiteral("/Start")});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_NE(program.exitCode(), 0);
    EXPECT_TRUE(program.readAllStandardError().contains("main_down.jpg"));
}

TEST_F(ProgramTest, KillEndsTheRunningProgram) {
    QProcess first;
    first.setProcessEnvironment(Environment());
    first.start(QStringLiteral(TALVENIX_BIN_DIR "/talvenix"),
                {QStringLiteral("--simulate"), QStringLiteral("/Start")});
    ASSERT_TRUE(first.waitForStarted());
    const QString socket = QString::fromStdString((home_->RuntimeFolder()).string()) +
                           QStringLiteral("/QT27M05B-%1").arg(::getuid());
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(socket); }, 15000)) << socket.toStdString();
    QProcess second;
    second.setProcessEnvironment(Environment());
    second.start(QStringLiteral(TALVENIX_BIN_DIR "/talvenix"), {QStringLiteral("/KILL")});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(first.waitForFinished(15000)) << first.readAllStandardError().toStdString();
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
}

}  // namespace
}  // namespace talvenix::test

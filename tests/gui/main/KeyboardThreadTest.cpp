// The main window never waits on the keyboard: every keyboard call runs on the keyboard
// worker (the fixture fails any test whose UI thread made one), and a slow keyboard leaves
// the window handling its events.
#include <gtest/gtest.h>

#include <QEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "core/keys/KeyAssignment.h"
#include "core/profiles/ProfileFile.h"
#include "tests/gui/GuiFixture.h"

namespace talvenix::test {
namespace {

constexpr int kSlotA = 0x01E;
constexpr std::uint16_t kUsageGBank = 0x02FF;
constexpr std::uint16_t kUsageConfigChanged = 0x0401;

void DisableKeyA(gui::CTalvenixDlg& window, int profile) {
    keys::KeyAssignment disabled;
    disabled.kind = 1;
    window.Working().Lock()->StoreAssignment(profile, kSlotA, disabled);
    window.SetApplyPending(true);
}

// Every keyboard-facing command of the window in turn; the fixture's check does the rest.
TEST_F(MainWindowTest, NoCommandTalksToTheKeyboardOnTheUiThread) {
    Start(false);  // the first arrival shows the window
    QSignalSpy applied(window_.get(), &gui::CTalvenixDlg::ApplyFinished);
    DisableKeyA(*window_, 0);
    window_->Apply();
    ASSERT_TRUE(WaitFor([&] { return applied.count() == 1; }, 10000));

    window_->HandleConsumerUsage(kUsageGBank);
    window_->HandleConsumerUsage(kUsageConfigChanged);
    window_->SelectLanguage(0);
    window_->SelectLanguage(1);
    ASSERT_TRUE(WaitIdle());

    DisableKeyA(*window_, 0);
    prompt_.answers = {true};  // apply before switching
    QTest::mouseClick(window_->Button(gui::kIdProfile2), Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(window_->ShownProfile(), 1);

    prompt_.answers = {true};
    window_->RestoreDefaults();
    ASSERT_TRUE(WaitFor([&] { return applied.count() == 3; }, 10000));

    macros::Configuration config;
    profiles::CreateDefaultProfileFile(config);
    const QString path = QString::fromStdString((home_->Path() / "import.tvx").string());
    ASSERT_TRUE(profiles::SaveProfileFile(QFile::encodeName(path).toStdString(), config));
    QSignalSpy imported(window_.get(), &gui::CTalvenixDlg::ImportFinished);
    window_->ImportProfileFrom(path);
    ASSERT_TRUE(WaitFor([&] { return imported.count() == 1; }, 10000));

    sim_->Control("unplug");
    ASSERT_TRUE(WaitFor([this] { return window_->LastDeviceCount() == 0 && WaitIdle(); }));
    sim_->Control("plug");
    ASSERT_TRUE(WaitFor([this] { return window_->LastDeviceCount() == 1 && WaitIdle(); }));
    EXPECT_EQ(KeyboardCallsOnWatchedThread(), 0)
        << "the UI thread talked to the keyboard, first through " << FirstKeyboardCallOnWatchedThread();
}

// The keyboard answers each request only after a long pause.
class SlowKeyboardTest : public MainWindowTest {
protected:
    device::TransportTiming Timing() const override {
        device::TransportTiming t = FastTiming();
        t.attemptWait = std::chrono::milliseconds(2000);
        return t;
    }

    void SetUp() override {
        MainWindowTest::SetUp();
        Start(true);
        window_->Show();
        ASSERT_TRUE(window_->isVisible());
        sim_->Control("latency 200000");
        window_->installEventFilter(&paints_);
        SetUpTicker(&ticker_);
    }

    // Counts what the event loop handled: timer ticks and repaints of the window.
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++paints;
            return false;
        }
    };
    void SetUpTicker(QTimer* timer) {
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, [this] { ++ticks_; });
    }
    // While `running` holds, the event loop keeps ticking a 10 ms timer and repaints the window.
    void ExpectResponsiveWhile(const std::function<bool()>& running) {
        ticks_ = 0;
        paints_.paints = 0;
        ticker_.start();
        window_->update();
        ASSERT_TRUE(WaitFor([&] { return ticks_ >= 5 && paints_.paints > 0; }));
        EXPECT_TRUE(running()) << "the keyboard work ended before the window handled its events";
        ticker_.stop();
    }

    QTimer ticker_;
    int ticks_ = 0;
    PaintCounter paints_;
};

TEST_F(SlowKeyboardTest, TheWindowStaysResponsiveWhileApplyRuns) {
    QSignalSpy applied(window_.get(), &gui::CTalvenixDlg::ApplyFinished);
    DisableKeyA(*window_, 0);
    window_->Apply();
    ExpectResponsiveWhile([&] { return applied.isEmpty() && window_->ApplyRunning(); });
    ASSERT_TRUE(WaitFor([&] { return applied.count() == 1; }, 120000));
    EXPECT_TRUE(applied[0][0].toBool());
}

TEST_F(SlowKeyboardTest, TheWindowStaysResponsiveWhileAProfileSwitchAndTheGBankRun) {
    QSignalSpy switched(window_.get(), &gui::CTalvenixDlg::ProfileSwitchFinished);
    DisableKeyA(*window_, 0);
    prompt_.answers = {true};  // the switch applies first
    QTest::mouseClick(window_->Button(gui::kIdProfile3), Qt::LeftButton);
    ExpectResponsiveWhile([&] { return switched.isEmpty(); });
    // The G-bank key, queued behind the switch: the window shows bank B at once.
    window_->HandleConsumerUsage(kUsageGBank);
    EXPECT_TRUE(window_->BankB());
    ExpectResponsiveWhile([&] { return switched.isEmpty(); });
    ASSERT_TRUE(WaitFor([&] { return switched.count() == 1; }, 120000));
    EXPECT_TRUE(switched[0][0].toBool());
    EXPECT_EQ(window_->ShownProfile(), 2);
    ASSERT_TRUE(WaitIdle(20000));
    EXPECT_FALSE(window_->ApplyPending());
}

}  // namespace
}  // namespace talvenix::test

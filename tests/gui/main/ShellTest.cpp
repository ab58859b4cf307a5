// What a new user meets in the shell: showing the window while a keyboard is being read,
// desktops without a notification area, keyboard use of the buttons, readable texts and
// tooltips, the colour wheel as a control, and file choosers that go with the window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <cmath>

#include "core/text/LanguageTable.h"
#include "gui/common/QtTranslations.h"
#include "gui/skin/SkinColours.h"
#include "tests/gui/GuiFixture.h"

namespace talvenix::test {
namespace {

QString Text(text::TextId id) { return QString::fromStdString(text::LanguageText(id)); }

// WCAG relative luminance and contrast ratio.
double Luminance(const QColor& c) {
    auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}
double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A press on `target` at `local`, then a move of the held mouse by `by`, as the window sees it.
void DragFrom(QWidget* target, QPoint local, QPoint by) {
    const QPoint global = target->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(local), QPointF(global), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QWidget* window = target->window();
    const QPoint to = global + by;
    QMouseEvent move(QEvent::MouseMove, QPointF(window->mapFromGlobal(to)), QPointF(to), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(window->mapFromGlobal(to)), QPointF(to),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window, &release);
}

// The keyboard answers slowly enough that its arrival's read-back can be caught running.
class ArrivalTest : public MainWindowTest {
protected:
    device::TransportTiming Timing() const override {
        device::TransportTiming t = FastTiming();
        t.attemptWait = std::chrono::milliseconds(2000);
        return t;
    }
    // Unplugs, slows the keyboard down and plugs it back in; returns once the arrival's
    // keyboard work is running.
    void ReplugSlowly() {
        sim_->Control("unplug");
        ASSERT_TRUE(WaitFor([this] { return window_->LastDeviceCount() == 0 && WaitIdle(); }));
        sim_->Control("latency 20000");
        sim_->Control("plug");
        ASSERT_TRUE(WaitFor([this] { return window_->PresenceWorkersRunning() > 0; }));
    }
};

TEST_F(ArrivalTest, AskingForTheWindowDuringTheArrivalShowsItBusyInsteadOfTheNoKeyboardMessage) {
    Start(true);
    ReplugSlowly();
    QSignalSpy readBack(window_.get(), &gui::CTalvenixDlg::ReadBackFinished);
    window_->Show();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(window_->BusyShown());
    EXPECT_EQ(readBack.count(), 0) << "the read-back ended before the window was asked for";
    ASSERT_TRUE(WaitFor([this] { return window_->PresenceWorkersRunning() == 0; }, 60000));
    EXPECT_TRUE(window_->isVisible());
    EXPECT_FALSE(window_->BusyShown());
    EXPECT_EQ(window_->LastDeviceCount(), 1);
    EXPECT_TRUE(prompt_.messages.isEmpty()) << prompt_.messages.join(u'|').toStdString();
}

TEST_F(ArrivalTest, AKeyboardThatLeavesDuringTheWaitGivesTheNoKeyboardMessageAfterAll) {
    Start(true);
    ReplugSlowly();
    window_->Show();
    ASSERT_TRUE(window_->isVisible());
    sim_->Control("unplug");
    ASSERT_TRUE(WaitFor([this] { return window_->LastDeviceCount() == 0 && WaitIdle(); }, 60000));
    EXPECT_FALSE(window_->isVisible());
    EXPECT_FALSE(window_->BusyShown());
    // The interrupted read-back may explain itself first; the window's own answer comes last.
    ASSERT_FALSE(prompt_.messages.isEmpty());
    EXPECT_EQ(prompt_.messages.back(), Text(text::TextId::MAIN_NO_DEVICE_PROMPT));
    EXPECT_EQ(prompt_.messages.count(Text(text::TextId::MAIN_NO_DEVICE_PROMPT)), 1);
}

TEST_F(MainWindowTest, WithoutANotificationAreaHidingMinimisesAndStartFlagStartsMinimised) {
    trayHost_ = false;
    Start(true);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(window_->isMinimized());

    window_->Show();
    ASSERT_TRUE(WaitFor([this] { return !window_->isMinimized(); }));
    window_->Button(gui::kIdCancel)->click();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(window_->isMinimized());

    window_->Show();
    ASSERT_TRUE(WaitFor([this] { return !window_->isMinimized(); }));
    QCloseEvent close;
    QApplication::sendEvent(window_.get(), &close);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(window_->isMinimized());

    // With a notification area the same commands hide the window.
    trayHost_ = true;
    window_->Show();
    ASSERT_TRUE(WaitFor([this] { return window_->isVisible() && !window_->isMinimized(); }));
    window_->Button(gui::kIdCancel)->click();
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(MainWindowTest, EveryButtonTakesTabFocusInReadingOrderAndSpacePressesIt) {
    Start(true);
    window_->Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));

    // Tab visits every shown, enabled button exactly once per round.
    window_->SetApplyPending(true);
    QList<gui::CPngButton*> expected;
    for (auto* b : window_->findChildren<gui::CPngButton*>())
        if (b->isVisible() && b->isEnabled() && !b->testAttribute(Qt::WA_TransparentForMouseEvents))
            expected << b;
    ASSERT_GT(expected.size(), 100);
    window_->Button(gui::kIdProfile1)->setFocus();
    QList<QWidget*> visited;
    for (int i = 0; i < 400 && !visited.contains(QApplication::focusWidget()); ++i) {
        visited << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (auto* b : expected) EXPECT_TRUE(visited.contains(b)) << b->objectName().toStdString();
    // Reading order: the profile buttons in turn, OK before Cancel before Apply.
    const auto at = [&](int id) { return visited.indexOf(window_->Button(id)); };
    EXPECT_EQ(at(gui::kIdProfile2), at(gui::kIdProfile1) + 1);
    EXPECT_EQ(at(gui::kIdProfile3), at(gui::kIdProfile2) + 1);
    EXPECT_LT(at(gui::kIdOk), at(gui::kIdCancel));
    EXPECT_LT(at(gui::kIdCancel), at(gui::kIdApply));

    // The focused button shows a ring.
    gui::CPngButton* apply = window_->Button(gui::kIdApply);
    window_->Button(gui::kIdOk)->setFocus();
    const QImage unfocused = apply->grab().toImage();
    apply->setFocus();
    ASSERT_TRUE(apply->hasFocus());
    EXPECT_NE(apply->grab().toImage(), unfocused);

    // Space presses it; Enter and Escape still do nothing.
    QSignalSpy applied(window_.get(), &gui::CTalvenixDlg::ApplyFinished);
    QTest::keyClick(apply, Qt::Key_Return);
    QTest::keyClick(apply, Qt::Key_Escape);
    QTest::qWait(50);
    EXPECT_EQ(applied.count(), 0);
    EXPECT_TRUE(window_->isVisible());
    QTest::keyClick(apply, Qt::Key_Space);
    ASSERT_TRUE(WaitFor([&] { return applied.count() == 1; }, 10000));
    EXPECT_TRUE(applied[0][0].toBool());
}

TEST_F(MainWindowTest, TooltipsAndLabelsAreReadableOnTheSkin) {
    Start(true);
    window_->Show();
    // The profile label's tooltip, as Qt shows it.
    auto* label = window_->findChild<QLabel*>(QStringLiteral("CONTROL_ProfileStatic"));
    ASSERT_NE(label, nullptr);
    QToolTip::showText(label->mapToGlobal(QPoint(2, 2)), label->toolTip(), label);
    QWidget* tip = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->inherits("QTipLabel") && w->isVisible()) tip = w;
        return tip != nullptr;
    }));
    const QPalette p = tip->palette();
    EXPECT_GE(Contrast(p.color(QPalette::WindowText), p.color(QPalette::Window)), 4.5);
    EXPECT_GE(Contrast(p.color(QPalette::ToolTipText), p.color(QPalette::ToolTipBase)), 4.5);
    QToolTip::hideText();

    // The window's own labels and captions on the window's background colour.
    const QColor window(0x15, 0x17, 0x1C);
    for (auto* l : window_->findChildren<QLabel*>()) {
        if (l->text().isEmpty()) continue;
        EXPECT_GE(Contrast(l->palette().color(QPalette::WindowText), window), 4.5)
            << l->objectName().toStdString();
    }
    for (auto* b : window_->findChildren<gui::CPngButton*>()) {
        const auto& style = b->GetTextStyle();
        if (!style.on) continue;
        EXPECT_GE(Contrast(style.colour, window), 4.5) << b->objectName().toStdString();
        EXPECT_GE(Contrast(style.disabledColour, window), 4.5) << b->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, ThePressThatMovesTheWindowIsOnItsSurfaceNeverOnTheColourWheel) {
    Start(true);
    window_->Show();
    auto* wheel = window_->findChild<QWidget*>(QStringLiteral("CONTROL_ColourWheel"));
    ASSERT_NE(wheel, nullptr);
    ASSERT_TRUE(wheel->isVisible());
    const QPoint before = window_->pos();
    const QPoint centre = wheel->rect().center();
    ASSERT_EQ(window_->childAt(wheel->mapTo(window_.get(), centre)), wheel);
    DragFrom(wheel, centre, QPoint(40, 30));
    EXPECT_EQ(window_->pos(), before);

    // A bare spot of the surface still drags (where the window manager cannot do it itself).
    QPoint bare(-1, -1);
    for (int y = 60; y < window_->height() && bare.x() < 0; y += 7)
        for (int x = 300; x < window_->width() && bare.x() < 0; x += 7)
            if (!window_->childAt(x, y)) bare = QPoint(x, y);
    ASSERT_GE(bare.x(), 0);
    DragFrom(window_.get(), bare, QPoint(40, 30));
    EXPECT_EQ(window_->pos(), before + QPoint(40, 30));
}

TEST_F(MainWindowTest, UnpluggingTheKeyboardClosesAnOpenFileChooser) {
    Start(true);
    window_->Show();
    sim_->Control("unplug");
    ASSERT_TRUE(WaitFor([this] { return window_->LastDeviceCount() == 0 && WaitIdle(); }));
    EXPECT_EQ(prompt_.dismissals, 1);
    EXPECT_FALSE(window_->isVisible());
}

// The real message boxes and file choosers.
class RealPromptTest : public ::testing::Test {
protected:
    void SetUp() override {
        text::LoadLanguageTable(
            QFile::encodeName(QStringLiteral(TALVENIX_SOURCE_DIR "/skins/language.ini")).toStdString(),
            text::kChinese);
        gui::UseQtTranslations(text::kChinese);
    }
    void TearDown() override {
        gui::UseQtTranslations(text::kEnglish);
        text::LoadLanguageTable(
            QFile::encodeName(QStringLiteral(TALVENIX_SOURCE_DIR "/skins/language.ini")).toStdString(),
            text::kEnglish);
    }
    // Runs `inspect` on the modal window the prompt opens, then closes it.
    void WhenModalOpens(std::function<void(QWidget*)> inspect) {
        QTimer::singleShot(0, [this, inspect] {
            QWidget* modal = nullptr;
            WaitFor([&] { return (modal = QApplication::activeModalWidget()) != nullptr; });
            if (!modal) {
                ADD_FAILURE() << "no modal window opened";
                return;
            }
            inspect(modal);
            if (auto* dialog = qobject_cast<QDialog*>(modal);
                dialog && QApplication::activeModalWidget() == modal)
                dialog->reject();
        });
    }
    QWidget parent_;
    gui::MessageBoxPrompt prompt_{&parent_};
};

TEST_F(RealPromptTest, MessagesCarryTheProgramsTitleAndChineseButtonTexts) {
    ASSERT_TRUE(gui::QtTranslationsInstalled())
        << "Qt's translations in " << gui::QtTranslationsFolder().toStdString();
    WhenModalOpens([](QWidget* box) {
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Talvenix"));
        auto* ok = box->findChild<QAbstractButton*>();
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->text(), QString::fromStdString(text::LanguageFileText("PROFILE_OK")));
    });
    prompt_.ShowMessage(QStringLiteral("x"), QString(), gui::PromptIcon::None);

    QStringList buttons;
    WhenModalOpens([&buttons](QWidget* box) {
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Talvenix"));
        for (auto* b : box->findChildren<QAbstractButton*>()) buttons << b->text();
    });
    prompt_.AskYesNo(QStringLiteral("?"), QString());
    EXPECT_EQ(buttons.size(), 2);
    // Qt's own Yes and No, in Chinese.
    for (const QString& b : buttons) {
        EXPECT_FALSE(b.contains(QStringLiteral("Yes")) || b.contains(QStringLiteral("No")))
            << b.toStdString();
        EXPECT_FALSE(b.isEmpty());
    }
}

TEST_F(RealPromptTest, ADismissedFileChooserClosesAsCancelled) {
    bool wasOpen = false;
    QTimer::singleShot(0, [&] {
        WaitFor([&] { return prompt_.OpenChooser() != nullptr; });
        wasOpen = prompt_.OpenChooser() && prompt_.OpenChooser()->isVisible();
        prompt_.DismissFileChooser();
    });
    EXPECT_TRUE(prompt_.ChooseOpenFile(QString(), QDir::tempPath(), QStringLiteral("(*.tvx)")).isEmpty());
    EXPECT_TRUE(wasOpen);
    EXPECT_EQ(prompt_.OpenChooser(), nullptr);
}

}  // namespace
}  // namespace talvenix::test

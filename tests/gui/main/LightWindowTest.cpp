// What the main window holds and does while nobody looks: its pictures only while shown (and
// the same pixels as ever), nothing focused or animated by default, and a start-up whose
// read-back runs beside the skin.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <map>

#include "gui/lighting/KeyPreview.h"
#include "gui/lighting/LightingPanel.h"
#include "gui/main/MainControls.h"
#include "gui/skin/FaceSheets.h"
#include "gui/skin/PngButton.h"
#include "gui/skin/SkinError.h"
#include "tests/gui/GuiFixture.h"

namespace talvenix::test {
namespace {

// Every pixel differs from its neighbours, so a face cut from the wrong place shows.
QImage Pattern(QSize size, int seed) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(
                x, y, qRgb((x * 7 + seed) & 0xFF, (y * 13 + seed * 5) & 0xFF, (x + y * 3 + seed) & 0xFF));
    return image;
}

QString FirstDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return QStringLiteral("sizes differ");
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("first difference at %1,%2").arg(x).arg(y);
    return QStringLiteral("formats differ");
}

class LightWindowTest : public MainWindowTest {
protected:
    bool Hidden() {
        return WaitFor([this] { return !window_->isVisible(); });
    }
    void ClickCancel() {
        window_->Button(gui::kIdCancel)->click();
        ASSERT_TRUE(Hidden());
    }
};

TEST_F(LightWindowTest, HiddenInTheTrayTheWindowHoldsNoPicture) {
    Start(true);
    ASSERT_FALSE(window_->isVisible());
    EXPECT_EQ(window_->Faces().Decodes(), 0) << "no state picture decoded for a hidden window";
    EXPECT_EQ(window_->Faces().Bytes(), 0u);
    EXPECT_FALSE(window_->HoldsBackground());

    window_->Show();
    ASSERT_TRUE(window_->isVisible());
    window_->grab();  // the first paint
    EXPECT_TRUE(window_->HoldsBackground());
    const int decodes = window_->Faces().Decodes();
    EXPECT_GT(decodes, 0);
    EXPECT_LT(decodes, 7) << "the hover, press and unused pictures wait until a button shows them";
    EXPECT_GT(window_->Faces().Bytes(), 0u);

    ClickCancel();
    EXPECT_EQ(window_->Faces().Bytes(), 0u) << "hidden again, the pieces go";
    EXPECT_FALSE(window_->HoldsBackground());

    // Shown again: decoded again, once per picture.
    window_->Show();
    window_->grab();
    EXPECT_EQ(window_->Faces().Decodes(), 2 * decodes);
}

TEST_F(LightWindowTest, EveryButtonShowsThePixelsOfTheWholePictures) {
    // Patterned pictures instead of the plain ones: an offset face would show.
    const gui::SkinFile skin(skin_->SkinFolder() + QStringLiteral("/Main.ini"));
    const QSize size = QImage(skin_->SkinFolder() + QLatin1Char('/') + skin.BackgroundName()).size();
    int seed = 0;
    for (const char* name : {"main_normal.jpg", "main_over.jpg", "main_down.jpg", "main_disable.jpg",
                             "Arrow.jpg", "main_color0.jpg", "main_color1.jpg"})
        ASSERT_TRUE(
            Pattern(size, seed += 40).save(skin_->SkinFolder() + QLatin1Char('/') + QLatin1String(name)));
    Start(true);
    // Some keys with the assigned face, the profile buttons with a set one.
    window_->HandleConsumerUsage(0x02FF);  // bank B: the AB indicator's second set
    window_->Show();
    ASSERT_TRUE(window_->isVisible());

    gui::FaceSheets& faces = window_->Faces();
    std::map<int, QPixmap> wholes;
    auto picture = [&](int sheet) {
        if (sheet < 0) return QPixmap();
        auto [it, added] = wholes.try_emplace(sheet);
        if (added) it->second = skin.LoadPicture(faces.Name(sheet));
        return it->second;
    };
    int compared = 0;
    for (gui::CPngButton* button : window_->findChildren<gui::CPngButton*>()) {
        if (!button->UsesSheets() || button->size().isEmpty()) continue;
        const gui::StateSheets s = button->Sheets();
        // The button as it was drawn before: from whole pictures.
        gui::CPngButton whole;
        whole.setGeometry(button->geometry());
        whole.SetFaceSource(button->FaceSource());
        whole.SetStatePictures(gui::StatePictures{picture(s.normal), picture(s.over), picture(s.down),
                                                  picture(s.disabled), picture(s.set)});
        whole.setEnabled(button->isEnabled());
        whole.SetSetState(button->SetState());
        whole.SetTextStyle(button->GetTextStyle());
        whole.setText(button->text());
        for (bool down : {false, true}) {
            button->setDown(down);
            whole.setDown(down);
            // A child and a window of its own grab into different formats; the pixels count.
            const QImage got = button->grab().toImage().convertToFormat(QImage::Format_ARGB32);
            const QImage want = whole.grab().toImage().convertToFormat(QImage::Format_ARGB32);
            ASSERT_TRUE(got == want) << button->objectName().toStdString() << (down ? " (down)" : "") << " "
                                     << FirstDifference(got, want).toStdString();
        }
        button->setDown(false);
        ++compared;
    }
    EXPECT_GT(compared, 100) << "the key grid and the window's buttons";
}

TEST_F(LightWindowTest, NothingTakesTheFocusWhenTheWindowShows) {
    Start(true);
    window_->Show();
    ASSERT_TRUE(window_->isVisible());
    QApplication::processEvents();
    // A text box with the focus blinks its cursor and wakes the program twice a second.
    EXPECT_EQ(qobject_cast<QLineEdit*>(window_->focusWidget()), nullptr)
        << window_->focusWidget()->objectName().toStdString();
    EXPECT_EQ(window_->focusWidget(), window_.get());

    // Typed into the R box, hidden and shown again: nothing focused again.
    auto* red = window_->findChild<QLineEdit*>(QStringLiteral("m_edit_rgbr"));
    ASSERT_NE(red, nullptr);
    red->setFocus();
    ASSERT_EQ(window_->focusWidget(), red);
    ClickCancel();
    window_->Show();
    QApplication::processEvents();
    EXPECT_EQ(window_->focusWidget(), window_.get());
    // Tab still reaches the controls.
    QTest::keyClick(window_.get(), Qt::Key_Tab);
    EXPECT_NE(window_->focusWidget(), window_.get());
}

TEST_F(LightWindowTest, NoTimerOfTheWindowRunsWhileItIsHidden) {
    Start(true);
    window_->Show();
    // The lighting preview on, then the window hidden behind the tray.
    window_->Lighting().ToggleColourKeysMode();
    ASSERT_TRUE(WaitFor([this] { return window_->Jobs().Idle(); }));
    ASSERT_TRUE(window_->ColourKeysMode());
    auto* effects = window_->findChild<QComboBox*>(QStringLiteral("CONTROL_XGcombox"));
    ASSERT_NE(effects, nullptr);
    const int moving = effects->findData(1);
    ASSERT_GE(moving, 0);
    effects->setCurrentIndex(moving);
    Q_EMIT effects->activated(moving);
    ASSERT_TRUE(WaitFor([this] { return window_->Jobs().Idle(); }));
    ASSERT_TRUE(window_->Lighting().Preview()->Ticking()) << "shown, the preview moves";
    ClickCancel();
    QApplication::processEvents();
    for (const QTimer* timer : window_->findChildren<QTimer*>())
        EXPECT_FALSE(timer->isActive()) << timer->objectName().toStdString() << " wakes a hidden program";
}

class SlowLightWindowTest : public LightWindowTest {
protected:
    device::TransportTiming Timing() const override {
        device::TransportTiming t = FastTiming();
        t.attemptWait = std::chrono::milliseconds(2000);
        return t;
    }
};

TEST_F(SlowLightWindowTest, TheBusyAnimationTicksOnlyWhileTheWindowCanBeSeen) {
    Start(true);
    sim_->Control("latency 5000");
    window_->SetApplyPending(true);
    window_->Apply();  // hidden: the download runs, nobody sees an animation
    ASSERT_TRUE(window_->ApplyRunning());
    EXPECT_TRUE(window_->BusyShown());
    EXPECT_FALSE(window_->BusyAnimating());

    window_->Show();
    EXPECT_TRUE(window_->BusyAnimating());
    window_->showMinimized();
    QApplication::processEvents();
    EXPECT_FALSE(window_->BusyAnimating()) << "minimised: nothing to see";
    window_->Show();
    EXPECT_TRUE(window_->BusyAnimating());

    ASSERT_TRUE(WaitFor([this] { return !window_->ApplyRunning(); }, 60000));
    ASSERT_TRUE(WaitFor([this] { return !window_->BusyShown(); }));
    EXPECT_FALSE(window_->BusyAnimating());
}

TEST_F(SlowLightWindowTest, AMissingPictureEndsTheStartCleanlyWhileTheReadBackRuns) {
    // The read-back starts before the skin loads; a start that fails on the skin must stop it
    // and leave nothing running behind.
    sim_->Control("latency 5000");
    skin_->Remove(QStringLiteral("main_color1.jpg"));
    gui::MainWindowContext context;
    context.paths = gui::AppPaths::ForProgramFolder(skin_->ProgramFolder());
    context.link = &sim_->Link();
    context.prompt = &prompt_;
    context.initialOpenDone = true;
    context.trayHostAvailable = [] { return true; };
    auto window = std::make_unique<gui::CTalvenixDlg>(std::move(context));
    try {
        window->BringUp();
        FAIL() << "no SkinError";
    } catch (const gui::SkinError& e) {
        EXPECT_TRUE(e.File().endsWith(QStringLiteral("main_color1.jpg"))) << e.File().toStdString();
    }
    EXPECT_GT(window->PresenceWorkersRunning(), 0) << "the read-back had started";
    window.reset();  // stops the keyboard worker mid read-back
    sim_->ClearFrames();
    QTest::qWait(100);
    EXPECT_TRUE(sim_->Frames().empty()) << "nothing talks to the keyboard after the failed start";
}

}  // namespace
}  // namespace talvenix::test

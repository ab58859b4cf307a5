// The lighting panel of the main window against the in-process simulated keyboard: every control
// writes what the keyboard should hold, the colour-keys mode and its refusals, the R/G/B boxes
// and the colour wheel, painting keys, pacing of dragged controls, failed writes, and the effect
// preview on the real key buttons.
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>

#include "core/device/Commands.h"
#include "core/device/DeviceReport.h"
#include "core/lighting/Colour.h"
#include "core/lighting/LightingPanelRules.h"
#include "core/lighting/PreviewTables.h"
#include "core/lighting/UserColourSet.h"
#include "core/text/IniFile.h"
#include "gui/app/AppPaths.h"
#include "gui/common/Texts.h"
#include "gui/lighting/ColourPopup.h"
#include "gui/lighting/LightingPanel.h"
#include "gui/main/KeyGrid.h"
#include "gui/skin/BaseDialog.h"
#include "gui/skin/BitmapSlider.h"
#include "gui/skin/PngButton.h"
#include "gui/skin/SkinPlacement.h"
#include "tests/gui/GuiFixture.h"

namespace talvenix::test {
namespace {

using lighting::Colour;
using lighting::MakeColour;

class LightingPanelTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Start();
        window_->Show();
        ASSERT_TRUE(Settle());
    }

    gui::LightingPanel& Panel() { return window_->Lighting(); }
    gui::AppPaths Paths() const { return gui::AppPaths::ForProgramFolder(skin_->ProgramFolder()); }
    bool Settle() {
        return WaitFor([this] { return window_->Jobs().Idle(); }) && WaitIdle();
    }
    template <class T = QWidget>
    T* Child(const char* name) {
        return window_->findChild<T*>(QString::fromLatin1(name));
    }
    std::vector<std::uint8_t> Record(int profile = 0) {
        return sim_->Memory(PELLORAN_SIM_LIGHTING, static_cast<std::uint32_t>(profile * 42), 42);
    }
    Colour BankColour(int slot, int profile = 0) {
        const auto b =
            sim_->Memory(PELLORAN_SIM_COLOURS, static_cast<std::uint32_t>(profile * 512 + slot * 3), 3);
        return MakeColour(b[0], b[1], b[2]);
    }
    QString Setting(const char* key) {
        return QString::fromStdString(
            text::IniFile(QFile::encodeName(Paths().UserSettingsFile()).toStdString())
                .Get("KEYCOLOR", key, "<none>"));
    }
    void Click(const char* name) {
        auto* b = Child<gui::CPngButton>(name);
        ASSERT_NE(b, nullptr) << name;
        b->click();
        ASSERT_TRUE(Settle());
    }
    void ModeOn() {
        if (!Panel().ColourKeysMode()) Click("CONTROL_DengStaPic");
        ASSERT_TRUE(Panel().ColourKeysMode());
    }
    void ChooseEffect(int code) {
        auto* combo = Child<QComboBox>("CONTROL_XGcombox");
        const int index = combo->findData(code);
        ASSERT_GE(index, 0) << code;
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
        ASSERT_TRUE(Settle());
    }
    void TypeRgb(const char* box, const QString& text) {
        auto* edit = Child<QLineEdit>(box);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::qWait(120);  // the paced write goes out
        ASSERT_TRUE(Settle());
    }
};

TEST_F(LightingPanelTest, LampTurnsTheModeOnAndOffAndStoresIt) {
    EXPECT_FALSE(Panel().ColourKeysMode());
    EXPECT_FALSE(Child("CONTROL_XGcombox")->isVisible());
    EXPECT_TRUE(Child("m_edit_rgbr")->isVisible());
    EXPECT_TRUE(Child("FUNC_REPORT1")->isVisible());

    ModeOn();
    EXPECT_EQ(Setting("DengCheck"), "1");
    EXPECT_TRUE(Child("CONTROL_XGcombox")->isVisible());
    EXPECT_TRUE(Child("CONTROL_LightSlider")->isVisible());
    ASSERT_NE(Panel().Preview(), nullptr);
    EXPECT_TRUE(Panel().Preview()->Running());

    Click("CONTROL_DengStaPic");
    EXPECT_FALSE(Panel().ColourKeysMode());
    EXPECT_EQ(Setting("DengCheck"), "0");
    EXPECT_FALSE(Child("CONTROL_XGcombox")->isVisible());
    EXPECT_FALSE(Panel().Preview()->Running()) << "no timer with the mode off";
    for (int b = 0; b < lighting::kPaintButtonCount; ++b)
        EXPECT_FALSE(Panel().Keys().Button(b)->ColourMode()) << "key " << b << " keeps a colour";
}

TEST_F(LightingPanelTest, EachControlWritesTheKeyboardRecord) {
    ModeOn();
    ChooseEffect(5);
    EXPECT_EQ(Record()[0], 5);

    auto* brightness = Child<gui::CBitmapSlider>("CONTROL_LightSlider");
    Q_EMIT brightness->PositionChanged(gui::LightingPanel::kIdBrightness, 2);
    auto* speed = Child<gui::CBitmapSlider>("CONTROL_SpeedSlider");
    Q_EMIT speed->PositionChanged(gui::LightingPanel::kIdSpeed, 0);
    ASSERT_TRUE(WaitFor([&] { return Record()[1] == 2 && Record()[2] == 5; }));

    Panel().ChooseColour(gui::LightingPanel::ColourTarget::Hx, QColor(10, 20, 30));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Record()[4], 0);
    EXPECT_EQ(Record()[5], 10);
    EXPECT_EQ(Record()[6], 20);
    EXPECT_EQ(Record()[7], 30);
    Click("CONTROL_HXsjsStaPic");
    EXPECT_EQ(Record()[4], 1);

    ChooseEffect(1);
    Click("CONTROL_BLFXRStaPic");
    EXPECT_EQ(Record()[3], 0x00);
    Click("CONTROL_BLFXLStaPic");
    EXPECT_EQ(Record()[3], 0xFF);

    ChooseEffect(17);
    Click("CONTROL_LVPIC");
    EXPECT_EQ(Record()[17], 2);

    Click("FUNC_REPORT2");
    EXPECT_EQ(Record()[15], 1);
    EXPECT_TRUE(Child<gui::CPngButton>("FUNC_REPORT2")->SetState());
    EXPECT_FALSE(Child<gui::CPngButton>("FUNC_REPORT4")->SetState());
}

TEST_F(LightingPanelTest, RgbBoxesClampAndFollowTheEffect) {
    ModeOn();
    ChooseEffect(1);
    TypeRgb("m_edit_rgbg", "0");
    TypeRgb("m_edit_rgbb", "0");
    TypeRgb("m_edit_rgbr", "300");
    EXPECT_EQ(Child<QLineEdit>("m_edit_rgbr")->text(), "255");
    ASSERT_TRUE(WaitFor([&] { return Record()[5] == 255; }));
    EXPECT_EQ(Record()[6], 0);

    ChooseEffect(4);
    sim_->ClearFrames();
    TypeRgb("m_edit_rgbr", "12");
    EXPECT_TRUE(sim_->FramesOf(device::kCmdWriteLighting).empty()) << "effect 4 uses no colour";
    EXPECT_EQ(Record()[5], 255);
}

TEST_F(LightingPanelTest, DirectionPicturesSitWhereTheEffectPutsThem) {
    ModeOn();
    const gui::SkinFile& skin = window_->Skin();
    ChooseEffect(12);
    EXPECT_EQ(Child("CONTROL_BLFXLStaPic")->geometry(),
              skin.Rect(QStringLiteral("CONTROL_BLFXLStaPic3")).Rect());
    EXPECT_EQ(Child("CONTROL_BLFXRStaPic")->geometry(),
              skin.Rect(QStringLiteral("CONTROL_BLFXRStaPic3")).Rect());
    ChooseEffect(18);
    EXPECT_EQ(Child("CONTROL_BLFXLStaPic")->geometry(),
              skin.Rect(QStringLiteral("CONTROL_BLFXLStaPic")).Rect());
    ChooseEffect(2);
    EXPECT_EQ(Child("CONTROL_BLFXStatic")->geometry(),
              skin.Rect(QStringLiteral("CONTROL_BLFXStatic2")).Rect());
    ChooseEffect(6);
    EXPECT_FALSE(Child("CONTROL_BLFXLStaPic")->isVisible());
    EXPECT_TRUE(Child("CONTROL_FYYSButton")->isVisible());
}

TEST_F(LightingPanelTest, DraggingAcrossFiveKeysPaintsThemInOneBatch) {
    ModeOn();
    ChooseEffect(20);
    Panel().ChooseColour(gui::LightingPanel::ColourTarget::UserPaint, QColor(0, 0, 255));
    Click("CONTROL_USERgjStaPic1");  // tool 0: the paint colour
    sim_->ClearFrames();

    // Q W E R T: slots 43..47.
    const std::vector<int> keys = {16, 22, 4, 17, 19};
    gui::CPngButton* first = Panel().Keys().Button(keys.front());
    QTest::mousePress(first, Qt::LeftButton, {}, first->rect().center());
    for (int k : keys) {
        gui::CPngButton* b = Panel().Keys().Button(k);
        const QPoint at = first->mapFromGlobal(b->mapToGlobal(b->rect().center()));
        QMouseEvent move(QEvent::MouseMove, at, first->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(first, &move);
    }
    EXPECT_TRUE(sim_->Frames().empty()) << "nothing is sent before the button is released";
    QTest::mouseRelease(first, Qt::LeftButton, {}, first->rect().center());
    ASSERT_TRUE(Settle());

    EXPECT_EQ(sim_->FramesOf(device::kCmdBeginUpdate).size(), 1u);
    for (int slot = 43; slot <= 47; ++slot) EXPECT_EQ(BankColour(slot), MakeColour(0, 0, 255)) << slot;
    EXPECT_NE(BankColour(48), MakeColour(0, 0, 255));
    for (int k : keys) EXPECT_EQ(Panel().Keys().Shown(k), MakeColour(0, 0, 255));
}

TEST_F(LightingPanelTest, ASliderDraggedEndToEndEndsOnItsLastPosition) {
    ModeOn();
    ChooseEffect(1);
    sim_->ClearFrames();
    auto* brightness = Child<gui::CBitmapSlider>("CONTROL_LightSlider");
    for (int p : {0, 1, 2, 3, 4, 5, 4, 3, 2, 1, 0, 1, 2, 3})
        Q_EMIT brightness->PositionChanged(gui::LightingPanel::kIdBrightness, p);
    ASSERT_TRUE(WaitFor([&] { return Record()[1] == 3; }, 3000));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Record()[1], 3);
    EXPECT_LE(sim_->FramesOf(device::kCmdWriteLighting).size(), 3u) << "fourteen moves, a few writes";
}

TEST_F(LightingPanelTest, TheEditorDialogRefusesTheModeAndAProfileChangeTurnsItOff) {
    // Refused: the lamp stays off and the setting unchanged.
    gui::CBaseDialog editor(Paths().SkinFile(QStringLiteral("Key.ini")));
    window_->Dialogs().RegisterDialog(&editor);
    Click("CONTROL_DengStaPic");
    EXPECT_FALSE(Panel().ColourKeysMode());
    EXPECT_EQ(Setting("DengCheck"), "<none>");
    ASSERT_FALSE(prompt_.messages.isEmpty());
    EXPECT_EQ(prompt_.messages.back(), gui::Text(text::TextId::PROFILE_SEELCT_PROMPT2));
    window_->Dialogs().UnregisterDialog(&editor);

    ModeOn();
    Click("FUNC_PROFILE2");
    ASSERT_TRUE(Settle());
    EXPECT_FALSE(Panel().ColourKeysMode());
    EXPECT_EQ(Setting("DengCheck"), "0");
    EXPECT_FALSE(Panel().Preview()->Running());
}

TEST_F(LightingPanelTest, NoPreviewTimerWhileHidden) {
    ModeOn();
    EXPECT_TRUE(Panel().Preview()->Running());
    window_->hide();
    QCoreApplication::processEvents();
    EXPECT_FALSE(Panel().Preview()->Running());
    window_->Show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(Panel().Preview()->Running());
}

TEST_F(LightingPanelTest, AFailedWriteShowsTheKeyboardValueAndSaysSo) {
    ModeOn();
    ChooseEffect(1);
    const auto before = Record()[1];
    prompt_.messages.clear();
    sim_->Control("fault status-fe 3");
    auto* brightness = Child<gui::CBitmapSlider>("CONTROL_LightSlider");
    const int wanted = before == 1 ? 2 : 1;
    Q_EMIT brightness->PositionChanged(gui::LightingPanel::kIdBrightness, wanted);
    ASSERT_TRUE(WaitFor([&] { return !prompt_.messages.isEmpty(); }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Record()[1], before);
    EXPECT_EQ(brightness->Position(), before) << "the slider shows what the keyboard holds";
    EXPECT_EQ(prompt_.messages.front(), gui::FileText("LIGHT_NOT_TAKEN"));
}

TEST_F(LightingPanelTest, PreviewFramesPaintTheRealKeyButtons) {
    ModeOn();
    ChooseEffect(4);  // every key the same hue, stepping 2 per frame
    Panel().Preview()->SetRunning(false);
    Panel().Preview()->Tick();
    const auto esc = Panel().Keys().Shown(37);
    ASSERT_TRUE(esc.has_value());
    int painted = 0;
    for (int b = 0; b < lighting::kKeyButtonCount; ++b) {
        const auto shown = Panel().Keys().Shown(b);
        if (!shown) continue;  // the one key the preview grid leaves out
        ++painted;
        EXPECT_EQ(shown, esc) << b;
    }
    EXPECT_EQ(painted, lighting::kKeyButtonCount - 1);
    // The next frame is two wheel steps on, backwards for direction byte 0.
    const auto& wheel = lighting::preview::kHueWheel;
    const int at = static_cast<int>(std::find(wheel.begin(), wheel.end(), *esc) - wheel.begin());
    ASSERT_LT(at, lighting::preview::kWheelSize);
    const int step = Record()[3] != 0 ? 2 : lighting::preview::kWheelSize - 2;
    Panel().Preview()->Tick();
    EXPECT_EQ(Panel().Keys().Shown(37),
              wheel[static_cast<std::size_t>((at + step) % lighting::preview::kWheelSize)]);
    // The real button draws it: its frame pixels carry the colour.
    gui::CPngButton* button = Panel().Keys().Button(37);
    const QImage face = button->grab().toImage();
    EXPECT_EQ(face.pixelColor(1, button->height() / 2),
              gui::CKeyColourView::ToQColor(*Panel().Keys().Shown(37)));
    EXPECT_NE(face.pixelColor(button->width() / 2, button->height() / 2),
              gui::CKeyColourView::ToQColor(*Panel().Keys().Shown(37)))
        << "only a frame is drawn";

    // Effect 12 lights rows: keys of one row agree, the next row differs.
    ChooseEffect(12);
    Panel().Preview()->Tick();
    EXPECT_EQ(Panel().Keys().Shown(16), Panel().Keys().Shown(22)) << "Q and W share a row";
    EXPECT_NE(Panel().Keys().Shown(16), Panel().Keys().Shown(0)) << "Q and A do not";

    // Effect 20 shows the stored per-key colours and the preview leaves them.
    ChooseEffect(20);
    const auto a = Panel().Keys().Shown(0);
    Panel().Preview()->Tick();
    EXPECT_EQ(Panel().Keys().Shown(0), a);
    EXPECT_EQ(a, BankColour(64));
}

TEST_F(LightingPanelTest, TheWheelAndTheColourPopUpSetTheColour) {
    ModeOn();
    ChooseEffect(1);
    // The wheel's colour is the background picture's pixel under the cursor.
    const QPoint centre(lighting::kColourWheelCentreX + 20, lighting::kColourWheelCentreY - 10);
    const QColor expected = window_->Background().toImage().pixelColor(centre);
    QTest::mousePress(window_.get(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(window_.get(), Qt::LeftButton, {}, centre);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Child<QLineEdit>("m_edit_rgbr")->text().toInt(), expected.red());
    EXPECT_EQ(Child<QLineEdit>("m_edit_rgbb")->text().toInt(), expected.blue());
    ASSERT_TRUE(WaitFor([&] { return Record()[5] == expected.red() && Record()[7] == expected.blue(); }));
    // Outside the circle nothing is picked.
    Child<QLineEdit>("m_edit_rgbr")->setText(QStringLiteral("7"));
    QTest::mouseClick(window_.get(), Qt::LeftButton, {},
                      QPoint(lighting::kColourWheelCentreX + 60, lighting::kColourWheelCentreY + 60));
    EXPECT_EQ(Child<QLineEdit>("m_edit_rgbr")->text(), "7");

    // A colour button's pop-up: "Other..." opens the colour dialog, whose choice is written.
    Child<gui::CPngButton>("CONTROL_HXysButton")->click();
    auto* popup = window_->findChild<gui::CColourPopup*>(QStringLiteral("ColourPopup"));
    ASSERT_NE(popup, nullptr);
    popup->ChooseOther();
    auto* dialog = window_->findChild<QColorDialog*>(QStringLiteral("OtherColourDialog"));
    ASSERT_NE(dialog, nullptr);
    dialog->setCurrentColor(QColor(1, 2, 3));
    dialog->accept();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Record()[5], 1);
    EXPECT_EQ(Record()[6], 2);
    EXPECT_EQ(Record()[7], 3);
}

TEST_F(LightingPanelTest, ColourSetsAreChosenAndRenamedInTheProfilesFile) {
    ModeOn();
    ChooseEffect(20);
    auto* sets = Child<QComboBox>("CONTROL_umCombo");
    ASSERT_TRUE(sets->isVisible());
    ASSERT_EQ(sets->count(), lighting::kColourSets);
    sets->setCurrentIndex(3);
    Q_EMIT sets->activated(3);
    ASSERT_TRUE(Settle());
    const auto file = lighting::UserColourFilePath(home_->DocumentsFolder() / "Talvenix", 0);
    EXPECT_EQ(text::IniFile(file).Get("PRESENTMODE", "mode", ""), "3");
    sets->lineEdit()->selectAll();
    QTest::keyClicks(sets->lineEdit(), QStringLiteral("Night"));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(text::IniFile(file).Get("MODENAME", "3", ""), "Night");
    EXPECT_EQ(sets->itemText(3), "Night");
}

TEST_F(LightingPanelTest, AStillEffectIsDrawnOnceAndThenLeavesTheTimerOff) {
    ModeOn();
    ChooseEffect(1);
    ASSERT_TRUE(WaitFor([this] { return Panel().Preview()->Frames() >= 2; }));
    EXPECT_TRUE(Panel().Preview()->Ticking()) << "a moving effect ticks";

    // Effect 6 shows fixed colours: one frame, then no more wake-ups.
    ChooseEffect(6);
    ASSERT_TRUE(WaitFor([this] { return !Panel().Preview()->Ticking(); }));
    EXPECT_TRUE(Panel().Preview()->Running()) << "the preview is still on";
    const int frames = Panel().Preview()->Frames();
    QTest::qWait(3 * gui::CKeyPreview::kFrameMilliseconds);
    EXPECT_EQ(Panel().Preview()->Frames(), frames);
    bool coloured = false;
    for (int b = 0; b < lighting::kPaintButtonCount; ++b) coloured |= Panel().Keys().Button(b)->ColourMode();
    EXPECT_TRUE(coloured) << "the still picture was drawn";

    // Hidden and shown again: drawn again once (the keys may have changed meanwhile).
    window_->hide();
    QCoreApplication::processEvents();
    window_->Show();
    ASSERT_TRUE(WaitFor([this, frames] { return Panel().Preview()->Frames() > frames; }));
    ASSERT_TRUE(WaitFor([this] { return !Panel().Preview()->Ticking(); }));

    // A moving effect starts the timer again.
    ChooseEffect(1);
    EXPECT_TRUE(Panel().Preview()->Ticking());
}

}  // namespace
}  // namespace talvenix::test

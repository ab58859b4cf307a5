// The profile bar: the arrows move the profile buttons between the top bar and the flip buttons
// (and remember it), both sets switch profiles, right-clicks open the quick-switch menu; and
// renaming the hardware profiles.
#include <QMouseEvent>
#include <QTest>

#include "core/text/IniFile.h"
#include "gui/profiles/ProfileBar.h"
#include "gui/profiles/ProfileNaming.h"
#include "tests/gui/profiles/ProfileWindowsFixture.h"

using namespace talvenix;
using namespace talvenix::test;

namespace {

class BarTest : public ProfileWindowsTest {
protected:
    void SetUp() override {
        ProfileWindowsTest::SetUp();
        skin = std::make_unique<gui::SkinFile>(QStringLiteral(TALVENIX_SOURCE_DIR "/skins/layout/Main.ini"));
        for (int i = 0; i < 3; ++i) {
            widgets.profileButtons[static_cast<std::size_t>(i)] = new gui::CPngButton(&parent);
            widgets.flipButtons[static_cast<std::size_t>(i)] = new gui::CPngButton(&parent);
        }
        widgets.arrows = {new gui::CPngButton(&parent), new gui::CPngButton(&parent)};
        widgets.label = new QLabel(&parent);
        parent.show();
    }
    std::unique_ptr<gui::ProfileBar> Make() {
        gui::ProfileBarContext ctx;
        ctx.skin = skin.get();
        ctx.settingsFile = SettingsFile();
        ctx.profileClicked = [this](int p) { clicked.push_back(p); };
        ctx.showMenu = [this](QPoint) { ++menus; };
        return std::make_unique<gui::ProfileBar>(widgets, std::move(ctx));
    }
    std::string Flip() const {
        return text::IniFile(SettingsFile().toStdString()).Get("PROFILES", "Flip", "<none>");
    }

    QWidget parent;
    std::unique_ptr<gui::SkinFile> skin;
    gui::ProfileBarWidgets widgets;
    std::vector<int> clicked;
    int menus = 0;
};

}  // namespace

TEST_F(BarTest, ArrowsMoveTheProfileButtonsAndTheChoiceIsKept) {
    auto bar = Make();
    EXPECT_FALSE(bar->Flip());
    EXPECT_TRUE(widgets.profileButtons[0]->isVisible());
    EXPECT_FALSE(widgets.flipButtons[0]->isVisible());
    EXPECT_EQ(widgets.arrows[0]->FaceSource(), QPoint(20, 20));  // UP_ARROW_LEFT1

    QTest::mouseClick(widgets.arrows[1], Qt::LeftButton);
    EXPECT_TRUE(bar->Flip());
    EXPECT_EQ(Flip(), "1");
    EXPECT_FALSE(widgets.profileButtons[2]->isVisible());
    EXPECT_TRUE(widgets.flipButtons[2]->isVisible());
    EXPECT_EQ(widgets.arrows[0]->FaceSource(), QPoint(84, 20));  // DOWN_ARROW_LEFT1
    EXPECT_EQ(widgets.arrows[1]->FaceSource(), QPoint(84, 52));  // DOWN_ARROW_RIGHT1

    // A new window starts where the user left it.
    bar.reset();
    auto again = Make();
    EXPECT_TRUE(again->Flip());
    EXPECT_TRUE(widgets.flipButtons[1]->isVisible());
    QTest::mouseClick(widgets.arrows[0], Qt::LeftButton);
    EXPECT_EQ(Flip(), "0");
}

TEST_F(BarTest, BothSetsSwitchAndRightClicksOpenTheMenu) {
    auto bar = Make();
    QTest::mouseClick(widgets.profileButtons[1], Qt::LeftButton);
    bar->SetFlip(true);
    QTest::mouseClick(widgets.flipButtons[2], Qt::LeftButton);
    EXPECT_EQ(clicked, (std::vector<int>{1, 2}));
    bar->ShowProfile(2);
    EXPECT_TRUE(widgets.flipButtons[2]->SetState());
    EXPECT_TRUE(widgets.profileButtons[2]->SetState());
    EXPECT_FALSE(widgets.flipButtons[0]->SetState());

    QTest::mouseClick(widgets.flipButtons[0], Qt::RightButton);
    QTest::mouseClick(widgets.label, Qt::LeftButton);
    EXPECT_EQ(menus, 2);
    EXPECT_EQ(clicked.size(), 2u);  // a right-click is not a switch
}

TEST_F(BarTest, ProfilesCanBeRenamedWithinLimits) {
    gui::ProfileNaming naming(SettingsFile());
    EXPECT_EQ(naming.Names()[1], "Profile 2");
    auto answer = [](std::optional<QString> text) {
        return [text](const QString&, const QString&) { return text; };
    };
    EXPECT_TRUE(naming.Rename(1, prompt_, answer(QStringLiteral("  Shooter  "))));
    EXPECT_EQ(naming.Names()[1], "Shooter");
    EXPECT_FALSE(naming.Rename(1, prompt_, answer(std::nullopt)));  // Cancel
    EXPECT_FALSE(naming.Rename(1, prompt_, answer(QString(33, QLatin1Char('x')))));
    EXPECT_FALSE(naming.Rename(1, prompt_, answer(QStringLiteral("a\nb"))));
    EXPECT_EQ(prompt_.messages.size(), 2);
    EXPECT_EQ(naming.Names()[1], "Shooter");
    EXPECT_TRUE(naming.Rename(1, prompt_, answer(QString())));
    EXPECT_EQ(naming.Names()[1], "Profile 2");

    auto bar = Make();
    bar->SetNames(naming.Names());
    EXPECT_TRUE(widgets.flipButtons[0]->Tip().startsWith("Profile 1"));
}

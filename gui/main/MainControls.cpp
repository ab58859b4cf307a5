#include "gui/main/MainControls.h"

#include "gui/skin/SkinPlacement.h"

namespace talvenix::gui {

namespace {

// Skin keys of the window-level buttons.
struct WindowButtonKey {
    int id;
    const char* key;
};
constexpr WindowButtonKey kWindowButtons[] = {
    {kIdOk, "CONTROL_OK"},
    {kIdCancel, "CONTROL_CANCEL"},
    {kIdApply, "CONTROL2_APPLY"},
    {kIdLink, "KALTEV_LINK"},
    {kIdHelp, "CONTROL_HELP"},
    {kIdMinimize, "CONTROL_MINIMIZE"},
    {kIdClose, "CONTROL_CLOSE"},
    {kIdDefault, "FUNC_DEFAULT"},
    {kIdMenu, "CONTROL_MENU"},
    {kIdProfiles, "FUNC_PROFILES"},
    {kIdProfile1, "FUNC_PROFILE1"},
    {kIdProfile2, "FUNC_PROFILE2"},
    {kIdProfile3, "FUNC_PROFILE3"},
    {kIdMacro, "FUNC_MACRO"},
    {kIdSwitch, "FUNC_SWITCH"},
    {kIdReport1, "FUNC_REPORT1"},
    {kIdReport2, "FUNC_REPORT2"},
    {kIdReport3, "FUNC_REPORT3"},
    {kIdReport4, "FUNC_REPORT4"},
    {kIdLockCaps, "LOCK_CAPS"},
    {kIdLockNum, "LOCK_NUM"},
    {kIdLockScroll, "LOCK_SCROLL"},
    {kIdLockAB, "LOCK_AB"},
    {kIdVersion, "KALTEV_VER"},
    {1189, "FLIP_0"},
    {1190, "FLIP_1"},
    {1193, "FLIP_2"},
};

}  // namespace

CPngButton::TextStyle CaptionStyle(int pointSize) {
    CPngButton::TextStyle style;
    style.on = true;
    style.pointSize = pointSize;
    style.colour = QColor::fromRgb(skincolours::kText);
    return style;
}

MainControls PlaceMainControls(QWidget& window, const SkinFile& skin, FaceSheets& sheets,
                               const StateSheets& states, int arrowSheet, const QString& versionText) {
    MainControls out;
    auto& buttons = out.buttons;
    auto Button = [&buttons](int id) { return buttons.at(id); };
    for (const auto& entry : kWindowButtons) {
        auto* button = new CPngButton(&window);
        button->setObjectName(QString::fromLatin1(entry.key));
        PlaceControl(*button, skin, QStringLiteral("BUTTONINFO"), button->objectName(), sheets, states);
        buttons[entry.id] = button;
    }
    // The version button only shows the version.
    if (auto* ver = Button(kIdVersion)) {
        ver->setText(versionText);
        auto style = CaptionStyle(8);
        style.colour = QColor::fromRgb(skincolours::kDimText);
        style.disabledColour = style.colour;  // disabled only so that it takes no clicks
        ver->SetTextStyle(style);
        ver->setEnabled(false);
    }
    // Hidden until their issues wire them: the Switch button and the quick-switch button.
    Button(kIdSwitch)->hide();
    auto* quick = new CPngButton(&window);
    quick->setObjectName(QStringLiteral("QUICK_SWITCH"));
    quick->hide();
    buttons[kIdQuickSwitch] = quick;
    for (int id :
         {kIdOk, kIdCancel, kIdApply, kIdProfile1, kIdProfile2, kIdProfile3, kIdMacro, kIdDefault, kIdSwitch})
        Button(id)->SetTextStyle(CaptionStyle());
    // The lock indicators show the keyboard's state; they are not clickable.
    for (int id : {kIdLockCaps, kIdLockNum, kIdLockScroll, kIdLockAB}) {
        Button(id)->setAttribute(Qt::WA_TransparentForMouseEvents);
        Button(id)->setFocusPolicy(Qt::NoFocus);
    }

    // The caption, the profile label and the two arrows of the profile bar.
    auto* title = new QLabel(&window);
    title->setObjectName(QStringLiteral("CONTROL_TITLE"));
    skincolours::SetTextColour(*title, skincolours::kDimText);
    PlaceWindow(*title, skin, QStringLiteral("BUTTONINFO"), title->objectName());
    out.profileLabel = new QLabel(&window);
    out.profileLabel->setObjectName(QStringLiteral("CONTROL_ProfileStatic"));
    skincolours::SetTextColour(*out.profileLabel, skincolours::kText);
    PlaceWindow(*out.profileLabel, skin, QStringLiteral("BUTTONINFO"), out.profileLabel->objectName());
    const char* arrows[2][2] = {{"LEFT_ARROW", "UP_ARROW_LEFT1"}, {"RIGHT_ARROW", "UP_ARROW_RIGHT1"}};
    for (const auto& arrow : arrows) {
        auto* button = new CPngButton(&window);
        button->setObjectName(QString::fromLatin1(arrow[0]));
        PlaceWithFace(*button, skin, QStringLiteral("BUTTONINFO"), button->objectName(),
                      QStringLiteral("BUTTONINFO2"), QString::fromLatin1(arrow[1]), sheets, arrowSheet);
    }

    // The colour wheel is painted into the background, but it is a control: a press on it
    // must not move the window. Its circle takes the presses; its corners stay background.
    out.colourWheel = new QWidget(&window);
    out.colourWheel->setObjectName(QStringLiteral("CONTROL_ColourWheel"));
    const SkinRect wheel =
        PlaceWindow(*out.colourWheel, skin, QStringLiteral("BUTTONINFO"), out.colourWheel->objectName());
    if (wheel.Unused())
        out.colourWheel->hide();
    else
        out.colourWheel->setMask(QRegion(out.colourWheel->rect(), QRegion::Ellipse));

    out.busyLabel = new QLabel(&window);
    out.busyLabel->setObjectName(QStringLiteral("CONTROL_JDTStatic"));
    PlaceWindow(*out.busyLabel, skin, QStringLiteral("BUTTONINFO"), QStringLiteral("CONTROL_JDTStatic"));
    out.busyLabel->setScaledContents(true);
    out.busyLabel->hide();
    return out;
}

}  // namespace talvenix::gui

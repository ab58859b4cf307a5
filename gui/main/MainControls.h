// The main window's own controls: their ids, and their placement from the skin.
#pragma once

#include <QLabel>
#include <QPixmap>
#include <QString>
#include <map>

#include "gui/skin/PngButton.h"
#include "gui/skin/SkinFile.h"

namespace talvenix::gui {

// Control ids of the main window (the skin names them; the handlers use the ids).
enum MainControl : int {
    kIdOk = 1,
    kIdCancel = 2,
    kIdProfiles = 1005,
    kIdApply = 1006,
    kIdQuickSwitch = 1009,
    kIdLink = 1121,
    kIdHelp = 1122,
    kIdMinimize = 1123,
    kIdClose = 1124,
    kIdProfile1 = 1135,
    kIdProfile2 = 1136,
    kIdProfile3 = 1137,
    kIdDefault = 1138,
    kIdMenu = 1139,
    kIdSwitch = 1144,
    kIdMacro = 1145,
    kIdReport1 = 1147,
    kIdReport2 = 1168,
    kIdReport3 = 1169,
    kIdReport4 = 1170,
    kIdLockAB = 1171,
    kIdLockCaps = 1172,
    kIdLockNum = 1173,
    kIdLockScroll = 1176,
    kIdVersion = 1177,
};

struct MainControls {
    std::map<int, CPngButton*> buttons;  // by control id
    QLabel* profileLabel = nullptr;
    QLabel* busyLabel = nullptr;     // hidden until a download runs
    QWidget* colourWheel = nullptr;  // the lighting colour wheel's press area
};

// Creates the window-level buttons, labels and arrows on `window`, placed from `skin`.
MainControls PlaceMainControls(QWidget& window, const SkinFile& skin, FaceSheets& sheets,
                               const StateSheets& states, int arrowSheet, const QString& versionText);

// The caption style of the main window's buttons.
CPngButton::TextStyle CaptionStyle(int pointSize = 9);

}  // namespace talvenix::gui

// The profile controls around the main window's key grid: the three profile buttons of the top
// bar and their alternative set, the three flip buttons under the keyboard; the two arrow buttons
// that move the profile buttons between the two places (the "Flip" setting: 0 top bar, 1 under
// the keyboard; the arrows' faces point to where they are); the profile label. Both sets and the
// label show the profile names as tooltips, and a right-click on any of them (or a click on the
// label) opens the quick-switch menu.
#pragma once

#include <QLabel>
#include <QObject>
#include <QPixmap>
#include <array>
#include <functional>

#include "gui/skin/PngButton.h"
#include "gui/skin/SkinFile.h"

namespace talvenix::gui {

struct ProfileBarWidgets {
    std::array<CPngButton*, 3> profileButtons{};  // FUNC_PROFILE1..3
    std::array<CPngButton*, 3> flipButtons{};     // FLIP_0..2
    std::array<CPngButton*, 2> arrows{};          // LEFT_ARROW, RIGHT_ARROW
    QLabel* label = nullptr;                      // CONTROL_ProfileStatic
};

struct ProfileBarContext {
    const SkinFile* skin = nullptr;  // the main layout (arrow faces in BUTTONINFO2)
    QPixmap arrowPicture;            // Arrow.jpg; null: the arrows' own faces stay
    QString settingsFile;            // where "Flip" is kept
    std::function<void(int profile)> profileClicked;
    std::function<void(QPoint globalPos)> showMenu;
    // False when the main window already routes the top bar's profile buttons to the switch.
    bool connectProfileButtons = true;
};

class ProfileBar : public QObject {
    Q_OBJECT
public:
    ProfileBar(ProfileBarWidgets widgets, ProfileBarContext context, QObject* parent = nullptr);

    bool Flip() const { return flip_; }
    // Shows the chosen set, hides the other, re-faces the arrows, and stores the choice.
    void SetFlip(bool flip, bool store = true);
    void ToggleFlip() { SetFlip(!flip_); }
    // The shown profile's buttons pressed, the others released (profile outside 0..2: none).
    void ShowProfile(int profile);
    // Tooltips of both sets: the profile names.
    void SetNames(const std::array<QString, 3>& names);
    // The profile buttons of the active set.
    const std::array<CPngButton*, 3>& ActiveSet() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FaceArrow(int which, bool pressed);
    void ApplyArrowTips();

    ProfileBarWidgets w_;
    ProfileBarContext ctx_;
    bool flip_ = false;
};

}  // namespace talvenix::gui

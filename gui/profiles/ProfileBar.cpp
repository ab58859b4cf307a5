#include "gui/profiles/ProfileBar.h"

#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <filesystem>

#include "core/profiles/ProfileSettings.h"
#include "gui/profiles/ProfileTexts.h"

namespace talvenix::gui {

namespace {
std::filesystem::path FsPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
}  // namespace

ProfileBar::ProfileBar(ProfileBarWidgets widgets, ProfileBarContext context, QObject* parent)
    : QObject(parent), w_(widgets), ctx_(std::move(context)) {
    for (int i = 0; i < 3; ++i) {
        for (CPngButton* b :
             {w_.profileButtons[static_cast<std::size_t>(i)], w_.flipButtons[static_cast<std::size_t>(i)]}) {
            if (!b) continue;
            b->installEventFilter(this);
            if (b == w_.profileButtons[static_cast<std::size_t>(i)] && !ctx_.connectProfileButtons) continue;
            connect(b, &QAbstractButton::clicked, this, [this, i] {
                if (ctx_.profileClicked) ctx_.profileClicked(i);
            });
        }
        if (auto* flip = w_.flipButtons[static_cast<std::size_t>(i)]) flip->setText(QString::number(i + 1));
    }
    for (int a = 0; a < 2; ++a) {
        CPngButton* arrow = w_.arrows[static_cast<std::size_t>(a)];
        if (!arrow) continue;
        connect(arrow, &QAbstractButton::pressed, this, [this, a] { FaceArrow(a, true); });
        connect(arrow, &QAbstractButton::released, this, [this, a] { FaceArrow(a, false); });
        connect(arrow, &QAbstractButton::clicked, this, &ProfileBar::ToggleFlip);
    }
    if (w_.label) w_.label->installEventFilter(this);
    profiles::ProfileSettings settings(FsPath(ctx_.settingsFile));
    SetFlip(settings.Flip(), false);
}

void ProfileBar::FaceArrow(int which, bool pressed) {
    CPngButton* arrow = w_.arrows[static_cast<std::size_t>(which)];
    if (!arrow || !ctx_.skin) return;
    // "UP_ARROW_LEFT1" .. "DOWN_ARROW_RIGHT2": direction by the flip setting, 1 normal, 2 pressed.
    const QString key = QStringLiteral("%1%2")
                            .arg(QLatin1String(flip_ ? (which == 0 ? "DOWN_ARROW_LEFT" : "DOWN_ARROW_RIGHT")
                                                     : (which == 0 ? "UP_ARROW_LEFT" : "UP_ARROW_RIGHT")))
                            .arg(pressed ? 2 : 1);
    const SkinRect face = ctx_.skin->Rect(key, QStringLiteral("BUTTONINFO2"));
    arrow->SetFaceSource(QPoint(face.x, face.y));
    // Without a picture of its own the arrow keeps the faces it was placed with.
    if (const QPixmap& p = ctx_.arrowPicture; !p.isNull())
        arrow->SetStatePictures(StatePictures{p, p, p, p, p});
}

void ProfileBar::SetFlip(bool flip, bool store) {
    flip_ = flip;
    for (std::size_t i = 0; i < 3; ++i) {
        if (w_.profileButtons[i]) w_.profileButtons[i]->setVisible(!flip_);
        if (w_.flipButtons[i]) w_.flipButtons[i]->setVisible(flip_);
    }
    const QString tip =
        flip_ ? FileTextOr("PROFILE_FLIP_UP_TIP", "Move the profile buttons to the top bar")
              : FileTextOr("PROFILE_FLIP_DOWN_TIP", "Move the profile buttons below the keyboard");
    for (int a = 0; a < 2; ++a) {
        FaceArrow(a, false);
        if (auto* arrow = w_.arrows[static_cast<std::size_t>(a)]) arrow->SetTip(tip);
    }
    if (store) {
        const auto file = FsPath(ctx_.settingsFile);
        std::error_code ec;
        std::filesystem::create_directories(file.parent_path(), ec);
        profiles::ProfileSettings(file).SetFlip(flip_);
    }
}

void ProfileBar::ApplyArrowTips() {
    const QString tip =
        flip_ ? FileTextOr("PROFILE_FLIP_UP_TIP", "Move the profile buttons to the top bar")
              : FileTextOr("PROFILE_FLIP_DOWN_TIP", "Move the profile buttons below the keyboard");
    for (CPngButton* arrow : w_.arrows)
        if (arrow) arrow->SetTip(tip);
}

void ProfileBar::ShowProfile(int profile) {
    for (int i = 0; i < 3; ++i) {
        for (CPngButton* b :
             {w_.profileButtons[static_cast<std::size_t>(i)], w_.flipButtons[static_cast<std::size_t>(i)]})
            if (b) b->SetSetState(i == profile);
    }
}

void ProfileBar::SetNames(const std::array<QString, 3>& names) {
    ApplyArrowTips();  // the language may have changed
    const QString hint = FileTextOr("PROFILE_MENU_TIP", "Right-click for the quick profile menu");
    for (std::size_t i = 0; i < 3; ++i) {
        for (CPngButton* b : {w_.profileButtons[i], w_.flipButtons[i]})
            if (b) b->SetTip(names[i] + QStringLiteral("\n") + hint);
    }
}

const std::array<CPngButton*, 3>& ProfileBar::ActiveSet() const {
    return flip_ ? w_.flipButtons : w_.profileButtons;
}

bool ProfileBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const bool onLabel = watched == w_.label;
        if (mouse->button() == Qt::RightButton || (onLabel && mouse->button() == Qt::LeftButton)) {
            if (ctx_.showMenu) ctx_.showMenu(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace talvenix::gui

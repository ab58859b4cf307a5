#include <QEvent>
#include <QFile>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "core/device/ResultCodes.h"
#include "core/lighting/LightingActions.h"
#include "core/lighting/LightingPanelRules.h"
#include "core/lighting/LightingResult.h"
#include "core/lighting/UserColourSet.h"
#include "core/text/LanguageTable.h"
#include "gui/common/KeyboardJobs.h"
#include "gui/common/KeyboardSession.h"
#include "gui/common/Prompt.h"
#include "gui/common/Texts.h"
#include "gui/common/WindowContext.h"
#include "gui/lighting/ColourPopup.h"
#include "gui/lighting/LightingPanel.h"
#include "gui/main/KeyGrid.h"
#include "gui/skin/PngButton.h"
#include "gui/skin/SkinError.h"
#include "gui/skin/SkinPlacement.h"

// What the user does on the lighting panel: the mode switch, effects, colours and painting keys.
namespace talvenix::gui {

using lighting::Colour;
using lighting::PaintButton;

// ---------------------------------------------------------------------------------------------
// User actions

void LightingPanel::ToggleColourKeysMode() {
    if (shown_.colourKeysMode) {
        shown_.colourKeysMode = false;
        modeProfile_ = -1;
        colourFaces_ = false;
        ShowControls();
        ShowKeyColours();
        Run("", [](auto& l, auto&) {
            return l.SetColourKeysMode(false) ? lighting::kLightingOk : lighting::kColourFileError;
        });
        return;
    }
    // Turning on first switches the keyboard to its current profile, which an open editor
    // dialog refuses.
    if (ctx_.dialogs && ctx_.dialogs->EditorOpen()) {
        if (ctx_.prompt) ctx_.prompt->ShowMessage(Text(text::TextId::PROFILE_SEELCT_PROMPT2));
        return;
    }
    KeyboardSession* keyboard = ctx_.keyboard;
    Run(
        "",
        [keyboard](auto& l, auto&) {
            if (keyboard && !keyboard->SwitchKeyboardProfile(l.Transport(), l.Profile()))
                return static_cast<int>(device::kNoReply);
            return l.SetColourKeysMode(true) ? lighting::kLightingOk : lighting::kColourFileError;
        },
        [this] {
            colourFaces_ = true;
            keys_.Clear();
            Refresh();
        });
}

void LightingPanel::ProfileChosen(int profile) {
    if (!shown_.colourKeysMode) {
        colourFaces_ = false;
        return;
    }
    if (modeProfile_ < 0 || profile == modeProfile_) return;
    ToggleColourKeysMode();
}

void LightingPanel::SetColourFaces(bool colours) {
    colourFaces_ = colours;
    ShowControls();
    ShowKeyColours();
}

void LightingPanel::OnEffectChosen(int index) {
    if (index < 0 || index >= static_cast<int>(shown_.items.size())) return;
    shown_.mirror.effect = shown_.items[static_cast<std::size_t>(index)].code;
    ShowControls();
    ShowKeyColours();
    Run("lighting.effect", [index](auto& l, auto&) { return l.SelectEffect(index); });
}

void LightingPanel::OnSlider(int id, int position) {
    try {
        if (id == kIdBrightness) {
            brightness_->SetFace(
                skin_.LoadPicture(QStringLiteral("%1.bmp").arg(lighting::BrightnessFacePicture(position))));
            shown_.mirror.brightness = position;
            brightnessWrite_->Offer(position);
        } else if (id == kIdSpeed) {
            speed_->SetFace(
                skin_.LoadPicture(QStringLiteral("%1.bmp").arg(lighting::SpeedFacePicture(position))));
            shown_.mirror.speed = 5 - position;
            speedWrite_->Offer(position);
        }
    } catch (const SkinError&) {
    }
}

void LightingPanel::OpenColourPopup(ColourTarget target, CPngButton* anchor) {
    const QString section = text::CurrentLanguageTable()->Index() == text::kChinese
                                ? QStringLiteral("Control_Name")
                                : QStringLiteral("Control_Name1");
    const QColor current = anchor->property("colour").value<QColor>();
    CColourPopup::Open(anchor, skin_.Get(section, QStringLiteral("Other")), current,
                       [this, target](const QColor& c) { ChooseColour(target, c); });
}

void LightingPanel::ChooseColour(ColourTarget target, const QColor& qcolour) {
    if (!qcolour.isValid()) return;
    const Colour c = CKeyColourView::FromQColor(qcolour);
    switch (target) {
        case ColourTarget::Hx:
        case ColourTarget::Fy: {
            const auto which =
                target == ColourTarget::Hx ? lighting::ColourButton::Hx : lighting::ColourButton::Fy;
            shown_.mirror.colour = c;
            shown_.mirror.random = false;
            SetButtonColour("CONTROL_HXysButton", c);
            SetButtonColour("CONTROL_FYYSButton", c);
            ShowControls();
            Run("lighting.colour", [c, which](auto& l, auto&) { return l.SetColour(c, which); });
            break;
        }
        case ColourTarget::UserPaint:
            shown_.paintColour = c;
            ShowUserControls();
            Run("lighting.paint", [c](auto&, auto& u) { return u.SetPaintColour(c); });
            break;
        case ColourTarget::UserBase:
            shown_.baseColour = c;
            ShowUserControls();
            Run(
                "lighting.base", [c](auto&, auto& u) { return u.SetBaseColour(c); },
                [this] {
                    shown_.keyColours = Published().keyColours;
                    ShowKeyColours();
                });
            break;
    }
}

void LightingPanel::OnRgbEdited() {
    std::array<int, 3> v{};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto parsed = lighting::ParseRgbBox(rgbEdits_[i]->text().toStdString());
        if (!parsed) return;  // the validator lets nothing else through
        v[i] = *parsed;
        // A value of 256 or more shows as 255.
        if (rgbEdits_[i]->text().toInt() > 255) rgbEdits_[i]->setText(QStringLiteral("255"));
    }
    ApplyRgb(lighting::MakeColour(static_cast<std::uint8_t>(v[0]), static_cast<std::uint8_t>(v[1]),
                                  static_cast<std::uint8_t>(v[2])));
}

void LightingPanel::SetRgbBoxes(int r, int g, int b) {
    const std::array<int, 3> v = {lighting::ClampRgbComponent(r), lighting::ClampRgbComponent(g),
                                  lighting::ClampRgbComponent(b)};
    for (std::size_t i = 0; i < 3; ++i) {
        QSignalBlocker block(rgbEdits_[i]);
        rgbEdits_[i]->setText(QString::number(v[i]));
    }
    ApplyRgb(lighting::MakeColour(static_cast<std::uint8_t>(v[0]), static_cast<std::uint8_t>(v[1]),
                                  static_cast<std::uint8_t>(v[2])));
}

void LightingPanel::ApplyRgb(Colour colour) {
    // With the mode off, or an effect without a colour, the boxes change alone.
    switch (lighting::RouteRgbEdit(shown_.colourKeysMode, shown_.mirror.effect, shown_.tool)) {
        case lighting::RgbTarget::None:
            return;
        case lighting::RgbTarget::HxColour:
            shown_.mirror.colour = colour;
            shown_.mirror.random = false;
            SetButtonColour("CONTROL_HXysButton", colour);
            ShowControls();
            break;
        case lighting::RgbTarget::BaseColour:
            shown_.baseColour = colour;
            ShowUserControls();
            break;
        case lighting::RgbTarget::PaintColour:
            shown_.paintColour = colour;
            ShowUserControls();
            break;
    }
    rgbWrite_->Offer(colour);
}

bool LightingPanel::WheelHit(QPoint hostPos) const {
    return lighting::IsOnColourWheel(hostPos.x(), hostPos.y()) && host_.rect().contains(hostPos);
}

void LightingPanel::PickWheelColour(QPoint hostPos) {
    if (!WheelHit(hostPos)) return;
    // The wheel is part of the window's background picture: its pixel is the colour shown
    // there, with no need to read the screen.
    // Decoded at the first pick and kept while the window is shown.
    if (wheelPicture_.isNull()) {
        try {
            wheelPicture_ = skin_.LoadImage(skin_.BackgroundName());
        } catch (const SkinError&) {
            return;  // the skin folder changed under the running program: nothing to pick from
        }
    }
    if (!wheelPicture_.rect().contains(hostPos)) return;
    const QColor c = wheelPicture_.pixelColor(hostPos);
    SetRgbBoxes(c.red(), c.green(), c.blue());
}

// ---------------------------------------------------------------------------------------------
// Painting keys

std::optional<Colour> LightingPanel::Brush() const {
    if (shown_.mirror.effect != lighting::kEffectPerKeyColours) return std::nullopt;
    if (shown_.tool == 1) return shown_.baseColour;
    if (shown_.tool == 0) return shown_.paintColour;
    return std::nullopt;
}

void LightingPanel::PassKey(PaintButton button) {
    const auto brush = Brush();
    if (!brush || !stroke_.Pass(button)) return;
    // The nine G keys share one LED: painting one shows on all of them.
    const bool gKey = button >= lighting::kFirstGButton && button < lighting::kFnButton;
    for (PaintButton b = 0; b < lighting::kPaintButtonCount; ++b) {
        const bool g = b >= lighting::kFirstGButton && b < lighting::kFnButton;
        if (b == button || (gKey && g)) {
            shown_.keyColours[static_cast<std::size_t>(b)] = *brush;
            keys_.Show(b, *brush);
        }
    }
}

void LightingPanel::PaintKeys(const std::vector<PaintButton>& buttons) {
    if (!KeysPaint()) return;
    stroke_.Take();
    for (PaintButton b : buttons) PassKey(b);
    EndStroke();
}

void LightingPanel::EndStroke() {
    stroking_ = false;
    std::vector<PaintButton> buttons = stroke_.Take();
    if (buttons.empty()) return;
    Run("", [buttons](auto&, auto& u) { return u.PaintKeys(buttons); });
}

bool LightingPanel::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == &host_) {
        switch (type) {
            case QEvent::Hide:
                wheelPicture_ = QImage();
                UpdatePreviewRunning();
                break;
            case QEvent::Show:
            case QEvent::WindowStateChange:
                UpdatePreviewRunning();
                break;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick: {
                auto* me = static_cast<QMouseEvent*>(event);
                const QPoint pos = me->position().toPoint();
                if (me->button() == Qt::LeftButton && WheelHit(pos)) {
                    // A press on the wheel picks a colour instead of dragging the window.
                    wheelDragging_ = true;
                    PickWheelColour(pos);
                    return true;
                }
                break;
            }
            case QEvent::MouseMove:
                if (wheelDragging_) {
                    PickWheelColour(static_cast<QMouseEvent*>(event)->position().toPoint());
                    return true;
                }
                break;
            case QEvent::MouseButtonRelease:
                if (wheelDragging_) {
                    wheelDragging_ = false;
                    rgbWrite_->Flush();
                    return true;
                }
                break;
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }
    // The effect list ignores the arrow keys: stepping through effects would write each one
    // to the keyboard.
    if (watched == effectCombo_ && (type == QEvent::KeyPress || type == QEvent::KeyRelease)) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_Left:
            case Qt::Key_Right:
                return true;
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }
    // Key buttons: while the keys show colours a press paints (and never opens the assignment
    // dialog); dragging with the button held paints every key passed over.
    if (keysAttached_ && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
                          type == QEvent::MouseMove || type == QEvent::MouseButtonRelease)) {
        const auto button = keys_.ButtonOf(watched);
        if (!button) return QObject::eventFilter(watched, event);
        auto* me = static_cast<QMouseEvent*>(event);
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            if (me->button() != Qt::LeftButton || !KeysPaint()) return QObject::eventFilter(watched, event);
            stroking_ = true;
            stroke_.Take();
            PassKey(*button);
            return true;
        }
        if (!stroking_) return QObject::eventFilter(watched, event);
        if (type == QEvent::MouseMove) {
            // The pressed button keeps the mouse; find the key under the cursor.
            QWidget* under = host_.childAt(host_.mapFromGlobal(me->globalPosition().toPoint()));
            if (const auto passed = keys_.ButtonOf(under)) PassKey(*passed);
            return true;
        }
        EndStroke();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace talvenix::gui

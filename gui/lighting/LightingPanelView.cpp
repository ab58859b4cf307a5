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
#include "gui/lighting/LightingPanelNames.h"
#include "gui/main/KeyGrid.h"
#include "gui/skin/PngButton.h"
#include "gui/skin/SkinError.h"
#include "gui/skin/SkinPlacement.h"

// Showing the lighting state on the panel.
namespace talvenix::gui {

using lighting::Colour;
using lighting::PaintButton;
using namespace lighting_panel;

// ---------------------------------------------------------------------------------------------
// Showing the state

void LightingPanel::SetPicture(const char* control, const QString& bitmap) {
    auto* button = host_.findChild<CPngButton*>(QString::fromLatin1(control));
    if (!button) return;
    try {
        const QPixmap pm = skin_.LoadPicture(bitmap);
        button->SetStatePictures(StatePictures{pm, pm, pm, pm, pm});
    } catch (const SkinError&) {
        // Pictures of the panel were all loaded at bring-up; a later change of the skin
        // folder leaves the old face in place.
    }
}

void LightingPanel::SetButtonColour(const char* control, Colour colour) {
    if (auto* b = host_.findChild<CPngButton*>(QString::fromLatin1(control))) {
        b->setProperty("colour", CKeyColourView::ToQColor(colour));
        b->update();
    }
}

void LightingPanel::Refresh() {
    shown_ = Published();
    if (!shown_.colourKeysMode) {
        modeProfile_ = -1;
    } else if (modeProfile_ < 0) {
        // The mode came on (or was restored at start-up): the keys show colours.
        modeProfile_ = shown_.profile;
        colourFaces_ = true;
    }
    brightnessWrite_->Drop();
    speedWrite_->Drop();
    rgbWrite_->Drop();
    if (effectCombo_) {
        QSignalBlocker block(effectCombo_);
        bool same = effectCombo_->count() == static_cast<int>(shown_.items.size());
        for (int i = 0; same && i < effectCombo_->count(); ++i) {
            const auto& item = shown_.items[static_cast<std::size_t>(i)];
            same = effectCombo_->itemData(i).toInt() == item.code &&
                   effectCombo_->itemText(i) == QString::fromStdString(item.name);
        }
        if (!same) {
            effectCombo_->clear();
            for (const auto& item : shown_.items)
                effectCombo_->addItem(QString::fromStdString(item.name), item.code);
        }
        effectCombo_->setCurrentIndex(effectCombo_->findData(shown_.mirror.effect));
    }
    if (brightness_ && speed_) {
        brightness_->SetPosition(shown_.mirror.brightness);
        speed_->SetPosition(5 - shown_.mirror.speed);
        try {
            brightness_->SetFace(skin_.LoadPicture(
                QStringLiteral("%1.bmp").arg(lighting::BrightnessFacePicture(brightness_->Position()))));
            speed_->SetFace(skin_.LoadPicture(
                QStringLiteral("%1.bmp").arg(lighting::SpeedFacePicture(speed_->Position()))));
        } catch (const SkinError&) {
        }
    }
    SetButtonColour("CONTROL_HXysButton", shown_.mirror.colour);
    SetButtonColour("CONTROL_FYYSButton", shown_.mirror.colour);
    ShowControls();
    ShowUserControls();
    ShowKeyColours();
}

void LightingPanel::ShowControls() {
    const bool mode = shown_.colourKeysMode;
    const auto& mirror = shown_.mirror;
    for (int i = 0; i < 4; ++i)
        if (auto* b = host_.findChild<CPngButton*>(
                QString::fromLatin1(kReportButtons[static_cast<std::size_t>(i)])))
            b->SetSetState(i == mirror.reportRate);
    SetPicture("CONTROL_DengStaPic", mode ? QStringLiteral("dengdown.bmp") : QStringLiteral("dengup.bmp"));
    const QString random = mirror.random ? QStringLiteral("sjsdown.bmp") : QStringLiteral("sjsup.bmp");
    SetPicture("CONTROL_HXsjsStaPic", random);
    SetPicture("CONTROL_FYSJSStaPic", random);
    for (int i = 0; i < 4; ++i) {
        const QString name = QString::fromLatin1(kPresetNames[static_cast<std::size_t>(i)]);
        SetPicture(kPresetPictures[static_cast<std::size_t>(i)],
                   name + (i == mirror.presetColour ? QStringLiteral("ok.bmp") : QStringLiteral(".bmp")));
    }

    // With the colour-keys mode off only the lamp, the R/G/B boxes and the report-rate buttons
    // show; with it on, what the effect uses.
    const lighting::EffectControls c =
        mode ? lighting::VisibleControls(mirror.effect) : lighting::EffectControls{};
    auto show = [this](std::initializer_list<const char*> names, bool on) {
        for (const char* name : names)
            if (auto* w = host_.findChild<QWidget*>(QString::fromLatin1(name))) w->setVisible(on);
    };
    show({"CONTROL_XGcombox"}, c.effectCombo);
    show({"CONTROL_LightStatic", "CONTROL_LightSlider"}, c.brightness);
    show({"CONTROL_SpeedStatic", "CONTROL_SpeedSlider"}, c.speed);
    show({"CONTROL_BLFXStatic", "CONTROL_BLFXLStaPic", "CONTROL_BLFXRStaPic"}, c.direction);
    show({"CONTROL_HONGPIC", "CONTROL_HUANGPIC", "CONTROL_LVPIC", "CONTROL_LANPIC"}, c.presetColours);
    show({"CONTROL_FYysStatic", "CONTROL_FYYSButton", "CONTROL_FYsjsStatic", "CONTROL_FYSJSStaPic"},
         c.fyGroup);
    show({"CONTROL_HXysStatic", "CONTROL_HXysButton", "CONTROL_HXsjsStatic", "CONTROL_HXsjsStaPic"},
         c.hxGroup);
    show({"CONTROL_USERysStatic", "CONTROL_USERysButton", "CONTROL_USERjsStatic", "CONTROL_USERjsButton",
          "CONTROL_USERgjStatic", "CONTROL_USERgjStaPic1", "CONTROL_USERgjStaPic2", "CONTROL_umCombo"},
         c.userGroup);
    show({"CONTROL_FYdjcfStaPic", "CONTROL_FYggcfStaPic", "CONTROL_JTysButton", "CONTROL_TSysButton",
          "CONTROL_TSsjsStaPic", "CONTROL_CDysButton", "CONTROL_CDsjsStaPic"},
         false);
    if (c.direction) {
        const QString suffix = Latin(c.directionLayoutSuffix);
        for (const char* name : {"CONTROL_BLFXStatic", "CONTROL_BLFXLStaPic", "CONTROL_BLFXRStaPic"})
            if (auto* w = host_.findChild<QWidget*>(QString::fromLatin1(name)))
                PlaceWindow(*w, skin_, kSection, QString::fromLatin1(name) + suffix);
        const auto names = lighting::DirectionPicturesOf(mirror.effect);
        const bool first = lighting::DirectionIsFirst(static_cast<unsigned>(mirror.direction));
        SetPicture("CONTROL_BLFXLStaPic", Latin(first ? names.firstPressed : names.firstNormal));
        SetPicture("CONTROL_BLFXRStaPic", Latin(first ? names.secondNormal : names.secondPressed));
    }
    if (switchButton_) {
        switchButton_->setVisible(mode);
        switchButton_->setText(Text(colourFaces_ ? text::TextId::MAIN_SWITCH_COLOR_TEXT
                                                 : text::TextId::MAIN_SWITCH_FUNCTION_TEXT));
    }
    UpdatePreviewRunning();  // a still picture is drawn again when what it shows changed
}

void LightingPanel::ShowUserControls() {
    if (setCombo_) {
        QSignalBlocker block(setCombo_);
        if (setCombo_->count() != lighting::kColourSets) {
            setCombo_->clear();
            for (int i = 0; i < lighting::kColourSets; ++i) setCombo_->addItem(QString());
        }
        for (int i = 0; i < lighting::kColourSets; ++i)
            setCombo_->setItemText(i, QString::fromStdString(shown_.setNames[static_cast<std::size_t>(i)]));
        setCombo_->setCurrentIndex(shown_.set);
        setCombo_->setEditText(QString::fromStdString(shown_.setNames[static_cast<std::size_t>(shown_.set)]));
    }
    SetButtonColour("CONTROL_USERysButton", shown_.paintColour);
    SetButtonColour("CONTROL_USERjsButton", shown_.baseColour);
    SetPicture("CONTROL_USERgjStaPic1",
               shown_.tool == 0 ? QStringLiteral("user1down.bmp") : QStringLiteral("user1up.bmp"));
    SetPicture("CONTROL_USERgjStaPic2",
               shown_.tool == 1 ? QStringLiteral("user2down.bmp") : QStringLiteral("user2up.bmp"));
}

void LightingPanel::ShowKeyColours() {
    if (!keysAttached_) return;
    if (!shown_.colourKeysMode || !colourFaces_) {
        keys_.Clear();
    } else if (shown_.mirror.effect == lighting::kEffectPerKeyColours) {
        keys_.ShowAll([this](PaintButton b) { return shown_.keyColours[static_cast<std::size_t>(b)]; });
    }
    UpdatePreviewRunning();
}

void LightingPanel::UpdatePreviewRunning() {
    if (!preview_) return;
    const bool present = !ctx_.keyboard || ctx_.keyboard->LastCount() > 0;
    const bool run =
        shown_.colourKeysMode && colourFaces_ && present && host_.isVisible() && !host_.isMinimized();
    preview_->SetRunning(run);
}

bool LightingPanel::KeysPaint() const { return keysAttached_ && shown_.colourKeysMode && colourFaces_; }

}  // namespace talvenix::gui

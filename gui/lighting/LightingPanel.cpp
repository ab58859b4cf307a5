#include "gui/lighting/LightingPanel.h"

#include <QEvent>
#include <QFile>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

#include "core/lighting/LightingPanelRules.h"
#include "gui/skin/PngButton.h"
#include "gui/skin/SkinError.h"
#include "gui/skin/SkinPlacement.h"

namespace talvenix::gui {

LightingPanel::LightingPanel(QWidget& host, const SkinFile& skin, device::ReportTransport& transport,
                             const AppPaths& paths)
    : QObject(&host),
      host_(host),
      skin_(skin),
      lighting_(std::make_unique<lighting::LightingController>(
          transport, lighting::LightingFiles{QFile::encodeName(paths.MainSkin()).toStdString(),
                                             QFile::encodeName(paths.UserSettingsFile()).toStdString()})) {
    setObjectName(QStringLiteral("LightingPanel"));
}

LightingPanel::~LightingPanel() = default;

bool LightingPanel::ColourKeysMode() const {
    std::lock_guard lock(mutex_);
    return lighting_->ColourKeysMode();
}

void LightingPanel::ReadOnWorker(int profile, int languageIndex) {
    std::lock_guard lock(mutex_);
    lighting_->SetProfile(profile >= 0 && profile <= 2 ? profile : 0);
    lighting_->ReadLighting(languageIndex);
}

void LightingPanel::ResetOnWorker() {
    std::lock_guard lock(mutex_);
    lighting_->ResetLighting();
}

void LightingPanel::ApplyTexts(bool chinese) {
    // Captions of the panel, from "Control_Name" (Chinese) or "Control_Name1" (English).
    const QString section = chinese ? QStringLiteral("Control_Name") : QStringLiteral("Control_Name1");
    for (auto* label : host_.findChildren<QLabel*>()) {
        const QString key = label->property("captionKey").toString();
        if (!key.isEmpty()) label->setText(skin_.Get(section, key));
    }
}

bool LightingPanel::eventFilter(QObject* watched, QEvent* event) {
    // The effect list ignores the arrow keys: stepping through effects would write each one
    // to the keyboard.
    if (watched == effectCombo_ &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_Left:
            case Qt::Key_Right:
                return true;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void LightingPanel::Build() {
    const SkinFile& skin = skin_;
    const QString section = QStringLiteral("BUTTONINFO");
    auto picture = [&](int, const char* key, const char* bitmap) {
        auto* button = new CPngButton(&host_);
        button->setObjectName(QString::fromLatin1(key));
        PlaceWindow(*button, skin, section, QString::fromLatin1(key));
        button->SetFaceSource(QPoint(1, 1));
        const QPixmap pm = skin.LoadPicture(QString::fromLatin1(bitmap));
        button->SetStatePictures(StatePictures{pm, pm, pm, pm, pm});
        return button;
    };
    picture(kIdLamp, "CONTROL_DengStaPic", "dengup.bmp");
    picture(1149, "CONTROL_BLFXLStaPic", "leftup.bmp");
    picture(1150, "CONTROL_BLFXRStaPic", "rightup.bmp");
    picture(1156, "CONTROL_HXsjsStaPic", "sjsup.bmp");
    picture(1175, "CONTROL_FYSJSStaPic", "sjsup.bmp");
    picture(1194, "CONTROL_HONGPIC", "hong.bmp");
    picture(1195, "CONTROL_HUANGPIC", "huang.bmp");
    picture(1196, "CONTROL_LVPIC", "lv.bmp");
    picture(1197, "CONTROL_LANPIC", "lan.bmp");
    picture(1164, "CONTROL_USERgjStaPic1", "user1up.bmp");
    picture(1165, "CONTROL_USERgjStaPic2", "user2up.bmp");
    picture(1183, "CONTROL_FYdjcfStaPic", "sjsup.bmp");
    picture(1180, "CONTROL_FYggcfStaPic", "sjsup.bmp");
    picture(1188, "CONTROL_TSsjsStaPic", "sjsup.bmp");
    picture(1192, "CONTROL_CDsjsStaPic", "sjsup.bmp");

    // Colour buttons show their colour as a filled swatch.
    auto colourButton = [&](int, const char* key, QColor colour) {
        auto* button = new CPngButton(&host_);
        button->setObjectName(QString::fromLatin1(key));
        PlaceWindow(*button, skin, section, QString::fromLatin1(key));
        button->setProperty("colour", colour);
        button->SetPaintCallback([](QPainter& p, CPngButton& b, bool) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(0x34, 0x39, 0x44), 1));
            p.setBrush(b.property("colour").value<QColor>());
            p.drawRoundedRect(QRectF(b.rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        });
    };
    colourButton(1155, "CONTROL_HXysButton", Qt::red);
    colourButton(1152, "CONTROL_FYYSButton", Qt::red);
    colourButton(1158, "CONTROL_JTysButton", Qt::red);
    colourButton(1187, "CONTROL_TSysButton", Qt::white);
    colourButton(1191, "CONTROL_CDysButton", Qt::white);
    colourButton(1160, "CONTROL_USERysButton", Qt::red);
    colourButton(1162, "CONTROL_USERjsButton", Qt::white);

    const QString fieldStyle = QStringLiteral(
        "background:#101216; color:#E4E4E4; border:1px solid #343944; border-radius:3px; padding:1px 4px;"
        "selection-background-color:#00B4FF;");
    effectCombo_ = new QComboBox(&host_);
    effectCombo_->setObjectName(QStringLiteral("CONTROL_XGcombox"));
    effectCombo_->setStyleSheet(QStringLiteral("QComboBox{%1} QComboBox QAbstractItemView{background:#1E2128;"
                                               "color:#E4E4E4; selection-background-color:#00B4FF;}")
                                    .arg(fieldStyle));
    PlaceWindow(*effectCombo_, skin, section, effectCombo_->objectName());
    effectCombo_->installEventFilter(this);
    auto* setCombo = new QComboBox(&host_);
    setCombo->setObjectName(QStringLiteral("CONTROL_umCombo"));
    setCombo->setEditable(true);
    setCombo->setStyleSheet(QStringLiteral("QComboBox{%1}").arg(fieldStyle));
    PlaceWindow(*setCombo, skin, section, setCombo->objectName());

    brightness_ = new CBitmapSlider(kIdBrightness, 6, &host_);
    brightness_->setObjectName(QStringLiteral("CONTROL_LightSlider"));
    PlaceWindow(*brightness_, skin, section, brightness_->objectName());
    brightness_->SetFace(skin.LoadPicture(QStringLiteral("4.bmp")));
    brightness_->SetPosition(4);
    speed_ = new CBitmapSlider(kIdSpeed, 6, &host_);
    speed_->setObjectName(QStringLiteral("CONTROL_SpeedSlider"));
    PlaceWindow(*speed_, skin, section, speed_->objectName());
    speed_->SetFace(skin.LoadPicture(QStringLiteral("10.bmp")));
    speed_->SetPosition(4);

    const char* rgbKeys[3] = {"m_edit_rgbr", "m_edit_rgbg", "m_edit_rgbb"};
    const char* rgbLabels[3] = {"m_rgbr_static", "m_rgbg_static", "m_rgbb_static"};
    const char* rgbLetters[3] = {"R", "G", "B"};
    for (int i = 0; i < 3; ++i) {
        auto* edit = new QLineEdit(&host_);
        edit->setObjectName(QString::fromLatin1(rgbKeys[i]));
        edit->setValidator(new QIntValidator(0, 999, edit));
        edit->setMaxLength(3);
        edit->setAlignment(Qt::AlignCenter);
        edit->setStyleSheet(QStringLiteral("QLineEdit{%1}").arg(fieldStyle));
        PlaceWindow(*edit, skin, section, edit->objectName());
        // A value of 256 or more is shown as 255.
        connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& t) {
            if (t.toInt() > 255) edit->setText(QStringLiteral("255"));
        });
        rgbEdits_[static_cast<std::size_t>(i)] = edit;
        auto* label = new QLabel(QString::fromLatin1(rgbLetters[i]), &host_);
        label->setObjectName(QString::fromLatin1(rgbLabels[i]));
        label->setStyleSheet(QStringLiteral("color:#8C93A0;"));
        label->setAlignment(Qt::AlignCenter);
        PlaceWindow(*label, skin, section, label->objectName());
    }

    // Captions of the panel, from "Control_Name" (Chinese) or "Control_Name1" (English).
    const char* captions[][2] = {
        {"CONTROL_UsbStatic", "Usb"},       {"CONTROL_DengStatic", "Deng"},
        {"CONTROL_LightStatic", "Light"},   {"CONTROL_BLFXStatic", "FX"},
        {"CONTROL_SpeedStatic", "Speed"},   {"CONTROL_HXysStatic", "Color"},
        {"CONTROL_HXsjsStatic", "DC"},      {"CONTROL_FYysStatic", "Color"},
        {"CONTROL_FYsjsStatic", "DC"},      {"CONTROL_USERysStatic", "Color"},
        {"CONTROL_USERjsStatic", "JColor"}, {"CONTROL_USERgjStatic", "Tool"},
    };
    for (const auto& c : captions) {
        auto* label = new QLabel(&host_);
        label->setObjectName(QString::fromLatin1(c[0]));
        label->setProperty("captionKey", QString::fromLatin1(c[1]));
        label->setStyleSheet(QStringLiteral("color:#8C93A0;"));
        PlaceWindow(*label, skin, section, label->objectName());
    }

    Refresh();
}

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

void LightingPanel::Refresh() {
    bool mode = false;
    lighting::LightingMirror mirror;
    std::vector<lighting::EffectComboItem> items;
    {
        std::lock_guard lock(mutex_);
        if (!lighting_) return;
        mode = lighting_->ColourKeysMode();
        mirror = lighting_->Mirror();
        items = lighting_->ComboItems();
    }
    if (effectCombo_) {
        QSignalBlocker block(effectCombo_);
        effectCombo_->clear();
        for (const auto& item : items) effectCombo_->addItem(QString::fromStdString(item.name), item.code);
        effectCombo_->setCurrentIndex(effectCombo_->findData(mirror.effect));
    }
    brightness_->SetPosition(mirror.brightness);
    speed_->SetPosition(5 - mirror.speed);
    try {
        brightness_->SetFace(skin_.LoadPicture(
            QStringLiteral("%1.bmp").arg(lighting::BrightnessFacePicture(brightness_->Position()))));
        speed_->SetFace(
            skin_.LoadPicture(QStringLiteral("%1.bmp").arg(lighting::SpeedFacePicture(speed_->Position()))));
    } catch (const SkinError&) {
    }
    for (int i = 0; i < 4; ++i)
        if (auto* b = host_.findChild<CPngButton*>(QStringLiteral("FUNC_REPORT%1").arg(i + 1)))
            b->SetSetState(i == mirror.reportRate);
    SetPicture("CONTROL_DengStaPic", mode ? QStringLiteral("dengdown.bmp") : QStringLiteral("dengup.bmp"));
    // Colours travel as 0xBBGGRR.
    auto rgb = [](lighting::Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); };
    for (const char* name : {"CONTROL_HXysButton", "CONTROL_FYYSButton"})
        if (auto* b = host_.findChild<CPngButton*>(QString::fromLatin1(name))) {
            b->setProperty("colour", rgb(mirror.colour));
            b->update();
        }
    const QString random = mirror.random ? QStringLiteral("sjsdown.bmp") : QStringLiteral("sjsup.bmp");
    SetPicture("CONTROL_HXsjsStaPic", random);
    SetPicture("CONTROL_FYSJSStaPic", random);

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
        const QString suffix = QString::fromLatin1(c.directionLayoutSuffix.data(),
                                                   static_cast<qsizetype>(c.directionLayoutSuffix.size()));
        for (const char* name : {"CONTROL_BLFXStatic", "CONTROL_BLFXLStaPic", "CONTROL_BLFXRStaPic"})
            if (auto* w = host_.findChild<QWidget*>(QString::fromLatin1(name)))
                PlaceWindow(*w, skin_, QStringLiteral("BUTTONINFO"), QString::fromLatin1(name) + suffix);
        const auto names = lighting::DirectionPicturesOf(mirror.effect);
        const bool first = lighting::DirectionIsFirst(static_cast<unsigned>(mirror.direction));
        auto q = [](std::string_view v) {
            return QString::fromLatin1(v.data(), static_cast<qsizetype>(v.size()));
        };
        SetPicture("CONTROL_BLFXLStaPic", q(first ? names.firstPressed : names.firstNormal));
        SetPicture("CONTROL_BLFXRStaPic", q(first ? names.secondNormal : names.secondPressed));
    }
}

}  // namespace talvenix::gui

#include "gui/lighting/LightingPanel.h"

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
#include "gui/main/KeyGrid.h"
#include "gui/skin/PngButton.h"
#include "gui/skin/SkinError.h"
#include "gui/skin/SkinPlacement.h"

namespace talvenix::gui {

using lighting::Colour;
using lighting::PaintButton;

namespace {

const QString kSection = QStringLiteral("BUTTONINFO");

QString Latin(std::string_view v) { return QString::fromLatin1(v.data(), static_cast<qsizetype>(v.size())); }

constexpr std::array<const char*, 4> kReportButtons = {"FUNC_REPORT1", "FUNC_REPORT2", "FUNC_REPORT3",
                                                       "FUNC_REPORT4"};
constexpr std::array<const char*, 4> kPresetPictures = {"CONTROL_HONGPIC", "CONTROL_HUANGPIC",
                                                        "CONTROL_LVPIC", "CONTROL_LANPIC"};
constexpr std::array<const char*, 4> kPresetNames = {"hong", "huang", "lv", "lan"};

int LanguageIndex() { return text::CurrentLanguageTable()->Index(); }

}  // namespace

LightingPanel::LightingPanel(LightingPanelContext context)
    : QObject(&context.host),
      ctx_(context),
      host_(context.host),
      skin_(context.skin),
      lighting_(std::make_unique<lighting::LightingController>(
          context.transport,
          lighting::LightingFiles{QFile::encodeName(context.paths.MainSkin()).toStdString(),
                                  QFile::encodeName(context.paths.UserSettingsFile()).toStdString()})),
      colours_(std::make_unique<lighting::UserColours>(
          *lighting_, QFile::encodeName(context.paths.StoreFolder()).toStdString())) {
    setObjectName(QStringLiteral("LightingPanel"));
    host_.installEventFilter(this);
    brightnessWrite_ = std::make_unique<PacedWrite<int>>(this, [this](const int& position) {
        Run("lighting.brightness", [position](auto& l, auto&) { return l.SetBrightness(position); });
    });
    speedWrite_ = std::make_unique<PacedWrite<int>>(this, [this](const int& position) {
        Run("lighting.speed", [position](auto& l, auto&) { return l.SetSpeed(position); });
    });
    rgbWrite_ = std::make_unique<PacedWrite<Colour>>(this, [this](const Colour& c) {
        // The worker routes the colour by the effect and tool it holds, as the boxes did.
        Run(
            "lighting.rgb",
            [c](auto& l, auto& u) {
                return lighting::ApplyRgbBoxes(l, u, lighting::RedOf(c), lighting::GreenOf(c),
                                               lighting::BlueOf(c))
                    .result;
            },
            [this] {
                // A base colour repaints the keys painted with it.
                if (shown_.mirror.effect == lighting::kEffectPerKeyColours) {
                    const LightingState p = Published();
                    shown_.keyColours = p.keyColours;
                    ShowKeyColours();
                }
            });
    });
}

LightingPanel::~LightingPanel() = default;

// ---------------------------------------------------------------------------------------------
// Keyboard thread

void LightingPanel::Publish() {
    LightingState s;
    s.colourKeysMode = lighting_->ColourKeysMode();
    s.profile = lighting_->Profile();
    s.mirror = lighting_->Mirror();
    s.items = lighting_->ComboItems();
    s.offersPerKey = lighting_->Effects().Offers(lighting::kEffectPerKeyColours);
    s.set = colours_->CurrentSet();
    s.tool = colours_->Tool();
    s.paintColour = colours_->PaintColour();
    s.baseColour = colours_->BaseColour();
    s.setNames = colours_->SetNames();
    for (PaintButton b = 0; b < lighting::kPaintButtonCount; ++b)
        s.keyColours[static_cast<std::size_t>(b)] = colours_->ButtonColour(b);
    std::lock_guard lock(publishMutex_);
    published_ = std::move(s);
}

LightingState LightingPanel::Published() const {
    std::lock_guard lock(publishMutex_);
    return published_;
}

void LightingPanel::ReadOnWorker(int profile, int languageIndex) {
    lighting_->SetProfile(profile >= 0 && profile <= 2 ? profile : 0);
    lighting_->ReadLighting(languageIndex);
    if (lighting_->Effects().Offers(lighting::kEffectPerKeyColours)) colours_->ApplyUserColourSet();
    Publish();
}

void LightingPanel::ResetOnWorker() {
    lighting::RestoreLightingDefaults(*lighting_, *colours_);
    Publish();
}

// ---------------------------------------------------------------------------------------------
// Jobs

void LightingPanel::Run(const std::string& key, Operation op, std::function<void()> after) {
    if (!ctx_.jobs) return;
    auto work = [this, op = std::move(op)](JobContext&) {
        const int result = op(*lighting_, *colours_);
        Publish();
        return result;
    };
    auto done = [this, after = std::move(after)](int result) {
        Finished(result);
        if (after && lighting::KindOf(result) != lighting::ResultKind::KeyboardRefused) after();
    };
    if (key.empty())
        ctx_.jobs->Post(std::move(work), this, std::move(done));
    else
        ctx_.jobs->PostLatest(key, std::move(work), this, std::move(done));
}

void LightingPanel::Finished(int result) {
    Q_EMIT WriteFinished(result);
    switch (lighting::KindOf(result)) {
        case lighting::ResultKind::Done:
            failureReported_ = false;
            return;
        case lighting::ResultKind::KeyboardRefused: {
            // Show what the keyboard really holds, then say it did not take the change (once
            // until a write gets through, so a failing drag does not stack up boxes).
            brightnessWrite_->Drop();
            speedWrite_->Drop();
            rgbWrite_->Drop();
            const int language = LanguageIndex();
            ctx_.jobs->Post(
                [this, language](JobContext&) {
                    lighting_->ReadLighting(language);
                    Publish();
                },
                this,
                [this] {
                    Refresh();
                    if (!failureReported_ && ctx_.prompt) {
                        failureReported_ = true;
                        ctx_.prompt->ShowMessage(FileText("LIGHT_NOT_TAKEN"), {}, PromptIcon::Warning);
                    }
                });
            return;
        }
        case lighting::ResultKind::FileNotSaved:
            if (ctx_.prompt) {
                const auto file = lighting::UserColourFilePath(
                    QFile::encodeName(ctx_.paths.StoreFolder()).toStdString(), shown_.profile);
                ctx_.prompt->ShowMessage(
                    FileText("LIGHT_FILE_NOT_SAVED")
                        .replace(QStringLiteral("%s"), QString::fromStdString(file.string())),
                    {}, PromptIcon::Warning);
            }
            return;
        case lighting::ResultKind::BadArgument:
            // Only a set name can be refused here: say so and show the stored name again.
            if (ctx_.prompt)
                ctx_.prompt->ShowMessage(FileText("LIGHT_SET_NAME_BAD"), {}, PromptIcon::Warning);
            shown_.setNames = Published().setNames;
            ShowUserControls();
            return;
    }
}

// ---------------------------------------------------------------------------------------------
// Building

CPngButton* LightingPanel::Picture(int id, const char* key, const char* bitmap) {
    auto* button = new CPngButton(&host_);
    button->setObjectName(QString::fromLatin1(key));
    button->setProperty("controlId", id);
    PlaceWindow(*button, skin_, kSection, QString::fromLatin1(key));
    button->SetFaceSource(QPoint(1, 1));
    const QPixmap pm = skin_.LoadPicture(QString::fromLatin1(bitmap));
    button->SetStatePictures(StatePictures{pm, pm, pm, pm, pm});
    return button;
}

CPngButton* LightingPanel::ColourButton(const char* key, QColor colour) {
    auto* button = new CPngButton(&host_);
    button->setObjectName(QString::fromLatin1(key));
    PlaceWindow(*button, skin_, kSection, QString::fromLatin1(key));
    button->setProperty("colour", colour);
    button->SetPaintCallback([](QPainter& p, CPngButton& b, bool) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x34, 0x39, 0x44), 1));
        p.setBrush(b.property("colour").value<QColor>());
        p.drawRoundedRect(QRectF(b.rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    });
    return button;
}

void LightingPanel::Build() {
    background_ = skin_.LoadImage(skin_.BackgroundName());

    connect(Picture(kIdLamp, "CONTROL_DengStaPic", "dengup.bmp"), &QAbstractButton::clicked, this,
            &LightingPanel::ToggleColourKeysMode);
    auto direction = [this](lighting::DirectionButton which) {
        shown_.mirror.direction = which == lighting::DirectionButton::First ? 0xFF : 0x00;
        ShowControls();
        Run("lighting.direction", [which](auto& l, auto&) { return l.SetDirection(which); });
    };
    connect(Picture(1149, "CONTROL_BLFXLStaPic", "leftup.bmp"), &QAbstractButton::clicked, this,
            [direction] { direction(lighting::DirectionButton::First); });
    connect(Picture(1150, "CONTROL_BLFXRStaPic", "rightup.bmp"), &QAbstractButton::clicked, this,
            [direction] { direction(lighting::DirectionButton::Second); });
    auto random = [this](lighting::ColourButton which) {
        shown_.mirror.random = !shown_.mirror.random;
        ShowControls();
        Run("", [which](auto& l, auto&) { return l.ToggleRandom(which); });
    };
    connect(Picture(1156, "CONTROL_HXsjsStaPic", "sjsup.bmp"), &QAbstractButton::clicked, this,
            [random] { random(lighting::ColourButton::Hx); });
    connect(Picture(1175, "CONTROL_FYSJSStaPic", "sjsup.bmp"), &QAbstractButton::clicked, this,
            [random] { random(lighting::ColourButton::Fy); });
    for (int i = 0; i < 4; ++i) {
        const QByteArray bitmap = QByteArray(kPresetNames[static_cast<std::size_t>(i)]) + ".bmp";
        connect(Picture(1194 + i, kPresetPictures[static_cast<std::size_t>(i)], bitmap.constData()),
                &QAbstractButton::clicked, this, [this, i] {
                    shown_.mirror.presetColour = i;
                    ShowControls();
                    Run("", [i](auto& l, auto&) { return l.SetPresetColour(i); });
                });
    }
    for (int tool = 0; tool < 2; ++tool) {
        connect(Picture(1164 + tool, tool == 0 ? "CONTROL_USERgjStaPic1" : "CONTROL_USERgjStaPic2",
                        tool == 0 ? "user1up.bmp" : "user2up.bmp"),
                &QAbstractButton::clicked, this, [this, tool] {
                    shown_.tool = tool;
                    ShowUserControls();
                    Run("", [tool](auto&, auto& u) { return u.SelectTool(tool); });
                });
    }
    // Controls the skin carries that no effect shows.
    Picture(1183, "CONTROL_FYdjcfStaPic", "sjsup.bmp");
    Picture(1180, "CONTROL_FYggcfStaPic", "sjsup.bmp");
    Picture(1188, "CONTROL_TSsjsStaPic", "sjsup.bmp");
    Picture(1192, "CONTROL_CDsjsStaPic", "sjsup.bmp");
    ColourButton("CONTROL_JTysButton", Qt::red);
    ColourButton("CONTROL_TSysButton", Qt::white);
    ColourButton("CONTROL_CDysButton", Qt::white);

    auto colourButton = [this](const char* key, ColourTarget target, QColor colour) {
        CPngButton* b = ColourButton(key, colour);
        connect(b, &QAbstractButton::clicked, this, [this, target, b] { OpenColourPopup(target, b); });
    };
    colourButton("CONTROL_HXysButton", ColourTarget::Hx, Qt::red);
    colourButton("CONTROL_FYYSButton", ColourTarget::Fy, Qt::red);
    colourButton("CONTROL_USERysButton", ColourTarget::UserPaint, Qt::red);
    colourButton("CONTROL_USERjsButton", ColourTarget::UserBase, Qt::white);

    for (int i = 0; i < 4; ++i) {
        if (auto* b = host_.findChild<CPngButton*>(
                QString::fromLatin1(kReportButtons[static_cast<std::size_t>(i)]))) {
            connect(b, &QAbstractButton::clicked, this, [this, i] {
                shown_.mirror.reportRate = i;
                ShowControls();
                Run("", [i](auto& l, auto&) { return l.SetReportRate(i); });
            });
        }
    }

    const QString fieldStyle = QStringLiteral(
        "background:#101216; color:#E4E4E4; border:1px solid #343944; border-radius:3px; padding:1px 4px;"
        "selection-background-color:#00B4FF;");
    effectCombo_ = new QComboBox(&host_);
    effectCombo_->setObjectName(QStringLiteral("CONTROL_XGcombox"));
    effectCombo_->setStyleSheet(QStringLiteral("QComboBox{%1} QComboBox QAbstractItemView{background:#1E2128;"
                                               "color:#E4E4E4; selection-background-color:#00B4FF;}")
                                    .arg(fieldStyle));
    PlaceWindow(*effectCombo_, skin_, kSection, effectCombo_->objectName());
    effectCombo_->installEventFilter(this);
    connect(effectCombo_, &QComboBox::activated, this, &LightingPanel::OnEffectChosen);

    setCombo_ = new QComboBox(&host_);
    setCombo_->setObjectName(QStringLiteral("CONTROL_umCombo"));
    setCombo_->setEditable(true);
    setCombo_->setInsertPolicy(QComboBox::NoInsert);
    setCombo_->setStyleSheet(QStringLiteral("QComboBox{%1}").arg(fieldStyle));
    PlaceWindow(*setCombo_, skin_, kSection, setCombo_->objectName());
    connect(setCombo_, &QComboBox::activated, this, [this](int index) {
        if (index < 0 || index >= lighting::kColourSets) return;
        shown_.set = index;
        Run(
            "", [index](auto&, auto& u) { return u.SelectSet(index); },
            [this] {
                const LightingState p = Published();
                shown_.set = p.set;
                shown_.tool = p.tool;
                shown_.paintColour = p.paintColour;
                shown_.baseColour = p.baseColour;
                shown_.setNames = p.setNames;
                shown_.keyColours = p.keyColours;
                ShowUserControls();
                ShowKeyColours();
            });
    });
    connect(setCombo_->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& name) {
        const int index = shown_.set;
        if (index < 0 || index >= lighting::kColourSets) return;
        shown_.setNames[static_cast<std::size_t>(index)] = name.toStdString();
        setCombo_->setItemText(index, name);
        const std::string stored = name.toStdString();
        Run("lighting.rename", [stored](auto&, auto& u) { return u.RenameSet(stored); });
    });

    brightness_ = new CBitmapSlider(kIdBrightness, 6, &host_);
    brightness_->setObjectName(QStringLiteral("CONTROL_LightSlider"));
    PlaceWindow(*brightness_, skin_, kSection, brightness_->objectName());
    brightness_->SetFace(skin_.LoadPicture(QStringLiteral("4.bmp")));
    brightness_->SetPosition(4);
    speed_ = new CBitmapSlider(kIdSpeed, 6, &host_);
    speed_->setObjectName(QStringLiteral("CONTROL_SpeedSlider"));
    PlaceWindow(*speed_, skin_, kSection, speed_->objectName());
    speed_->SetFace(skin_.LoadPicture(QStringLiteral("10.bmp")));
    speed_->SetPosition(4);
    connect(brightness_, &CBitmapSlider::PositionChanged, this, &LightingPanel::OnSlider);
    connect(speed_, &CBitmapSlider::PositionChanged, this, &LightingPanel::OnSlider);

    const char* rgbKeys[3] = {"m_edit_rgbr", "m_edit_rgbg", "m_edit_rgbb"};
    const char* rgbLabels[3] = {"m_rgbr_static", "m_rgbg_static", "m_rgbb_static"};
    const char* rgbLetters[3] = {"R", "G", "B"};
    for (int i = 0; i < 3; ++i) {
        auto* edit = new QLineEdit(&host_);
        edit->setObjectName(QString::fromLatin1(rgbKeys[i]));
        // Digits only; a larger number is cut to 255 as it is typed.
        edit->setValidator(new QIntValidator(0, 999, edit));
        edit->setMaxLength(3);
        edit->setAlignment(Qt::AlignCenter);
        edit->setStyleSheet(QStringLiteral("QLineEdit{%1}").arg(fieldStyle));
        PlaceWindow(*edit, skin_, kSection, edit->objectName());
        connect(edit, &QLineEdit::textEdited, this, &LightingPanel::OnRgbEdited);
        rgbEdits_[static_cast<std::size_t>(i)] = edit;
        auto* label = new QLabel(QString::fromLatin1(rgbLetters[i]), &host_);
        label->setObjectName(QString::fromLatin1(rgbLabels[i]));
        label->setStyleSheet(QStringLiteral("color:#8C93A0;"));
        label->setAlignment(Qt::AlignCenter);
        PlaceWindow(*label, skin_, kSection, label->objectName());
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
        PlaceWindow(*label, skin_, kSection, label->objectName());
    }

    // The Switch button (created hidden by the window): colour faces or function faces.
    switchButton_ = host_.findChild<CPngButton*>(QStringLiteral("FUNC_SWITCH"));
    if (switchButton_)
        connect(switchButton_, &QAbstractButton::clicked, this, [this] { SetColourFaces(!colourFaces_); });

    Refresh();
}

void LightingPanel::AttachKeys(const CKeyGrid& grid) {
    keys_ = CKeyColourView(CKeyColourView::ButtonsOf(grid));
    keys_.SetBackdrop(QPixmap::fromImage(background_));
    for (PaintButton b = 0; b < lighting::kPaintButtonCount; ++b)
        if (auto* button = keys_.Button(b)) button->installEventFilter(this);
    preview_ = new CKeyPreview(
        keys_, [this] { return lighting::PreviewInput::FromMirror(shown_.mirror); }, this);
    keysAttached_ = true;
    Refresh();
}

void LightingPanel::ApplyTexts(bool chinese) {
    const QString section = chinese ? QStringLiteral("Control_Name") : QStringLiteral("Control_Name1");
    for (auto* label : host_.findChildren<QLabel*>()) {
        const QString key = label->property("captionKey").toString();
        if (!key.isEmpty()) label->setText(skin_.Get(section, key));
    }
    if (switchButton_)
        switchButton_->setText(Text(colourFaces_ ? text::TextId::MAIN_SWITCH_COLOR_TEXT
                                                 : text::TextId::MAIN_SWITCH_FUNCTION_TEXT));
}

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
    const QString section =
        LanguageIndex() == text::kChinese ? QStringLiteral("Control_Name") : QStringLiteral("Control_Name1");
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
    return lighting::IsOnColourWheel(hostPos.x(), hostPos.y()) && background_.rect().contains(hostPos);
}

void LightingPanel::PickWheelColour(QPoint hostPos) {
    if (!WheelHit(hostPos)) return;
    // The wheel is part of the window's background picture: its pixel is the colour shown
    // there, with no need to read the screen.
    const QColor c = background_.pixelColor(hostPos);
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
            case QEvent::Show:
            case QEvent::Hide:
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

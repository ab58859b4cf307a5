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
#include "gui/lighting/LightingPanelNames.h"
#include "gui/main/KeyGrid.h"
#include "gui/skin/PngButton.h"
#include "gui/skin/SkinError.h"
#include "gui/skin/SkinPlacement.h"

namespace talvenix::gui {

using lighting::Colour;
using lighting::PaintButton;

using namespace lighting_panel;

namespace {

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
    keys_.SetBackdrop(QPixmap::fromImage(skin_.LoadImage(skin_.BackgroundName())));
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

}  // namespace talvenix::gui

#include "gui/TalvenixDlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QVBoxLayout>
#include <future>

#include "core/keys/KeyButtons.h"
#include "core/lighting/LightingPanelRules.h"
#include "core/lighting/UserColourSet.h"
#include "core/profiles/ProfileSettings.h"
#include "core/profiles/ProfileStore.h"
#include "core/text/IniFile.h"
#include "core/text/LanguageSettings.h"
#include "core/text/LanguageTable.h"
#include "gui/SkinError.h"
#include "gui/SkinPlacement.h"
#include "gui/keys/KeyDialogLauncher.h"

namespace talvenix::gui {

namespace {

using text::TextId;

QString Text(TextId id) { return QString::fromStdString(text::LanguageText(id)); }
QString FileText(const char* key) { return QString::fromStdString(text::LanguageFileText(key)); }
QString FileText(const char* section, const char* key) {
    return QString::fromStdString(text::LanguageFileText(section, key));
}

constexpr std::uint16_t kUsageGBank = 0x02FF;
constexpr std::uint16_t kUsageConfigChanged = 0x0401;
constexpr std::uint16_t kUsageIconEvent = 0x1811;
constexpr std::uint16_t kUsageIconBack = 0x1810;

constexpr const char* kDefaultLink = "https://example.com/talvenix";
constexpr const char* kVersionText = "V" TALVENIX_GUI_VERSION;

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

CPngButton::TextStyle CaptionStyle(int pointSize = 9) {
    CPngButton::TextStyle style;
    style.on = true;
    style.pointSize = pointSize;
    style.colour = QColor(0xE4, 0xE4, 0xE4);
    return style;
}

}  // namespace

CTalvenixDlg::CTalvenixDlg(MainWindowContext context, QWidget* parent)
    : CBaseDialog(context.paths.MainSkin(), parent), ctx_(std::move(context)) {
    setObjectName(QStringLiteral("MainWindow"));
    initialOpenDone_ = ctx_.initialOpenDone;
    keyboard_.SetDocumentsFolder(ctx_.paths.documentsFolder);
    busyTimer_.setParent(this);
    busyTimer_.setObjectName(QStringLiteral("BusyAnimation"));
    busyTimer_.setInterval(50);
    connect(&busyTimer_, &QTimer::timeout, this, [this] {
        if (busyFrames_.empty() || !busyLabel_) return;
        busyFrame_ = (busyFrame_ + 1) % static_cast<int>(busyFrames_.size());
        busyLabel_->setPixmap(busyFrames_[static_cast<std::size_t>(busyFrame_)]);
    });
}

CTalvenixDlg::~CTalvenixDlg() {
    StopWorkers();
    if (ctx_.link) ctx_.link->SetEventSink(nullptr);
}

CPngButton* CTalvenixDlg::Button(int id) const {
    const auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------------------------------------
// Bring-up

void CTalvenixDlg::BringUp() {
    windowReady_ = false;
    setWindowIcon(TrayStateIcon(TrayState::Attached));
    if (!ctx_.link || !ctx_.link->Ready()) throw std::runtime_error("the service library did not initialise");

    // Standing reads: keyboard events on the consumer interface, replies on the control one.
    gBank_ = {0x05, 0x02};
    ctx_.link->SetEventSink(this);
    ctx_.link->RegisterStandingReads();
    const int count = ctx_.link->Transport().DeviceCount();
    if (count == 0) initialOpenDone_ = true;

    {
        auto cfg = working_.Lock();
        *cfg = macros::Configuration{};
    }
    applyPending_ = false;

    InitSkin();
    LoadPictures();

    // The per-user folder and the user colour files seeded from the skin's template.
    const profiles::ProfileStore store(QFile::encodeName(ctx_.paths.documentsFolder).toStdString());
    if (store.EnsureFolder() != profiles::ProfileStore::FolderResult::Failed)
        lighting::InstallUserColourFiles(
            QFile::encodeName(ctx_.paths.UserSettingsFile()).toStdString(),
            QFile::encodeName(ctx_.paths.SkinFile(QStringLiteral("UserDengColor_3.userd"))).toStdString(),
            store.Folder());
    lighting_ = std::make_unique<lighting::LightingController>(
        ctx_.link->Transport(),
        lighting::LightingFiles{QFile::encodeName(ctx_.paths.MainSkin()).toStdString(),
                                QFile::encodeName(ctx_.paths.UserSettingsFile()).toStdString()});
    const QString link = Skin().Get(QStringLiteral("SCREEN"), QStringLiteral("Link"));
    linkTarget_ = link.trimmed().isEmpty() ? QString::fromLatin1(kDefaultLink) : link.trimmed();
    PlaceControls();
    BuildLightingPanel();
    grid_ = std::make_unique<CKeyGrid>(
        this, Skin(), mainPictures_,
        StatePictures{colour0_, colour1_, mainPictures_.down, mainPictures_.disabled, colour0_});
    grid_->Build();
    WireKeyDialogs();
    ApplyTexts();
    RefreshKeys(true);
    UpdateApplyButton();

    presenceThread_ = std::thread([this] { PresenceLoop(); });
    StartPresenceWorker(count);
    QMetaObject::invokeMethod(this, &CTalvenixDlg::DeferredInit, Qt::QueuedConnection);
}

void CTalvenixDlg::LoadPictures() {
    const SkinFile& skin = Skin();
    mainPictures_.normal = skin.LoadPicture(QStringLiteral("main_normal.jpg"));
    mainPictures_.over = skin.LoadPicture(QStringLiteral("main_over.jpg"));
    mainPictures_.down = skin.LoadPicture(QStringLiteral("main_down.jpg"));
    mainPictures_.disabled = skin.LoadPicture(QStringLiteral("main_disable.jpg"));
    mainPictures_.set = mainPictures_.down;
    // The AB indicator's second set: bank B shows the pressed face.
    abPictures_ = StatePictures{mainPictures_.down, mainPictures_.over, mainPictures_.normal,
                                mainPictures_.disabled, mainPictures_.down};
    arrow_ = skin.LoadPicture(QStringLiteral("Arrow.jpg"));
    colour0_ = skin.LoadPicture(QStringLiteral("main_color0.jpg"));
    colour1_ = skin.LoadPicture(QStringLiteral("main_color1.jpg"));
}

CPngButton* CTalvenixDlg::AddButton(int id, const QString& key, const StatePictures& pictures) {
    auto* button = new CPngButton(this);
    button->setObjectName(key);
    PlaceControl(*button, Skin(), QStringLiteral("BUTTONINFO"), key, pictures);
    buttons_[id] = button;
    connect(button, &QAbstractButton::clicked, this, [this, id] { OnButton(id); });
    return button;
}

void CTalvenixDlg::PlaceControls() {
    for (const auto& entry : kWindowButtons)
        AddButton(entry.id, QString::fromLatin1(entry.key), mainPictures_);
    // The version button only shows the version.
    if (auto* ver = Button(kIdVersion)) {
        ver->setText(QString::fromLatin1(kVersionText));
        auto style = CaptionStyle(8);
        style.colour = QColor(0x8C, 0x93, 0xA0);
        ver->SetTextStyle(style);
        ver->setEnabled(false);
    }
    // Hidden until their issues wire them: the Switch button and the quick-switch button.
    Button(kIdSwitch)->hide();
    auto* quick = new CPngButton(this);
    quick->setObjectName(QStringLiteral("QUICK_SWITCH"));
    quick->hide();
    buttons_[kIdQuickSwitch] = quick;
    for (int id :
         {kIdOk, kIdCancel, kIdApply, kIdProfile1, kIdProfile2, kIdProfile3, kIdMacro, kIdDefault, kIdSwitch})
        Button(id)->SetTextStyle(CaptionStyle());
    // The lock indicators show the keyboard's state; they are not clickable.
    for (int id : {kIdLockCaps, kIdLockNum, kIdLockScroll, kIdLockAB})
        Button(id)->setAttribute(Qt::WA_TransparentForMouseEvents);

    // The caption, the profile label and the two arrows of the profile bar.
    auto* title = new QLabel(this);
    title->setObjectName(QStringLiteral("CONTROL_TITLE"));
    title->setStyleSheet(QStringLiteral("color:#8C93A0;"));
    PlaceWindow(*title, Skin(), QStringLiteral("BUTTONINFO"), title->objectName());
    profileLabel_ = new QLabel(this);
    profileLabel_->setObjectName(QStringLiteral("CONTROL_ProfileStatic"));
    profileLabel_->setStyleSheet(QStringLiteral("color:#E4E4E4;"));
    PlaceWindow(*profileLabel_, Skin(), QStringLiteral("BUTTONINFO"), profileLabel_->objectName());
    const char* arrows[2][2] = {{"LEFT_ARROW", "UP_ARROW_LEFT1"}, {"RIGHT_ARROW", "UP_ARROW_RIGHT1"}};
    for (const auto& arrow : arrows) {
        auto* button = new CPngButton(this);
        button->setObjectName(QString::fromLatin1(arrow[0]));
        PlaceWithFace(*button, Skin(), QStringLiteral("BUTTONINFO"), button->objectName(),
                      QStringLiteral("BUTTONINFO2"), QString::fromLatin1(arrow[1]), arrow_);
    }

    busyLabel_ = new QLabel(this);
    busyLabel_->setObjectName(QStringLiteral("CONTROL_JDTStatic"));
    PlaceWindow(*busyLabel_, Skin(), QStringLiteral("BUTTONINFO"), QStringLiteral("CONTROL_JDTStatic"));
    busyLabel_->setScaledContents(true);
    busyLabel_->hide();
}

void CTalvenixDlg::BuildLightingPanel() {
    const SkinFile& skin = Skin();
    const QString section = QStringLiteral("BUTTONINFO");
    // Busy frames live with the lighting bitmaps.
    for (int i = 1; i <= 10; ++i) busyFrames_.push_back(skin.LoadPicture(QStringLiteral("jdt%1.bmp").arg(i)));
    if (busyLabel_) busyLabel_->setPixmap(busyFrames_.front());

    auto picture = [&](int id, const char* key, const char* bitmap) {
        auto* button = new CPngButton(this);
        button->setObjectName(QString::fromLatin1(key));
        PlaceWindow(*button, skin, section, QString::fromLatin1(key));
        button->SetFaceSource(QPoint(1, 1));
        const QPixmap pm = skin.LoadPicture(QString::fromLatin1(bitmap));
        button->SetStatePictures(StatePictures{pm, pm, pm, pm, pm});
        buttons_[id] = button;
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
    auto colourButton = [&](int id, const char* key, QColor colour) {
        auto* button = new CPngButton(this);
        button->setObjectName(QString::fromLatin1(key));
        PlaceWindow(*button, skin, section, QString::fromLatin1(key));
        button->setProperty("colour", colour);
        button->SetPaintCallback([](QPainter& p, CPngButton& b, bool) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(0x34, 0x39, 0x44), 1));
            p.setBrush(b.property("colour").value<QColor>());
            p.drawRoundedRect(QRectF(b.rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        });
        buttons_[id] = button;
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
    effectCombo_ = new QComboBox(this);
    effectCombo_->setObjectName(QStringLiteral("CONTROL_XGcombox"));
    effectCombo_->setStyleSheet(QStringLiteral("QComboBox{%1} QComboBox QAbstractItemView{background:#1E2128;"
                                               "color:#E4E4E4; selection-background-color:#00B4FF;}")
                                    .arg(fieldStyle));
    PlaceWindow(*effectCombo_, skin, section, effectCombo_->objectName());
    effectCombo_->installEventFilter(this);
    auto* setCombo = new QComboBox(this);
    setCombo->setObjectName(QStringLiteral("CONTROL_umCombo"));
    setCombo->setEditable(true);
    setCombo->setStyleSheet(QStringLiteral("QComboBox{%1}").arg(fieldStyle));
    PlaceWindow(*setCombo, skin, section, setCombo->objectName());

    brightness_ = new CBitmapSlider(kIdBrightness, 6, this);
    brightness_->setObjectName(QStringLiteral("CONTROL_LightSlider"));
    PlaceWindow(*brightness_, skin, section, brightness_->objectName());
    brightness_->SetFace(skin.LoadPicture(QStringLiteral("4.bmp")));
    brightness_->SetPosition(4);
    speed_ = new CBitmapSlider(kIdSpeed, 6, this);
    speed_->setObjectName(QStringLiteral("CONTROL_SpeedSlider"));
    PlaceWindow(*speed_, skin, section, speed_->objectName());
    speed_->SetFace(skin.LoadPicture(QStringLiteral("10.bmp")));
    speed_->SetPosition(4);

    const char* rgbKeys[3] = {"m_edit_rgbr", "m_edit_rgbg", "m_edit_rgbb"};
    const char* rgbLabels[3] = {"m_rgbr_static", "m_rgbg_static", "m_rgbb_static"};
    const char* rgbLetters[3] = {"R", "G", "B"};
    for (int i = 0; i < 3; ++i) {
        auto* edit = new QLineEdit(this);
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
        auto* label = new QLabel(QString::fromLatin1(rgbLetters[i]), this);
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
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(c[0]));
        label->setProperty("captionKey", QString::fromLatin1(c[1]));
        label->setStyleSheet(QStringLiteral("color:#8C93A0;"));
        PlaceWindow(*label, skin, section, label->objectName());
    }

    RefreshLightingPanel();
}

void CTalvenixDlg::UpdateProfileLabel() {
    if (!profileLabel_) return;
    // The label names what the quick-switch menu has checked: the store file of the current
    // profile, or "<Default Profile>" while the current profile is unknown.
    const QString name = keyboard_.CachedProfile() < 0 ? Text(TextId::DEFAULT_PROFILE_NAME)
                                                       : QFileInfo(keyboard_.StoreFile()).fileName();
    profileLabel_->setText(name);
    profileLabel_->setToolTip(Text(TextId::PROFILE_TIP) + name);
}

void CTalvenixDlg::ApplyTexts() {
    setWindowTitle(Text(TextId::MAIN_CAPTION));
    if (auto* title = findChild<QLabel*>(QStringLiteral("CONTROL_TITLE")))
        title->setText(Text(TextId::MAIN_CAPTION));
    UpdateProfileLabel();
    Button(kIdProfile1)->setText(FileText("PROFILE_1"));
    Button(kIdProfile2)->setText(FileText("PROFILE_2"));
    Button(kIdProfile3)->setText(FileText("PROFILE_3"));
    Button(kIdMacro)->setText(FileText("PROFILE_MACRO"));
    Button(kIdDefault)->setText(FileText("PROFILE_DEFAULT"));
    Button(kIdOk)->setText(FileText("PROFILE_OK"));
    Button(kIdCancel)->setText(FileText("PROFILE_CANCLE"));
    Button(kIdApply)->setText(FileText("PROFILE_APPLY"));
    Button(kIdSwitch)->setText(Text(TextId::MAIN_SWITCH_FUNCTION_TEXT));
    // The version caption comes from the language file; without one the built-in version shows.
    const QString version = Text(TextId::MAIN_BUTTON_KALTEV_VER).trimmed();
    Button(kIdVersion)->setText(version.isEmpty() ? QString::fromLatin1(kVersionText) : version);
    Button(kIdHelp)->SetTip(Text(TextId::MAIN_HELP_PROMPT));
    Button(kIdMinimize)->SetTip(Text(TextId::MAIN_MINIMIZE_PROMPT));
    Button(kIdMenu)->SetTip(Text(TextId::MAIN_MENU_PROMPT));
    Button(kIdClose)->SetTip(Text(TextId::MAIN_CLOSE_PROMPT));
    const int index = text::CurrentLanguageTable()->Index();
    const QString captionSection =
        index == text::kChinese ? QStringLiteral("Control_Name") : QStringLiteral("Control_Name1");
    for (auto* label : findChildren<QLabel*>()) {
        const QString key = label->property("captionKey").toString();
        if (!key.isEmpty()) label->setText(Skin().Get(captionSection, key));
    }
    if (tray_) {
        tray_->SetTip(Text(TextId::KEYBOARD_TRAY_DESC));
        tray_->SetMenuTexts(FileText("MENU_11"), FileText("MENU_22"), FileText("MENU_33"));
    }
    UpdateGButtonLabels();
    RefreshKeys(false);
    update();
}

void CTalvenixDlg::DeferredInit() {
    if (quitting_) return;
    if (ctx_.useTray) {
        tray_ = new CTrayIcon(this);
        tray_->SetMenuTexts(FileText("MENU_11"), FileText("MENU_22"), FileText("MENU_33"));
        tray_->SetState(presenceIcon_);
        connect(tray_, &CTrayIcon::ShowRequested, this, &CTalvenixDlg::Show);
        connect(tray_, &CTrayIcon::AboutRequested, this, &CTalvenixDlg::ShowAbout);
        connect(tray_, &CTrayIcon::QuitRequested, this, &CTalvenixDlg::Quit);
        tray_->Add(Text(TextId::KEYBOARD_TRAY_DESC));
    }
    {
        std::lock_guard lock(presenceMutex_);
        windowReady_ = true;
    }
    presenceCv_.notify_all();
    hide();
    if (showWhenReady_) {
        showWhenReady_ = false;
        Show();
    }
}

// ---------------------------------------------------------------------------------------------
// Window commands

void CTalvenixDlg::Show() {
    if (quitting_) return;
    if (!windowReady_) {
        // Asked before the deferred initialisation hid the window: show it after that.
        showWhenReady_ = true;
        return;
    }
    if (keyboard_.LastCount() == 0) {
        ctx_.prompt->ShowMessage(Text(TextId::MAIN_NO_DEVICE_PROMPT), QString());
        return;
    }
    showNormal();
    raise();
    activateWindow();
}

void CTalvenixDlg::HideToTray() { hide(); }

void CTalvenixDlg::OnButton(int id) {
    switch (id) {
        case kIdOk:
            Apply();
            HideToTray();
            break;
        case kIdCancel:
            HideToTray();
            break;
        case kIdApply:
            Apply();
            break;
        case kIdLink:
            OpenLink();
            break;
        case kIdHelp:
            OpenHelp();
            break;
        case kIdMinimize:
            showMinimized();
            break;
        case kIdClose:
            Quit();
            break;
        case kIdDefault:
            RestoreDefaults();
            break;
        case kIdMenu:
            ShowMainMenu();
            break;
        case kIdProfile1:
            OnProfileButton(0);
            break;
        case kIdProfile2:
            OnProfileButton(1);
            break;
        case kIdProfile3:
            OnProfileButton(2);
            break;
        case kIdMacro:
            keyDialogs_->OpenMacroCommand(BankB(), Button(kIdMacro));
            break;
        default:
            break;  // the profile manager and lighting controls come with their issues
    }
}

void CTalvenixDlg::OnProfileButton(int profile) {
    if (applyRunning_ || quitting_) return;
    // The lighting of the chosen profile, read from the keyboard.
    {
        std::lock_guard lock(lightingMutex_);
        lighting_->SetProfile(profile);
        lighting_->ReadLighting(text::CurrentLanguageTable()->Index());
    }
    RefreshLightingPanel();
    if (!SwitchProfile(profile)) return;
    ShowProfile(profile);
    UpdateProfileLabel();
}

bool CTalvenixDlg::SwitchProfile(int profile) {
    auto& transport = ctx_.link->Transport();
    if (keyboard_.State().GetCurrentProfile(transport) == profile) return true;
    if (applyPending_) {
        if (ctx_.prompt->AskYesNo(Text(TextId::PROFILE_SELECT_PROMPT))) {
            // Save and download the changes before the keyboard moves on.
            StartBusy();
            applySerial_ = editSerial_;
            FinishApply(keyboard_.Apply(transport, working_, snapshot_));
        } else {
            SetApplyPending(false);
            if (keyboard_.CachedProfile() >= 0) keyboard_.ReloadFromStore(working_);
        }
    }
    // A keyboard that did not take the switch keeps showing the profile it is on.
    const bool switched = keyboard_.SwitchKeyboardProfile(transport, profile);
    RefreshKeys(true);
    return switched;
}

void CTalvenixDlg::ShowProfile(int profile) {
    shownProfile_ = profile;
    for (int p = 0; p < 3; ++p) Button(kIdProfile1 + p)->SetSetState(p == profile);
    RefreshKeys(true);
}

void CTalvenixDlg::OpenLink() { QDesktopServices::openUrl(QUrl(linkTarget_)); }

void CTalvenixDlg::OpenHelp() {
    const QString index = QDir(ctx_.paths.helpFolder).filePath(QStringLiteral("index.html"));
    if (QFileInfo::exists(index)) QDesktopServices::openUrl(QUrl::fromLocalFile(index));
}

void CTalvenixDlg::ShowMainMenu() {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("MainMenu"));
    menu.addAction(FileText("MENU_1"), this, &CTalvenixDlg::ImportProfile);
    menu.addAction(FileText("MENU_2"), this, &CTalvenixDlg::ExportProfile);
    menu.addAction(FileText("MENU_3"), this, &CTalvenixDlg::ShowAbout);
    menu.addSeparator();
    // Each language item is labelled in its own language.
    auto* chinese = menu.addAction(FileText("CHINESE", "CHINESE_5"), this, [this] { SelectLanguage(0); });
    auto* english = menu.addAction(FileText("ENGINSH", "ENGINSH_6"), this, [this] { SelectLanguage(1); });
    chinese->setCheckable(true);
    english->setCheckable(true);
    const int index = text::CurrentLanguageTable()->Index();
    chinese->setChecked(index == text::kChinese);
    english->setChecked(index != text::kChinese);
    menu.addSeparator();
    menu.addAction(FileText("MENU_4"), this, &CTalvenixDlg::Quit);
    menu.exec(QCursor::pos());
}

void CTalvenixDlg::ShowAbout() {
    if (about_) {
        about_->raise();
        about_->activateWindow();
        return;
    }
    auto* about = new QDialog(this);
    about->setObjectName(QStringLiteral("AboutBox"));
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setWindowTitle(FileText("GUANYU_TITLE"));
    about->setStyleSheet(
        QStringLiteral("QDialog{background:#15171C;} QLabel{color:#E4E4E4;}"
                       "QPushButton{background:#1E2128; color:#E4E4E4; border:1px solid #343944;"
                       "border-radius:3px; padding:4px 18px;} QPushButton:hover{border-color:#00B4FF;}"));
    auto* layout = new QVBoxLayout(about);
    auto* intro = new QLabel(
        FileText("GUANYU_JIESHAO") + QStringLiteral("\n") + QString::fromLatin1(kVersionText), about);
    auto* rights = new QLabel(FileText("GUANYU_BANQUAN"), about);
    rights->setStyleSheet(QStringLiteral("color:#8C93A0;"));
    auto* ok = new QPushButton(FileText("GUANYU_OK"), about);
    connect(ok, &QPushButton::clicked, about, &QDialog::close);
    layout->addWidget(intro);
    layout->addWidget(rights);
    auto* row = new QHBoxLayout();
    row->addStretch();
    row->addWidget(ok);
    layout->addLayout(row);
    about_ = about;
    about->show();
}

void CTalvenixDlg::SelectLanguage(int index) {
    text::SelectLanguage(QFile::encodeName(ctx_.paths.configFolder).toStdString(),
                         QFile::encodeName(ctx_.paths.LanguageFile()).toStdString(), index);
    ApplyTexts();
    // The effect names of the lighting panel follow the language too: read the lighting again
    // and rebuild the effect list with the new names.
    if (keyboard_.LastCount() > 0 && !applyRunning_) {
        ReadLighting();
        RefreshLightingPanel();
    }
}

void CTalvenixDlg::closeEvent(QCloseEvent* event) {
    // The window manager's close hides to the tray; Quit ends the program.
    event->ignore();
    if (!quitting_) HideToTray();
}

void CTalvenixDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        OpenHelp();
        return;
    }
    CBaseDialog::keyPressEvent(event);  // swallows Enter and Escape
}

bool CTalvenixDlg::eventFilter(QObject* watched, QEvent* event) {
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
    return CBaseDialog::eventFilter(watched, event);
}

void CTalvenixDlg::RegisterSubDialog(CBaseDialog* dialog) { subDialogs_.emplace_back(dialog); }

void CTalvenixDlg::CloseSubDialogs() {
    if (about_) about_->close();
    for (auto& d : subDialogs_)
        if (d) d->reject();
    subDialogs_.clear();
}

bool CTalvenixDlg::AskSubDialogsToClose() {
    if (about_) about_->close();
    for (auto& d : subDialogs_) {
        if (!d) continue;
        if (!d->close()) return false;  // the dialog refused (its closeEvent ignored)
    }
    subDialogs_.clear();
    return true;
}

void CTalvenixDlg::Quit() {
    if (quitDone_) return;
    HideToTray();
    if (!AskSubDialogsToClose()) return;
    quitting_ = true;
    if (tray_) tray_->Remove();
    applyPending_ = false;
    StopWorkers();
    if (ctx_.link) ctx_.link->SetEventSink(nullptr);
    {
        auto cfg = working_.Lock();
        cfg->ReleaseKeyStrings();
        cfg->ReleaseMacros();
        cfg->ReleaseProfileImage();
    }
    quitDone_ = true;
    Q_EMIT Finished();
}

void CTalvenixDlg::StopWorkers() {
    {
        std::lock_guard lock(presenceMutex_);
        stopping_ = true;
    }
    presenceCv_.notify_all();
    if (presenceThread_.joinable()) presenceThread_.join();
    if (applyThread_.joinable()) applyThread_.join();
    if (importThread_.joinable()) importThread_.join();
}

// ---------------------------------------------------------------------------------------------
// Apply, restore defaults, import, export

void CTalvenixDlg::SetApplyPending(bool pending) {
    applyPending_ = pending;
    if (pending) ++editSerial_;
    UpdateApplyButton();
}

void CTalvenixDlg::UpdateApplyButton() {
    if (auto* apply = Button(kIdApply)) apply->setEnabled(applyPending_ && !applyRunning_);
}

void CTalvenixDlg::StartBusy() {
    busyFrame_ = 0;
    if (busyLabel_ && !busyFrames_.empty()) {
        busyLabel_->setPixmap(busyFrames_.front());
        busyLabel_->show();
    }
    busyTimer_.start();
}

void CTalvenixDlg::StopBusy() {
    busyTimer_.stop();
    if (busyLabel_) busyLabel_->hide();
}

void CTalvenixDlg::Apply() {
    if (quitting_) return;
    if (applyRunning_) {
        applyQueued_ = true;
        return;
    }
    StartBusy();
    if (!applyPending_) {
        QTimer::singleShot(100, this, [this] {
            StopBusy();
            Q_EMIT ApplyFinished(true);
        });
        return;
    }
    applyRunning_ = true;
    applySerial_ = editSerial_;
    UpdateApplyButton();
    if (applyThread_.joinable()) applyThread_.join();
    applyThread_ = std::thread([this] {
        if (resetLightingOnApply_.exchange(false)) {
            // Restore defaults with the colour keys shown: the shown profile's lighting goes
            // back to the reset image before the keys are written.
            std::lock_guard lock(lightingMutex_);
            if (lighting_) lighting_->ResetLighting();
        }
        const ApplyOutcome outcome = keyboard_.Apply(ctx_.link->Transport(), working_, snapshot_);
        QMetaObject::invokeMethod(
            this, [this, outcome] { FinishApply(outcome); }, Qt::QueuedConnection);
    });
}

void CTalvenixDlg::FinishApply(const ApplyOutcome& outcome) {
    applyRunning_ = false;
    if (ColourKeysMode()) RefreshLightingPanel();
    if (outcome.Ok() && editSerial_ == applySerial_) applyPending_ = false;
    UpdateApplyButton();
    if (!outcome.message.isEmpty()) ctx_.prompt->ShowMessage(outcome.message, QString(), PromptIcon::Warning);
    QTimer::singleShot(100, this, [this] { StopBusy(); });
    Q_EMIT ApplyFinished(outcome.Ok());
    if (applyQueued_) {
        applyQueued_ = false;
        Apply();
    }
}

void CTalvenixDlg::RestoreDefaults() {
    if (!ctx_.prompt->AskYesNo(Text(TextId::MAIN_PROMPT_DEFAULT))) return;
    {
        auto cfg = working_.Lock();
        grid_->ResetKeyAssignments(*cfg, shownProfile_, BankB());
    }
    if (ColourKeysMode()) resetLightingOnApply_ = true;  // sent by the Apply below, off this thread
    SetApplyPending(true);
    RefreshKeys(true);
    Apply();
}

void CTalvenixDlg::ExportProfile() {
    const QString suggested = QDir(ctx_.paths.documentsFolder).filePath(QStringLiteral("*.tvx"));
    const QString path = ctx_.prompt->ChooseSaveFile(
        QString(), suggested, QStringLiteral("(*.tvx) (*.tvx);;(*.*) (*)"), QStringLiteral("tvx"));
    if (!path.isEmpty()) ExportProfileTo(path);
}

void CTalvenixDlg::ExportProfileTo(const QString& path) {
    if (!keyboard_.Export(path, working_))
        // The language table's "save failed" text, with the file it is about.
        ctx_.prompt->ShowMessage(
            QStringLiteral("%1\n%2").arg(Text(TextId::MAIN_UPDATE_BACKUP_NG), QDir::toNativeSeparators(path)),
            QString(), PromptIcon::Warning);
}

void CTalvenixDlg::ImportProfile() {
    const QString path = ctx_.prompt->ChooseOpenFile(QString(), ctx_.paths.documentsFolder,
                                                     QStringLiteral("(*.tvx) (*.tvx);;(*.*) (*)"));
    if (!path.isEmpty()) ImportProfileFrom(path);
}

void CTalvenixDlg::ImportProfileFrom(const QString& path) {
    if (applyRunning_ || quitting_) return;
    StartBusy();
    applyRunning_ = true;
    applySerial_ = editSerial_;
    UpdateApplyButton();
    if (importThread_.joinable()) importThread_.join();
    importThread_ = std::thread([this, path] {
        const ImportOutcome outcome = keyboard_.Import(path, ctx_.link->Transport(), working_, snapshot_);
        QMetaObject::invokeMethod(
            this,
            [this, outcome] {
                applyRunning_ = false;
                StopBusy();
                if (!outcome.valid) {
                    // Both messages, in turn: what is wrong with the file, then that nothing was imported.
                    if (!outcome.formatMessage.isEmpty())
                        ctx_.prompt->ShowMessage(outcome.formatMessage, QString());
                    ctx_.prompt->ShowMessage(Text(TextId::MAIN_PROMPT_INPORT), QString());
                    UpdateApplyButton();
                    Q_EMIT ImportFinished(false);
                } else {
                    RefreshKeys(true);
                    // The imported configuration is the working one now. A keyboard that did not
                    // take it leaves Apply enabled, as a failed Apply does, so it can be sent again.
                    if (outcome.downloaded && editSerial_ == applySerial_)
                        applyPending_ = false;
                    else if (!outcome.downloaded)
                        applyPending_ = true;
                    UpdateApplyButton();
                    if (!outcome.message.isEmpty())
                        ctx_.prompt->ShowMessage(outcome.message, QString(), PromptIcon::Warning);
                    Q_EMIT ImportFinished(outcome.downloaded);
                }
                if (applyQueued_) {
                    applyQueued_ = false;
                    Apply();
                }
            },
            Qt::QueuedConnection);
    });
}

// ---------------------------------------------------------------------------------------------
// Key grid

void CTalvenixDlg::RefreshKeys(bool withFaces) {
    if (!grid_) return;
    auto cfg = working_.Lock();
    grid_->Refresh(*cfg, shownProfile_, BankB(), withFaces);
}

void CTalvenixDlg::UpdateGButtonLabels() {
    if (grid_) grid_->SetBankLabels(BankB());
}

// ---------------------------------------------------------------------------------------------
// Keyboard events

void CTalvenixDlg::OnConsumerUsage(std::uint16_t usage) {
    QMetaObject::invokeMethod(
        this, [this, usage] { HandleConsumerUsage(usage); }, Qt::QueuedConnection);
}

void CTalvenixDlg::OnDeviceCountChanged(int count) {
    QMetaObject::invokeMethod(
        this, [this, count] { HandleDeviceCount(count); }, Qt::QueuedConnection);
}

void CTalvenixDlg::HandleConsumerUsage(std::uint16_t usage) {
    if (quitting_) return;
    switch (usage) {
        case kUsageGBank:
            ToggleGBank();
            break;
        case kUsageConfigChanged:
            // The keyboard changed its configuration itself (a profile chosen on the keyboard):
            // re-read the lighting once the event has been handled.
            QTimer::singleShot(0, this, [this] {
                ReadLighting(true);
                const int active = keyboard_.CachedProfile();
                if (active >= 0 && active <= 2 && active != shownProfile_) ShowProfile(active);
                UpdateProfileLabel();
                RefreshLightingPanel();
            });
            break;
        case kUsageIconEvent:
            if (tray_) tray_->SetState(TrayState::Event);
            break;
        case kUsageIconBack:
            if (tray_) tray_->SetState(presenceIcon_);
            break;
        default:
            break;
    }
}

void CTalvenixDlg::ToggleGBank() {
    gBank_[1] ^= 0x01;
    ctx_.link->WriteLedStatus(gBank_[0], gBank_[1]);
    if (auto* ab = Button(kIdLockAB)) ab->SetStatePictures(BankB() ? abPictures_ : mainPictures_);
    UpdateGButtonLabels();
    RefreshKeys(true);
}

void CTalvenixDlg::HandleDeviceCount(int count) {
    if (!quitting_) StartPresenceWorker(count);
}

// ---------------------------------------------------------------------------------------------
// Lighting

void CTalvenixDlg::ReadLighting(bool followKeyboard) {
    auto& transport = ctx_.link->Transport();
    if (followKeyboard) {
        // A profile chosen on the keyboard itself: ask it which one is current now.
        keyboard_.State().ForgetCurrentProfile();
        keyboard_.State().GetCurrentProfile(transport);
    }
    const int active = keyboard_.CachedProfile();
    const int language = text::CurrentLanguageTable()->Index();
    std::lock_guard lock(lightingMutex_);
    if (!lighting_) return;
    lighting_->SetProfile(active >= 0 && active <= 2 ? active : 0);
    lighting_->ReadLighting(language);
}

bool CTalvenixDlg::ColourKeysMode() {
    std::lock_guard lock(lightingMutex_);
    return lighting_ && lighting_->ColourKeysMode();
}

void CTalvenixDlg::SetPicture(const char* control, const QString& bitmap) {
    auto* button = findChild<CPngButton*>(QString::fromLatin1(control));
    if (!button) return;
    try {
        const QPixmap pm = Skin().LoadPicture(bitmap);
        button->SetStatePictures(StatePictures{pm, pm, pm, pm, pm});
    } catch (const SkinError&) {
        // Pictures of the panel were all loaded at bring-up; a later change of the skin
        // folder leaves the old face in place.
    }
}

void CTalvenixDlg::RefreshLightingPanel() {
    bool mode = false;
    lighting::LightingMirror mirror;
    std::vector<lighting::EffectComboItem> items;
    {
        std::lock_guard lock(lightingMutex_);
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
        brightness_->SetFace(Skin().LoadPicture(
            QStringLiteral("%1.bmp").arg(lighting::BrightnessFacePicture(brightness_->Position()))));
        speed_->SetFace(
            Skin().LoadPicture(QStringLiteral("%1.bmp").arg(lighting::SpeedFacePicture(speed_->Position()))));
    } catch (const SkinError&) {
    }
    for (int i = 0; i < 4; ++i)
        if (auto* b = Button(
                std::array{kIdReport1, kIdReport2, kIdReport3, kIdReport4}[static_cast<std::size_t>(i)]))
            b->SetSetState(i == mirror.reportRate);
    SetPicture("CONTROL_DengStaPic", mode ? QStringLiteral("dengdown.bmp") : QStringLiteral("dengup.bmp"));
    // Colours travel as 0xBBGGRR.
    auto rgb = [](lighting::Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); };
    for (const char* name : {"CONTROL_HXysButton", "CONTROL_FYYSButton"})
        if (auto* b = findChild<CPngButton*>(QString::fromLatin1(name))) {
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
            if (auto* w = findChild<QWidget*>(QString::fromLatin1(name))) w->setVisible(on);
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
            if (auto* w = findChild<QWidget*>(QString::fromLatin1(name)))
                PlaceWindow(*w, Skin(), QStringLiteral("BUTTONINFO"), QString::fromLatin1(name) + suffix);
        const auto names = lighting::DirectionPicturesOf(mirror.effect);
        const bool first = lighting::DirectionIsFirst(static_cast<unsigned>(mirror.direction));
        auto q = [](std::string_view v) {
            return QString::fromLatin1(v.data(), static_cast<qsizetype>(v.size()));
        };
        SetPicture("CONTROL_BLFXLStaPic", q(first ? names.firstPressed : names.firstNormal));
        SetPicture("CONTROL_BLFXRStaPic", q(first ? names.secondNormal : names.secondPressed));
    }
}

// ---------------------------------------------------------------------------------------------
// Presence

void CTalvenixDlg::StartPresenceWorker(int count) {
    {
        std::lock_guard lock(presenceMutex_);
        if (stopping_) return;
        presenceQueue_.push_back(count);
        ++presenceRunning_;
    }
    presenceCv_.notify_all();
}

void CTalvenixDlg::PresenceLoop() {
    for (;;) {
        int count = 0;
        {
            std::unique_lock lock(presenceMutex_);
            presenceCv_.wait(lock, [this] { return stopping_ || !presenceQueue_.empty(); });
            if (stopping_) return;
            count = presenceQueue_.front();
            presenceQueue_.pop_front();
        }
        PresenceStep(count);
        --presenceRunning_;
    }
}

void CTalvenixDlg::RunOnUiAndWait(const std::function<void()>& fn) {
    auto done = std::make_shared<std::promise<void>>();
    auto future = done->get_future();
    QMetaObject::invokeMethod(
        this,
        [fn, done] {
            fn();
            done->set_value();
        },
        Qt::QueuedConnection);
    // Never wait past a shutdown: the UI thread may be the one waiting for us.
    while (future.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
        if (stopping_) return;
}

void CTalvenixDlg::PresenceStep(int count) {
    if (count == keyboard_.LastCount()) return;
    auto& transport = ctx_.link->Transport();
    if (count == 0) {
        keyboard_.OnRemoved();
        RunOnUiAndWait([this] {
            CloseSubDialogs();
            HideToTray();
        });
    } else {
        if (!keyboard_.ReadPresence(transport)) {
            QMetaObject::invokeMethod(
                this,
                [this] { ctx_.prompt->ShowMessage(Text(TextId::MAIN_DEFAULT_MATRIX_PROMPT), QString()); },
                Qt::QueuedConnection);
        }
        // The keyboard's reads happen here; loading and redrawing happen on the UI thread.
        keyboard_.ReadBackAndLoad(transport, working_);
        ReadLighting();
        RunOnUiAndWait([this] { ReadBackDone(); });
    }
    {
        std::unique_lock lock(presenceMutex_);
        presenceCv_.wait(lock, [this] { return stopping_ || windowReady_.load(); });
        if (stopping_) return;
    }
    const TrayState icon = count > 0 ? TrayState::Attached : TrayState::NoKeyboard;
    RunOnUiAndWait([this, icon] {
        presenceIcon_ = icon;
        if (tray_) tray_->SetState(icon);
    });
    keyboard_.SetLastCount(count);
    if (!initialOpenDone_.exchange(true) && count > 0)
        QMetaObject::invokeMethod(this, &CTalvenixDlg::Show, Qt::QueuedConnection);
}

void CTalvenixDlg::ReadBackDone() {
    const int active = keyboard_.CachedProfile();
    if (active >= 0 && active <= 2)
        ShowProfile(active);
    else
        RefreshKeys(true);
    UpdateProfileLabel();
    RefreshLightingPanel();
    applyPending_ = false;
    UpdateApplyButton();
    Q_EMIT ReadBackFinished();
}

}  // namespace talvenix::gui

// --- key assignment dialogs and macro editor ---
namespace talvenix::gui {

void CTalvenixDlg::SetKeyDialogsModal(bool modal) {
    keyDialogsModal_ = modal;
    if (keyDialogs_) keyDialogs_->SetModal(modal);
}

void CTalvenixDlg::WireKeyDialogs() {
    KeyEditServices services;
    services.working = &working_;
    services.prompt = ctx_.prompt;
    services.keyboard = &keyboard_.State();
    services.skinFolder = ctx_.paths.skinFolder;
    const QString program =
        ctx_.paths.ownFileName.isEmpty() ? QStringLiteral("talvenix") : ctx_.paths.ownFileName;
    services.settingsFile = profiles::ProfileSettings::FileFor(
        QFile::encodeName(ctx_.paths.configFolder).toStdString(), program.toStdString());
    services.shownProfile = [this] { return shownProfile_; };
    services.keysChanged = [this](const std::vector<int>&) {
        RefreshKeys(true);
        SetApplyPending(true);
    };
    KeyDialogLauncher::Hooks hooks;
    hooks.switchMode = [] { return false; };  // the Switch button is not offered yet
    hooks.dialogOpen = [this](CBaseDialog* dialog, bool open) {
        if (open) RegisterSubDialog(dialog);
    };
    hooks.modal = keyDialogsModal_;
    keyDialogs_ = new KeyDialogLauncher(std::move(services), std::move(hooks), this);
    connect(grid_.get(), &CKeyGrid::KeyClicked, this, [this](int i) {
        if (!ColourKeysMode()) keyDialogs_->OpenForKey(i, grid_->KeyButton(i));
    });
    connect(grid_.get(), &CKeyGrid::GClicked, this,
            [this](int n) { keyDialogs_->OpenForG(n, BankB(), grid_->GButton(n)); });
    auto menuOn = [this](CPngButton* button, std::function<std::optional<keys::DialogTarget>()> target,
                         std::function<QString()> name) {
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(button, &QWidget::customContextMenuRequested, this,
                [this, button, target, name](const QPoint& at) {
                    if (const auto t = target())
                        keyDialogs_->ShowKeyMenu(*t, name(), button->mapToGlobal(at));
                });
    };
    for (int i = 0; i < keys::kKeyButtonCount; ++i) {
        const keys::KeyCode code = keys::kKeyButtons[static_cast<std::size_t>(i)].code;
        menuOn(
            grid_->KeyButton(i), [code, i] { return keys::TargetOfKeyButton(code, i); },
            [code] { return QString::fromStdString(keys::KeyNameOf(code)); });
    }
    for (int n = 0; n < keys::kGButtonCount; ++n) {
        menuOn(
            grid_->GButton(n), [this, n] { return keys::TargetOfGButton(n, BankB()); },
            [n] { return QStringLiteral("G%1").arg(n + 1); });
    }
    Button(kIdMacro)->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Button(kIdMacro), &QWidget::customContextMenuRequested, this,
            [this] { keyDialogs_->OpenMacroEditor(); });
}

}  // namespace talvenix::gui

#include "gui/main/TalvenixDlg.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QUrl>

#include "core/lighting/UserColourSet.h"
#include "core/profiles/ProfileStore.h"
#include "core/text/LanguageSettings.h"
#include "core/text/LanguageTable.h"
#include "gui/app/Milestones.h"
#include "gui/common/QtTranslations.h"
#include "gui/common/Texts.h"
#include "gui/main/AboutBox.h"
#include "gui/main/MainControls.h"
#include "gui/profiles/ProfileWindows.h"
#include "gui/skin/SkinColours.h"
#include "gui/skin/TabOrder.h"

namespace talvenix::gui {

namespace {

using text::TextId;

// The main layout's areas, for the tab order: the title bar's buttons end above this line, the
// lighting column left of that one.
constexpr int kTitleBarBottom = 50;
constexpr int kLightingColumnRight = 266;

constexpr const char* kDefaultLink = "https://example.com/talvenix";
constexpr const char* kVersionText = "V" TALVENIX_GUI_VERSION;

}  // namespace

CTalvenixDlg::CTalvenixDlg(MainWindowContext context, QWidget* parent)
    : CBaseDialog(context.paths.MainSkin(), parent), ctx_(std::move(context)) {
    setObjectName(QStringLiteral("MainWindow"));
    keyboard_.SetDocumentsFolder(ctx_.paths.documentsFolder);
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
    setWindowIcon(TrayStateIcon(TrayState::Attached));
    if (!ctx_.link || !ctx_.link->Ready()) throw std::runtime_error("the service library did not initialise");

    // Standing reads: keyboard events on the consumer interface, replies on the control one.
    gBank_ = {0x05, 0x02};
    ctx_.link->SetEventSink(this);
    ctx_.link->RegisterStandingReads();
    {
        auto cfg = working_.Lock();
        *cfg = macros::Configuration{};
    }

    // The per-user folder and the user colour files seeded from the skin's template: the
    // read-back stores into the one and reads the other.
    const profiles::ProfileStore store(QFile::encodeName(ctx_.paths.documentsFolder).toStdString());
    if (store.EnsureFolder() != profiles::ProfileStore::FolderResult::Failed)
        lighting::InstallUserColourFiles(
            QFile::encodeName(ctx_.paths.UserSettingsFile()).toStdString(),
            QFile::encodeName(ctx_.paths.SkinFile(QStringLiteral("UserDengColor_3.userd"))).toStdString(),
            store.Folder());
    // The keyboard's read-back runs on the keyboard worker while the skin loads here; what it
    // read is shown once the window is built (its result is handled from the event loop).
    StartKeyboard();

    InitSkin();
    LoadPictures();

    const QString link = Skin().Get(QStringLiteral("SCREEN"), QStringLiteral("Link"));
    linkTarget_ = link.trimmed().isEmpty() ? QString::fromLatin1(kDefaultLink) : link.trimmed();
    PlaceControls();
    CreateParts();
    const int colour0 = faces_->Add(QStringLiteral("main_color0.jpg"));
    const int colour1 = faces_->Add(QStringLiteral("main_color1.jpg"));
    grid_ = std::make_unique<CKeyGrid>(
        this, Skin(), *faces_, mainSheets_,
        StateSheets{colour0, colour1, mainSheets_.down, mainSheets_.disabled, colour0});
    grid_->Build();
    WireKeyDialogs();
    lighting_->AttachKeys(*grid_);  // lighting panel wiring: preview and painting on the key buttons
    ApplyTexts();
    RefreshKeys(true);
    apply_->SetPending(false);
    skincolours::ApplyToolTipColours(QApplication::palette());
    SetReadingTabOrder(*this, kTitleBarBottom, kLightingColumnRight);
    // Hidden until asked for: the pictures are decoded when the window shows.
    ReleasePictures();

    QMetaObject::invokeMethod(this, &CTalvenixDlg::DeferredInit, Qt::QueuedConnection);
}

void CTalvenixDlg::StartKeyboard() {
    jobs_ = std::make_unique<KeyboardJobs>(*ctx_.link);
    // --- lighting panel wiring --- (its controls are built with the window; the read-back
    // fills its lighting state on the worker meanwhile)
    lighting_ = new LightingPanel(LightingPanelContext{*this, Skin(), ctx_.link->Transport(), ctx_.paths,
                                                       jobs_.get(), &keyboard_, ctx_.prompt, &dialogs_});

    PresenceController::Hooks presenceHooks;
    presenceHooks.removed = [this] {
        // A file chooser opened from this window must not outlive it.
        ctx_.prompt->DismissFileChooser();
        if (about_) about_->close();
        dialogs_.CloseAll();
        HideToTray();
    };
    presenceHooks.readBackDone = [this] { ReadBackDone(); };
    presenceHooks.trayState = [this](TrayState icon) {
        presenceIcon_ = icon;
        if (tray_) tray_->SetState(icon);
    };
    presenceHooks.firstArrival = [this] { Show(); };
    presence_ = new PresenceController(*jobs_, keyboard_, working_, *lighting_, *ctx_.prompt,
                                       std::move(presenceHooks), this);
    connect(presence_, &PresenceController::ReadBackFinished, this, &CTalvenixDlg::ReadBackFinished);
    connect(presence_, &PresenceController::Settled, this, &CTalvenixDlg::PresenceSettled);
    presence_->Start(ctx_.initialOpenDone);
}

void CTalvenixDlg::CreateParts() {
    lighting_->Build();

    ApplyController::Hooks applyHooks;
    applyHooks.refreshKeys = [this](bool withFaces) { RefreshKeys(withFaces); };
    applyHooks.setApplyEnabled = [this](bool on) {
        if (auto* button = Button(kIdApply)) button->setEnabled(on);
    };
    applyHooks.profileShown = [this](int profile) {
        ShowProfile(profile);
        UpdateProfileLabel();
    };
    apply_ = new ApplyController(working_, keyboard_, *jobs_, *ctx_.prompt, *lighting_, std::move(applyHooks),
                                 this);
    std::vector<QPixmap> frames;
    for (int i = 1; i <= 10; ++i) frames.push_back(Skin().LoadPicture(QStringLiteral("jdt%1.bmp").arg(i)));
    apply_->SetBusyAnimation(busyLabel_, std::move(frames));
    connect(apply_, &ApplyController::ApplyFinished, this, &CTalvenixDlg::ApplyFinished);
    connect(apply_, &ApplyController::ImportFinished, this, &CTalvenixDlg::ImportFinished);
    connect(apply_, &ApplyController::ProfileSwitchFinished, this, &CTalvenixDlg::ProfileSwitchFinished);
    CreateProfileWindows();
}

WindowContext CTalvenixDlg::Context() {
    return WindowContext{working_, *ctx_.prompt, *jobs_, keyboard_, ctx_.paths, dialogs_, *apply_};
}

void CTalvenixDlg::LoadPictures() {
    // Named now, so that a missing file stops the start; decoded when the window shows.
    faces_ = std::make_unique<FaceSheets>(Skin());
    mainSheets_.normal = faces_->Add(QStringLiteral("main_normal.jpg"));
    mainSheets_.over = faces_->Add(QStringLiteral("main_over.jpg"));
    mainSheets_.down = faces_->Add(QStringLiteral("main_down.jpg"));
    mainSheets_.disabled = faces_->Add(QStringLiteral("main_disable.jpg"));
    mainSheets_.set = mainSheets_.down;
    // The AB indicator's second set: bank B shows the pressed face.
    abSheets_ = StateSheets{mainSheets_.down, mainSheets_.over, mainSheets_.normal, mainSheets_.disabled,
                            mainSheets_.down};
    arrowSheet_ = faces_->Add(QStringLiteral("Arrow.jpg"));
}

void CTalvenixDlg::PlaceControls() {
    MainControls controls = PlaceMainControls(*this, Skin(), *faces_, mainSheets_, arrowSheet_,
                                              QString::fromLatin1(kVersionText));
    buttons_ = std::move(controls.buttons);
    profileLabel_ = controls.profileLabel;
    busyLabel_ = controls.busyLabel;
    // The profile manager, macro editor and lighting controls come with their issues.
    const std::pair<int, std::function<void()>> commands[] = {
        {kIdOk,
         [this] {
             Apply();
             HideToTray();
         }},
        {kIdCancel, [this] { HideToTray(); }},
        {kIdApply, [this] { Apply(); }},
        {kIdLink, [this] { OpenLink(); }},
        {kIdHelp, [this] { OpenHelp(); }},
        {kIdMinimize, [this] { showMinimized(); }},
        {kIdClose, [this] { Quit(); }},
        {kIdDefault, [this] { RestoreDefaults(); }},
        {kIdMenu, [this] { ShowMainMenu(); }},
        {kIdProfile1, [this] { OnProfileButton(0); }},
        {kIdProfile2, [this] { OnProfileButton(1); }},
        {kIdProfile3, [this] { OnProfileButton(2); }},
    };
    for (const auto& [id, command] : commands) connect(Button(id), &QAbstractButton::clicked, this, command);
}

void CTalvenixDlg::UpdateProfileLabel() {
    // The label follows the quick-switch menu's check mark.
    if (profiles_) profiles_->Refresh();
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
    if (lighting_) lighting_->ApplyTexts(text::CurrentLanguageTable()->Index() == text::kChinese);
    if (tray_) {
        tray_->SetTip(Text(TextId::KEYBOARD_TRAY_DESC));
        tray_->SetMenuTexts(FileText("MENU_11"), FileText("MENU_22"), FileText("MENU_33"));
    }
    if (grid_) grid_->SetBankLabels(BankB());
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
    // "/Start" and the first hiding: without a notification area the window waits minimised.
    HideToTray();
    presence_->SetWindowReady();
    Milestone("tray-ready");
    if (showWhenReady_) {
        showWhenReady_ = false;
        Show();
    }
}

void CTalvenixDlg::OnProfileButton(int profile) {
    if (!quitting_) profiles_->ButtonSwitch(profile);
}

void CTalvenixDlg::ShowProfile(int profile) {
    lighting_->ProfileChosen(profile);  // lighting panel wiring: another profile turns the colour keys off
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
    profiles_->AddUpdateEntry(menu);
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
    about_ = ShowAboutBox(this, QString::fromLatin1(kVersionText));
}

void CTalvenixDlg::SelectLanguage(int index) {
    text::SelectLanguage(QFile::encodeName(ctx_.paths.configFolder).toStdString(),
                         QFile::encodeName(ctx_.paths.LanguageFile()).toStdString(), index);
    UseQtTranslations(text::CurrentLanguageTable()->Index());
    ApplyTexts();
    // The effect names of the lighting panel follow the language too: read the lighting again
    // and rebuild the effect list with the new names.
    if (keyboard_.LastCount() > 0 && !ApplyRunning()) {
        const int language = text::CurrentLanguageTable()->Index();
        jobs_->Post(
            [this, language](JobContext&) { lighting_->ReadOnWorker(keyboard_.CachedProfile(), language); },
            lighting_, [this] { lighting_->Refresh(); });
    }
}

void CTalvenixDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        OpenHelp();
        return;
    }
    CBaseDialog::keyPressEvent(event);  // swallows Enter and Escape
}

void CTalvenixDlg::Quit() {
    if (quitDone_) return;
    HideToTray();
    if (about_) about_->close();
    if (!dialogs_.AskAllToClose()) return;
    quitting_ = true;
    hide();
    if (tray_) tray_->Remove();
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
    if (apply_) apply_->Stop();
    if (jobs_) jobs_->Stop();
}

// ---------------------------------------------------------------------------------------------
// Apply, restore defaults, import, export

void CTalvenixDlg::SetApplyPending(bool pending) { apply_->SetPending(pending); }

void CTalvenixDlg::Apply() {
    if (!quitting_) apply_->Apply();
}

void CTalvenixDlg::RestoreDefaults() {
    if (!ctx_.prompt->AskYesNo(Text(TextId::MAIN_PROMPT_DEFAULT))) return;
    {
        auto cfg = working_.Lock();
        grid_->ResetKeyAssignments(*cfg, shownProfile_, BankB());
    }
    if (ColourKeysMode()) apply_->ResetLightingWithNextApply();
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
    if (!quitting_) apply_->Import(path);
}

// ---------------------------------------------------------------------------------------------
// Key grid

void CTalvenixDlg::RefreshKeys(bool withFaces) {
    if (!grid_) return;
    auto cfg = working_.Lock();
    grid_->Refresh(*cfg, shownProfile_, BankB(), withFaces);
}

}  // namespace talvenix::gui

#include "gui/firmware/UpdateDlg.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>

#include "gui/profiles/ProfileTexts.h"
#include "gui/skin/SkinPlacement.h"

namespace talvenix::gui {

namespace {

using text::TextId;

// One chosen path for the whole process: reopening the dialog shows the last choice.
QString& ChosenPathStore() {
    static QString path;
    return path;
}

// The button pictures are loaded on the first opening and kept.
const StatePictures& Pictures(const SkinFile& skin) {
    static StatePictures pictures;
    static bool loaded = false;
    if (!loaded) {
        const QPixmap normal = skin.LoadPicture(QStringLiteral("update_normal.jpg"));
        const QPixmap over = skin.LoadPicture(QStringLiteral("update_over.jpg"));
        pictures = StatePictures{normal, over, over, normal, over};
        loaded = true;
    }
    return pictures;
}

}  // namespace

profiles::UpdaterProbe ProbeUpdater(const QString& path) {
    profiles::UpdaterProbe probe;
    if (path.isEmpty()) return probe;
    const QFileInfo info(path);
    probe.exists = info.exists();
    probe.regularFile = info.isFile();
    probe.executable = info.isFile() && info.isExecutable();
    return probe;
}

bool StartUpdaterDetached(const QString& path) { return QProcess::startDetached(path, {}); }

CTalvenix_DlgUpdate::CTalvenix_DlgUpdate(UpdateDialogContext context, QWidget* parent)
    : CBaseDialog(context.layoutPath, parent), ctx_(std::move(context)) {
    setObjectName(QStringLiteral("UpdateDialog"));
    if (!ctx_.startUpdater) ctx_.startUpdater = StartUpdaterDetached;
}

QString CTalvenix_DlgUpdate::ChosenPath() { return ChosenPathStore(); }
void CTalvenix_DlgUpdate::SetChosenPath(const QString& path) { ChosenPathStore() = path; }

CPngButton* CTalvenix_DlgUpdate::Button(int id) const {
    const auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

CPngButton* CTalvenix_DlgUpdate::AddButton(int id, const char* key, const QString& tip) {
    auto* button = new CPngButton(this);
    button->setObjectName(QString::fromLatin1(key));
    PlaceControl(*button, Skin(), QStringLiteral("BUTTONINFO"), button->objectName(), Pictures(Skin()));
    button->SetTip(tip);
    button->setAccessibleName(tip);
    buttons_[id] = button;
    return button;
}

void CTalvenix_DlgUpdate::Init() {
    InitSkin();
    setWindowTitle(FileTextOr("UPDATE_TITLE", "Firmware Update"));
    auto* title = new QLabel(windowTitle(), this);
    title->setObjectName(QStringLiteral("CONTROL_TITLE"));
    title->setStyleSheet(QStringLiteral("color:#8C93A0;"));
    PlaceWindow(*title, Skin(), QStringLiteral("BUTTONINFO"), title->objectName());

    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("CONTROL_UPStatic"));
    text_->setWordWrap(true);
    text_->setStyleSheet(QStringLiteral("color:#E4E4E4;"));
    text_->setText(FileTextOr("UPDATE_STATIC", "Choose the update program. A backup first is recommended."));
    PlaceWindow(*text_, Skin(), QStringLiteral("BUTTONINFO"), text_->objectName());

    path_ = new QLineEdit(this);
    path_->setObjectName(QStringLiteral("CONTROL_UPCombox"));
    path_->setReadOnly(true);
    PlaceWindow(*path_, Skin(), QStringLiteral("BUTTONINFO"), path_->objectName());

    // The skin paints each button's icon; the texts go to the tooltips.
    AddButton(kIdChoose, "CONTROL_OPENButton", FileTextOr("UPDATE_CHOOSE_TIP", "Choose the update program"));
    AddButton(kIdBackup, "CONTROL_BACKUPButton", FileTextOr("UPDATE_BACKUP", "Back Up"));
    AddButton(kIdUpdate, "CONTROL_UPButton", FileTextOr("UPDATE_START", "Update"));
    AddButton(kIdCancelUpdate, "CONTROL_CUPButton", FileTextOr("UPDATE_CANCEL", "Cancel"));
    connect(Button(kIdChoose), &QAbstractButton::clicked, this, &CTalvenix_DlgUpdate::Choose);
    connect(Button(kIdBackup), &QAbstractButton::clicked, this, &CTalvenix_DlgUpdate::Backup);
    connect(Button(kIdUpdate), &QAbstractButton::clicked, this, &CTalvenix_DlgUpdate::Update);
    connect(Button(kIdCancelUpdate), &QAbstractButton::clicked, this, &CTalvenix_DlgUpdate::CancelUpdate);
    ShowPath();
}

void CTalvenix_DlgUpdate::ShowPath() {
    if (path_) path_->setText(QDir::toNativeSeparators(ChosenPath()));
    update();
}

void CTalvenix_DlgUpdate::SetBusy(bool busy) {
    busy_ = busy;
    for (auto& [id, button] : buttons_) button->setEnabled(!busy);
}

void CTalvenix_DlgUpdate::Choose() {
    if (busy_) return;
    const QString chosen = ctx_.prompt->ChooseOpenFile(
        FileTextOr("UPDATE_CHOOSE_TIP", "Choose the update program"), ctx_.updateFolder, QString());
    if (chosen.isEmpty()) return;
    SetChosenPath(QFileInfo(chosen).absoluteFilePath());
    ShowPath();
}

bool CTalvenix_DlgUpdate::RunBackup(bool* cancelled) {
    *cancelled = false;
    const QString path = ctx_.prompt->ChooseSaveFile(
        FileTextOr("UPDATE_BACKUP", "Back Up"), ctx_.backupFolder + QStringLiteral("/*.tvx"),
        QStringLiteral("(*.tvx) (*.tvx);;(*.*) (*)"), QStringLiteral("tvx"));
    if (path.isEmpty()) {
        *cancelled = true;
        return false;
    }
    const bool ok = ctx_.backup && ctx_.backup(path);
    ctx_.prompt->ShowMessage(TableText(ok ? TextId::MAIN_UPDATE_BACKUP_OK : TextId::MAIN_UPDATE_BACKUP_NG));
    if (ok) backedUp_ = true;
    return ok;
}

void CTalvenix_DlgUpdate::Backup() {
    if (busy_) return;
    bool cancelled = false;
    RunBackup(&cancelled);
}

void CTalvenix_DlgUpdate::Update() {
    if (busy_) return;
    const QString path = ChosenPath();
    const bool applyRunning = ctx_.applyRunning && ctx_.applyRunning();
    switch (profiles::CheckBeforeBootMode(path.toStdString(), ProbeUpdater(path), applyRunning)) {
        case profiles::UpdateStop::ChooseCorrectFile:
            ctx_.prompt->ShowMessage(TableText(TextId::MAIN_UPDATE_ERROR_TEXT));
            return;
        case profiles::UpdateStop::ApplyRunning:
            ctx_.prompt->ShowMessage(FileTextOr("UPDATE_APPLY_RUNNING",
                                                "Settings are still being written to the keyboard. Start the "
                                                "update when Apply has finished."));
            return;
        default:
            break;
    }
    // The update may leave the keyboard blank: offer the backup once per opening.
    if (!backedUp_ &&
        ctx_.prompt->AskYesNo(FileTextOr(
            "UPDATE_BACKUP_FIRST", "Back up the current configuration before the update? (recommended)"))) {
        bool cancelled = false;
        if (!RunBackup(&cancelled)) return;  // no backup after all: let the user decide again
    }
    SetBusy(true);
    QPointer<CTalvenix_DlgUpdate> self(this);
    ctx_.enterBootMode([self](int result) {
        if (self) self->AfterBootMode(result);
    });
}

void CTalvenix_DlgUpdate::AfterBootMode(int result) {
    SetBusy(false);
    if (profiles::AfterBootMode(result) != profiles::UpdateStop::None) {
        ctx_.prompt->ShowMessage(TableText(TextId::MAIN_BOOT_ERROR_TEXT));
        return;
    }
    const QString path = ChosenPath();
    const bool started = ctx_.startUpdater(path);
    // The keyboard is in boot mode either way; the path is spent.
    SetChosenPath(QString());
    ShowPath();
    Q_EMIT UpdateFinished(started);
    if (profiles::AfterStart(started) == profiles::UpdateStop::None) {
        accept();
        return;
    }
    ctx_.prompt->ShowMessage(TableText(TextId::MAIN_SHELL_ERROR_TEXT));
}

void CTalvenix_DlgUpdate::CancelUpdate() {
    if (busy_) return;
    SetChosenPath(QString());
    ShowPath();
    reject();
}

}  // namespace talvenix::gui

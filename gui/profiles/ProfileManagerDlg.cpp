#include "gui/profiles/ProfileManagerDlg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QSignalBlocker>

#include "core/profiles/ProfileFile.h"
#include "core/profiles/ProfileNames.h"
#include "core/profiles/ProfileSettings.h"
#include "gui/profiles/ProfileTexts.h"
#include "gui/skin/SkinPlacement.h"

namespace talvenix::gui {

namespace {

using text::TextId;

std::filesystem::path FsPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString QtPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

const QString kProfileFilter = QStringLiteral("(*.tvx) (*.tvx);;(*.*) (*)");

}  // namespace

CTalvenix_DlgProfile::CTalvenix_DlgProfile(ProfileManagerContext context, QWidget* parent)
    : CBaseDialog(context.layoutPath, parent),
      ctx_(std::move(context)),
      model_(FsPath(ctx_.storeFile), ctx_.currentProfile ? ctx_.currentProfile() : -1) {
    setObjectName(QStringLiteral("ProfileDialog"));
}

CPngButton* CTalvenix_DlgProfile::Button(int id) const {
    const auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

CPngButton* CTalvenix_DlgProfile::AddButton(int id, const char* key, const QString& caption,
                                            const QString& tip) {
    auto* button = new CPngButton(this);
    button->setObjectName(QString::fromLatin1(key));
    PlaceControl(*button, Skin(), QStringLiteral("BUTTONINFO"), button->objectName(), pictures_);
    CPngButton::TextStyle style;
    style.on = !caption.isEmpty();
    style.colour = QColor(0xE4, 0xE4, 0xE4);
    button->SetTextStyle(style);
    button->setText(caption);
    if (!tip.isEmpty()) button->SetTip(tip);
    buttons_[id] = button;
    return button;
}

void CTalvenix_DlgProfile::Init() {
    InitSkin();
    const QPixmap down = Skin().LoadPicture(QStringLiteral("Profile_down.jpg"));
    pictures_ = StatePictures{Skin().LoadPicture(QStringLiteral("Profile_normal.jpg")),
                              Skin().LoadPicture(QStringLiteral("Profile_over.jpg")), down,
                              Skin().LoadPicture(QStringLiteral("Profile_normal.jpg")), down};
    setWindowTitle(FileTextOr("PROFILE_MANAGER_TITLE", "Profile Manager"));
    auto* title = new QLabel(windowTitle(), this);
    title->setObjectName(QStringLiteral("CONTROL_TITLE"));
    title->setStyleSheet(QStringLiteral("color:#8C93A0;"));
    PlaceWindow(*title, Skin(), QStringLiteral("BUTTONINFO"), title->objectName());

    list_ = new QTableWidget(0, 3, this);
    list_->setObjectName(QStringLiteral("PROGRAM_LIST"));
    PlaceWindow(*list_, Skin(), QStringLiteral("BUTTONINFO"), list_->objectName());
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setShowGrid(true);
    list_->verticalHeader()->hide();
    list_->setHorizontalHeaderLabels({FileTextOr("PROFILE_COL_ACTIVE", "Active"),
                                      FileTextOr("PROFILE_COL_NAME", "Name"),
                                      FileTextOr("PROFILE_COL_PATH", "Path")});
    list_->setColumnWidth(0, 60);
    list_->setColumnWidth(1, 120);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->setStyleSheet(QStringLiteral(
        "QTableWidget{background:#1B1E24;color:#E4E4E4;gridline-color:#3A3F4A;border:1px solid #3A3F4A;"
        "selection-background-color:#2F5D8A;}"
        "QHeaderView::section{background:#262A32;color:#C8CCD4;border:1px solid #3A3F4A;padding:2px;}"
        "QTableWidget::indicator{width:12px;height:12px;border:1px solid #8C93A0;background:#1B1E24;}"
        "QTableWidget::indicator:checked{background:#3A8FE0;border:1px solid #CFE3F7;}"));
    connect(list_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (filling_ || item->column() != 0) return;
        CheckRow(item->row(), item->checkState() == Qt::Checked);
    });

    AddButton(kIdAdd, "FUNC_ADD", {}, FileTextOr("PROFILE_ADD_TIP", "New profile file"));
    AddButton(kIdLoad, "FUNC_LOAD", {}, FileTextOr("PROFILE_LOAD_TIP", "Add an existing profile file"));
    AddButton(kIdDelete, "FUNC_DELETE", {}, FileTextOr("PROFILE_DELETE_TIP", "Remove the selected row"));
    AddButton(kIdOk, "CONTROL_OK", FileTextOr("PROFILE_OK", "OK"));
    AddButton(kIdCancel, "CONTROL_CANCEL", FileTextOr("PROFILE_CANCLE", "Cancel"));
    AddButton(kIdApply, "CONTROL2_APPLY", FileTextOr("PROFILE_APPLY", "Apply"));
    auto* close = new CPngButton(this);
    close->setObjectName(QStringLiteral("CONTROL_CLOSE"));
    PlaceControl(*close, Skin(), QStringLiteral("BUTTONINFO"), close->objectName(), pictures_);
    connect(close, &QAbstractButton::clicked, this, &QDialog::reject);

    connect(Button(kIdAdd), &QAbstractButton::clicked, this, &CTalvenix_DlgProfile::Add);
    connect(Button(kIdLoad), &QAbstractButton::clicked, this, &CTalvenix_DlgProfile::Load);
    connect(Button(kIdDelete), &QAbstractButton::clicked, this, &CTalvenix_DlgProfile::DeleteSelected);
    connect(Button(kIdApply), &QAbstractButton::clicked, this, [this] { Apply(false); });
    connect(Button(kIdOk), &QAbstractButton::clicked, this, [this] { Apply(true); });
    connect(Button(kIdCancel), &QAbstractButton::clicked, this, &QDialog::reject);
    FillRows();
    list_->setCurrentCell(-1, -1);  // nothing selected until the user picks a row
}

void CTalvenix_DlgProfile::FillRows() {
    filling_ = true;
    const QSignalBlocker block(list_);
    const auto& rows = model_.Rows();
    list_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        auto* check = new QTableWidgetItem();
        check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        check->setCheckState(r == model_.Checked() ? Qt::Checked : Qt::Unchecked);
        list_->setItem(r, 0, check);
        const auto& row = rows[static_cast<std::size_t>(r)];
        list_->setItem(r, 1, new QTableWidgetItem(QtPath(row.name)));
        list_->setItem(r, 2, new QTableWidgetItem(QDir::toNativeSeparators(QtPath(row.folder))));
    }
    filling_ = false;
    UpdateApplyButton();
    list_->viewport()->update();
}

void CTalvenix_DlgProfile::UpdateApplyButton() {
    if (auto* apply = Button(kIdApply)) apply->setEnabled(model_.Modified() && !busy_);
}

void CTalvenix_DlgProfile::SetBusy(bool busy) {
    busy_ = busy;
    for (auto& [id, button] : buttons_) button->setEnabled(!busy);
    list_->setEnabled(!busy);
    UpdateApplyButton();
}

void CTalvenix_DlgProfile::Add() {
    if (busy_) return;
    const QString folder = QFileInfo(ctx_.storeFile).absolutePath();
    // The suggestion is always a plain name inside the store folder, whatever the language
    // text holds; what the user types in the dialog is taken as typed.
    const auto suggested = profiles::SuggestNewProfilePath(
        FsPath(folder), text::LanguageText(TextId::PROFILE_NEW),
        [](const std::filesystem::path& p) { return QFileInfo::exists(QtPath(p.string())); });
    const QString chosen =
        ctx_.prompt->ChooseSaveFile(FileTextOr("PROFILE_ADD_TIP", "New profile file"),
                                    QtPath(suggested.string()), kProfileFilter, QStringLiteral("tvx"));
    if (chosen.isEmpty()) return;
    if (!profiles::CreateDefaultProfileFile(FsPath(chosen))) {
        ctx_.prompt->ShowMessage(
            FileTextOr("PROFILE_ADD_FAILED", "The new profile file could not be written: %s")
                .replace(QStringLiteral("%s"), QDir::toNativeSeparators(chosen)));
        return;
    }
    model_.Append(FsPath(chosen));
    FillRows();
}

void CTalvenix_DlgProfile::Load() {
    if (busy_) return;
    const QString folder = QFileInfo(ctx_.storeFile).absolutePath();
    const QString chosen = ctx_.prompt->ChooseOpenFile(
        FileTextOr("PROFILE_LOAD_TIP", "Add an existing profile file"), folder, kProfileFilter);
    if (chosen.isEmpty()) return;
    model_.Append(FsPath(chosen));
    FillRows();
}

void CTalvenix_DlgProfile::DeleteSelected() {
    if (busy_) return;
    const int row = list_->currentRow();
    if (!model_.Delete(row)) return;
    FillRows();
}

void CTalvenix_DlgProfile::CheckRow(int row, bool checked) {
    if (busy_) return;
    using Result = profiles::ProfileManagerModel::CheckResult;
    if (model_.SetChecked(row, checked) == Result::BeyondKeyboardProfiles)
        ctx_.prompt->ShowMessage(
            FileTextOr("PROFILE_ROW_LIMIT",
                       "The keyboard has three profiles: only one of the first three rows can be checked."));
    // Redraw from the model: one check at most, and a refused one undone.
    FillRows();
}

void CTalvenix_DlgProfile::Apply(bool thenClose) {
    if (busy_) return;
    if (!model_.Modified()) {
        if (thenClose) accept();
        return;
    }
    profiles::ProfileSettings settings(FsPath(ctx_.settingsFile));
    std::filesystem::create_directories(FsPath(QFileInfo(ctx_.settingsFile).absolutePath()));
    if (!settings.SetProfileRows(model_.SettingsRows())) {
        ctx_.prompt->ShowMessage(FileTextOr("PROFILE_SETTINGS_FAILED",
                                            "The profile list could not be saved in the settings file."));
        return;
    }
    // The read-back replaces the working configuration: unapplied key edits would be lost.
    if (ctx_.mainApplyPending && ctx_.mainApplyPending() &&
        ctx_.prompt->AskYesNo(TableText(TextId::PROFILE_SELECT_PROMPT))) {
        SetBusy(true);
        QPointer<CTalvenix_DlgProfile> self(this);
        ctx_.applyMain([self, thenClose](bool ok) {
            if (!self) return;
            if (!ok) {
                self->SetBusy(false);
                return;
            }
            self->ApplyToKeyboard(thenClose);
        });
        return;
    }
    ApplyToKeyboard(thenClose);
}

void CTalvenix_DlgProfile::ApplyToKeyboard(bool thenClose) {
    SetBusy(true);
    QPointer<CTalvenix_DlgProfile> self(this);
    const int profile = model_.ProfileToSet();
    ctx_.applyToKeyboard(profile, [self, thenClose](bool setOk) {
        if (!self) return;
        self->model_.MarkApplied();
        self->SetBusy(false);
        if (self->ctx_.afterApply) self->ctx_.afterApply();
        if (!setOk)
            self->ctx_.prompt->ShowMessage(
                FileTextOr("PROFILE_SET_FAILED", "The keyboard did not switch to the chosen profile."));
        Q_EMIT self->Applied();
        if (thenClose) self->accept();
    });
}

void CTalvenix_DlgProfile::OnSwitchedTo(int profile) {
    model_.CheckFromSwitch(profile);
    FillRows();
}

}  // namespace talvenix::gui

#include "gui/macros/MacroEditorDialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QTime>

#include "core/macros/TextToMacro.h"
#include "core/text/Utf.h"
#include "gui/common/Prompt.h"
#include "gui/keys/DialogKit.h"
#include "gui/keys/KeyEditHost.h"
#include "gui/macros/ActionKeyNote.h"
#include "gui/macros/ActionListView.h"
#include "gui/macros/MacroGauge.h"
#include "gui/macros/RecordingSession.h"
#include "gui/skin/SkinPlacement.h"

namespace talvenix::gui {

using kit::Fx;
using kit::Tx;
using text::TextId;

namespace {

const char* const kActionButtons[] = {"FUNC_RECORD", "FUNC_DELETE2", "FUNC_CLEAR",      "FUNC_UP_TOP",
                                      "FUNC_UP",     "FUNC_DOWN",    "FUNC_DOWN_BOTTOM"};

QString PlayModeText(int mode) {
    static const char* keys[] = {"MACRO_PLAY_ONCE", "MACRO_PLAY_REPEAT", "MACRO_PLAY_TOGGLE"};
    return Fx(keys[mode], std::string(macros::PlayModeDefaultText(static_cast<std::uint16_t>(mode))).c_str());
}

QString ToQ(const std::u16string& s) { return QString::fromStdU16String(s); }

}  // namespace

CTalvenix_DlgMacro::CTalvenix_DlgMacro(KeyEditHost& host, QWidget* parent)
    : CBaseDialog(QDir(host.SkinFolder()).filePath(QStringLiteral("Macro.ini")), parent), host_(host) {
    setObjectName(QStringLiteral("MacroEditor"));
    InitSkin();
    pictures_ = kit::LoadPictureSet(Skin(), QStringLiteral("macro"));
    other_ = Skin().LoadPicture(QStringLiteral("macro_other.jpg"));
    BuildControls();
    ApplyTexts();
}

CTalvenix_DlgMacro::~CTalvenix_DlgMacro() {
    if (recording_) recording_->Abort();
}

CPngButton* CTalvenix_DlgMacro::Button(const char* key) const {
    const auto it = buttons_.find(QString::fromLatin1(key));
    return it == buttons_.end() ? nullptr : it->second;
}

void CTalvenix_DlgMacro::BuildControls() {
    const SkinFile& skin = Skin();
    const QString section = QStringLiteral("BUTTONINFO");
    for (const char* key : {"CONTROL_CLOSE", "FUNC_ADD", "FUNC_DELETE", "FUNC_RECORD", "FUNC_DELETE2",
                            "FUNC_CLEAR", "FUNC_UP_TOP", "FUNC_UP", "FUNC_DOWN", "FUNC_DOWN_BOTTOM",
                            "FUNC_RECORD_DELAY", "CONTROL_OK", "CONTROL_CANCEL", "CONTROL2_APPLY"}) {
        buttons_[QString::fromLatin1(key)] = kit::MakeButton(this, skin, QString::fromLatin1(key), pictures_);
    }
    Button("CONTROL2_APPLY")->SetAlternativePicture(other_);

    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("CONTROL_TITLE"));
    title_->setStyleSheet(QStringLiteral("color:#8C93A0;"));
    PlaceWindow(*title_, skin, section, title_->objectName());

    macroTable_ = new QTableWidget(0, 2, this);
    macroTable_->setObjectName(QStringLiteral("PROGRAM_LIST"));
    macroTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    macroTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    macroTable_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    macroTable_->verticalHeader()->setVisible(false);
    macroTable_->verticalHeader()->setDefaultSectionSize(22);
    macroTable_->horizontalHeader()->setStretchLastSection(true);
    macroTable_->setColumnWidth(0, 150);
    macroTable_->setStyleSheet(kit::ListStyle());
    PlaceWindow(*macroTable_, skin, section, macroTable_->objectName());
    connect(macroTable_, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { OnMacroRowChanged(row); });
    connect(macroTable_, &QTableWidget::itemChanged, this, &CTalvenix_DlgMacro::OnMacroItemChanged);

    actions_ = new ActionListView(false, &host_.Ask(), this);
    actions_->setObjectName(QStringLiteral("PROGRAM_LIST2"));
    PlaceWindow(*actions_, skin, section, actions_->objectName());
    new ActionKeyNote(actions_, this);
    connect(actions_, &ActionListView::Edited, this, [this] {
        StoreActions();
        SetModified();
    });
    connect(actions_, &ActionListView::SelectionChanged, this, &CTalvenix_DlgMacro::UpdateButtons);
    connect(actions_, &ActionListView::EditStarting, this, [this] {
        if (recording_->Recording()) recording_->Stop();
    });

    recording_ = new RecordingSession(macros::RecorderStyle::MacroEditor, this, actions_, &host_.Ask(), this);
    connect(recording_, &RecordingSession::RecordingChanged, this, [this](bool on) {
        CPngButton* record = Button("FUNC_RECORD");
        record->setText(Tx(on ? TextId::MACRO_ACTION_STOP_RECORD : TextId::MACRO_ACTION_RECORD));
        if (on)
            record->SetAlternativePicture(other_);
        else
            record->ClearAlternativePicture();
        UpdateButtons();
    });

    gauge_ = new MacroGauge(this);
    PlaceWindow(*gauge_, skin, section, QStringLiteral("FUNC_MACRO_GAUGE"));

    textPrompt_ = new QLabel(this);
    textPrompt_->setObjectName(QStringLiteral("FUNC_TEXT_MACRO_PROMPT"));
    textPrompt_->setStyleSheet(QStringLiteral("color:#E4E4E4;"));
    PlaceWindow(*textPrompt_, skin, section, textPrompt_->objectName());
    textEdit_ = new QLineEdit(this);
    textEdit_->setObjectName(QStringLiteral("FUNC_TEXT_MACRO_EDIT"));
    textEdit_->setMaxLength(500);
    textEdit_->setStyleSheet(QStringLiteral("QLineEdit{%1}").arg(kit::FieldStyle()));
    PlaceWindow(*textEdit_, skin, section, textEdit_->objectName());
    textDelayPrompt_ = new QLabel(this);
    textDelayPrompt_->setObjectName(QStringLiteral("FUNC_TEXT_MACRO_DELAY_PROMPT"));
    textDelayPrompt_->setStyleSheet(QStringLiteral("color:#8C93A0;"));
    PlaceWindow(*textDelayPrompt_, skin, section, textDelayPrompt_->objectName());
    textDelay_ = new QSpinBox(this);
    textDelay_->setObjectName(QStringLiteral("FUNC_TEXT_MACRO_DELAY"));
    textDelay_->setRange(0, static_cast<int>(macros::kMaxEditorDelayMs));
    textDelay_->setSingleStep(10);
    textDelay_->setValue(30);
    textDelay_->setStyleSheet(QStringLiteral("QSpinBox{%1}").arg(kit::FieldStyle()));
    PlaceWindow(*textDelay_, skin, section, textDelay_->objectName());
    textAdd_ = new QPushButton(this);
    textAdd_->setObjectName(QStringLiteral("FUNC_TEXT_MACRO"));
    textAdd_->setStyleSheet(
        QStringLiteral("QPushButton{background:#1E2128; color:#E4E4E4; border:1px solid #343944;"
                       " border-radius:3px;} QPushButton:hover{border-color:#00B4FF;}"
                       " QPushButton:disabled{color:#5C626E;}"));
    PlaceWindow(*textAdd_, skin, section, textAdd_->objectName());
    connect(textAdd_, &QPushButton::clicked, this, &CTalvenix_DlgMacro::AddTextAsActions);
    connect(textEdit_, &QLineEdit::returnPressed, this, &CTalvenix_DlgMacro::AddTextAsActions);

    CPngButton* check = Button("FUNC_RECORD_DELAY");
    check->setCheckable(true);
    connect(check, &QAbstractButton::toggled, this, [this, check](bool on) {
        check->SetSetState(on);
        recording_->SetRecordDelay(on);
        host_.SetRecordDelay(on);
    });

    connect(Button("CONTROL_CLOSE"), &QAbstractButton::clicked, this, &CTalvenix_DlgMacro::Cancel);
    connect(Button("CONTROL_CANCEL"), &QAbstractButton::clicked, this, &CTalvenix_DlgMacro::Cancel);
    connect(Button("CONTROL_OK"), &QAbstractButton::clicked, this, &CTalvenix_DlgMacro::Ok);
    connect(Button("CONTROL2_APPLY"), &QAbstractButton::clicked, this, [this] { Apply(); });
    connect(Button("FUNC_ADD"), &QAbstractButton::clicked, this, &CTalvenix_DlgMacro::AddMacro);
    connect(Button("FUNC_DELETE"), &QAbstractButton::clicked, this, &CTalvenix_DlgMacro::DeleteMacro);
    connect(Button("FUNC_RECORD"), &QAbstractButton::clicked, this, &CTalvenix_DlgMacro::ToggleRecording);
    connect(Button("FUNC_DELETE2"), &QAbstractButton::clicked, actions_, &ActionListView::RemoveSelected);
    connect(Button("FUNC_CLEAR"), &QAbstractButton::clicked, this, [this] {
        if (actions_->List().Count() == 0) return;
        if (host_.Ask().AskYesNo(Tx(TextId::MACRO_ACTION_CLEAR_CONFIRM))) actions_->ClearAll();
    });
    using Move = ActionListView::Move;
    const std::pair<const char*, Move> moves[] = {{"FUNC_UP_TOP", Move::Top},
                                                  {"FUNC_UP", Move::Up},
                                                  {"FUNC_DOWN", Move::Down},
                                                  {"FUNC_DOWN_BOTTOM", Move::Bottom}};
    for (const auto& [key, move] : moves) {
        connect(Button(key), &QAbstractButton::clicked, this,
                [this, m = move] { actions_->MoveSelected(m); });
    }
}

void CTalvenix_DlgMacro::ApplyTexts() {
    setWindowTitle(Fx("MACRO_EDITOR_TITLE", "Macro editor"));
    title_->setText(windowTitle());
    macroTable_->setHorizontalHeaderLabels(
        {Fx("MACRO_NAME_SETTING", "Macro name"), Fx("MACRO_PLAY_MODE", "Play mode")});
    kit::SetCaption(*Button("FUNC_RECORD"), Tx(TextId::MACRO_ACTION_RECORD), 12);
    kit::SetCaption(*Button("FUNC_RECORD_DELAY"), Fx("RECORD_DELAY", "Record delays"), 24);
    kit::SetCaption(*Button("CONTROL_OK"), Fx("MACRO_OK", "OK"));
    kit::SetCaption(*Button("CONTROL_CANCEL"), Fx("MACRO_CANCLE", "Cancel"));
    kit::SetCaption(*Button("CONTROL2_APPLY"), Fx("PROFILE_APPLY", "Apply"));
    const std::pair<const char*, const char*> tips[] = {
        {"FUNC_DELETE2", "A_DELETE"}, {"FUNC_CLEAR", "A_CLEAR"},      {"FUNC_UP_TOP", "A_TOP"},
        {"FUNC_UP", "A_UP"},          {"FUNC_DOWN", "A_DOWN"},        {"FUNC_DOWN_BOTTOM", "A_BOTTOM"},
        {"FUNC_ADD", "MACRO_ADD"},    {"FUNC_DELETE", "MACRO_DELETE"}};
    for (const auto& [key, textKey] : tips) Button(key)->SetTip(Fx(textKey));
    textPrompt_->setText(Fx("MACRO_TEXT_PROMPT", "Type text as a macro:"));
    textDelayPrompt_->setText(Tx(TextId::MACRO_DELAY_MS));
    textAdd_->setText(Fx("MACRO_TEXT_ADD", "Add"));
}

void CTalvenix_DlgMacro::Open() {
    {
        auto cfg = host_.Working().Lock();
        list_.Load(cfg->macros);
    }
    if (recording_->Recording()) recording_->Abort();
    const bool delay = host_.RecordDelay();
    Button("FUNC_RECORD_DELAY")->setChecked(delay);
    Button("FUNC_RECORD_DELAY")->SetSetState(delay);
    recording_->SetRecordDelay(delay);
    shownRow_ = -1;
    RebuildMacroList();
    ShowSelectedMacro();
    modified_ = false;
    UpdateButtons();
}

void CTalvenix_DlgMacro::RebuildMacroList() {
    rebuilding_ = true;
    macroTable_->setRowCount(0);
    macroTable_->setRowCount(list_.Count());
    for (int i = 0; i < list_.Count(); ++i) {
        const macros::MacroRecord& r = list_.Rows()[static_cast<std::size_t>(i)];
        macroTable_->setItem(i, 0, new QTableWidgetItem(ToQ(r.Name())));
        auto* mode = new QComboBox(macroTable_);
        mode->setObjectName(QStringLiteral("PlayMode%1").arg(i));
        for (int m = 0; m < 3; ++m) mode->addItem(PlayModeText(m));
        mode->setCurrentIndex(r.playMode <= 2 ? r.playMode : 0);
        connect(mode, &QComboBox::currentIndexChanged, this, [this, mode](int m) {
            for (int row = 0; row < macroTable_->rowCount(); ++row) {
                if (macroTable_->cellWidget(row, 1) == mode &&
                    list_.SetPlayMode(row, static_cast<std::uint16_t>(m)))
                    SetModified();
            }
        });
        macroTable_->setCellWidget(i, 1, mode);
    }
    if (list_.Selected() >= 0) {
        macroTable_->setCurrentCell(list_.Selected(), 0);
        macroTable_->scrollToItem(macroTable_->item(list_.Selected(), 0));
    }
    rebuilding_ = false;
}

void CTalvenix_DlgMacro::ShowSelectedMacro() {
    const macros::MacroRecord* r = list_.SelectedRow();
    shownRow_ = list_.Selected();
    if (r)
        actions_->Load(std::span(r->actions.data(), static_cast<std::size_t>(r->UsedActions())));
    else
        actions_->Load({});
    UpdateButtons();
    UpdateGauge();
}

void CTalvenix_DlgMacro::OnMacroRowChanged(int row) {
    if (rebuilding_ || row == shownRow_) return;
    if (recording_->Recording()) {
        host_.Ask().ShowMessage(Tx(TextId::MACRO_ERR_RECORD));
        QSignalBlocker block(macroTable_);
        macroTable_->setCurrentCell(shownRow_, 0);
        return;
    }
    StoreActions();
    list_.Select(row);
    ShowSelectedMacro();
}

void CTalvenix_DlgMacro::OnMacroItemChanged(QTableWidgetItem* item) {
    if (rebuilding_ || !item || item->column() != 0) return;
    const int row = item->row();
    using R = macros::MacroList::RenameResult;
    const R result =
        list_.Rename(row, item->text().toStdU16String(), Tx(TextId::MACRO_DEFAULT_NAME).toStdU16String());
    switch (result) {
        case R::Renamed:
            SetModified();
            break;
        case R::SameName:
            host_.Ask().ShowMessage(Tx(TextId::MACRO_ERR_SAME));
            break;
        case R::Reserved:
            host_.Ask().ShowMessage(Tx(TextId::MACRO_ERR_NAME_SYSTEM));
            break;
        case R::Empty:
            host_.Ask().ShowMessage(Fx("MACRO_ERR_NAME_EMPTY", "A macro needs a name."));
            break;
        case R::Unchanged:
        case R::NoRow:
            break;
    }
    // Show what the record holds (trimmed, or the old name after a refusal).
    if (row >= 0 && row < list_.Count()) {
        QSignalBlocker block(macroTable_);
        item->setText(ToQ(list_.Rows()[static_cast<std::size_t>(row)].Name()));
    }
}

void CTalvenix_DlgMacro::StoreActions() {
    if (shownRow_ >= 0) list_.StoreActions(shownRow_, actions_->List().Rows());
}

void CTalvenix_DlgMacro::SetModified() {
    modified_ = true;
    UpdateGauge();
    UpdateButtons();
}

void CTalvenix_DlgMacro::UpdateGauge() { gauge_->Update(list_.Rows(), host_.MacroSpace()); }

void CTalvenix_DlgMacro::UpdateButtons() {
    const bool rec = recording_ && recording_->Recording();
    const bool hasMacro = list_.SelectedRow() != nullptr;
    macroTable_->setEnabled(!rec);
    Button("FUNC_ADD")->setEnabled(!rec);
    Button("FUNC_DELETE")->setEnabled(!rec && hasMacro);
    for (const char* key : kActionButtons) Button(key)->setEnabled(hasMacro);
    textAdd_->setEnabled(hasMacro && !rec);
    textEdit_->setEnabled(hasMacro && !rec);
    Button("CONTROL2_APPLY")->setEnabled(modified_);
}

bool CTalvenix_DlgMacro::Recording() const { return recording_->Recording(); }

void CTalvenix_DlgMacro::AddMacro() {
    if (list_.Count() >= macros::kMaxMacros) {
        host_.Ask().ShowMessage(kit::TxNumber(TextId::MACRO_ERR_MAX, macros::kMaxMacros));
        return;
    }
    StoreActions();
    const QTime now = QTime::currentTime();
    const auto added = list_.AddTimed(Tx(TextId::MACRO_NEW_PREFIX).toStdU16String(),
                                      {now.hour(), now.minute(), now.second(), now.msec()});
    if (!added.ok) return;
    RebuildMacroList();
    ShowSelectedMacro();
    SetModified();
}

void CTalvenix_DlgMacro::DeleteMacro() {
    const int row = list_.Selected();
    if (row < 0) return;
    bool ask = false;
    {
        auto cfg = host_.Working().Lock();
        ask = list_.DeleteNeedsConfirmation(row, *cfg);
    }
    if (ask && !host_.Ask().AskYesNo(Tx(TextId::MACRO_DELETE_CONFIRM_OF_KEYS))) return;
    list_.Remove(row);
    shownRow_ = -1;
    RebuildMacroList();
    ShowSelectedMacro();
    SetModified();
}

void CTalvenix_DlgMacro::ToggleRecording() {
    if (recording_->Recording()) {
        recording_->Stop();
    } else if (list_.SelectedRow()) {
        actions_->setFocus();
        recording_->Start();
    }
}

void CTalvenix_DlgMacro::AddTextAsActions() {
    if (!list_.SelectedRow() || recording_->Recording()) return;
    const QString line = textEdit_->text();
    if (line.isEmpty()) return;
    const auto result =
        macros::TextToActions(line.toStdU16String(), static_cast<std::uint32_t>(textDelay_->value()));
    if (!result.Ok()) {
        host_.Ask().ShowMessage(
            Fx("MACRO_TEXT_UNSUPPORTED", "No key types these characters: %1").arg(ToQ(result.unsupported)));
        return;
    }
    const int room = macros::kMaxActions - actions_->List().Count();
    if (static_cast<int>(result.actions.size()) > room) {
        host_.Ask().ShowMessage(
            Fx("MACRO_TEXT_TOO_LONG", "The text needs %1 actions; this macro has room for %2 more.")
                .arg(result.actions.size())
                .arg(room));
        return;
    }
    for (const auto& a : result.actions) actions_->Insert(a);
    textEdit_->clear();
}

bool CTalvenix_DlgMacro::Apply() {
    if (recording_->Recording() && !recording_->Stop()) return false;
    if (!modified_) return true;
    if (host_.CurrentProfile() < 0) {
        host_.Ask().ShowMessage(Tx(TextId::APPLY_PROMPT));
        return false;
    }
    StoreActions();
    UpdateGauge();
    if (!gauge_->AcceptedForApply(host_.Ask())) return false;
    macros::CommitOutcome outcome;
    {
        auto cfg = host_.Working().Lock();
        outcome = list_.Commit(*cfg);
    }
    if (outcome.result != macros::CommitOutcome::Result::Committed) {
        host_.Ask().ShowMessage(
            Fx("MACRO_ERR_COMMIT", "The macro list could not be saved; nothing was changed."));
        return false;
    }
    modified_ = false;
    UpdateButtons();
    host_.KeysChanged(outcome.unboundRecords);
    return true;
}

void CTalvenix_DlgMacro::Ok() {
    if (!Apply()) return;
    accept();
}

void CTalvenix_DlgMacro::Cancel() {
    if (recording_->Recording() && !recording_->Stop()) return;
    reject();
}

void CTalvenix_DlgMacro::done(int result) {
    recording_->Abort();
    CBaseDialog::done(result);
}

void CTalvenix_DlgMacro::closeEvent(QCloseEvent* event) {
    if (recording_->Recording() && !recording_->Stop()) {
        event->ignore();
        return;
    }
    CBaseDialog::closeEvent(event);
}

}  // namespace talvenix::gui

#include "gui/keys/CompositeKeyDialog.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

#include "core/keys/KeyCapture.h"
#include "core/keys/MediaCatalogue.h"
#include "core/macros/KeyEdit.h"
#include "gui/common/Prompt.h"
#include "gui/keys/DialogKit.h"
#include "gui/keys/KeyEditHost.h"
#include "gui/keys/OnScreenKeyboard.h"
#include "gui/macros/ActionKeyNote.h"
#include "gui/macros/ActionListView.h"
#include "gui/macros/KeyEventFilter.h"
#include "gui/macros/MacroGauge.h"
#include "gui/macros/RecordingSession.h"
#include "gui/skin/SkinPlacement.h"

namespace talvenix::gui {

using kit::Fx;
using kit::Tx;
using text::TextId;

namespace {

const char* const kButtonKeys[] = {"CONTROL_CLOSE",
                                   "CONTROL_MASK",
                                   "CONTROL_KEY",
                                   "CONTROL_MACRO",
                                   "CONTROL_MEDIA",
                                   "CONTROL_FUNCTION",
                                   "CONTROL_CLEAR",
                                   "CONTROL_OSK",
                                   "FUNC_MACRO_ADD",
                                   "FUNC_MACRO_DELETE",
                                   "FUNC_MACRO_RECORD",
                                   "FUNC_MACRO_DELETE2",
                                   "FUNC_MACRO_CLEAR",
                                   "FUNC_MACRO_UP_TOP",
                                   "FUNC_MACRO_UP",
                                   "FUNC_MACRO_DOWN",
                                   "FUNC_MACRO_DOWN_BOTTOM",
                                   "FUNC_MACRO_RECORD_DELAY",
                                   "CONTROL_OK",
                                   "CONTROL_CANCEL",
                                   "CONTROL2_APPLY"};

// The controls of each page (everything else is shared).
const QStringList& PageControls(int page) {
    static const QStringList single = {"KEY_SETTING", "FUNC_KEY_INPUT", "TISHI_SINGLE_STATIC"};
    static const QStringList macro = {
        "MARCO_NAME_SETTING",      "FUNC_MACRO_LIST",          "FUNC_MACRO_ADD",
        "FUNC_MACRO_DELETE",       "FUNC_MACRO_LIST2",         "FUNC_MACRO_RECORD",
        "FUNC_MACRO_DELETE2",      "FUNC_MACRO_CLEAR",         "FUNC_MACRO_UP_TOP",
        "FUNC_MACRO_UP",           "FUNC_MACRO_DOWN",          "FUNC_MACRO_DOWN_BOTTOM",
        "FUNC_MACRO_RECORD_DELAY", "FUNC_MACRO_CYCLES_PROMPT", "FUNC_MACRO_CYCLES",
        "FUNC_MACRO_GAUGE"};
    static const QStringList media = {"MEDIA_SETTING_TISHI", "FUNC_MEDIA_SELECT"};
    static const QStringList function = {"FUNCTION_KEY_SETTING_TISHI", "FUNC_FUNCTION_SELECT"};
    switch (page) {
        case Talvenix_DlgComposite::kMacro:
            return macro;
        case Talvenix_DlgComposite::kMedia:
            return media;
        case Talvenix_DlgComposite::kFunction:
            return function;
        default:
            return single;
    }
}

int PageOfKind(int kind) {
    if (kind == 4 || kind == 7 || kind == 8) return kind;
    return Talvenix_DlgComposite::kSingleKey;
}

}  // namespace

Talvenix_DlgComposite::Talvenix_DlgComposite(KeyEditHost& host, QWidget* parent)
    : CBaseDialog(QDir(host.SkinFolder()).filePath(QStringLiteral("Composite.ini")), parent), host_(host) {
    setObjectName(QStringLiteral("CompositeKeyDialog"));
    InitSkin();
    for (const char* prefix : {"key", "macro", "macro2", "media", "function"}) {
        const QString p = QString::fromLatin1(prefix);
        pictureSets_[p] = kit::LoadPictureSet(Skin(), p, p != "media" && p != "function");
    }
    BuildControls();
}

Talvenix_DlgComposite::~Talvenix_DlgComposite() {
    if (recording_) recording_->Abort();
}

CPngButton* Talvenix_DlgComposite::Button(const char* key) const {
    const auto it = buttons_.find(QString::fromLatin1(key));
    return it == buttons_.end() ? nullptr : it->second;
}

void Talvenix_DlgComposite::BuildControls() {
    const SkinFile& skin = Skin();
    const QString section = QStringLiteral("BUTTONINFO");
    for (const char* key : kButtonKeys) {
        CPngButton* b = kit::MakeButton(this, skin, QString::fromLatin1(key), pictureSets_["key"]);
        buttons_[QString::fromLatin1(key)] = b;
        widgets_[QString::fromLatin1(key)] = b;
    }
    // The page banner: a picture with the page's name, not a control.
    Button("CONTROL_MASK")->setAttribute(Qt::WA_TransparentForMouseEvents);
    Button("CONTROL_MASK")->setFocusPolicy(Qt::NoFocus);

    auto label = [&](const char* key, const char* colour) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(key));
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setStyleSheet(QStringLiteral("color:%1;").arg(QLatin1String(colour)));
        PlaceWindow(*l, skin, section, l->objectName());
        widgets_[l->objectName()] = l;
        return l;
    };
    title_ = label("CONTROL_TITLE", kit::kDimColour);
    title_->setWordWrap(false);
    label("KEY_SETTING", kit::kTextColour);
    QLabel* hint = label("TISHI_SINGLE_STATIC", kit::kDimColour);
    // Said under the page's hint, while the choice is being made, not in a box after it.
    keyNote_ = new QLabel(this);
    keyNote_->setObjectName(QStringLiteral("FUNC_KEY_NOTE"));
    keyNote_->setWordWrap(true);
    keyNote_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    keyNote_->setStyleSheet(QStringLiteral("color:%1;").arg(QLatin1String(kit::kWarnColour)));
    const QRect below = hint->geometry();
    keyNote_->setGeometry(below.x(), below.bottom() + 1, below.width() * 13 / 10, below.height());
    keyNote_->hide();
    label("MARCO_NAME_SETTING", kit::kTextColour);
    label("MEDIA_SETTING_TISHI", kit::kTextColour);
    label("FUNCTION_KEY_SETTING_TISHI", kit::kTextColour);
    label("FUNC_MACRO_CYCLES_PROMPT", kit::kTextColour)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    const QString edit = QStringLiteral("QLineEdit{%1}").arg(kit::FieldStyle());
    const QString combo = QStringLiteral(
                              "QComboBox{%1} QComboBox QAbstractItemView{background:#1E2128; color:#E4E4E4;"
                              " selection-background-color:#00B4FF;}")
                              .arg(kit::FieldStyle());
    keyEdit_ = new QLineEdit(this);
    keyEdit_->setObjectName(QStringLiteral("FUNC_KEY_INPUT"));
    keyEdit_->setReadOnly(true);
    keyEdit_->setStyleSheet(edit);
    PlaceWindow(*keyEdit_, skin, section, keyEdit_->objectName());
    widgets_[keyEdit_->objectName()] = keyEdit_;

    mediaCombo_ = new QComboBox(this);
    mediaCombo_->setObjectName(QStringLiteral("FUNC_MEDIA_SELECT"));
    mediaCombo_->setStyleSheet(combo);
    PlaceWindow(*mediaCombo_, skin, section, mediaCombo_->objectName());
    widgets_[mediaCombo_->objectName()] = mediaCombo_;
    connect(mediaCombo_, &QComboBox::activated, this, [this] { SetModified(); });

    functionCombo_ = new QComboBox(this);
    functionCombo_->setObjectName(QStringLiteral("FUNC_FUNCTION_SELECT"));
    functionCombo_->setStyleSheet(combo);
    PlaceWindow(*functionCombo_, skin, section, functionCombo_->objectName());
    widgets_[functionCombo_->objectName()] = functionCombo_;
    connect(functionCombo_, &QComboBox::activated, this, [this] { SetModified(); });

    macroCombo_ = new QComboBox(this);
    macroCombo_->setObjectName(QStringLiteral("FUNC_MACRO_LIST"));
    macroCombo_->setEditable(true);
    macroCombo_->setInsertPolicy(QComboBox::NoInsert);
    macroCombo_->lineEdit()->setMaxLength(macros::kMaxNameLength);
    macroCombo_->setStyleSheet(combo);
    PlaceWindow(*macroCombo_, skin, section, macroCombo_->objectName());
    widgets_[macroCombo_->objectName()] = macroCombo_;
    connect(macroCombo_, &QComboBox::currentIndexChanged, this, &Talvenix_DlgComposite::OnMacroComboChanged);
    connect(macroCombo_->lineEdit(), &QLineEdit::editingFinished, this,
            &Talvenix_DlgComposite::OnMacroNameEdited);

    cycles_ = new QLineEdit(this);
    cycles_->setObjectName(QStringLiteral("FUNC_MACRO_CYCLES"));
    cycles_->setMaxLength(12);
    cycles_->setStyleSheet(edit);
    PlaceWindow(*cycles_, skin, section, cycles_->objectName());
    widgets_[cycles_->objectName()] = cycles_;
    connect(cycles_, &QLineEdit::textEdited, this, &Talvenix_DlgComposite::OnCyclesEdited);

    actions_ = new ActionListView(true, &host_.Ask(), this);
    actions_->setObjectName(QStringLiteral("FUNC_MACRO_LIST2"));
    PlaceWindow(*actions_, skin, section, actions_->objectName());
    widgets_[actions_->objectName()] = actions_;
    new ActionKeyNote(actions_, this);
    connect(actions_, &ActionListView::Edited, this, [this] {
        StoreSelectedRow();
        SetModified();
    });
    connect(actions_, &ActionListView::SelectionChanged, this, &Talvenix_DlgComposite::UpdateButtons);
    connect(actions_, &ActionListView::EditStarting, this, [this] { recording_->Abort(); });

    gauge_ = new MacroGauge(this);
    PlaceWindow(*gauge_, skin, section, QStringLiteral("FUNC_MACRO_GAUGE"));
    widgets_[QStringLiteral("FUNC_MACRO_GAUGE")] = gauge_;

    recording_ = new RecordingSession(macros::RecorderStyle::KeyDialog, this, actions_, &host_.Ask(), this);
    connect(recording_, &RecordingSession::RecordingChanged, this, [this](bool on) {
        CPngButton* record = Button("FUNC_MACRO_RECORD");
        record->setText(Tx(on ? TextId::MACRO_ACTION_STOP_RECORD : TextId::MACRO_ACTION_RECORD));
        record->SetSetState(on);
        UpdateButtons();
    });
    capture_ = new KeyEventFilter(
        this, [this](std::uint32_t vk, std::uint32_t flags) { return HandleCapture(vk, flags); }, this);

    CPngButton* check = Button("FUNC_MACRO_RECORD_DELAY");
    check->setCheckable(true);
    connect(check, &QAbstractButton::toggled, this, [this, check](bool on) {
        check->SetSetState(on);
        recording_->SetRecordDelay(on);
        host_.SetRecordDelay(on);
    });

    connect(Button("CONTROL_KEY"), &QAbstractButton::clicked, this, [this] { OnPageButton(kSingleKey); });
    connect(Button("CONTROL_MACRO"), &QAbstractButton::clicked, this, [this] { OnPageButton(kMacro); });
    connect(Button("CONTROL_MEDIA"), &QAbstractButton::clicked, this, [this] { OnPageButton(kMedia); });
    connect(Button("CONTROL_FUNCTION"), &QAbstractButton::clicked, this, [this] { OnPageButton(kFunction); });
    connect(Button("CONTROL_CLEAR"), &QAbstractButton::clicked, this, &Talvenix_DlgComposite::OnClear);
    connect(Button("CONTROL_OSK"), &QAbstractButton::clicked, this,
            &Talvenix_DlgComposite::OpenOnScreenKeyboard);
    connect(Button("FUNC_MACRO_ADD"), &QAbstractButton::clicked, this, &Talvenix_DlgComposite::AddMacro);
    connect(Button("FUNC_MACRO_DELETE"), &QAbstractButton::clicked, this,
            &Talvenix_DlgComposite::DeleteMacro);
    connect(Button("FUNC_MACRO_RECORD"), &QAbstractButton::clicked, this,
            &Talvenix_DlgComposite::ToggleRecording);
    connect(Button("FUNC_MACRO_DELETE2"), &QAbstractButton::clicked, actions_,
            &ActionListView::RemoveSelected);
    connect(Button("FUNC_MACRO_CLEAR"), &QAbstractButton::clicked, this, [this] {
        if (actions_->List().Count() == 0) return;
        if (host_.Ask().AskYesNo(Tx(TextId::MACRO_ACTION_CLEAR_CONFIRM))) actions_->ClearAll();
    });
    using Move = ActionListView::Move;
    const std::pair<const char*, Move> moves[] = {{"FUNC_MACRO_UP_TOP", Move::Top},
                                                  {"FUNC_MACRO_UP", Move::Up},
                                                  {"FUNC_MACRO_DOWN", Move::Down},
                                                  {"FUNC_MACRO_DOWN_BOTTOM", Move::Bottom}};
    for (const auto& [key, move] : moves)
        connect(Button(key), &QAbstractButton::clicked, this,
                [this, m = move] { actions_->MoveSelected(m); });
    connect(Button("CONTROL_OK"), &QAbstractButton::clicked, this, &Talvenix_DlgComposite::Ok);
    connect(Button("CONTROL_CANCEL"), &QAbstractButton::clicked, this, &Talvenix_DlgComposite::Cancel);
    connect(Button("CONTROL_CLOSE"), &QAbstractButton::clicked, this, &Talvenix_DlgComposite::Cancel);
    connect(Button("CONTROL2_APPLY"), &QAbstractButton::clicked, this, [this] { Apply(); });
}

void Talvenix_DlgComposite::ApplyTexts() {
    kit::SetCaption(*Button("CONTROL_KEY"), Fx("SINGLE_KEY", "Key"));
    kit::SetCaption(*Button("CONTROL_MACRO"), Fx("MACRO_SETTING", "Macro"));
    kit::SetCaption(*Button("CONTROL_MEDIA"), Fx("MULTI_MEDIA", "Multimedia"));
    kit::SetCaption(*Button("CONTROL_FUNCTION"), Fx("FUNCTION_KEY", "Function"));
    kit::SetCaption(*Button("FUNC_MACRO_RECORD"), Tx(TextId::MACRO_ACTION_RECORD), 12);
    kit::SetCaption(*Button("FUNC_MACRO_RECORD_DELAY"), Fx("RECORD_DELAY", "Record delays"), 24);
    kit::SetCaption(*Button("CONTROL_OK"), Fx("MACRO_OK", "OK"));
    kit::SetCaption(*Button("CONTROL_CANCEL"), Fx("MACRO_CANCLE", "Cancel"));
    kit::SetCaption(*Button("CONTROL2_APPLY"), Fx("PROFILE_APPLY", "Apply"));
    Button("CONTROL_CLEAR")->SetTip(Fx("COMPOSITE_PROMPT_CLEAR"));
    Button("CONTROL_OSK")->SetTip(Fx("COMPOSITE_PROMPT_OSK"));
    const std::pair<const char*, const char*> tips[] = {
        {"FUNC_MACRO_DELETE2", "A_DELETE"}, {"FUNC_MACRO_CLEAR", "A_CLEAR"},
        {"FUNC_MACRO_UP_TOP", "A_TOP"},     {"FUNC_MACRO_UP", "A_UP"},
        {"FUNC_MACRO_DOWN", "A_DOWN"},      {"FUNC_MACRO_DOWN_BOTTOM", "A_BOTTOM"},
        {"FUNC_MACRO_ADD", "MACRO_ADD"},    {"FUNC_MACRO_DELETE", "MACRO_DELETE"}};
    for (const auto& [key, textKey] : tips) Button(key)->SetTip(Fx(textKey));
    static_cast<QLabel*>(widgets_["KEY_SETTING"])
        ->setText(target_.macroOnly ? Fx("MACRO_EDIT_TISHI") : Fx("KEY_SETTING_TISHI"));
    static_cast<QLabel*>(widgets_["TISHI_SINGLE_STATIC"])->setText(Fx("SINGLE_STATIC"));
    static_cast<QLabel*>(widgets_["MARCO_NAME_SETTING"])->setText(Fx("MACRO_NAME_SETTING", "Macro name"));
    static_cast<QLabel*>(widgets_["MEDIA_SETTING_TISHI"])->setText(Fx("MEDIA_EDIT_TISHI"));
    static_cast<QLabel*>(widgets_["FUNCTION_KEY_SETTING_TISHI"])->setText(Fx("FUNCTION_TISHI"));
    static_cast<QLabel*>(widgets_["FUNC_MACRO_CYCLES_PROMPT"])->setText(Fx("MACRO_CYCLES", "Cycles"));
}

void Talvenix_DlgComposite::Open(const keys::DialogTarget& target, const QString& targetName) {
    target_ = target;
    profile_ = host_.ShownProfile();
    setWindowTitle(Fx("COMPOSITE_TITLE", "Key settings: %1").arg(targetName));
    title_->setText(windowTitle());
    ApplyTexts();

    // 1. Lists, cycles, the private macro copies.
    mediaCombo_->clear();
    for (int i = 0; i < keys::kMediaCount; ++i)
        mediaCombo_->addItem(QString::fromStdString(keys::MediaName(i)));
    functionCombo_->clear();
    for (int i = 0; i < keys::kFunctionCount; ++i)
        functionCombo_->addItem(QString::fromStdString(keys::FunctionText(i)));
    mediaCombo_->setCurrentIndex(0);
    functionCombo_->setCurrentIndex(0);
    cycles_->setText(QStringLiteral("1"));
    recording_->Abort();
    {
        auto cfg = host_.Working().Lock();
        list_.Load(cfg->macros);
        original_ = cfg->AssignmentOf(profile_, target_.slot);
    }
    const bool delay = host_.RecordDelay();
    Button("FUNC_MACRO_RECORD_DELAY")->setChecked(delay);
    Button("FUNC_MACRO_RECORD_DELAY")->SetSetState(delay);
    recording_->SetRecordDelay(delay);
    shownRow_ = -1;
    RebuildMacroCombo();

    // 2-3. The page of the record's kind; the macro page alone in macro-only mode.
    pageKind_ = original_.kind;
    keepRecord_ = !(pageKind_ == 0 || pageKind_ == 2 || pageKind_ == 4 || pageKind_ == 7 || pageKind_ == 8);
    if (target_.macroOnly) {
        pageKind_ = kMacro;
        keepRecord_ = false;
    }
    for (const char* key : {"CONTROL_KEY", "CONTROL_MEDIA", "CONTROL_FUNCTION", "CONTROL_CLEAR"})
        Button(key)->setEnabled(!target_.macroOnly);

    // 4. No captured key yet; the page; nothing to apply.
    keyEdit_->clear();
    captured_ = keys::kNoKey;
    ShowPage(pageKind_, true);
    modified_ = false;
    UpdateButtons();
}

void Talvenix_DlgComposite::PlaceBeside(const QRect& button) {
    QScreen* screen = QGuiApplication::screenAt(button.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect s = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    const auto p = keys::PlaceBesideButton({button.x(), button.y(), button.width(), button.height()}, width(),
                                           height(), {s.x(), s.y(), s.width(), s.height()});
    move(p.x, p.y);
}

void Talvenix_DlgComposite::UsePictures(const StatePictures& pictures) {
    for (auto& [key, button] : buttons_) button->SetStatePictures(pictures);
}

void Talvenix_DlgComposite::ShowPageControls(int page) {
    for (int p : {kSingleKey, kMacro, kMedia, kFunction}) {
        for (const QString& key : PageControls(p)) {
            if (QWidget* w = widgets_[key]) w->setVisible(p == page);
        }
    }
    const QString set = target_.macroOnly   ? QStringLiteral("macro2")
                        : page == kMacro    ? QStringLiteral("macro")
                        : page == kMedia    ? QStringLiteral("media")
                        : page == kFunction ? QStringLiteral("function")
                                            : QStringLiteral("key");
    UsePictures(pictureSets_[set]);
    Button("CONTROL_KEY")->SetSetState(page == kSingleKey);
    Button("CONTROL_MACRO")->SetSetState(page == kMacro);
    Button("CONTROL_MEDIA")->SetSetState(page == kMedia);
    Button("CONTROL_FUNCTION")->SetSetState(page == kFunction);
    const QString name = page == kMacro      ? Fx("MACRO_SETTING", "Macro")
                         : page == kMedia    ? Fx("MULTI_MEDIA", "Multimedia")
                         : page == kFunction ? Fx("FUNCTION_KEY", "Function")
                                             : Fx("SINGLE_KEY", "Key");
    kit::SetCaption(*Button("CONTROL_MASK"), name, 40);
    UpdateKeyNote();
}

void Talvenix_DlgComposite::ShowPage(int kind, bool initial) {
    const int page = PageOfKind(kind);
    if (page == kMacro) {
        capture_->SetActive(false);
        if (initial) {
            const int row = list_.RowOfId(static_cast<int>(original_.value & 0xFFFF));
            SelectMacroRow(original_.kind == 4 && row >= 0 ? row : (list_.Count() > 0 ? 0 : -1));
            if (original_.kind == 4 && original_.tag >= 1 && original_.tag <= 255 && list_.SelectedRow())
                cycles_->setText(QString::number(original_.tag));
        } else if (list_.Selected() < 0 && list_.Count() > 0) {
            SelectMacroRow(0);
        }
    } else if (page == kMedia || page == kFunction) {
        capture_->SetActive(false);
        recording_->Abort();
        if (initial) {
            QComboBox* combo = page == kMedia ? mediaCombo_ : functionCombo_;
            const int v = static_cast<int>(original_.value);
            if (v >= 0 && v < combo->count()) combo->setCurrentIndex(v);
        }
    } else {
        recording_->Abort();
        capture_->SetActive(true);
        if (initial && original_.kind == 2 && original_.value != 0) {
            captured_ = static_cast<keys::KeyCode>(original_.value);
            keyEdit_->setText(QString::fromStdString(keys::KeyNameOf(captured_)));
        }
    }
    ShowPageControls(page);
    UpdateGauge();
}

void Talvenix_DlgComposite::OnPageButton(int page) {
    if (page == kSingleKey && (pageKind_ == 0 || pageKind_ == kSingleKey)) {
        ShowPage(pageKind_, false);
        return;
    }
    if (page == pageKind_) return;
    pageKind_ = page;
    keepRecord_ = false;
    ShowPage(page, false);
    SetModified();
}

void Talvenix_DlgComposite::OnClear() {
    OnPageButton(kSingleKey);
    if (pageKind_ == kSingleKey || keepRecord_) {
        keyEdit_->clear();
        captured_ = keys::kNoKey;
        pageKind_ = 0;
        keepRecord_ = false;
        ShowPage(0, false);
        SetModified();
    }
}

bool Talvenix_DlgComposite::HandleCapture(std::uint32_t vk, std::uint32_t flags) {
    const auto out = keys::CaptureKeyEvent(vk, flags);
    if (out.action == keys::CaptureOutcome::Action::Captured) {
        captured_ = out.code;
        keyEdit_->setText(QString::fromStdString(keys::KeyNameOf(out.code)));
        pageKind_ = kSingleKey;
        keepRecord_ = false;
        SetModified();
    }
    return out.action != keys::CaptureOutcome::Action::Pass;
}

void Talvenix_DlgComposite::SetModified() {
    modified_ = true;
    UpdateButtons();
    UpdateGauge();
    UpdateKeyNote();
}

keys::KeyAssignment Talvenix_DlgComposite::ChosenRecord() const {
    if (keepRecord_) return original_;
    keys::CompositeChoice choice;
    choice.pageKind = pageKind_;
    choice.slot = target_.slot;
    choice.captured = captured_;
    choice.hasMacros = list_.Count() > 0;
    choice.selectedMacroId = list_.SelectedRow() ? list_.SelectedRow()->id : 0;
    choice.cycles = keys::ClampCycles(cycles_->text().toStdString());
    choice.mediaIndex = mediaCombo_->currentIndex();
    choice.functionIndex = functionCombo_->currentIndex();
    return keys::BuildCompositeRecord(choice);
}

void Talvenix_DlgComposite::UpdateKeyNote() {
    const QString note = kit::UnstorableKeyNote(target_.slot, ChosenRecord());
    keyNote_->setText(note);
    keyNote_->setVisible(!note.isEmpty() && PageOfKind(pageKind_) != kMacro);
}

bool Talvenix_DlgComposite::ApplyEnabled() const { return Button("CONTROL2_APPLY")->isEnabled(); }
bool Talvenix_DlgComposite::Recording() const { return recording_->Recording(); }

}  // namespace talvenix::gui

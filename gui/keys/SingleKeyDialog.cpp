#include "gui/keys/SingleKeyDialog.h"

#include <QDir>

#include "core/keys/KeyTable.h"
#include "core/macros/KeyEdit.h"
#include "gui/common/Prompt.h"
#include "gui/keys/DialogKit.h"
#include "gui/keys/KeyEditHost.h"
#include "gui/skin/SkinPlacement.h"

namespace talvenix::gui {

using kit::Fx;
using kit::Tx;
using text::TextId;

namespace {
const char* const kRadioTexts[7][2] = {
    {"KEY_SEL_1", "Default function"}, {"KEY_SEL_2", "Disabled"},     {"KEY_SEL_3", "Another key"},
    {"KEY_SEL_4", "Launch a program"}, {"KEY_SEL_5", "Play a macro"}, {"KEY_SEL_6", "Stop the playing macro"},
    {"KEY_SEL_7", "Type a text block"}};
}  // namespace

CTalvenix_DlgKey::CTalvenix_DlgKey(KeyEditHost& host, QWidget* parent)
    : CBaseDialog(QDir(host.SkinFolder()).filePath(QStringLiteral("Key.ini")), parent), host_(host) {
    setObjectName(QStringLiteral("SingleKeyDialog"));
    InitSkin();
    pictures_ = kit::LoadPictureSet(Skin(), QStringLiteral("key"));
    BuildControls();
}

void CTalvenix_DlgKey::BuildControls() {
    const SkinFile& skin = Skin();
    const QString section = QStringLiteral("BUTTONINFO");
    for (const char* key : {"CONTROL_CLOSE", "FUNC_EXTRA_2_2", "CONTROL_OK", "CONTROL_CANCEL"})
        buttons_[QString::fromLatin1(key)] = kit::MakeButton(this, skin, QString::fromLatin1(key), pictures_);
    for (int i = 0; i < 7; ++i) {
        radios_[static_cast<std::size_t>(i)] =
            kit::MakeButton(this, skin, QStringLiteral("FUNC_SEL_%1").arg(i + 1), pictures_);
        connect(radios_[static_cast<std::size_t>(i)], &QAbstractButton::clicked, this,
                [this, i] { ChooseKind(i); });
    }
    auto label = [&](const char* key, const char* colour) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(key));
        l->setStyleSheet(QStringLiteral("color:%1;").arg(QLatin1String(colour)));
        PlaceWindow(*l, skin, section, l->objectName());
        return l;
    };
    title_ = label("CONTROL_TITLE", kit::kDimColour);
    hint_ = label("KEY_SETTING", kit::kTextColour);
    note_ = label("TISHI_SINGLE_STATIC", kit::kDimColour);
    note_->setWordWrap(true);
    note_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for a second line: a key the keyboard cannot store is said here.
    note_->resize(note_->width(), note_->height() * 9 / 5);

    const QString combo = QStringLiteral(
                              "QComboBox{%1} QComboBox QAbstractItemView{background:#1E2128; color:#E4E4E4;"
                              " selection-background-color:#00B4FF;}")
                              .arg(kit::FieldStyle());
    keyCombo_ = new QComboBox(this);
    keyCombo_->setObjectName(QStringLiteral("FUNC_EXTRA_1"));
    keyCombo_->setStyleSheet(combo);
    PlaceWindow(*keyCombo_, skin, section, keyCombo_->objectName());
    connect(keyCombo_, &QComboBox::currentIndexChanged, this, [this] { UpdateNote(); });
    pathEdit_ = new QLineEdit(this);
    pathEdit_->setObjectName(QStringLiteral("FUNC_EXTRA_2"));
    pathEdit_->setMaxLength(static_cast<int>(keys::kMaxLaunchPathUnits));
    pathEdit_->setStyleSheet(QStringLiteral("QLineEdit{%1}").arg(kit::FieldStyle()));
    PlaceWindow(*pathEdit_, skin, section, pathEdit_->objectName());
    macroCombo_ = new QComboBox(this);
    macroCombo_->setObjectName(QStringLiteral("FUNC_EXTRA_3"));
    macroCombo_->setStyleSheet(combo);
    PlaceWindow(*macroCombo_, skin, section, macroCombo_->objectName());
    textEdit_ = new QPlainTextEdit(this);
    textEdit_->setObjectName(QStringLiteral("FUNC_EXTRA_4"));
    textEdit_->setStyleSheet(QStringLiteral("QPlainTextEdit{%1}").arg(kit::FieldStyle()));
    PlaceWindow(*textEdit_, skin, section, textEdit_->objectName());
    connect(textEdit_, &QPlainTextEdit::textChanged, this, [this] {
        // The field holds what a key record's string may carry, no more.
        const QString t = textEdit_->toPlainText();
        if (t.size() > static_cast<int>(keys::kMaxTextBlockUnits)) {
            QSignalBlocker block(textEdit_);
            textEdit_->setPlainText(t.left(static_cast<int>(keys::kMaxTextBlockUnits)));
            textEdit_->moveCursor(QTextCursor::End);
        }
    });

    connect(buttons_["FUNC_EXTRA_2_2"], &QAbstractButton::clicked, this, &CTalvenix_DlgKey::Browse);
    connect(buttons_["CONTROL_OK"], &QAbstractButton::clicked, this, &CTalvenix_DlgKey::Ok);
    connect(buttons_["CONTROL_CANCEL"], &QAbstractButton::clicked, this, &QDialog::reject);
    connect(buttons_["CONTROL_CLOSE"], &QAbstractButton::clicked, this, &QDialog::reject);
}

void CTalvenix_DlgKey::ApplyTexts() {
    for (int i = 0; i < 7; ++i)
        kit::SetCaption(*radios_[static_cast<std::size_t>(i)], Fx(kRadioTexts[i][0], kRadioTexts[i][1]), 24);
    kit::SetCaption(*buttons_["CONTROL_OK"], Fx("MACRO_OK", "OK"));
    kit::SetCaption(*buttons_["CONTROL_CANCEL"], Fx("MACRO_CANCLE", "Cancel"));
    buttons_["FUNC_EXTRA_2_2"]->SetTip(Fx("KEY_BROWSE_TITLE", "Choose a program"));
    note_->setText(Fx("KEY_DLG_NOTE", "Programs and texts are kept in the profile only."));
}

void CTalvenix_DlgKey::Open(const keys::DialogTarget& target, const QString& targetName) {
    target_ = target;
    profile_ = host_.ShownProfile();
    setWindowTitle(Fx("KEY_DLG_TITLE", "Key function: %1").arg(targetName));
    title_->setText(windowTitle());
    hint_->setText(Fx("KEY_DLG_HINT", "Choose what this key does."));
    ApplyTexts();

    keyCombo_->clear();
    for (int p = 0; p < keys::kListPositionCount; ++p)
        keyCombo_->addItem(QString::fromStdString(keys::NameOfListPosition(p)));
    keys::KeyAssignment record;
    std::u16string text;
    macroCombo_->clear();
    int macroRow = -1;
    {
        auto cfg = host_.Working().Lock();
        record = cfg->AssignmentOf(profile_, target_.slot);
        original_ = record;
        for (const auto& m : cfg->macros) macroCombo_->addItem(QString::fromStdU16String(m.Name()));
        if (record.Kind() == keys::AssignmentKind::Macro)
            macroRow = cfg->MacroOfId(static_cast<int>(record.value & 0xFFFF))
                           ? cfg->MacroPositionOfId(static_cast<int>(record.value & 0xFFFF))
                           : -1;
        text = cfg->strings.Text(keys::RecordIndex(profile_, target_.slot));
    }
    keyCombo_->setCurrentIndex(
        record.kind == 2 ? keys::ListPositionOf(static_cast<keys::KeyCode>(record.value)).value_or(-1) : -1);
    macroCombo_->setCurrentIndex(macroRow >= 0 ? macroRow : (macroCombo_->count() > 0 ? 0 : -1));
    pathEdit_->setText(record.kind == 3 ? QString::fromStdU16String(text) : QString());
    textEdit_->setPlainText(record.kind == 6 ? QString::fromStdU16String(text) : QString());
    ChooseKind(record.kind <= 6 ? record.kind : -1);
}

void CTalvenix_DlgKey::ChooseKind(int kind) {
    kind_ = kind;
    for (int i = 0; i < 7; ++i) radios_[static_cast<std::size_t>(i)]->SetSetState(i == kind);
    UpdateInputs();
}

void CTalvenix_DlgKey::UpdateInputs() {
    keyCombo_->setEnabled(kind_ == 2);
    pathEdit_->setEnabled(kind_ == 3);
    buttons_["FUNC_EXTRA_2_2"]->setEnabled(kind_ == 3);
    macroCombo_->setEnabled(kind_ == 4);
    textEdit_->setEnabled(kind_ == 6);
    UpdateNote();
}

QString CTalvenix_DlgKey::Note() const { return note_->text(); }

void CTalvenix_DlgKey::UpdateNote() {
    QString warning;
    if (kind_ == 2) {
        // The list offers only keys the keyboard stores; a record loaded from a file may not be one.
        keys::KeyAssignment wanted = original_;
        if (keyCombo_->currentIndex() >= 0) {
            wanted = {};
            wanted.kind = 2;
            wanted.value = keys::CodeOfListPosition(keyCombo_->currentIndex());
        }
        if (wanted.kind == 2) warning = kit::UnstorableKeyNote(target_.slot, wanted);
    }
    note_->setText(warning.isEmpty() ? Fx("KEY_DLG_NOTE", "Programs and texts are kept in the profile only.")
                                     : warning);
    note_->setStyleSheet(QStringLiteral("color:%1;")
                             .arg(QLatin1String(warning.isEmpty() ? kit::kDimColour : kit::kWarnColour)));
}

void CTalvenix_DlgKey::Browse() {
    const QString filter =
        Fx("KEY_BROWSE_FILTER",
           "Programs (*.sh *.py *.pl *.AppImage *.run *.bin *.desktop *.exe);;All files (*)");
    const QString chosen =
        host_.Ask().ChooseOpenFile(Fx("KEY_BROWSE_TITLE", "Choose a program"), QDir::homePath(), filter);
    if (!chosen.isEmpty()) pathEdit_->setText(chosen.left(static_cast<int>(keys::kMaxLaunchPathUnits)));
}

bool CTalvenix_DlgKey::Apply() {
    if (host_.CurrentProfile() < 0) {
        host_.Ask().ShowMessage(Tx(TextId::APPLY_PROMPT));
        return false;
    }
    if (kind_ < 0) return true;  // a kind this dialog does not offer: left as it is
    keys::SingleKeyChoice choice;
    choice.kind = kind_;
    choice.slot = target_.slot;
    choice.listPosition = keyCombo_->currentIndex();
    {
        auto cfg = host_.Working().Lock();
        choice.macroId = cfg->MacroIdAtPosition(macroCombo_->currentIndex());
    }
    if (kind_ == 3) choice.text = pathEdit_->text().toStdU16String();
    if (kind_ == 6) choice.text = textEdit_->toPlainText().toStdU16String();
    const keys::SingleKeyRecord built = keys::BuildSingleKeyRecord(choice);
    using P = keys::SingleKeyRecord::Problem;
    switch (built.problem) {
        case P::None:
            break;
        case P::NoKey:
            host_.Ask().ShowMessage(Fx("KEY_ERR_NO_KEY", "Choose the key this key should send."));
            return false;
        case P::NoMacro:
            host_.Ask().ShowMessage(Fx("KEY_ERR_NO_MACRO", "Choose a macro; create one with Macros first."));
            return false;
        case P::NoPath:
            host_.Ask().ShowMessage(Fx("KEY_ERR_NO_PATH", "Choose the program to launch."));
            return false;
        case P::BadKind:
            return false;
    }
    {
        auto cfg = host_.Working().Lock();
        macros::StoreKeyEdit(*cfg, profile_, target_.slot, built.record, built.string);
    }
    host_.KeysChanged({});
    return true;
}

void CTalvenix_DlgKey::Ok() {
    if (Apply()) accept();
}

}  // namespace talvenix::gui

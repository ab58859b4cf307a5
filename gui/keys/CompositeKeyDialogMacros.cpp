#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>

#include "core/keys/KeyCapture.h"
#include "core/keys/MediaCatalogue.h"
#include "core/macros/KeyEdit.h"
#include "gui/common/Prompt.h"
#include "gui/keys/CompositeKeyDialog.h"
#include "gui/keys/DialogKit.h"
#include "gui/keys/KeyEditHost.h"
#include "gui/keys/OnScreenKeyboard.h"
#include "gui/macros/ActionListView.h"
#include "gui/macros/KeyEventFilter.h"
#include "gui/macros/MacroGauge.h"
#include "gui/macros/RecordingSession.h"
#include "gui/skin/SkinPlacement.h"

// The macro page: the macro list, its name and cycles, recording and the space gauge.
namespace talvenix::gui {

using kit::Fx;
using kit::Tx;
using text::TextId;

namespace {

QString ToQ(const std::u16string& s) { return QString::fromStdU16String(s); }

}  // namespace

void Talvenix_DlgComposite::RebuildMacroCombo() {
    rebuilding_ = true;
    macroCombo_->clear();
    for (const auto& r : list_.Rows()) macroCombo_->addItem(ToQ(r.Name()));
    macroCombo_->setCurrentIndex(list_.Selected());
    rebuilding_ = false;
    SelectMacroRow(list_.Selected());
}

void Talvenix_DlgComposite::SelectMacroRow(int row) {
    list_.Select(row);
    shownRow_ = list_.Selected();
    {
        QSignalBlocker block(macroCombo_);
        macroCombo_->setCurrentIndex(shownRow_);
    }
    const macros::MacroRecord* r = list_.SelectedRow();
    if (r) {
        actions_->Load(std::span(r->actions.data(), static_cast<std::size_t>(r->UsedActions())));
        cycles_->setText(QString::number(r->cycles));
    } else {
        actions_->Load({});
    }
    UpdateButtons();
    UpdateGauge();
}

void Talvenix_DlgComposite::StoreSelectedRow() {
    if (shownRow_ < 0) return;
    list_.StoreActions(shownRow_, actions_->List().Rows());
    list_.SetCycles(shownRow_, keys::ClampCycles(cycles_->text().toStdString()));
}

void Talvenix_DlgComposite::OnMacroComboChanged(int row) {
    if (rebuilding_ || row == shownRow_ || row < 0) return;
    if (recording_->Recording()) {
        host_.Ask().ShowMessage(Tx(TextId::MACRO_ERR_RECORD));
        QSignalBlocker block(macroCombo_);
        macroCombo_->setCurrentIndex(shownRow_);
        return;
    }
    StoreSelectedRow();
    SelectMacroRow(row);
    if (pageKind_ == kMacro) SetModified();  // the key now plays another macro
}

void Talvenix_DlgComposite::OnMacroNameEdited() {
    const QString typed = macroCombo_->lineEdit()->text();
    using R = macros::MacroList::RenameResult;
    R result = R::NoRow;
    if (list_.Count() == 0) {
        const std::u16string name = macros::CleanMacroName(typed.toStdU16String());
        if (name.empty()) return;
        if (macros::SameMacroName(name, macros::kReservedMacroName) ||
            macros::SameMacroName(name, Tx(TextId::MACRO_DEFAULT_NAME).toStdU16String())) {
            result = R::Reserved;
        } else {
            list_.AddNamed(name);
            RebuildMacroCombo();
            SetModified();
            return;
        }
    } else {
        result =
            list_.Rename(shownRow_, typed.toStdU16String(), Tx(TextId::MACRO_DEFAULT_NAME).toStdU16String());
    }
    switch (result) {
        case R::Renamed:
            macroCombo_->setItemText(shownRow_, ToQ(list_.SelectedRow()->Name()));
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
    if (const auto* r = list_.SelectedRow())
        macroCombo_->lineEdit()->setText(ToQ(r->Name()));
    else
        macroCombo_->lineEdit()->clear();
}

void Talvenix_DlgComposite::OnCyclesEdited(const QString& text) {
    const int value = keys::ClampCycles(text.toStdString());
    const QString corrected = QString::number(value);
    if (corrected != text) cycles_->setText(corrected);
    if (shownRow_ >= 0) list_.SetCycles(shownRow_, value);
    SetModified();
}

void Talvenix_DlgComposite::AddMacro() {
    if (list_.Count() >= macros::kMaxMacros) {
        host_.Ask().ShowMessage(kit::TxNumber(TextId::MACRO_ERR_MAX, macros::kMaxMacros));
        return;
    }
    StoreSelectedRow();
    if (!list_.AddCounted(Tx(TextId::MACRO_NEW_PREFIX).toStdU16String()).ok) return;
    RebuildMacroCombo();
    SetModified();
}

void Talvenix_DlgComposite::DeleteMacro() {
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
    RebuildMacroCombo();
    SetModified();
}

void Talvenix_DlgComposite::ToggleRecording() {
    if (recording_->Recording()) {
        recording_->Stop();
    } else if (list_.SelectedRow()) {
        actions_->setFocus();
        recording_->Start();
    }
}

void Talvenix_DlgComposite::OpenOnScreenKeyboard() {
    QString message;
    if (!StartOnScreenKeyboard(&message)) host_.Ask().ShowMessage(message);
}

void Talvenix_DlgComposite::UpdateButtons() {
    const bool rec = recording_ && recording_->Recording();
    const bool hasMacro = list_.SelectedRow() != nullptr;
    macroCombo_->setEnabled(!rec);
    Button("FUNC_MACRO_ADD")->setEnabled(!rec);
    Button("FUNC_MACRO_DELETE")->setEnabled(!rec && hasMacro);
    for (const char* key :
         {"FUNC_MACRO_RECORD", "FUNC_MACRO_DELETE2", "FUNC_MACRO_CLEAR", "FUNC_MACRO_UP_TOP", "FUNC_MACRO_UP",
          "FUNC_MACRO_DOWN", "FUNC_MACRO_DOWN_BOTTOM"})
        Button(key)->setEnabled(hasMacro);
    cycles_->setEnabled(hasMacro);
    Button("CONTROL2_APPLY")->setEnabled(modified_);
}

void Talvenix_DlgComposite::UpdateGauge() { gauge_->Update(list_.Rows(), host_.MacroSpace()); }

}  // namespace talvenix::gui

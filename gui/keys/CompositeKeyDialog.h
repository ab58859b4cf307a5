// Talvenix_DlgComposite: what a key or G key does, on four pages (another key by capture, a
// macro with the macro list, its actions and the recorder, a multimedia function, an office
// function), plus clear. It keeps private copies of the macro list; Apply commits them and the
// key's new record into the working configuration; Cancel leaves both as they were.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <array>
#include <map>

#include "core/keys/KeyAssignment.h"
#include "core/keys/KeyDialogRules.h"
#include "core/macros/MacroList.h"
#include "gui/skin/BaseDialog.h"
#include "gui/skin/PngButton.h"

namespace talvenix::gui {

class KeyEditHost;
class ActionListView;
class RecordingSession;
class MacroGauge;
class KeyEventFilter;

class Talvenix_DlgComposite : public CBaseDialog {
    Q_OBJECT
public:
    enum Page { kSingleKey = 2, kMacro = 4, kMedia = 7, kFunction = 8 };

    // Throws SkinError naming a missing layout picture.
    explicit Talvenix_DlgComposite(KeyEditHost& host, QWidget* parent = nullptr);
    ~Talvenix_DlgComposite() override;

    // Sets the dialog up for `target` in the shown profile; call before exec()/show().
    void Open(const keys::DialogTarget& target, const QString& targetName);
    // Next to the clicked button (global coordinates), on the screen that holds it.
    void PlaceBeside(const QRect& buttonOnScreen);

    // The controls' actions (also what tests drive).
    void OnPageButton(int page);
    void OnClear();
    void AddMacro();
    void DeleteMacro();
    void ToggleRecording();
    void OpenOnScreenKeyboard();
    bool Apply();  // false: nothing was written and the dialog stays open
    void Ok();
    void Cancel();

    int PageKind() const { return pageKind_; }
    keys::KeyCode Captured() const { return captured_; }
    bool MacroOnly() const { return target_.macroOnly; }
    bool ApplyEnabled() const;
    bool Recording() const;
    const macros::MacroList& Macros() const { return list_; }
    ActionListView* Actions() const { return actions_; }
    MacroGauge* Gauge() const { return gauge_; }
    // What the keyboard will do instead of the chosen function, when it cannot store it; empty
    // otherwise.
    QString KeyNote() const { return keyNote_->text(); }

    // Every way the dialog ends (OK, Cancel, closed by the window) stops capture and recording.
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void ApplyTexts();
    void ShowPage(int kind, bool initial);
    void ShowPageControls(int page);
    void SelectMacroRow(int row);
    void RebuildMacroCombo();
    void StoreSelectedRow();
    void OnMacroComboChanged(int row);
    void OnMacroNameEdited();
    void OnCyclesEdited(const QString& text);
    bool HandleCapture(std::uint32_t vk, std::uint32_t flags);
    void SetModified();
    void UpdateButtons();
    void UpdateGauge();
    void UpdateKeyNote();
    keys::KeyAssignment ChosenRecord() const;
    void CloseSteps();
    CPngButton* Button(const char* key) const;
    void UsePictures(const StatePictures& pictures);

    KeyEditHost& host_;
    keys::DialogTarget target_;
    int profile_ = 0;
    keys::KeyAssignment original_;
    int pageKind_ = 0;
    bool keepRecord_ = false;  // opened on a kind no page edits, and nothing chosen since
    keys::KeyCode captured_ = keys::kNoKey;
    bool modified_ = false;
    bool rebuilding_ = false;
    int shownRow_ = -1;

    macros::MacroList list_;
    std::map<QString, StatePictures> pictureSets_;
    std::map<QString, CPngButton*> buttons_;
    std::map<QString, QWidget*> widgets_;
    QLabel* title_ = nullptr;
    QLabel* keyNote_ = nullptr;
    QLineEdit* keyEdit_ = nullptr;
    QComboBox* mediaCombo_ = nullptr;
    QComboBox* functionCombo_ = nullptr;
    QComboBox* macroCombo_ = nullptr;
    QLineEdit* cycles_ = nullptr;
    ActionListView* actions_ = nullptr;
    RecordingSession* recording_ = nullptr;
    KeyEventFilter* capture_ = nullptr;
    MacroGauge* gauge_ = nullptr;
};

}  // namespace talvenix::gui

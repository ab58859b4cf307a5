// CTalvenix_DlgMacro: the macro editor. Shows every macro with its play mode, lets the user
// add, delete and rename macros, record and edit their actions, type text as actions, and
// commits the list into the working configuration on OK or Apply. It works on private copies:
// nothing changes before OK or Apply, and nothing reaches the keyboard before the main
// window's Apply.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <map>

#include "core/macros/MacroList.h"
#include "gui/skin/BaseDialog.h"
#include "gui/skin/PngButton.h"

namespace talvenix::gui {

class KeyEditHost;
class ActionListView;
class RecordingSession;
class MacroGauge;

class CTalvenix_DlgMacro : public CBaseDialog {
    Q_OBJECT
public:
    // Throws SkinError naming a missing layout picture.
    explicit CTalvenix_DlgMacro(KeyEditHost& host, QWidget* parent = nullptr);
    ~CTalvenix_DlgMacro() override;

    // Loads the working configuration's macros; call before exec()/show().
    void Open();

    // The buttons' actions (also what tests drive).
    void AddMacro();
    void DeleteMacro();
    void ToggleRecording();
    bool Apply();  // false when the list was not committed and the dialog should stay open
    void Ok();
    void Cancel();
    void AddTextAsActions();

    bool Modified() const { return modified_; }
    bool Recording() const;
    const macros::MacroList& Macros() const { return list_; }
    ActionListView* Actions() const { return actions_; }
    MacroGauge* Gauge() const { return gauge_; }

    // However the editor ends, recording stops with it.
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void ApplyTexts();
    void RebuildMacroList();
    void ShowSelectedMacro();
    void OnMacroRowChanged(int row);
    void OnMacroItemChanged(QTableWidgetItem* item);
    void StoreActions();
    void SetModified();
    void UpdateButtons();
    void UpdateGauge();
    CPngButton* Button(const char* key) const;

    KeyEditHost& host_;
    macros::MacroList list_;
    StatePictures pictures_;
    QPixmap other_;
    std::map<QString, CPngButton*> buttons_;
    QTableWidget* macroTable_ = nullptr;
    ActionListView* actions_ = nullptr;
    RecordingSession* recording_ = nullptr;
    MacroGauge* gauge_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* textPrompt_ = nullptr;
    QLineEdit* textEdit_ = nullptr;
    QLabel* textDelayPrompt_ = nullptr;
    QSpinBox* textDelay_ = nullptr;
    QPushButton* textAdd_ = nullptr;
    bool modified_ = false;
    bool rebuilding_ = false;
    int shownRow_ = -1;
};

}  // namespace talvenix::gui

// CTalvenix_DlgKey: the single-key dialog, for what the composite dialog does not offer: a
// disabled key, a program to launch, stop the playing macro, a text block (besides default,
// another key and a macro). Opened from a key's context menu.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <array>
#include <map>

#include "core/keys/KeyAssignment.h"
#include "core/keys/KeyDialogRules.h"
#include "gui/skin/BaseDialog.h"
#include "gui/skin/PngButton.h"

namespace talvenix::gui {

class KeyEditHost;

class CTalvenix_DlgKey : public CBaseDialog {
    Q_OBJECT
public:
    explicit CTalvenix_DlgKey(KeyEditHost& host, QWidget* parent = nullptr);

    void Open(const keys::DialogTarget& target, const QString& targetName);

    void ChooseKind(int kind);  // the radio of kind 0..6
    void Browse();
    bool Apply();  // false: nothing written, the dialog stays open
    void Ok();

    int Kind() const { return kind_; }
    // The dialog's note line: what it always says, or what the keyboard will do instead of the
    // chosen key when it cannot store it.
    QString Note() const;

private:
    void BuildControls();
    void ApplyTexts();
    void UpdateInputs();
    void UpdateNote();

    KeyEditHost& host_;
    keys::DialogTarget target_;
    int profile_ = 0;
    int kind_ = -1;
    keys::KeyAssignment original_;
    StatePictures pictures_;
    std::array<CPngButton*, 7> radios_{};
    std::map<QString, CPngButton*> buttons_;
    QLabel* title_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* note_ = nullptr;
    QComboBox* keyCombo_ = nullptr;
    QLineEdit* pathEdit_ = nullptr;
    QComboBox* macroCombo_ = nullptr;
    QPlainTextEdit* textEdit_ = nullptr;
};

}  // namespace talvenix::gui

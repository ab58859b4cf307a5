// The main window's on-screen keyboard: 104 key buttons, nine G buttons and Fn, placed from the
// main skin, with tooltips that say what each key does and a face that shows whether it is
// assigned.
#pragma once

#include <QObject>
#include <array>

#include "core/macros/WorkingConfig.h"
#include "gui/skin/PngButton.h"
#include "gui/skin/SkinFile.h"

namespace talvenix::gui {

class CKeyGrid : public QObject {
    Q_OBJECT
public:
    // `unassigned` and `assigned` are the picture sets of the two faces, from `sheets`.
    CKeyGrid(QWidget* parent, const SkinFile& skin, FaceSheets& sheets, StateSheets unassigned,
             StateSheets assigned);

    // Places G1..G9 by "FUNC_G%d", then the 104 key buttons in their binding order by
    // "KEY_%03X", then Fn by "KEY_FN".
    void Build();

    CPngButton* KeyButton(int index) const { return keys_[static_cast<std::size_t>(index)]; }
    CPngButton* GButton(int n) const { return gs_[static_cast<std::size_t>(n)]; }
    CPngButton* FnButton() const { return fn_; }

    // RefreshKeyButtons: every tooltip from the profile's block (G buttons from the current bank);
    // with faces, every assigned/unassigned face too.
    void Refresh(const macros::Configuration& config, int profile, bool bankB, bool withFaces);
    // ShowKeyAsDefault: the button of `slot` gets the unassigned tooltip and face.
    void ShowKeyAsDefault(int slot, bool bankB);
    // Restore defaults of the keys: clears the shown G keys (current bank) and the 104 keys of
    // `profile` in `config`.
    void ResetKeyAssignments(macros::Configuration& config, int profile, bool bankB);
    // "A1".."A5" or "B1".."B5" on the first five G buttons, "G6".."G9" on the rest.
    void SetBankLabels(bool bankB);

    bool Assigned(const CPngButton* button) const;

Q_SIGNALS:
    void KeyClicked(int keyButtonIndex);
    void GClicked(int gButtonIndex);

private:
    void SetFace(CPngButton* button, bool assigned);
    void Place(CPngButton* button, const QString& key);

    QWidget* parent_;
    const SkinFile& skin_;
    FaceSheets& sheets_;
    StateSheets unassigned_;
    StateSheets assigned_;
    std::array<CPngButton*, 104> keys_{};
    std::array<CPngButton*, 9> gs_{};
    CPngButton* fn_ = nullptr;
};

}  // namespace talvenix::gui

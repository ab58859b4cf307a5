// CTalvenix_DlgProfile: the profile manager. Rows of profile files (the store file once per
// hardware profile, then files added with Add or Load), one row checkable as the keyboard's
// current profile; Apply stores the rows under "PROFILES", makes the checked row current on the
// keyboard and reads the keyboard back.
#pragma once

#include <QTableWidget>
#include <functional>
#include <map>

#include "core/profiles/ProfileManager.h"
#include "gui/common/Prompt.h"
#include "gui/skin/BaseDialog.h"
#include "gui/skin/PngButton.h"

namespace talvenix::gui {

struct ProfileManagerContext {
    QString layoutPath;    // Skins/Profile.ini
    QString storeFile;     // the store file ($Profile0)
    QString settingsFile;  // the settings file holding "PROFILES"
    Prompt* prompt = nullptr;
    std::function<int()> currentProfile;  // -1 unknown
    std::function<bool()> mainApplyPending;
    // The main window's Apply, for its unapplied changes before the read-back replaces them.
    std::function<void(std::function<void(bool ok)> done)> applyMain;
    // Through the keyboard worker: SetCurrentProfile(profile) when profile >= 0, then
    // ReadBackAndLoad; `done(setOk)` on the UI thread (true when nothing had to be set).
    std::function<void(int profile, std::function<void(bool setOk)> done)> applyToKeyboard;
    // After Apply: rebuild the quick-switch menu, clear the main window's Apply, redraw keys.
    std::function<void()> afterApply;
};

class CTalvenix_DlgProfile : public CBaseDialog {
    Q_OBJECT
public:
    enum Control : int {
        kIdOk = 1,
        kIdCancel = 2,
        kIdList = 1007,
        kIdLoad = 1008,
        kIdAdd = 1010,
        kIdDelete = 1011,
        kIdApply = 1012
    };

    explicit CTalvenix_DlgProfile(ProfileManagerContext context, QWidget* parent = nullptr);
    // Skin, pictures, list and buttons; three rows of the store file. Throws SkinError.
    void Init();

    void Add();
    void Load();
    void DeleteSelected();
    // Checks or unchecks a row as a click on its box would.
    void CheckRow(int row, bool checked);
    // Apply; `thenClose` for OK.
    void Apply(bool thenClose = false);

    const profiles::ProfileManagerModel& Model() const { return model_; }
    bool Modified() const { return model_.Modified(); }
    bool Busy() const { return busy_; }
    QTableWidget* List() const { return list_; }
    CPngButton* Button(int id) const;

public Q_SLOTS:
    // The keyboard switched profiles while the dialog is open: check that row, Apply off.
    void OnSwitchedTo(int profile);

Q_SIGNALS:
    void Applied();

private:
    void FillRows();
    void UpdateApplyButton();
    void SetBusy(bool busy);
    void ApplyToKeyboard(bool thenClose);
    CPngButton* AddButton(int id, const char* key, const QString& caption, const QString& tip = {});

    ProfileManagerContext ctx_;
    profiles::ProfileManagerModel model_;
    StatePictures pictures_;
    std::map<int, CPngButton*> buttons_;
    QTableWidget* list_ = nullptr;
    bool filling_ = false;
    bool busy_ = false;
};

}  // namespace talvenix::gui

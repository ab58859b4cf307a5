// CTalvenix_DlgUpdate: the firmware update. The user chooses an external update program, may
// back the configuration up first (recommended), and Update puts the keyboard into boot mode
// and starts that program, which does the flashing. The keyboard leaving afterwards is an
// ordinary removal for the rest of the program.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <functional>
#include <map>

#include "core/profiles/FirmwareUpdate.h"
#include "gui/common/Prompt.h"
#include "gui/skin/BaseDialog.h"
#include "gui/skin/PngButton.h"

namespace talvenix::gui {

// Everything the dialog needs from the program; the keyboard is reached only through
// `enterBootMode`.
struct UpdateDialogContext {
    QString layoutPath;    // Skins/UpdateDlg.ini
    QString updateFolder;  // where Choose starts
    QString backupFolder;  // where Backup's save dialog starts
    Prompt* prompt = nullptr;
    std::function<bool()> applyRunning;
    // Sends the boot-mode frame through the keyboard worker; `done` gets the result (1 taken)
    // on the UI thread.
    std::function<void(std::function<void(int result)> done)> enterBootMode;
    // Writes the working configuration to the path; true when written.
    std::function<bool(const QString& path)> backup;
    // Starts the updater without waiting for it; the default starts it detached.
    std::function<bool(const QString& path)> startUpdater;
};

// What the caller found at `path`, and starting it (QProcess::startDetached, no arguments,
// no working folder of its own).
profiles::UpdaterProbe ProbeUpdater(const QString& path);
bool StartUpdaterDetached(const QString& path);

class CTalvenix_DlgUpdate : public CBaseDialog {
    Q_OBJECT
public:
    enum Control : int {
        kIdUpdate = 1147,
        kIdPath = 1178,
        kIdText = 1179,
        kIdCancelUpdate = 1180,
        kIdChoose = 1181,
        kIdBackup = 1182
    };

    explicit CTalvenix_DlgUpdate(UpdateDialogContext context, QWidget* parent = nullptr);
    // Skin, pictures, controls, texts. Throws SkinError naming a missing file.
    void Init();

    // The process-wide chosen updater path (empty at start).
    static QString ChosenPath();
    static void SetChosenPath(const QString& path);

    void Choose();
    void Backup();  // the Backup button: save dialog, write, tell
    void Update();
    void CancelUpdate();
    bool Busy() const { return busy_; }
    CPngButton* Button(int id) const;
    QLineEdit* PathBox() const { return path_; }

Q_SIGNALS:
    // The boot-mode frame was taken and the updater was tried (started says whether it ran).
    void UpdateFinished(bool started);

private:
    // Save dialog and write; true when a backup was written. Cancel shows and writes nothing.
    bool RunBackup(bool* cancelled);
    void AfterBootMode(int result);
    void SetBusy(bool busy);
    void ShowPath();
    CPngButton* AddButton(int id, const char* key, const QString& tip);

    UpdateDialogContext ctx_;
    std::map<int, CPngButton*> buttons_;
    QLineEdit* path_ = nullptr;
    QLabel* text_ = nullptr;
    bool busy_ = false;
    bool backedUp_ = false;  // a backup was written while this dialog was open
};

}  // namespace talvenix::gui

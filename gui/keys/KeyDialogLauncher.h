// Opens the key dialogs for the main window's key and G buttons and its "Macros" command, and
// offers the single-key dialog and the macro editor from a key's context menu. The window hands
// it the services the dialogs need and never itself.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "core/keys/KeyDialogRules.h"
#include "gui/keys/WindowKeyEditHost.h"

class QWidget;

namespace talvenix::gui {

class Talvenix_DlgComposite;
class CTalvenix_DlgKey;
class CTalvenix_DlgMacro;
class CBaseDialog;

class KeyDialogLauncher : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // The Switch mode of the lighting panel: a click toggles the button's flag instead.
        std::function<bool()> switchMode;
        // A dialog opens or closes (the window registers it, closes it on unplug, asks it on Quit).
        std::function<void(CBaseDialog*, bool open)> dialogOpen;
        // `modal` false in tests: the dialog is shown and the call returns at once.
        bool modal = true;
    };

    KeyDialogLauncher(KeyEditServices services, Hooks hooks, QWidget* window);
    ~KeyDialogLauncher() override;

    // Key button `position` (0..103, binding order) or G button `n` (0..8) was clicked;
    // `button` is where the dialog opens beside. Returns -1 when nothing could be opened,
    // 0 when the Switch mode took the click, 1 when the dialog ran.
    int OpenForKey(int position, QWidget* button);
    int OpenForG(int n, bool bankB, QWidget* button);
    // The "Macros" command: the macro page alone, for G9 of the current bank.
    int OpenMacroCommand(bool bankB, QWidget* button);
    // The context menu's entries.
    void OpenSingleKey(const keys::DialogTarget& target, const QString& name);
    void OpenMacroEditor();
    // Right-click on a key or G button: a menu with the single-key dialog and the macro editor.
    void ShowKeyMenu(const keys::DialogTarget& target, const QString& name, const QPoint& globalPos);

    void SetModal(bool modal) { hooks_.modal = modal; }
    bool IsOpen() const;
    void CloseIfOpen();

    Talvenix_DlgComposite* Composite() const { return composite_.get(); }
    CTalvenix_DlgKey* SingleKey() const { return single_.get(); }
    CTalvenix_DlgMacro* Editor() const { return editor_.get(); }
    WindowKeyEditHost& Host() { return host_; }

private:
    int Open(const keys::DialogTarget& target, const QString& name, QWidget* button);
    void Run(CBaseDialog& dialog);

    WindowKeyEditHost host_;
    Hooks hooks_;
    QPointer<QWidget> window_;
    std::unique_ptr<Talvenix_DlgComposite> composite_;
    std::unique_ptr<CTalvenix_DlgKey> single_;
    std::unique_ptr<CTalvenix_DlgMacro> editor_;
};

}  // namespace talvenix::gui
